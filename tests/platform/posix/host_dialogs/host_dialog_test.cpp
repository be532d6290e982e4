// Dialogs and message boxes shown through a host's dialog services (the test
// stands in for the file manager, tests/fake_dialog_host.h): the settings
// dialog runs as a host form on the host's GUI thread, the dialog framework
// sees what it sees on the other platforms, and a host that hands over less
// gets the terminal dialog, or the failure of a dialog nobody can answer.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dialog/csettings.h"
#include "platform/os_dialog.h"
#include "platform/posix/os_posix_hooks.h"
#include "plugin/wcx_api.h"
#include "standin/entry_list.h"
#include "standin/plugin_module.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_dialog_host.h"
#include "tests/support/fake_gui_thread.h"
#include "tests/support/pack_environment.h"
#include "tests/support/recording_dialog.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

using fake_host::Step;

// The services handed over as a file manager hands them over, and forgotten
// as it lets the module go.
class HostDialogTest : public PackTest {
protected:
    void SetUp() override {
        ExtensionInitialize(&fake_host::StartupInfo());
        problems_ = fake_gui::Problems();
    }
    void TearDown() override {
        // Whatever was held back is let go, and must not touch what is gone.
        fake_gui::Serve(fake_gui::Toolkit::kGlib, true);
        fake_gui::Serve(fake_gui::Toolkit::kQt, true);
        fake_host::ShowHeld();
        fake_gui::WaitIdle();
        fake_gui::OfferQt(false);
        os::posix_hooks::handoverMilliseconds = 0;
        ExtensionFinalize(nullptr);
        EXPECT_TRUE(fake_host::seen().problems.empty()) << fake_host::seen().problems.front();
        EXPECT_EQ(fake_gui::Problems(), problems_);
    }

    intptr_t Settings(std::vector<Step> steps) {
        fake_host::Expect(std::move(steps));
        return settings_.DoModal();
    }

    CSettings settings_;
    int problems_ = 0;
};

using fake_gui::Toolkit;

TEST_F(HostDialogTest, EnterIsOkOnAFormOfTheHostShownOnItsGuiThread) {
    env_.Keys("Esc");  // the terminal's answer, which must not be the one taken
    const int ran = fake_gui::Ran(Toolkit::kGlib);
    EXPECT_EQ(Settings({{Step::kEnter, ""}}), IDOK);
    EXPECT_EQ(settings_.m_nProjectStyle, 0);
    EXPECT_EQ(settings_.m_nResultsFile, 0);
    const fake_host::Seen& seen = fake_host::seen();
    EXPECT_EQ(seen.formsShown, 1);
    EXPECT_EQ(fake_gui::Ran(Toolkit::kGlib), ran + 1);  // queued there, the caller waiting
    EXPECT_NE(seen.formText.find("Caption = 'Mossgrain: Settings'"), std::string::npos);
    // The framework's initial exchange checked the first button of each group.
    EXPECT_EQ(seen.choicesShown,
              (std::map<std::string, intptr_t>{{"rgProjectStyle", 0}, {"rgResultsFile", 0}}));
    EXPECT_EQ(seen.closedWith, 1);
}

TEST_F(HostDialogTest, ChoicesReachTheMembersAsTheTemplateRoutesThem) {
    const struct {
        std::vector<Step> steps;
        intptr_t result;
        int projectStyle, resultsFile;
        intptr_t closedWith;
    } cases[] = {
        // Pascal, then Ok: read at once and again by Ok.
        {{{Step::kChoose, "rgProjectStyle", 1}, {Step::kClick, "btnOk"}}, IDOK, 1, 0, 1},
        {{{Step::kChoose, "rgResultsFile", 1}, {Step::kEnter, ""}}, IDOK, 0, 1, 1},
        // A project style is read at once, so even a cancel keeps it...
        {{{Step::kChoose, "rgProjectStyle", 1}, {Step::kEscape, ""}}, IDCANCEL, 1, 0, 2},
        // ... a results file only by Ok.
        {{{Step::kChoose, "rgResultsFile", 1}, {Step::kClick, "btnCancel"}}, IDCANCEL, 0, 0, 2},
        // Closing the window is the cancel command.
        {{{Step::kChoose, "rgProjectStyle", 1}, {Step::kCloseWindow, ""}}, IDCANCEL, 1, 0, 2},
        // Back and forth: the last choice counts.
        {{{Step::kChoose, "rgProjectStyle", 1},
          {Step::kChoose, "rgProjectStyle", 0},
          {Step::kEnter, ""}},
         IDOK,
         0,
         0,
         1},
    };
    for (const auto& c : cases) {
        CSettings settings;
        fake_host::Expect(c.steps);
        EXPECT_EQ(settings.DoModal(), c.result) << c.steps.front().control;
        EXPECT_EQ(settings.m_nProjectStyle, c.projectStyle) << c.steps.front().control;
        EXPECT_EQ(settings.m_nResultsFile, c.resultsFile) << c.steps.front().control;
        EXPECT_EQ(fake_host::seen().closedWith, c.closedWith) << c.steps.front().control;
    }
}

