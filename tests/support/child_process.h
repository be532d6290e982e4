// Runs a child process for a test, and collects what it wrote and how it
// ended: a program, or a piece of the test's own code run in a fork (a
// dialog, say, that must have a terminal of its own or none at all).
//
// Its standard output and error are pipes of their own (or one, joined), so
// that what goes to each stream, and what goes to a terminal, can be told
// apart. Every wait is bounded: a child that outlives its time is killed and
// the run marked as timed out.
#pragma once

#include <termios.h>

#include <functional>
#include <string>
#include <vector>

enum class ChildTerminal {
    kInherited,  // the test program's own (none: see leave_terminal.cpp)
    kNone,       // a new session, with no controlling terminal
    kOwn,        // a new session whose controlling terminal, and standard
                 // input, is a fresh pseudo-terminal that the test reads
};

// What the test does once the caption shows on the child's own terminal.
enum class TerminalAction {
    kNone,
    kType,    // type the input
    kSignal,  // send the signal
    kHangUp,  // close the terminal
};

struct ChildOptions {
    ChildTerminal terminal = ChildTerminal::kInherited;
    bool outputOnTerminal = false;     // with kOwn: standard output is the terminal too
    bool errorsWithOutput = false;     // standard error joins standard output
    const char* keys = nullptr;        // the key script the child runs with; null: none
    std::vector<std::string> env{};    // "NAME=value" added to (or replacing in) the environment
    std::vector<std::string> unset{};  // names removed from the environment
    const char* caption = "";
    TerminalAction action = TerminalAction::kNone;
    std::string input{};   // for kType
    int signalNumber = 0;  // for kSignal
    int timeoutSeconds = 60;
};

struct ChildRun {
    int status = 0;     // as waitpid gives it
    int exitCode = -1;  // -1 when it did not exit normally
    bool timedOut = false;
    std::string out;       // its standard output (and error, when joined)
    std::string err;       // its standard error
    std::string terminal;  // what it wrote to its own terminal
    termios after{};       // that terminal's settings once it had ended
};

ChildRun RunProgram(const std::vector<std::string>& argv, const ChildOptions& options = {});

// body's result is the child's exit status.
ChildRun RunBody(const std::function<int()>& body, const ChildOptions& options = {});

// The exit status of a child that ended normally and in time; a failure
// otherwise.
int ExitCode(const ChildRun& run);
