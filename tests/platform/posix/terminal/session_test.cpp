// Dialogs on a real terminal: each run is a child process whose controlling
// terminal is a fresh pseudo-terminal, typed at and read by this process.
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <termios.h>

#include <algorithm>
#include <string>

#include "dialog/csettings.h"
#include "platform/os.h"
#include "tests/support/child_process.h"

namespace {

// Exit codes of a child beyond the dialog's own results.
constexpr int kTerminalChanged = 100;  // its settings differ after the dialog
constexpr int kDialogFailed = 99;      // the dialog returned -1
constexpr int kHostHandlerMissed = 98;
constexpr int kHandlersChanged = 97;  // a signal disposition differs after the dialog

constexpr const char* kCaption = "Mossgrain: Settings";  // shown once the dialog is up
constexpr int kDialogSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};

void Dispositions(sighandler_t (&handlers)[4]) {
    for (int i = 0; i < 4; ++i) {
        struct sigaction now {};
        sigaction(kDialogSignals[i], nullptr, &now);
        handlers[i] = now.sa_handler;
    }
}

bool SameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// The settings dialog; exits with its result, plus 10 for the Pascal style and
// 20 for the second results file.
int SettingsBody() {
    termios before{}, after{};
    tcgetattr(0, &before);
    sighandler_t handlersBefore[4], handlersAfter[4];
    Dispositions(handlersBefore);
    CSettings settings;
    const intptr_t result = settings.DoModal();
    Dispositions(handlersAfter);
    if (!std::equal(handlersBefore, handlersBefore + 4, handlersAfter)) return kHandlersChanged;
    // A terminal that hung up has no settings left to compare.
    if (tcgetattr(0, &after) == 0 && !SameSettings(before, after)) return kTerminalChanged;
    if (result < 0) return kDialogFailed;
    return static_cast<int>(result) + 10 * settings.m_nProjectStyle + 20 * settings.m_nResultsFile;
}

int AboutBody() { return os::ShowMessageBox(nullptr, "line one\nline two", "About...", 0x30); }

volatile sig_atomic_t g_hostSawSignal = 0;
void HostHandler(int) { g_hostSawSignal = 1; }

// A host with its own SIGINT handler: the dialog must pass the signal on,
// end, and leave the handler in place.
int HostHandlerBody() {
    signal(SIGINT, HostHandler);
    const int result = SettingsBody();
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    if (!g_hostSawSignal || now.sa_handler != HostHandler) return kHostHandlerMissed;
    return result;
}

// A host that ignores hang-ups: the dialog sees its terminal end instead.
int IgnoresHangUpBody() {
    signal(SIGHUP, SIG_IGN);
    return SettingsBody();
}

// The dialogs draw on the terminal they read from.
ChildOptions OnTerminal(const char* caption, TerminalAction action) {
    return {.terminal = ChildTerminal::kOwn,
            .outputOnTerminal = true,
            .caption = caption,
            .action = action,
            .timeoutSeconds = 15};
}

ChildRun Type(int (*body)(), const char* caption, const std::string& typed) {
    ChildOptions options = OnTerminal(caption, TerminalAction::kType);
    options.input = typed;
    return RunBody(body, options);
}

ChildRun Signal(int (*body)(), int signalNumber) {
    ChildOptions options = OnTerminal(kCaption, TerminalAction::kSignal);
    options.signalNumber = signalNumber;
    return RunBody(body, options);
}

TEST(DialogOnTerminalTest, KeysAnswerTheSettingsDialog) {
    struct Case {
        const char* typed;
        int exit;
    } cases[] = {
        {"\r", 1},                     // Enter on Ok
        {"\x1b[B\r", 2},               // Down moves from Ok to Cancel
        {"\t\t\x1b[B\r", 11},          // Down onto Pascal checks it; Enter is Ok
        {"\x1b[Z\x1b[Z\x1bOA\r", 21},  // keypad-mode Up wraps from .csv to the other
        {"\x1b", 2},                   // a lone Escape, told from a sequence by waiting
        {"\x03", 2},                   // Ctrl-C is a key here, not a signal
        {"\t\t\x1b[A\x1b", 12},        // Pascal is read at once, Escape keeps it
    };
    for (const Case& c : cases) {
        const ChildRun run = Type(SettingsBody, kCaption, c.typed);
        EXPECT_EQ(ExitCode(run), c.exit) << testing::PrintToString(std::string(c.typed));
    }
}

TEST(DialogOnTerminalTest, HidesTheCursorAndGivesItBack) {
    const ChildRun run = Type(SettingsBody, kCaption, "\t\r");
    ASSERT_EQ(ExitCode(run), 2);  // Tab to Cancel, Enter
    const size_t hidden = run.terminal.find("\x1b[?25l");
    ASSERT_NE(hidden, std::string::npos);
    EXPECT_LT(hidden, run.terminal.find(kCaption));
    // Redrawn after Tab with Cancel focused, then the cursor is shown below.
    EXPECT_NE(run.terminal.find("\x1b[7m>[[ Cancel ]]"), std::string::npos);
    EXPECT_GT(run.terminal.rfind("\x1b[?25h\r\n"), run.terminal.rfind("Cancel"));
}

TEST(DialogOnTerminalTest, AboutBoxClosesWithOk) {
    for (const char* typed : {"\r", " ", "\x1b"}) {
        const ChildRun run = Type(AboutBody, "About...", typed);
        EXPECT_EQ(ExitCode(run), 1);
        EXPECT_NE(run.terminal.find("line two"), std::string::npos);
    }
}

TEST(DialogOnTerminalTest, TerminatingSignalRestoresTheTerminalFirst) {
    const ChildRun run = Signal(SettingsBody, SIGTERM);
    ASSERT_FALSE(run.timedOut);
    ASSERT_TRUE(WIFSIGNALED(run.status));
    EXPECT_EQ(WTERMSIG(run.status), SIGTERM);
    EXPECT_TRUE(run.after.c_lflag & ICANON);
    EXPECT_TRUE(run.after.c_lflag & ECHO);
    EXPECT_TRUE(run.after.c_lflag & ISIG);
    EXPECT_NE(run.terminal.find("\x1b[?25h"), std::string::npos);
}

TEST(DialogOnTerminalTest, HostHandlerGetsTheSignalAndIsPutBack) {
    const ChildRun run = Signal(HostHandlerBody, SIGINT);
    EXPECT_EQ(ExitCode(run), kDialogFailed);  // the dialog ends with -1, the terminal restored
}

TEST(DialogOnTerminalTest, TerminalThatEndsEndsTheDialog) {
    const ChildRun run = RunBody(IgnoresHangUpBody, OnTerminal(kCaption, TerminalAction::kHangUp));
    EXPECT_EQ(ExitCode(run), kDialogFailed);
}

// Without a script and without a controlling terminal nothing can be asked.
TEST(DialogWithoutTerminalTest, FailsAtOnceAndSilently) {
    const ChildRun run = RunBody(
        [] {
            CSettings settings;
            const bool failed = settings.DoModal() == -1;
            const bool closed = os::ShowMessageBox(nullptr, "text", "About...", 0x30) == 0;
            return failed && closed ? 0 : 1;
        },
        {.terminal = ChildTerminal::kNone, .errorsWithOutput = true});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
}

}  // namespace