using os::ControlKind;
using os::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {20, ControlKind::kAutoRadioButton, "a", 10, 10, 40, 10, true, true},
    {21, ControlKind::kAutoRadioButton, "b", 10, 24, 40, 10, false, false},
    {-1, ControlKind::kGroupBox, "box", 5, 2, 60, 40, false, false},
    {10, ControlKind::kPushButton, "Go", 80, 30, 40, 14, true, true},
};
constexpr os::DialogTemplate kTemplate = {7, "Test", 130, 50, "", 8, 0, kControls, 4};

TEST_F(HostDialogTest, UsersChoicesAreClicksAndTheModulesAreNot) {
    RecordingDialog events;
    events.checkInInit = 21;  // shown on the form
    fake_host::Expect({{Step::kChoose, "rgBox", 0}, {Step::kClick, "btnGo"}});
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), 10);
    // Checking "b" in OnInit made the host report a click: not passed on.
    EXPECT_EQ(events.commands, (std::vector<int>{20, 10}));
    EXPECT_EQ(fake_host::seen().choicesShown.at("rgBox"), 1);
    EXPECT_EQ(fake_host::seen().closedWith, 2);  // a result other than Ok
}

TEST_F(HostDialogTest, ADialogThatEndsInItsInitialisationClosesTheForm) {
    RecordingDialog events;
    events.endInInit = -1;
    fake_host::Expect({{Step::kEnter, ""}});
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), -1);
    EXPECT_TRUE(events.commands.empty());
    EXPECT_EQ(fake_host::seen().closedWith, 2);
}

TEST_F(HostDialogTest, AFormThatNeverShowsIsADialogThatCouldNotBeShown) {
    fake_host::Expect({});
    fake_host::NeverShow();
    EXPECT_EQ(settings_.DoModal(), -1);
}

// A Qt host reaches its GUI thread through Qt's own loop, which serves it
// also where GLib's idle queue is never looked at (Qt without GLib).
TEST_F(HostDialogTest, AQtHostShowsTheFormThroughQtsOwnLoop) {
    fake_gui::OfferQt(true);
    fake_gui::Serve(Toolkit::kGlib, false);
    const int ran = fake_gui::Ran(Toolkit::kQt);
    EXPECT_EQ(Settings({{Step::kChoose, "rgProjectStyle", 1}, {Step::kEnter, ""}}), IDOK);
    EXPECT_EQ(settings_.m_nProjectStyle, 1);
    EXPECT_EQ(fake_host::seen().closedWith, 1);
    fake_gui::WaitIdle();
    // The event that ran it, then the deletion of its object and of its hook.
    EXPECT_EQ(fake_gui::Ran(Toolkit::kQt), ran + 3);
    EXPECT_EQ(fake_gui::Pending(Toolkit::kGlib), 0);
    fake_host::Expect({}, 5);
    EXPECT_EQ(os::ShowMessageBox(nullptr, "text", "caption", 0x30), 5);
}

