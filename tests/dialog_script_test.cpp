// The settings dialog and the about box answered by key scripts, through the
// real dialog framework, and the control handles the framework reaches.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dialog/csettings.h"
#include "dialog/settings_resource.h"
#include "platform/os_dialog.h"
#include "tests/pack_environment.h"

namespace {

// Collects what the code under test writes to stderr.
class StderrCapture {
public:
    StderrCapture() : file_(tmpfile()), saved_(dup(2)) {
        fflush(stderr);
        dup2(fileno(file_), 2);
    }
    ~StderrCapture() { Finish(); }

    std::string Finish() {
        if (saved_ >= 0) {
            fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
            rewind(file_);
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, file_)) > 0) text_.append(buffer, n);
            fclose(file_);
        }
        return text_;
    }

private:
    FILE* file_;
    int saved_;
    std::string text_;
};

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class ScriptedDialogTest : public PackTest {
protected:
    // Runs the settings dialog with the keys; the drawing goes to drawn_.
    intptr_t Run(const char* keys) {
        env_.Keys(keys);
        StderrCapture capture;
        const intptr_t result = settings_.DoModal();
        drawn_ = capture.Finish();
        return result;
    }

    CSettings settings_;
    std::string drawn_;
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
        // Names are case-insensitive and have aliases.
        ScriptCase{"eNTER", 1, 0, 0}, ScriptCase{"ESCAPE", 2, 0, 0},
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

TEST_F(ScriptedDialogTest, DrawsTheFirstFrameOnceWithTheKeys) {
    ASSERT_EQ(Run("tab  TAB\tdown\nenter"), 1);
    EXPECT_EQ(Count(drawn_, "Mossgrain: Settings"), 1u);
    // The frame as it first showed: the project style still C.
    EXPECT_NE(drawn_.find("(*) C style project"), std::string::npos);
    EXPECT_NE(drawn_.find("( ) Pascal style project"), std::string::npos);
    EXPECT_NE(drawn_.find("\n  keys: Tab Tab Down Enter\n"), std::string::npos);
    EXPECT_EQ(drawn_.find('\x1b'), std::string::npos);
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
    StderrCapture capture;
    NotifiedSettings settings;
    EXPECT_EQ(settings.DoModal(), IDCANCEL);  // Ok's handler did not end it
}

TEST_F(ScriptedDialogTest, UnknownKeyIsNamedOnOneLineAndNothingIsDrawn) {
    ASSERT_EQ(Run("Enter Retrun"), -1);
    EXPECT_EQ(Count(drawn_, "\n"), 1u);
    EXPECT_NE(drawn_.find("\"Retrun\""), std::string::npos);
    EXPECT_EQ(drawn_.find("Settings"), std::string::npos);
}

// A dialog object that records what the toolkit tells it.
class Recorder : public os::DialogEvents {
public:
    std::optional<intptr_t> endInInit;
    std::vector<int> commands;
    os::DialogWindow* dialog = nullptr;

    void OnInit(os::DialogWindow* d) override {
        dialog = d;
        if (endInInit) os::EndModalDialog(d, *endInInit);
    }
    void OnCommand(os::DialogWindow* d, int id, int notifyCode) override {
        EXPECT_EQ(notifyCode, os::kButtonClicked);
        commands.push_back(id);
        if (id == 1 || id == 2 || id == 10) os::EndModalDialog(d, id);
    }
};

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
    env_.Keys("Enter");
    Recorder events;
    events.endInInit = -1;
    StderrCapture capture;
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), -1);
    EXPECT_EQ(capture.Finish(), "");
    EXPECT_TRUE(events.commands.empty());
}

TEST_F(ScriptedDialogTest, ArrowsClickRadioButtonsAndEnterWithoutDefaultSendsOk) {
    // Down from "a" skips the group box to "b" (no tab stop, yet in the group).
    env_.Keys("Down Down Tab Space Enter");
    Recorder events;
    StderrCapture capture;
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), 1);
    EXPECT_EQ(events.commands, (std::vector<int>{21, 20, 22, 1}));
}

TEST_F(ScriptedDialogTest, ControlHandles) {
    env_.Keys("Esc");
    struct Probe : Recorder {
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
    StderrCapture capture;
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

class MessageBoxScriptTest : public PackTest {
protected:
    int Show(const char* keys, const char* text = "First line\n    indented line \nlast") {
        env_.Keys(keys);
        StderrCapture capture;
        const int result = os::ShowMessageBox(nullptr, text, "About...", 0x30);
        drawn_ = capture.Finish();
        return result;
    }

    std::string drawn_;
};

TEST_F(MessageBoxScriptTest, ClosesWithOkOnEnterSpaceEscapeAndCtrlC) {
    for (const char* keys : {"Enter", "Space", "Esc", "C-c", "Tab Down Enter"}) {
        EXPECT_EQ(Show(keys), 1) << keys;
    }
    EXPECT_EQ(Show("Tab"), 0);  // the script ran out first
    EXPECT_EQ(Show("Nope"), 0);
}

TEST_F(MessageBoxScriptTest, DrawsCaptionIconAndEveryLineAsWritten) {
    ASSERT_EQ(Show("Enter"), 1);
    EXPECT_NE(drawn_.find("+- About... -"), std::string::npos);
    EXPECT_NE(drawn_.find("/!\\"), std::string::npos);
    EXPECT_NE(drawn_.find("First line"), std::string::npos);
    EXPECT_NE(drawn_.find("    indented line "), std::string::npos);
    EXPECT_NE(drawn_.find("last"), std::string::npos);
    EXPECT_NE(drawn_.find("[[ Ok ]]"), std::string::npos);
    EXPECT_NE(drawn_.find("  keys: Enter\n"), std::string::npos);
    // The lines stack in order.
    EXPECT_LT(drawn_.find("First line"), drawn_.find("indented line"));
    EXPECT_LT(drawn_.find("indented line"), drawn_.find("last"));
}

TEST_F(MessageBoxScriptTest, HostileTextCannotReachTheTerminal) {
    ASSERT_EQ(Show("Enter", "bell\a and \x1b[2J clear\n\xff\xfe"), 1);
    EXPECT_EQ(drawn_.find('\x1b'), std::string::npos);
    EXPECT_EQ(drawn_.find('\a'), std::string::npos);
    EXPECT_NE(drawn_.find("bell? and ?[2J clear"), std::string::npos);
    EXPECT_EQ(Show("Enter", nullptr), 1);  // no text at all is an empty box
}

}  // namespace
