// The about box and the property page, each driven from a second thread inside the test: the
// dialog is found among the thread's windows, read, and closed with a click.
#include "tests/windows/com_support.h"

#include <cstddef>
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
            HWND dialog = waitForWindow(thread, "About KAPTORAX Control");
            if (dialog == nullptr) {
                return std::vector<std::string>{};
            }
            const std::vector<std::string> texts = childTexts(dialog);
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

// The about box's template as stored holds its font and the icon at its layout size, 20 x 20
// dialog units at 10, 10 (an ICON statement, as windres writes it, would lose the size).
TEST(ComResources, AboutBoxTemplateHoldsTheIconControlAtItsLayoutSize) {
    HMODULE module = ::LoadLibraryExW(modulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(5));  // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const std::string stored(
        static_cast<const char*>(::LockResource(::LoadResource(module, found))),
        ::SizeofResource(module, found));
    const std::wstring_view font = L"MS Sans Serif";
    // An item: style, extended style, x, y, width and height (its id follows).
    const DLGITEMTEMPLATE icon{WS_CHILD | WS_VISIBLE | SS_ICON, 0, 10, 10, 20, 20, 0};
    for (const std::string_view part :
         {std::string_view(reinterpret_cast<const char*>(font.data()), font.size() * 2),
          std::string_view(reinterpret_cast<const char*>(&icon), offsetof(DLGITEMTEMPLATE, id))}) {
        EXPECT_NE(stored.find(part), std::string::npos);
    }
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