// A GUI thread that never starts what it is handed fails the dialog within
// its bound, whichever toolkit's queue it was, and what was queued is taken
// back: served later, nothing of it runs.
TEST_F(HostDialogTest, AGuiThreadThatDoesNotServeItsQueueFailsTheDialogInTime) {
    os::posix_hooks::handoverMilliseconds = 200;
    TestTree tree;
    tree.File("src/a.c", "int a;\n");
    std::string report = tree.path("report.csv"), source = tree.source();
    std::string list = EntryList({"src/"});
    for (const Toolkit toolkit : {Toolkit::kGlib, Toolkit::kQt}) {
        fake_gui::OfferQt(toolkit == Toolkit::kQt);
        fake_gui::Serve(toolkit, false);
        EXPECT_EQ(Settings({{Step::kEnter, ""}}), -1);
        // The pack job ends, as one whose dialog could not be shown.
        EXPECT_EQ(PackFiles(report.data(), nullptr, source.data(), list.data(), 0),
                  kWcxNotSupported);
        EXPECT_FALSE(std::filesystem::exists(report));
        fake_host::Expect({}, 5);
        EXPECT_EQ(os::ShowMessageBox(nullptr, "text", "caption", 0x30), 0);
        // Left queued: for Qt, the deletion of the three withdrawn objects.
        EXPECT_EQ(fake_gui::Pending(toolkit), toolkit == Toolkit::kQt ? 3 : 0);
        fake_gui::Serve(toolkit, true);
        fake_gui::WaitIdle();
        EXPECT_EQ(fake_host::seen().formsShown, 0);
        EXPECT_TRUE(fake_host::seen().messageBoxes.empty());
    }
}

// A form the host starts but does not show (an error box over it, say) fails
// the dialog within its bound. Should it show after all, it is closed at once
// and the dialog object, whose run is over, hears nothing of it.
TEST_F(HostDialogTest, AFormThatDoesNotShowInTimeFailsTheDialogAndClosesLater) {
    os::posix_hooks::handoverMilliseconds = 200;
    fake_host::Expect({{Step::kClick, "btnGo"}});
    fake_host::HoldShowing();
    RecordingDialog events;
    EXPECT_EQ(os::RunModalDialog(kTemplate, events), -1);
    fake_host::ShowHeld();
    fake_gui::WaitIdle();
    EXPECT_EQ(fake_host::seen().formsShown, 1);
    EXPECT_EQ(fake_host::seen().closedWith, 2);
    EXPECT_EQ(events.inits, 0);
    EXPECT_TRUE(events.commands.empty());
}

TEST_F(HostDialogTest, ATemplateTheHostCannotShowGoesToTheTerminal) {
    // "c" lies in no group box: the host has no single radio button.
    constexpr ControlTemplate kLoose[] = {
        {20, ControlKind::kAutoRadioButton, "a", 10, 10, 40, 10, true, true},
        {-1, ControlKind::kGroupBox, "box", 5, 2, 60, 40, false, false},
        {22, ControlKind::kAutoRadioButton, "c", 80, 10, 40, 10, true, true},
        {10, ControlKind::kPushButton, "Go", 80, 30, 40, 14, true, true},
    };
    const os::DialogTemplate loose = {7, "Test", 130, 50, "", 8, 0, kLoose, 4};
    env_.Keys("Tab Tab Space");  // from "a" to "c" to Go, answered in the terminal
    RecordingDialog events;
    fake_host::Expect({});
    EXPECT_EQ(os::RunModalDialog(loose, events), 10);
    EXPECT_EQ(fake_host::seen().formsShown, 0);
}

TEST_F(HostDialogTest, MessageBoxesAreTheHosts) {
    fake_host::Expect({}, 1);
    EXPECT_EQ(os::ShowMessageBox(nullptr, "line one\nline two", "About...", 0x30), 1);
    fake_host::Expect({}, 7);
    EXPECT_EQ(os::ShowMessageBox(nullptr, nullptr, nullptr, 0x10), 7);
    EXPECT_EQ(fake_host::seen().messageBoxes, (std::vector<std::string>{"||16"}));
}

// ---- through the module's exports, as a host calls them ------------------------

