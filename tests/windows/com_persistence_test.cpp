// The control in a host's document: what a stream and a property bag hold, the modified flag,
// the defaults after a load, and the streams a load refuses without changing anything.
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

#include <map>

#include "control/com/identifiers.h"

namespace kaptor::test {
namespace {

std::vector<std::uint8_t> le32(std::initializer_list<std::uint32_t> values) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    return out;
}

std::vector<std::uint8_t> shortened(std::vector<std::uint8_t> bytes) {
    bytes.pop_back();
    return bytes;
}

ComPtr<IStream> streamOf(const std::vector<std::uint8_t>& bytes) {
    ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<std::uint8_t> contents(IStream& stream) {
    STATSTG status{};
    stream.Stat(&status, STATFLAG_NONAME);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    stream.Seek({}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

// A property bag held in memory, as a container that writes HTML parameters keeps one.
class MemoryBag final : public IPropertyBag {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
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
        VARIANT number;
        ::VariantInit(&number);
        if (FAILED(::VariantChangeType(&number, value, 0, VT_I4))) {
            return E_INVALIDARG;
        }
        values[name] = V_I4(&number);
        return S_OK;
    }
    std::map<std::wstring, LONG> values;
};

class ComPersistence : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
        control = createControl();
        ASSERT_TRUE(control);
        ASSERT_EQ(control.As(&stream), S_OK);
        ASSERT_EQ(control.As(&object), S_OK);
    }
    SIZEL extent() {
        SIZEL size{};
        object->GetExtent(DVASPECT_CONTENT, &size);
        return size;
    }

    Apartment apartment;
    ComPtr<IDispatch> control;
    ComPtr<IPersistStreamInit> stream;
    ComPtr<IOleObject> object;
};

TEST_F(ComPersistence, StreamHoldsVersionExtentAndNoText) {
    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ASSERT_EQ(putText(*control.Get(), 2, L"c:\\KAPTOR\\a.BMP"), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_OK);
    SIZEL size{5000, 2500};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);

    ComPtr<IStream> saved = streamOf({});
    ASSERT_EQ(stream->Save(saved.Get(), TRUE), S_OK);
    EXPECT_EQ(contents(*saved.Get()), le32({0x10000, 5000, 2500, 0}));
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ULARGE_INTEGER most{};
    ASSERT_EQ(stream->GetSizeMax(&most), S_OK);
    EXPECT_EQ(most.QuadPart, 16u);

    // A second control loads it: the extent comes back, the texts are the defaults.
    ComPtr<IDispatch> second = createControl();
    ComPtr<IPersistStreamInit> secondStream;
    ASSERT_EQ(second.As(&secondStream), S_OK);
    ASSERT_EQ(putText(*second.Get(), 1, L"x"), S_OK);
    saved->Seek({}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(secondStream->Load(saved.Get()), S_OK);
    ComPtr<IOleObject> secondObject;
    ASSERT_EQ(second.As(&secondObject), S_OK);
    SIZEL loaded{};
    ASSERT_EQ(secondObject->GetExtent(DVASPECT_CONTENT, &loaded), S_OK);
    EXPECT_EQ(loaded.cx, 5000);
    EXPECT_EQ(loaded.cy, 2500);
    std::wstring text;
    ASSERT_EQ(getText(*second.Get(), 1, text), S_OK);
    EXPECT_EQ(text, L"\\KAPTOR\\");
    ASSERT_EQ(getText(*second.Get(), 2, text), S_OK);
    EXPECT_EQ(text, L"\\AAAA\\");
    EXPECT_EQ(secondStream->IsDirty(), S_FALSE);
}

TEST_F(ComPersistence, RefusedStreamsChangeNothing) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        HRESULT expected;
    } cases[] = {
        {"newer version", le32({0x20000, 100, 100, 0}), STG_E_OLDDLL},
        {"newer minor version", le32({0x10001, 100, 100, 0}), STG_E_OLDDLL},
        {"no extent", le32({0x10000}), STG_E_READFAULT},
        {"one byte short", shortened(le32({0x10000, 100, 100, 0})), STG_E_READFAULT},
        {"empty", {}, STG_E_READFAULT},
    };
    ASSERT_EQ(putText(*control.Get(), 2, L"kept"), S_OK);
    const SIZEL before = extent();
    for (const Case& c : cases) {
        ComPtr<IStream> source = streamOf(c.bytes);
        EXPECT_EQ(stream->Load(source.Get()), c.expected) << c.what;
        EXPECT_EQ(extent().cx, before.cx) << c.what;
        EXPECT_EQ(extent().cy, before.cy) << c.what;
        std::wstring text;
        ASSERT_EQ(getText(*control.Get(), 2, text), S_OK);
        EXPECT_EQ(text, L"kept") << c.what;
        EXPECT_EQ(stream->IsDirty(), S_OK) << c.what;
    }
    // An older version loads as this one.
    ComPtr<IStream> older = streamOf(le32({0x0, 300, 200, 0}));
    EXPECT_EQ(stream->Load(older.Get()), S_OK);
    EXPECT_EQ(extent().cx, 300);
}

TEST_F(ComPersistence, PropertyBagRoundTrip) {
    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(control.As(&bagged), S_OK);
    SIZEL size{1234, 567};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    const std::map<std::wstring, LONG> wanted = {
        {L"_Version", 0x10000}, {L"_ExtentX", 1234}, {L"_ExtentY", 567}, {L"_StockProps", 0}};
    EXPECT_EQ(bag.values, wanted);

    ComPtr<IDispatch> second = createControl();
    ComPtr<IPersistPropertyBag> secondBag;
    ASSERT_EQ(second.As(&secondBag), S_OK);
    ASSERT_EQ(putText(*second.Get(), 2, L"x"), S_OK);
    ASSERT_EQ(secondBag->Load(&bag, nullptr), S_OK);
    std::wstring text;
    ASSERT_EQ(getText(*second.Get(), 2, text), S_OK);
    EXPECT_EQ(text, L"\\AAAA\\");

    MemoryBag newer;
    newer.values = {{L"_Version", 0x20000}, {L"_ExtentX", 1}, {L"_ExtentY", 1}};
    EXPECT_EQ(bagged->Load(&newer, nullptr), STG_E_OLDDLL);
    EXPECT_EQ(extent().cx, 1234);
}

}  // namespace
}  // namespace kaptor::test
