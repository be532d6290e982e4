// The settings dialog and the about box answered by key scripts, through the
// real dialog framework, and the control handles the framework reaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "dialog/csettings.h"
#include "dialog/settings_resource.h"
#include "platform/os_dialog.h"
#include "tests/support/child_process.h"
#include "tests/support/pack_environment.h"
#include "tests/support/recording_dialog.h"

namespace {

// Runs body in a child whose controlling terminal is a fresh one, with keys
// as its script: what it drew there, and what went to its standard error.
ChildRun OnTerminal(const char* keys, const std::function<int()>& body) {
    return RunBody(body, {.terminal = ChildTerminal::kOwn, .outputOnTerminal = true, .keys = keys});
}

class ScriptedDialogTest : public PackTest {
protected:
    // Runs the settings dialog with the keys.
    intptr_t Run(const char* keys) {
        env_.Keys(keys);
        return settings_.DoModal();
    }

    CSettings settings_;
};

struct ScriptCase {
    const char* keys;
    intptr_t result;
    int projectStyle;
    int resultsFile;
};

// Names each case by its keys in test listings.
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << '"' << c.keys << '"'; }

class SettingsScriptTest : public ScriptedDialogTest,
                           public testing::WithParamInterface<ScriptCase> {};

TEST_P(SettingsScriptTest, EndsAndReadsAsTheKeysSay) {
    const ScriptCase& c = GetParam();
    EXPECT_EQ(Run(c.keys), c.result) << c.keys;
    EXPECT_EQ(settings_.m_nProjectStyle, c.projectStyle) << c.keys;
    EXPECT_EQ(settings_.m_nResultsFile, c.resultsFile) << c.keys;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsScriptTest,
    testing::Values(
        // Ok has the focus at first and is the default button.
        ScriptCase{"Enter", 1, 0, 0}, ScriptCase{"Space", 1, 0, 0}, ScriptCase{"Esc", 2, 0, 0},
        ScriptCase{"C-c", 2, 0, 0},
        // A focused push button takes Enter.
        ScriptCase{"Tab Enter", 2, 0, 0}, ScriptCase{"Tab Space", 2, 0, 0},
        // Ok and Cancel are the first group: arrows move between them only.
        ScriptCase{"Down Enter", 2, 0, 0}, ScriptCase{"Down Down Enter", 1, 0, 0},
        ScriptCase{"Up Enter", 2, 0, 0},
        // An arrow onto an auto radio button checks it and clicks it; a
        // project-style click is read at once, so even Escape keeps it.
        ScriptCase{"Tab Tab Down Enter", 1, 1, 0}, ScriptCase{"Tab Tab Down Esc", 2, 1, 0},
        ScriptCase{"Tab Tab Up Enter", 1, 1, 0}, ScriptCase{"Tab Tab Down Down Enter", 1, 0, 0},
        // The group boxes between the radio groups are never focused.
        ScriptCase{"Tab Tab Tab Tab Enter", 1, 0, 0},
        ScriptCase{"Tab Tab Tab Tab Right Enter", 1, 0, 1},
        // A results-file click is not read: only Ok reads it.
        ScriptCase{"Tab Tab Tab Tab Tab Space Esc", 2, 0, 0},
        ScriptCase{"Tab Tab Tab Tab Tab Space Enter", 1, 0, 1},
        // Shift-Tab wraps from Ok to the last tab stop.
        ScriptCase{"S-Tab Space Enter", 1, 0, 1},
        ScriptCase{"BackTab Shift-Tab Space Esc", 2, 0, 0},
        ScriptCase{"Tab Tab Tab Tab Tab Tab Enter", 1, 0, 0},
        // Input that ends before the dialog does, or a name that is no key.
        ScriptCase{"Tab", -1, 0, 0}, ScriptCase{"", -1, 0, 0},
        ScriptCase{"Tab Tab Down Bogus", -1, 0, 0}));

