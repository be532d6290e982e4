// The settings dialog on user32, run in this process from the same template
// resource as the module's, driven from a second thread as a person would.
#include <windows.h>
// The framework names its standard ids itself.
#undef IDOK
#undef IDCANCEL

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "dialog/cdialog.h"
#include "dialog/csettings.h"
#include "dialog/settings_resource.h"
#include "platform/os.h"
#include "standin/win32/dialog_driver.h"
#include "tests/platform/win32/win32_test_support.h"

namespace {

using win32_driver::ClickButton;
using win32_driver::kAboutBox;
using win32_driver::kSettingsDialog;
using win32_driver::PressKey;
using win32_test::WithWindow;

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(SettingsDialogTest, EnterIsOkAndEscapeIsCancel) {
    const struct {
        const char* keys;
        void (*act)(HWND);
        intptr_t result;
    } cases[] = {
        {"Enter", [](HWND w) { PressKey(w, "Enter"); }, 1},
        {"Esc", [](HWND w) { PressKey(w, "Esc"); }, 2},
        {"a click on Cancel", [](HWND w) { ClickButton(w, IDC_CANCEL); }, 2},
        // Enter on the focused Cancel button presses Cancel, not the default.
        {"Tab Enter",
         [](HWND w) {
             PressKey(w, "Tab");
             Sleep(100);
             PressKey(w, "Enter");
         },
         2},
    };
    for (const auto& c : cases) {
        CSettings dialog;
        bool seen = false;
        EXPECT_EQ(WithWindow(
                      kSettingsDialog, c.act, [&] { return dialog.DoModal(); }, &seen),
                  c.result)
            << c.keys;
        EXPECT_TRUE(seen) << c.keys;
        EXPECT_EQ(dialog.m_nProjectStyle, 0) << c.keys;
        EXPECT_EQ(dialog.m_nResultsFile, 0) << c.keys;
    }
}

TEST(SettingsDialogTest, AProjectStyleClickIsReadAtOnceAndOkReadsTheRest) {
    CSettings dialog;
    std::atomic<int> styleWhileOpen{-2}, resultsWhileOpen{-2};
    const intptr_t result = WithWindow(
        kSettingsDialog,
        [&](HWND w) {
            // The controls start from the members.
            EXPECT_TRUE(Checked(w, IDC_C_STYLE));
            EXPECT_TRUE(Checked(w, IDC_CSV));
            ClickButton(w, IDC_PASCAL_STYLE);
            ClickButton(w, IDC_VIZIZAVARA);
            // SendMessage has returned: the dialog has handled both clicks.
            styleWhileOpen = dialog.m_nProjectStyle;
            resultsWhileOpen = dialog.m_nResultsFile;
            EXPECT_TRUE(Checked(w, IDC_PASCAL_STYLE));
            EXPECT_FALSE(Checked(w, IDC_C_STYLE));
            ClickButton(w, IDC_OK);
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(styleWhileOpen, 1);    // read at once
    EXPECT_EQ(resultsWhileOpen, 0);  // the results group waits for Ok
    EXPECT_EQ(dialog.m_nProjectStyle, 1);
    EXPECT_EQ(dialog.m_nResultsFile, 1);
}

TEST(SettingsDialogTest, CancelKeepsWhatAClickReadButReadsNothingMore) {
    CSettings dialog;
    WithWindow(
        kSettingsDialog,
        [](HWND w) {
            ClickButton(w, IDC_PASCAL_STYLE);
            ClickButton(w, IDC_VIZIZAVARA);
            PressKey(w, "Esc");
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(dialog.m_nProjectStyle, 1);
    EXPECT_EQ(dialog.m_nResultsFile, 0);
}

TEST(SettingsDialogTest, TheMembersLoadIntoTheControls) {
    CSettings dialog;
    dialog.m_nProjectStyle = 1;
    dialog.m_nResultsFile = -1;  // no button of the group checked
    bool pascalStyle = false, c = true, csv = true, vizizavara = true;
    WithWindow(
        kSettingsDialog,
        [&](HWND w) {
            pascalStyle = Checked(w, IDC_PASCAL_STYLE);
            c = Checked(w, IDC_C_STYLE);
            csv = Checked(w, IDC_CSV);
            vizizavara = Checked(w, IDC_VIZIZAVARA);
            PressKey(w, "Enter");
        },
        [&] { return dialog.DoModal(); });
    EXPECT_TRUE(pascalStyle);
    EXPECT_FALSE(c);
    EXPECT_FALSE(csv);
    EXPECT_FALSE(vizizavara);
    EXPECT_EQ(dialog.m_nProjectStyle, 1);
    EXPECT_EQ(dialog.m_nResultsFile, -1);  // none checked reads back as -1
}

TEST(SettingsDialogTest, TheWindowIsTheTemplates) {
    RECT client = {};
    std::wstring caption;
    LONG style = 0;
    int children = 0;
    WithWindow(
        kSettingsDialog,
        [&](HWND w) {
            caption = win32_driver::WindowText(w);
            style = GetWindowLongW(w, GWL_STYLE);
            GetClientRect(w, &client);
            RECT units = {0, 0, SETTINGS_WIDTH, SETTINGS_HEIGHT};
            MapDialogRect(w, &units);
            EXPECT_EQ(client.right, units.right);
            EXPECT_EQ(client.bottom, units.bottom);
            for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
            // No system menu, so no close box.
            EXPECT_EQ(GetSystemMenu(w, FALSE), nullptr);
            PressKey(w, "Esc");
        },
        [] {
            CSettings dialog;
            return dialog.DoModal();
        });
    EXPECT_EQ(caption, L"Mossgrain: Settings");
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | DS_MODALFRAME),
              WS_CAPTION | WS_THICKFRAME);
    EXPECT_EQ(children, 8);
}

TEST(MessageBoxTest, ShowsCaptionTextAndIconOwnedByTheParent) {
    const HWND parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPED, 0, 0, 100, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    HWND owner = nullptr;
    std::vector<std::wstring> texts;
    int buttons = 0;
    bool warningIcon = false;
    const intptr_t result = WithWindow(
        kAboutBox,
        [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            texts = win32_driver::StaticTexts(box);
            const HICON warning = LoadIconW(nullptr, IDI_WARNING);
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                wchar_t cls[16] = {};
                GetClassNameW(c, cls, 16);
                if (lstrcmpiW(cls, L"Button") == 0) ++buttons;
                const HICON icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
                if (lstrcmpiW(cls, L"Static") == 0 && icon == warning) warningIcon = true;
            }
            PressKey(box, "Enter");
        },
        [&] { return os::ShowMessageBox(parent, "line one\n    line two", "About...", 0x30); });
    DestroyWindow(parent);
    EXPECT_EQ(result, 1);  // Ok
    EXPECT_EQ(owner, parent);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(warningIcon);
    bool found = false;
    for (const std::wstring& text : texts) found = found || text == L"line one\n    line two";
    EXPECT_TRUE(found);
}

}  // namespace
