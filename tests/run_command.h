// Runs a program as a child process and collects what it printed.
#pragma once

#include <string>
#include <vector>

struct CommandResult {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
    std::string terminal;  // what it wrote to its terminal (CommandOptions::terminal)
};

struct CommandOptions {
    bool newSession = false;           // no controlling terminal for the child
    bool terminal = false;             // a new session whose terminal (and input) is a fresh one
    std::vector<std::string> env{};    // "NAME=value" added to (or replacing in) the environment
    std::vector<std::string> unset{};  // names removed from the environment
    int timeoutSeconds = 60;           // killed after this long
};

CommandResult RunCommand(const std::vector<std::string>& argv, const CommandOptions& options = {});
