#include "tests/pty_child.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "tests/pack_environment.h"

namespace {

constexpr auto kDeadline = std::chrono::seconds(15);

// Appends what fd has now; false once it has ended.
bool Drain(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) into.append(buffer, static_cast<size_t>(n));
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
}

// Appends what fd has until it ends or has nothing more to give.
void ReadToEnd(int fd, std::string& into) {
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        into.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

PtyRun RunOnPty(const std::function<int()>& body, const PtyOptions& options) {
    PtyRun run;
    int errors[2];
    if (pipe2(errors, O_CLOEXEC | O_NONBLOCK) != 0) {
        ADD_FAILURE() << "pipe: " << strerror(errno);
        return run;
    }
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) {
        ADD_FAILURE() << "forkpty: " << strerror(errno);
        close(errors[0]);
        close(errors[1]);
        return run;
    }
    if (pid == 0) {
        alarm(20);  // a hung child dies
        dup2(errors[1], 2);
        PackEnvironment::Keys(options.keys);
        _exit(body());
    }
    close(errors[1]);
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    bool acted = options.action == PtyAction::kNone;
    bool masterOpen = true;
    bool errorsOpen = true;
    for (;;) {
        pollfd p[2] = {{masterOpen ? master : -1, POLLIN, 0},
                       {errorsOpen ? errors[0] : -1, POLLIN, 0}};
        if (poll(p, 2, 20) > 0) {
            // After the child's last close the terminal reads as an error:
            // the loop then only waits for the child to end.
            if (p[0].revents != 0) Drain(master, run.output);
            if (p[1].revents != 0) errorsOpen = Drain(errors[0], run.errors);
        }
        if (!acted && run.output.find(options.caption) != std::string::npos) {
            acted = true;
            if (options.action == PtyAction::kType) {
                EXPECT_EQ(write(master, options.input.data(), options.input.size()),
                          ssize_t(options.input.size()));
            } else if (options.action == PtyAction::kSignal) {
                kill(pid, options.signalNumber);
            } else if (options.action == PtyAction::kHangUp) {
                close(master);
                masterOpen = false;
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
    if (masterOpen) {
        tcgetattr(master, &run.after);
        pollfd p = {master, POLLIN, 0};
        while (poll(&p, 1, 0) > 0 && Drain(master, run.output)) {
        }
        close(master);
    }
    // The child has ended: what is left in the pipe is all there is.
    if (errorsOpen) ReadToEnd(errors[0], run.errors);
    close(errors[0]);
    return run;
}

int ExitCode(const PtyRun& run) {
    EXPECT_FALSE(run.timedOut) << run.output;
    EXPECT_TRUE(WIFEXITED(run.status)) << run.output;
    return WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
}

DetachedRun RunWithoutTerminal(const std::function<int()>& body, const char* keys) {
    DetachedRun run;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << strerror(errno);
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(20);
        setsid();
        dup2(out[1], 1);
        dup2(out[1], 2);
        PackEnvironment::Keys(keys);
        _exit(body());
    }
    close(out[1]);
    if (pid > 0) ReadToEnd(out[0], run.output);
    close(out[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "the child did not start";
        return run;
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}
