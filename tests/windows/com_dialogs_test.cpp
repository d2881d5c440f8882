// The about box and the property page, each driven from a second thread inside the test: the
// dialog is found among the thread's windows, read, and closed with a click.
#include "tests/windows/com_support.h"

#include <cstdint>
#include <future>
#include <tuple>

namespace kaptor::test {
namespace {

using ComDialogs = ComTest;

// Shown from a second thread's view: found among this thread's windows, read, and closed with OK
// or Escape.
TEST_F(ComDialogs, AboutBoxShowsTitleIconAndVersionAndClosesWithOkOrEscape) {
    for (const bool escape : {false, true}) {
        auto shown = std::async(std::launch::async, [escape, thread = ::GetCurrentThreadId()] {
            std::vector<std::string> texts;
            HWND dialog = waitForWindow(thread, "About KAPTORAX Control");
            if (dialog == nullptr) {
                return texts;
            }
            texts = childTexts(dialog);
            saveScreenshot(dialog, "about_box");
            if (escape) {
                ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
                ::PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, 0);
            } else {
                clickButton(dialog, IDOK);
            }
            return texts;
        });
        ASSERT_EQ(callMethod(*control.Get(), DISPID_ABOUTBOX), S_OK);
        // Icon, text and button, in the template's order; the icon's text is its resource, 1, as
        // an ordinal (0xFFFF, 1) read as ANSI.
        const std::vector<std::string> texts = {"?\x01", "KAPTORAX Control, Version 1.0", "OK"};
        EXPECT_EQ(shown.get(), texts);
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
    // Menu, class and caption, then the font's point size and face name (DS_SETFONT).
    const WORD* field = reinterpret_cast<const WORD*>(dialog + 1);
    for (int i = 0; i < 3; ++i) {
        field = pastNameOrOrdinal(field);
    }
    field = pastNameOrOrdinal(field + 1);
    // The first item, on a DWORD boundary: the icon, at 10, 10, 20 x 20 dialog units.
    const auto* icon = reinterpret_cast<const DLGITEMTEMPLATE*>(
        (reinterpret_cast<std::uintptr_t>(field) + 3) & ~std::uintptr_t{3});
    using Item = std::tuple<DWORD, short, short, short, short>;
    EXPECT_EQ(Item(icon->style & SS_TYPEMASK, icon->x, icon->y, icon->cx, icon->cy),
              Item(SS_ICON, 10, 10, 20, 20));
    ::FreeLibrary(module);
}

// Its one line of text, and nothing to type into.
TEST_F(ComDialogs, PropertyPageShowsOneLineAndNoInputField) {
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
    // The page window and its one static text.
    const std::vector<std::string> texts = {
        "", "TODO: Place controls to manipulate properties of KAPTORAX Control on this dialog."};
    EXPECT_EQ(childTexts(parent), texts);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Deactivate(), S_OK);
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace kaptor::test
