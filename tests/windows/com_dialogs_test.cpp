// The about box and the property page, each driven from a second thread inside the test: the
// dialog is found among the thread's windows, read, and closed with a click.
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <future>

#include "control/com/identifiers.h"

namespace kaptor::test {
namespace {

class ComDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
        control = createControl();
        ASSERT_TRUE(control);
    }
    Apartment apartment;
    ComPtr<IDispatch> control;
};

struct Closing {
    bool found = false;
    std::vector<std::string> texts;
    RECT client{};
};

// The box closes with its button and with Escape.
TEST_F(ComDialogs, AboutBoxShowsTitleIconAndVersionAndClosesWithOkOrEscape) {
    for (const bool escape : {false, true}) {
        const DWORD thread = ::GetCurrentThreadId();
        auto driver = std::async(std::launch::async, [thread, escape] {
            Closing seen;
            HWND box = waitForDialog(thread, "About KAPTORAX Control");
            if (box == nullptr) {
                return seen;
            }
            seen.found = true;
            seen.texts = childTexts(box);
            if (escape) {
                ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
                ::PostMessageW(box, WM_KEYUP, VK_ESCAPE, 0);
            } else {
                saveScreenshot(box, "about_box");
                clickButton(box, IDOK);
            }
            return seen;
        });
        ASSERT_EQ(callMethod(*control.Get(), DISPID_ABOUTBOX), S_OK);
        const Closing seen = driver.get();
        ASSERT_TRUE(seen.found);
        // Icon, text and button, in the template's order.
        ASSERT_EQ(seen.texts.size(), 3u);
        EXPECT_EQ(seen.texts[1], "KAPTORAX Control, Version 1.0");
        EXPECT_EQ(seen.texts[2], "OK");
    }
}

// Skips one sz_Or_Ord field of a dialog template: 0xFFFF and an ordinal, or a UTF-16 string.
const WORD* pastNameOrOrdinal(const WORD* field) {
    if (*field == 0xFFFF) {
        return field + 2;
    }
    while (*field++ != 0) {
    }
    return field;
}

TEST(ComResources, AboutBoxTemplateHoldsTheIconControlAtItsLayoutSize) {
    HMODULE module = ::LoadLibraryExW(modulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(5));  // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const auto* dialog =
        static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->cdit, 3);
    // Menu, class and caption, then the font's point size and face name (DS_SETFONT).
    const WORD* field = reinterpret_cast<const WORD*>(dialog + 1);
    for (int i = 0; i < 3; ++i) {
        field = pastNameOrOrdinal(field);
    }
    ASSERT_TRUE(dialog->style & DS_SETFONT);
    field = pastNameOrOrdinal(field + 1);
    // The first item, on a DWORD boundary: the icon, at 10, 10, 20 x 20 dialog units.
    const auto* icon = reinterpret_cast<const DLGITEMTEMPLATE*>(
        (reinterpret_cast<std::uintptr_t>(field) + 3) & ~std::uintptr_t{3});
    EXPECT_EQ(icon->style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon->x, 10);
    EXPECT_EQ(icon->y, 10);
    EXPECT_EQ(icon->cx, 20);
    EXPECT_EQ(icon->cy, 20);
    ::FreeLibrary(module);
}

TEST_F(ComDialogs, PropertyPageShowsItsOneLineInsideThePropertyFrame) {
    const DWORD thread = ::GetCurrentThreadId();
    auto driver = std::async(std::launch::async, [thread] {
        Closing seen;
        HWND frame = waitForDialog(thread, "");
        if (frame == nullptr) {
            return seen;
        }
        seen.found = true;
        // Wait until the page has been put into the frame.
        for (int waited = 0; waited < 5000; waited += 50) {
            seen.texts = childTexts(frame);
            if (std::find_if(seen.texts.begin(), seen.texts.end(), [](const std::string& t) {
                    return t.rfind("TODO:", 0) == 0;
                }) != seen.texts.end()) {
                break;
            }
            ::Sleep(50);
        }
        saveScreenshot(frame, "property_page");
        clickButton(frame, IDOK);
        return seen;
    });
    IUnknown* objects[] = {control.Get()};
    CLSID pages[] = {com::CLSID_KAPTORAXPropPage};
    ASSERT_EQ(::OleCreatePropertyFrame(nullptr, 0, 0, L"KAPTORAX Control", 1, objects, 1, pages,
                                       0x409, 0, nullptr),
              S_OK);
    const Closing seen = driver.get();
    ASSERT_TRUE(seen.found);
    const std::string line =
        "TODO: Place controls to manipulate properties of KAPTORAX Control on this dialog.";
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), line), seen.texts.end());
}

TEST_F(ComDialogs, PropertyPageHasNoInputField) {
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(::CoCreateInstance(com::CLSID_KAPTORAXPropPage, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf())),
              S_OK);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), L"General");
    EXPECT_GT(info.size.cx, 250);
    EXPECT_GT(info.size.cy, 62);
    ::CoTaskMemFree(info.pszTitle);
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    RECT area{0, 0, info.size.cx, info.size.cy};
    ASSERT_EQ(page->Activate(parent, &area, TRUE), S_OK);
    const std::vector<std::string> texts = childTexts(parent);
    // The page window and its one static text.
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Deactivate(), S_OK);
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace kaptor::test
