#include "tests/support/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "platform/os_dialog.h"

extern char** environ;

namespace {

// The environment the child gets: the test program's, less what the options
// remove or replace, plus what they add.
std::vector<std::string> ChildEnvironment(const ChildOptions& options) {
    std::vector<std::string> add = options.env;
    std::vector<std::string> drop = options.unset;
    drop.push_back(os::kKeyScriptVariable);
    if (options.keys != nullptr)
        add.push_back(std::string(os::kKeyScriptVariable) + "=" + options.keys);
    for (const std::string& a : add) drop.push_back(a.substr(0, a.find('=')));
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool dropped = false;
        for (const std::string& d : drop) dropped = dropped || d == name;
        if (!dropped) env.push_back(entry);
    }
    env.insert(env.end(), add.begin(), add.end());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

enum class Drained {
    kMore,     // it gave something, or was interrupted: read again
    kNoneNow,  // nothing for now (none of the descriptors read here blocks)
    kEnded,    // closed, or failed: a terminal whose child has closed it
};

// Appends what fd has now.
Drained Drain(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) into.append(buffer, static_cast<size_t>(n));
    if (n > 0 || (n < 0 && errno == EINTR)) return Drained::kMore;
    return n < 0 && errno == EAGAIN ? Drained::kNoneNow : Drained::kEnded;
}

// In the child: its terminal, its streams and its environment, then the
// program or the body; nothing here returns. The parent's ends are closed
// first: a body runs without an exec that would close them, and a terminal
// whose master the child held open would never hang up.
[[noreturn]] void BecomeChild(const ChildOptions& options, const int (&parentEnds)[3], int slave,
                              int out, int err, std::vector<char*>& envp, std::vector<char*>* argv,
                              const std::function<int()>* body) {
    for (int fd : parentEnds) {
        if (fd >= 0) close(fd);
    }
    if (options.terminal != ChildTerminal::kInherited) setsid();
    if (options.terminal == ChildTerminal::kOwn) {
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, 0);
        if (options.outputOnTerminal) out = slave;
    } else {
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, 0);
        if (nothing > 0) close(nothing);
    }
    dup2(out, 1);
    dup2(options.errorsWithOutput ? out : err, 2);
    for (int fd : {slave, out, err}) {
        if (fd > 2) close(fd);
    }
    if (argv != nullptr) {
        execve((*argv)[0], argv->data(), envp.data());
        _exit(127);
    }
    environ = envp.data();
    _exit((*body)());
}

ChildRun Run(std::vector<std::string>* argv, const std::function<int()>* body,
             const ChildOptions& options) {
    ChildRun run;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << strerror(errno);
        return run;
    }
    int master = -1, slave = -1;
    if (options.terminal == ChildTerminal::kOwn) {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty: " << strerror(errno);
            return run;
        }
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
    }
    // Made before the fork: the child of a program that has threads should
    // not allocate before it runs its own code.
    std::vector<std::string> env = ChildEnvironment(options);
    std::vector<char*> envp = Pointers(env);
    std::vector<char*> argp;
    if (argv != nullptr) argp = Pointers(*argv);

    const pid_t pid = fork();
    if (pid == 0) {
        const int parentEnds[3] = {out[0], err[0], master};
        BecomeChild(options, parentEnds, slave, out[1], err[1], envp,
                    argv != nullptr ? &argp : nullptr, body);
    }
    close(out[1]);
    close(err[1]);
    if (slave >= 0) close(slave);
    if (pid < 0) {
        ADD_FAILURE() << "fork: " << strerror(errno);
        for (int fd : {out[0], err[0], master}) {
            if (fd >= 0) close(fd);
        }
        return run;
    }
    for (int fd : {out[0], err[0], master}) {
        if (fd >= 0) fcntl(fd, F_SETFL, O_NONBLOCK);
    }

    // The terminal reads as an error once the child has closed it; the run
    // ends when the child does, and what the streams and the terminal still
    // hold is read then.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    int fds[3] = {out[0], err[0], master};
    bool ended[3] = {false, false, false};
    std::string* into[3] = {&run.out, &run.err, &run.terminal};
    bool acted = options.action == TerminalAction::kNone;
    for (;;) {
        pollfd p[3];
        for (int i = 0; i < 3; ++i) p[i] = {ended[i] ? -1 : fds[i], POLLIN, 0};
        if (poll(p, 3, 20) > 0) {
            for (int i = 0; i < 3; ++i) {
                if (p[i].fd >= 0 && p[i].revents != 0) {
                    ended[i] = Drain(fds[i], *into[i]) == Drained::kEnded;
                }
            }
        }
        if (!acted && run.terminal.find(options.caption) != std::string::npos) {
            acted = true;
            if (options.action == TerminalAction::kType) {
                EXPECT_EQ(write(master, options.input.data(), options.input.size()),
                          ssize_t(options.input.size()));
            } else if (options.action == TerminalAction::kSignal) {
                kill(pid, options.signalNumber);
            } else if (options.action == TerminalAction::kHangUp) {
                close(master);
                master = fds[2] = -1;
            }
        }
        if (waitpid(pid, &run.status, WNOHANG) == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &run.status, 0);
            run.timedOut = true;
            break;
        }
    }
    if (master >= 0) tcgetattr(master, &run.after);
    // The child has ended: what is left is all there is (a descendant that
    // still holds a stream is not waited for).
    for (int i = 0; i < 3; ++i) {
        if (fds[i] < 0) continue;
        while (Drain(fds[i], *into[i]) == Drained::kMore) {
        }
        close(fds[i]);
    }
    if (WIFEXITED(run.status) && !run.timedOut) run.exitCode = WEXITSTATUS(run.status);
    return run;
}

}  // namespace

ChildRun RunProgram(const std::vector<std::string>& argv, const ChildOptions& options) {
    std::vector<std::string> args = argv;
    return Run(&args, nullptr, options);
}

ChildRun RunBody(const std::function<int()>& body, const ChildOptions& options) {
    return Run(nullptr, &body, options);
}

int ExitCode(const ChildRun& run) {
    EXPECT_FALSE(run.timedOut) << run.terminal << run.out;
    EXPECT_TRUE(WIFEXITED(run.status)) << run.terminal << run.out;
    return WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
}
