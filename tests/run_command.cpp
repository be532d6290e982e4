#include "tests/run_command.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace {

std::vector<std::string> ChildEnvironment(const CommandOptions& options) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool drop = false;
        for (const std::string& u : options.unset) drop = drop || u == name;
        for (const std::string& s : options.env) drop = drop || s.substr(0, s.find('=')) == name;
        if (!drop) env.push_back(entry);
    }
    env.insert(env.end(), options.env.begin(), options.env.end());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, const CommandOptions& options) {
    CommandResult result;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;

    // A terminal of its own: opened in the child's new session, the first
    // terminal it opens becomes its controlling one.
    int master = -1, slave = -1;
    char slaveName[256] = "/dev/null";
    if (options.terminal) {
        if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) return result;
        fcntl(master, F_SETFD, FD_CLOEXEC);
        close(slave);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, slaveName, options.terminal ? O_RDWR : O_RDONLY,
                                     0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (options.newSession || options.terminal) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    }

    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChildEnvironment(options);
    std::vector<char*> argp = Pointers(args), envp = Pointers(env);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(out[1]);
    close(err[1]);
    if (spawned != 0) {
        close(out[0]);
        close(err[0]);
        if (master >= 0) close(master);
        result.err = std::string("spawn failed: ") + std::strerror(spawned);
        return result;
    }

    // The terminal reads as an error once the child has closed it: it is
    // read along, but the run ends with the two streams.
    const time_t deadline = time(nullptr) + options.timeoutSeconds;
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {master, POLLIN, 0}};
    std::string* into[3] = {&result.out, &result.err, &result.terminal};
    int open = 2;
    while (open > 0 && time(nullptr) < deadline) {
        if (poll(fds, 3, 1000) <= 0) continue;
        for (int i = 0; i < 3; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                into[i]->append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                if (i < 2) --open;
            }
        }
    }
    if (open > 0) kill(pid, SIGKILL);
    // What the terminal still holds.
    for (pollfd& f = fds[2]; f.fd >= 0 && poll(&f, 1, 0) > 0;) {
        char buffer[4096];
        const ssize_t n = read(f.fd, buffer, sizeof buffer);
        if (n <= 0) break;
        result.terminal.append(buffer, static_cast<size_t>(n));
    }
    for (pollfd& f : fds) {
        if (f.fd >= 0) close(f.fd);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