class HostRecordTest : public PackTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module_.Load(MOSSGRAIN_MODULE_PATH, error)) << error;
        tree_.File("src/a.c", "int a;\n");
        fake_host::Expect({{Step::kEnter, ""}});
    }
    void TearDown() override { module_.ExtensionFinalize(nullptr); }

    // A pack of src/, the settings dialog answered by the host's form (Enter)
    // or by the terminal's key script.
    int Pack() {
        std::filesystem::remove(out_.path("report.csv"));
        std::string report = out_.path("report.csv"), source = tree_.source();
        std::string list = EntryList({"src/"});
        return module_.PackFiles(report.data(), nullptr, source.data(), list.data(), 0);
    }
    bool Written() const {
        return out_.Read("report.csv") ==
               kReportHeader + "src;    1;       1;       1;       0;       0;100\r\n";
    }

    // A copy of the host's record that claims to hold only size bytes.
    tExtensionStartupInfo& Record(uint32_t size) {
        copy_ = fake_host::StartupInfo();
        copy_.StructSize = size;
        return copy_;
    }

    PluginModule module_;
    TestTree tree_, out_;
    tExtensionStartupInfo copy_;
};

TEST_F(HostRecordTest, AFullRecordShowsTheDialogAndTheAboutBoxAsTheHosts) {
    module_.ExtensionInitialize(&fake_host::StartupInfo());
    env_.Keys("Esc");
    EXPECT_EQ(Pack(), 0);
    EXPECT_TRUE(Written());
    EXPECT_EQ(fake_host::seen().formsShown, 1);
    EXPECT_EQ(module_.ConfigurePacker(nullptr, module_.handle), 1);
    ASSERT_EQ(fake_host::seen().messageBoxes.size(), 1u);
    EXPECT_EQ(fake_host::seen().messageBoxes[0].substr(0, 53),
              "About...|Mossgrain plug-in for TotalCommander v 0.2 \n");
}

TEST_F(HostRecordTest, WhatTheHostDidNotHandOverIsNotUsed) {
    const struct {
        const char* record;
        uint32_t size;
        bool nullForm;
        bool hostMessageBox;
    } cases[] = {
        {"up to the message box", offsetof(tExtensionStartupInfo, DialogBoxLFM), false, true},
        {"cut inside the last service", offsetof(tExtensionStartupInfo, SendDlgMsg) + 4, false,
         true},
        {"only its size", 4, false, false},
        {"no size at all", 0, false, false},
        {"a null form service", sizeof(tExtensionStartupInfo), true, true},
    };
    for (const auto& c : cases) {
        tExtensionStartupInfo& record = Record(c.size);
        if (c.nullForm) record.DialogBoxLFM = nullptr;
        fake_host::Expect({{Step::kEnter, ""}});
        module_.ExtensionInitialize(&record);
        // The terminal's key script answers the dialog.
        EXPECT_EQ(Pack(), 0) << c.record;
        EXPECT_TRUE(Written()) << c.record;
        EXPECT_EQ(fake_host::seen().formsShown, 0) << c.record;
        EXPECT_EQ(module_.ConfigurePacker(nullptr, nullptr), 1) << c.record;
        EXPECT_EQ(fake_host::seen().messageBoxes.size(), c.hostMessageBox ? 1u : 0u) << c.record;
    }
}

TEST_F(HostRecordTest, NoRecordAndFinalizingLeaveTheTerminal) {
    module_.ExtensionInitialize(nullptr);
    EXPECT_EQ(Pack(), 0);
    EXPECT_TRUE(Written());
    module_.ExtensionInitialize(&fake_host::StartupInfo());
    module_.ExtensionFinalize(nullptr);
    EXPECT_EQ(Pack(), 0);
    EXPECT_TRUE(Written());
    EXPECT_EQ(fake_host::seen().formsShown, 0);
}

// Neither services nor a terminal nor a key script: the run fails, and no
// report is made.
TEST_F(HostRecordTest, ADialogNobodyCanAnswerIsNotSupported) {
    for (tExtensionStartupInfo* record :
         {static_cast<tExtensionStartupInfo*>(nullptr), &Record(4)}) {
        const ChildRun run = RunBody(
            [&] {
                module_.ExtensionInitialize(record);
                const bool failed = Pack() == kWcxNotSupported;
                return failed && !std::filesystem::exists(out_.path("report.csv")) ? 0 : 1;
            },
            {.terminal = ChildTerminal::kNone, .errorsWithOutput = true});
        EXPECT_EQ(run.exitCode, 0) << run.out;
    }
}

}  // namespace
