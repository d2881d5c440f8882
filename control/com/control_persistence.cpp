// The control in a host's document: streams, property bags and storages all keep the same
// state (version stamp, extent, stock-property mask). A load that is refused changes nothing;
// a load that succeeds brings the text properties back to their construction defaults.
#include "control/com/control_object.h"

#include <array>
#include <string>

#include "control/com/identifiers.h"

namespace kaptor::com {
namespace {

// The stream of a storage that holds the control's state.
constexpr wchar_t CONTENTS_STREAM[] = L"Contents";

// A newer version than this module writes; the module is too old to read it.
constexpr HRESULT NEWER_VERSION = STG_E_OLDDLL;
// The stream ended before the whole state.
constexpr HRESULT TRUNCATED = STG_E_READFAULT;

struct BagValue {
    const wchar_t* name;
    std::int32_t PersistedState::*field;
};

// Reads one 32-bit value of a property bag; a missing value keeps its default.
HRESULT readBagValue(IPropertyBag& bag, IErrorLog* log, const wchar_t* name, LONG& value) {
    VARIANT read;
    ::VariantInit(&read);
    V_VT(&read) = VT_I4;
    const HRESULT hr = bag.Read(name, &read, log);
    if (FAILED(hr)) {
        return S_FALSE;
    }
    if (V_VT(&read) != VT_I4 && FAILED(::VariantChangeType(&read, &read, 0, VT_I4))) {
        ::VariantClear(&read);
        return DISP_E_TYPEMISMATCH;
    }
    value = V_I4(&read);
    ::VariantClear(&read);
    return S_OK;
}

HRESULT writeBagValue(IPropertyBag& bag, const wchar_t* name, LONG value) {
    VARIANT written;
    ::VariantInit(&written);
    V_VT(&written) = VT_I4;
    V_I4(&written) = value;
    return bag.Write(name, &written);
}

}  // namespace

PersistedState ControlObject::currentState() const {
    PersistedState state;
    state.extentX = extent_.cx;
    state.extentY = extent_.cy;
    return state;
}

void ControlObject::applyLoadedState(const PersistedState& state) {
    extent_ = {state.extentX, state.extentY};
    ctrl_->setDirconfig(control::DEFAULT_DIRCONFIG);
    ctrl_->setDestinoimagen(control::DEFAULT_DESTINOIMAGEN);
    dirty_ = false;
    notifyViewChanged();
}

HRESULT ControlObject::GetClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = CLSID_KAPTORAX;
    return S_OK;
}

HRESULT ControlObject::IsDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT ControlObject::InitNew() {
    dirty_ = false;
    return S_OK;
}

// Streams

HRESULT ControlObject::Load(LPSTREAM stream) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    std::array<std::uint8_t, PERSISTED_SIZE> bytes{};
    ULONG read = 0;
    const HRESULT hr = stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (FAILED(hr)) {
        return hr;
    }
    PersistedState state;
    switch (decodeState(std::span(bytes.data(), read), state)) {
        case LoadProblem::NewerVersion:
            return NEWER_VERSION;
        case LoadProblem::Truncated:
            return TRUNCATED;
        case LoadProblem::None:
            break;
    }
    applyLoadedState(state);
    return S_OK;
}

HRESULT ControlObject::Save(LPSTREAM stream, BOOL clearDirty) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    const std::vector<std::uint8_t> bytes = encodeState(currentState());
    ULONG written = 0;
    const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (FAILED(hr)) {
        return hr;
    }
    if (written != bytes.size()) {
        return STG_E_MEDIUMFULL;
    }
    if (clearDirty) {
        dirty_ = false;
    }
    return S_OK;
}

HRESULT ControlObject::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    size->QuadPart = PERSISTED_SIZE;
    return S_OK;
}

// Property bags

HRESULT ControlObject::Load(IPropertyBag* bag, IErrorLog* log) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    PersistedState state = currentState();
    LONG version = static_cast<LONG>(PERSISTED_VERSION);
    LONG stockProps = 0;
    const BagValue extents[] = {{L"_ExtentX", &PersistedState::extentX},
                                {L"_ExtentY", &PersistedState::extentY}};
    if (FAILED(readBagValue(*bag, log, L"_Version", version))) {
        return DISP_E_TYPEMISMATCH;
    }
    if (!isLoadableVersion(static_cast<std::uint32_t>(version))) {
        return NEWER_VERSION;
    }
    for (const BagValue& value : extents) {
        LONG number = state.*value.field;
        if (FAILED(readBagValue(*bag, log, value.name, number))) {
            return DISP_E_TYPEMISMATCH;
        }
        state.*value.field = number;
    }
    if (FAILED(readBagValue(*bag, log, L"_StockProps", stockProps))) {
        return DISP_E_TYPEMISMATCH;
    }
    state.version = static_cast<std::uint32_t>(version);
    state.stockProps = static_cast<std::uint32_t>(stockProps);
    applyLoadedState(state);
    return S_OK;
}

HRESULT ControlObject::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    const PersistedState state = currentState();
    const std::pair<const wchar_t*, LONG> values[] = {
        {L"_Version", static_cast<LONG>(state.version)},
        {L"_ExtentX", state.extentX},
        {L"_ExtentY", state.extentY},
        {L"_StockProps", static_cast<LONG>(state.stockProps)}};
    for (const auto& [name, value] : values) {
        if (const HRESULT hr = writeBagValue(*bag, name, value); FAILED(hr)) {
            return hr;
        }
    }
    if (clearDirty) {
        dirty_ = false;
    }
    return S_OK;
}

// Storages: the state lies in the storage's "Contents" stream.

HRESULT ControlObject::InitNew(IStorage*) {
    return InitNew();
}

HRESULT ControlObject::Load(IStorage* storage) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    ComPtr<IStream> stream;
    const HRESULT hr = storage->OpenStream(
        CONTENTS_STREAM, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.GetAddressOf());
    if (FAILED(hr)) {
        return hr;
    }
    return Load(stream.Get());
}

HRESULT ControlObject::Save(IStorage* storage, BOOL) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    ComPtr<IStream> stream;
    const HRESULT hr =
        storage->CreateStream(CONTENTS_STREAM, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                              0, stream.GetAddressOf());
    if (FAILED(hr)) {
        return hr;
    }
    return Save(stream.Get(), FALSE);
}

HRESULT ControlObject::SaveCompleted(IStorage*) {
    dirty_ = false;
    return S_OK;
}

HRESULT ControlObject::HandsOffStorage() {
    return S_OK;
}

}  // namespace kaptor::com
