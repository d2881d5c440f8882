// The control in a host's document: what a stream and a property bag hold, the modified flag,
// the defaults after a load, and the streams a load refuses without changing anything.
#include "tests/windows/com_support.h"

#include <functional>
#include <map>
#include <tuple>

namespace kaptor::test {
namespace {

constexpr DISPID DIRCONFIG = 1;
constexpr DISPID DESTINOIMAGEN = 2;

// The values' bytes as stored: Windows is little-endian.
std::vector<std::uint8_t> le32(std::initializer_list<std::uint32_t> values) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(values.begin());
    return {bytes, bytes + values.size() * sizeof(std::uint32_t)};
}

ComPtr<IStream> streamOf(const std::vector<std::uint8_t>& bytes) {
    ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<std::uint8_t> contents(IStream& stream) {
    STATSTG status{};
    stream.Stat(&status, STATFLAG_NONAME);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    stream.Seek({}, STREAM_SEEK_SET, nullptr);
    stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

// A property bag held in memory, as a container that writes HTML parameters keeps one.
class MemoryBag final : public IPropertyBag {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object =
            IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag) ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        const auto it = values.find(name);
        if (it == values.end()) {
            return E_INVALIDARG;
        }
        V_VT(value) = VT_I4;
        V_I4(value) = it->second;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
        if (V_VT(value) != VT_I4) {
            return DISP_E_TYPEMISMATCH;
        }
        values[name] = V_I4(value);
        return S_OK;
    }
    std::map<std::wstring, LONG> values;
};

class ComPersistence : public ComTest {
  protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(control.As(&stream), S_OK);
        ASSERT_EQ(control.As(&object), S_OK);
        ASSERT_EQ(control.As(&bagged), S_OK);
    }
    // The extent, both texts and the modified flag.
    std::tuple<LONG, LONG, std::wstring, std::wstring, HRESULT> state() {
        SIZEL size{};
        object->GetExtent(DVASPECT_CONTENT, &size);
        return {size.cx, size.cy, getText(*control.Get(), DIRCONFIG),
                getText(*control.Get(), DESTINOIMAGEN), stream->IsDirty()};
    }
    void setExtent(LONG cx, LONG cy) {
        SIZEL size{cx, cy};
        ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    }

    ComPtr<IPersistStreamInit> stream;
    ComPtr<IOleObject> object;
    ComPtr<IPersistPropertyBag> bagged;
};

// A load brings the extent back and the texts to their defaults, and leaves the control
// unmodified; a load it refuses changes nothing.
TEST_F(ComPersistence, StreamAndPropertyBagHoldVersionAndExtentAndNoText) {
    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"c:\\KAPTOR\\a.BMP"), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_OK);
    setExtent(5000, 2500);
    ComPtr<IStream> saved = streamOf({});
    ASSERT_EQ(stream->Save(saved.Get(), TRUE), S_OK);
    EXPECT_EQ(contents(*saved.Get()), le32({0x10000, 5000, 2500, 0}));
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ULARGE_INTEGER most{};
    ASSERT_EQ(stream->GetSizeMax(&most), S_OK);
    EXPECT_EQ(most.QuadPart, 16u);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    const std::map<std::wstring, LONG> wanted = {
        {L"_Version", 0x10000}, {L"_ExtentX", 5000}, {L"_ExtentY", 2500}, {L"_StockProps", 0}};
    EXPECT_EQ(bag.values, wanted);

    const std::function<HRESULT()> loads[] = {[&] {
                                                  saved->Seek({}, STREAM_SEEK_SET, nullptr);
                                                  return stream->Load(saved.Get());
                                              },
                                              [&] { return bagged->Load(&bag, nullptr); }};
    for (const auto& load : loads) {
        setExtent(100, 100);
        ASSERT_EQ(putText(*control.Get(), DIRCONFIG, L"x"), S_OK);
        ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"x"), S_OK);
        ASSERT_EQ(load(), S_OK);
        EXPECT_EQ(state(), std::tuple(5000, 2500, L"\\KAPTOR\\", L"\\AAAA\\", S_FALSE));
    }

    // A newer version, or a stream that ends early, is refused and changes nothing; an older
    // version loads as this one.
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        HRESULT expected;
    } cases[] = {
        {"newer version", le32({0x20000, 100, 100, 0}), STG_E_OLDDLL},
        {"newer minor version", le32({0x10001, 100, 100, 0}), STG_E_OLDDLL},
        {"no extent", le32({0x10000}), STG_E_READFAULT},
        {"one byte short", std::vector<std::uint8_t>(15), STG_E_READFAULT},
        {"empty", {}, STG_E_READFAULT},
    };
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"kept"), S_OK);
    const auto before = state();
    for (const auto& c : cases) {
        EXPECT_EQ(stream->Load(streamOf(c.bytes).Get()), c.expected) << c.what;
        EXPECT_EQ(state(), before) << c.what;
    }
    EXPECT_EQ(stream->Load(streamOf(le32({0x0, 300, 200, 0})).Get()), S_OK);
    const auto loaded = std::tuple(300, 200, L"\\KAPTOR\\", L"\\AAAA\\", S_FALSE);
    EXPECT_EQ(state(), loaded);
    bag.values = {{L"_Version", 0x20000}, {L"_ExtentX", 1}, {L"_ExtentY", 1}};
    EXPECT_EQ(bagged->Load(&bag, nullptr), STG_E_OLDDLL);
    EXPECT_EQ(state(), loaded);
}

}  // namespace
}  // namespace kaptor::test