// A scripted dialog draws its first frame once, with the keys, on the
// terminal; the standard streams are the host's and get nothing.
TEST_F(ScriptedDialogTest, DrawsTheFirstFrameOnceWithTheKeysOnTheTerminalOnly) {
    const ChildRun run = OnTerminal("tab  TAB\tdown\nenter", [] {
        CSettings settings;
        return static_cast<int>(settings.DoModal());
    });
    ASSERT_EQ(ExitCode(run), 1);
    const std::string& drawn = run.terminal;
    const size_t caption = drawn.find("Mossgrain: Settings");
    EXPECT_NE(caption, std::string::npos);
    EXPECT_EQ(drawn.rfind("Mossgrain: Settings"), caption);  // drawn once
    // The frame as it first showed: the project style still C.
    EXPECT_NE(drawn.find("(*) C style project"), std::string::npos);
    EXPECT_NE(drawn.find("( ) Pascal style project"), std::string::npos);
    EXPECT_NE(drawn.find("\n  keys: Tab Tab Down Enter\r\n"), std::string::npos);
    EXPECT_EQ(drawn.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.err, "");
}

// Without a terminal the script still answers, and nothing is drawn anywhere.
TEST_F(ScriptedDialogTest, WithoutATerminalAScriptAnswersAndNothingIsWritten) {
    const ChildRun run = RunBody(
        [] {
            CSettings settings;
            return static_cast<int>(settings.DoModal());
        },
        {.terminal = ChildTerminal::kNone, .errorsWithOutput = true, .keys = "Enter"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
}

// A settings dialog that, once shown, is sent the notifications a toolkit
// sends besides clicks (Windows sends focus and highlight codes for buttons).
class NotifiedSettings : public CSettings {
protected:
    bool OnInitDialog() override {
        const bool loaded = CSettings::OnInitDialog();
        for (int code : {1, 2, 5}) OnCommand(m_hWnd, IDC_OK, code);  // none of them a click
        return loaded;
    }
};

TEST_F(ScriptedDialogTest, OnlyClicksReachTheButtonHandlers) {
    env_.Keys("Esc");
    NotifiedSettings settings;
    EXPECT_EQ(settings.DoModal(), IDCANCEL);  // Ok's handler did not end it
}

TEST_F(ScriptedDialogTest, UnknownKeyIsNamedOnOneLineAndNothingIsDrawn) {
    const ChildRun run = OnTerminal("Enter Retrun", [] {
        CSettings settings;
        return settings.DoModal() == -1 ? 0 : 1;
    });
    ASSERT_EQ(ExitCode(run), 0);
    EXPECT_EQ(std::count(run.terminal.begin(), run.terminal.end(), '\n'), 1);
    EXPECT_NE(run.terminal.find("\"Retrun\""), std::string::npos);
    EXPECT_EQ(run.terminal.find("Settings"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

using os::ControlKind;
using os::ControlTemplate;
using os::DialogTemplate;

// Two radio groups separated by a label with id -1, no default button.
constexpr ControlTemplate kControls[] = {
    {20, ControlKind::kAutoRadioButton, "a", 10, 10, 40, 10, true, true},
    {-1, ControlKind::kGroupBox, "box", 5, 2, 60, 40, false, false},
    {21, ControlKind::kAutoRadioButton, "b", 10, 24, 40, 10, false, false},
    {22, ControlKind::kAutoRadioButton, "c", 80, 10, 40, 10, true, true},
    {10, ControlKind::kPushButton, "Go", 80, 30, 40, 14, true, true},
};
constexpr DialogTemplate kTemplate = {7, "Test", 130, 50, "", 8, 0, kControls, 5};

TEST_F(ScriptedDialogTest, EndInInitIsHonouredWithoutDrawing) {
    const ChildRun run = OnTerminal("Enter", [] {
        RecordingDialog events;
        events.endInInit = -1;
        const bool ended = os::RunModalDialog(kTemplate, events) == -1;
        return ended && events.commands.empty() ? 0 : 1;
    });
    EXPECT_EQ(ExitCode(run), 0);
    EXPECT_EQ(run.terminal, "");
}

TEST_F(ScriptedDialogTest, ArrowsClickRadioButtonsAndEnterWithoutDefaultSendsOk) {
    // Down from "a" skips the group box to "b" (no tab stop, yet in the group).
    env_.Keys("Down Down Tab Space Enter");
    RecordingDialog events;
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), 1);
    EXPECT_EQ(events.commands, (std::vector<int>{21, 20, 22, 1}));
}

TEST_F(ScriptedDialogTest, ControlHandles) {
    env_.Keys("Esc");
    struct Probe : RecordingDialog {
        void OnInit(os::DialogWindow* d) override {
            EXPECT_EQ(os::DialogItem(d, -1), nullptr);  // -1 names no control
            EXPECT_EQ(os::DialogItem(d, 99), nullptr);
            os::ControlWindow* a = os::DialogItem(d, 20);
            os::ControlWindow* box = os::NextChild(a);
            os::ControlWindow* b = os::NextChild(box);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(os::DialogItem(d, 21), b);
            EXPECT_EQ(os::NextChild(os::DialogItem(d, 10)), nullptr);
            EXPECT_TRUE(os::StartsGroup(a));
            EXPECT_FALSE(os::StartsGroup(b));
            EXPECT_TRUE(os::IsRadioButton(b));
            EXPECT_FALSE(os::IsRadioButton(box));
            EXPECT_FALSE(os::IsRadioButton(os::DialogItem(d, 10)));
            // Setting a check is not a click: it clears no other button.
            os::SetButtonChecked(a, true);
            os::SetButtonChecked(b, true);
            EXPECT_TRUE(os::IsButtonChecked(a));
            EXPECT_TRUE(os::IsButtonChecked(b));
            os::SetButtonChecked(a, false);
            EXPECT_FALSE(os::IsButtonChecked(a));
            os::SetButtonChecked(os::DialogItem(d, 10), true);  // push buttons hold no check
            EXPECT_FALSE(os::IsButtonChecked(os::DialogItem(d, 10)));
        }
    } events;
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), 2);
}

TEST(DialogHandlesTest, NullHandlesAreHarmless) {
    os::EndModalDialog(nullptr, 1);
    os::SetButtonChecked(nullptr, true);
    EXPECT_EQ(os::DialogItem(nullptr, 1), nullptr);
    EXPECT_EQ(os::NextChild(nullptr), nullptr);
    EXPECT_FALSE(os::StartsGroup(nullptr));
    EXPECT_FALSE(os::IsRadioButton(nullptr));
    EXPECT_FALSE(os::IsButtonChecked(nullptr));
}

constexpr const char* kAboutText = "First line\n    indented line \nlast";

class MessageBoxScriptTest : public PackTest {
protected:
    int Show(const char* keys) {
        env_.Keys(keys);
        return os::ShowMessageBox(nullptr, kAboutText, "About...", 0x30);
    }

    // The box answered with Enter on a terminal of its own: what it drew.
    std::string Drawn(const char* text) {
        const ChildRun run = OnTerminal(
            "Enter", [text] { return os::ShowMessageBox(nullptr, text, "About...", 0x30); });
        EXPECT_EQ(ExitCode(run), 1);
        EXPECT_EQ(run.err, "");
        return run.terminal;
    }
};

TEST_F(MessageBoxScriptTest, ClosesWithOkOnEnterSpaceEscapeAndCtrlC) {
    for (const char* keys : {"Enter", "Space", "Esc", "C-c", "Tab Down Enter"}) {
        EXPECT_EQ(Show(keys), 1) << keys;
    }
    EXPECT_EQ(Show("Tab"), 0);  // the script ran out first
    EXPECT_EQ(Show("Nope"), 0);
}

TEST_F(MessageBoxScriptTest, DrawsCaptionIconAndEveryLineAsWritten) {
    const std::string drawn = Drawn(kAboutText);
    // Each in its place, from the top down.
    size_t at = 0;
    for (const char* part : {"+- About... -", "/!\\", "First line", "    indented line ", "last",
                             "[[ Ok ]]", "  keys: Enter\r\n"}) {
        at = drawn.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << " not where it belongs in\n" << drawn;
    }
}

TEST_F(MessageBoxScriptTest, HostileTextCannotReachTheTerminal) {
    const std::string drawn = Drawn("bell\a and \x1b[2J clear\n\xff\xfe");
    EXPECT_EQ(drawn.find('\x1b'), std::string::npos);
    EXPECT_EQ(drawn.find('\a'), std::string::npos);
    EXPECT_NE(drawn.find("bell? and ?[2J clear"), std::string::npos);
    env_.Keys("Enter");
    EXPECT_EQ(os::ShowMessageBox(nullptr, nullptr, "About...", 0x30), 1);  // an empty box
}

}  // namespace
