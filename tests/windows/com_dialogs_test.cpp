// The about box and the property page, each driven from a second thread inside the test: the
// dialog is found among the thread's windows, read, and closed with a click.
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <future>

#include "control/com/identifiers.h"

namespace kaptor::test {
namespace {

using ComDialogs = ComTest;

// On a second thread: waits for a dialog of this thread showing a text that starts with
// `awaited`, notes the texts of its children, and closes it with OK (or Escape).
std::future<std::vector<std::string>> closeWhenShown(const std::string& title,
                                                     const std::string& awaited,
                                                     const std::string& screenshot,
                                                     bool escape = false) {
    return std::async(std::launch::async, [=, thread = ::GetCurrentThreadId()] {
        std::vector<std::string> texts;
        HWND dialog = waitForDialog(thread, title);
        if (dialog == nullptr) {
            return texts;
        }
        // A property frame shows its page a moment after itself.
        for (int waited = 0; waited < 5000; waited += 50) {
            texts = childTexts(dialog);
            if (std::ranges::any_of(texts, [&](const auto& t) { return t.starts_with(awaited); })) {
                break;
            }
            ::Sleep(50);
        }
        saveScreenshot(dialog, screenshot);
        if (escape) {
            ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, 0);
        } else {
            clickButton(dialog, IDOK);
        }
        return texts;
    });
}

TEST_F(ComDialogs, AboutBoxShowsTitleIconAndVersionAndClosesWithOkOrEscape) {
    for (const bool escape : {false, true}) {
        auto shown = closeWhenShown("About KAPTORAX Control", "KAPTORAX", "about_box", escape);
        ASSERT_EQ(callMethod(*control.Get(), DISPID_ABOUTBOX), S_OK);
        const std::vector<std::string> texts = shown.get();
        // Icon, text and button, in the template's order.
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[1], "KAPTORAX Control, Version 1.0");
        EXPECT_EQ(texts[2], "OK");
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
    auto shown = closeWhenShown("", "TODO:", "property_page");
    IUnknown* objects[] = {control.Get()};
    CLSID pages[] = {com::CLSID_KAPTORAXPropPage};
    ASSERT_EQ(::OleCreatePropertyFrame(nullptr, 0, 0, L"KAPTORAX Control", 1, objects, 1, pages,
                                       0x409, 0, nullptr),
              S_OK);
    const std::vector<std::string> texts = shown.get();
    const std::string line =
        "TODO: Place controls to manipulate properties of KAPTORAX Control on this dialog.";
    EXPECT_NE(std::ranges::find(texts, line), texts.end());
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
