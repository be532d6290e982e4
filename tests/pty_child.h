// Runs a piece of test code in a child process: on a terminal of its own, or
// with none at all.
//
// On a terminal: the child's controlling terminal is a fresh pseudo-terminal,
// typed at and read by the test. Its standard error is a pipe of its own, so
// that what goes to the terminal and what goes to the stream can be told
// apart. Every wait is bounded: a child that never ends is killed and the run
// marked as timed out.
#pragma once

#include <termios.h>

#include <functional>
#include <string>

enum class PtyAction {
    kNone,    // only wait for the child to end
    kType,    // type the input
    kSignal,  // send the signal
    kHangUp,  // close the terminal
};

struct PtyRun {
    int status = 0;
    bool timedOut = false;
    std::string output;  // everything the child wrote to the terminal
    std::string errors;  // everything it wrote to its standard error
    termios after{};     // the terminal's settings once the child has ended
};

struct PtyOptions {
    const char* caption = "";  // the action waits until this shows on the terminal
    PtyAction action = PtyAction::kNone;
    std::string input{};         // for kType
    int signalNumber = 0;        // for kSignal
    const char* keys = nullptr;  // the key script in the child; null: unset
};

// Runs body in the child and returns how it ended; body's result is the
// child's exit status.
PtyRun RunOnPty(const std::function<int()>& body, const PtyOptions& options);

// The exit status of a child that ended normally; a failure otherwise.
int ExitCode(const PtyRun& run);

struct DetachedRun {
    int exitCode = -1;   // -1 when it did not exit normally
    std::string output;  // what it wrote to its standard output and error
};

// Runs body in a child of a new session, which has no controlling terminal,
// with keys as its key script (null: unset); killed after 20 s.
DetachedRun RunWithoutTerminal(const std::function<int()>& body, const char* keys);
