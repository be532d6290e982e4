#include "tests/support/private_mounts.h"

#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

void WriteAllTo(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n <= 0) return;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

std::string ReadAllFrom(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace

// The kernel ignores source and type when it only changes a mount's flags;
// they are given all the same, as valgrind checks every string passed.
PrivateMountsRun RunWithPrivateMounts(const std::function<std::string()>& body) {
    PrivateMountsRun run;
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        run.text = "no pipe";
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string text;
        if (unshare(CLONE_NEWNS) != 0) {
            text = std::string("no mount namespace: unshare: ") + std::strerror(errno);
        } else if (mount("none", "/", "none", MS_REC | MS_PRIVATE, nullptr) != 0) {
            text = std::string("no private mounts: mount: ") + std::strerror(errno);
        } else {
            text = "ran:" + body();
        }
        WriteAllTo(channel[1], text);
        _exit(0);  // no exit handlers: they belong to the parent's test run
    }
    close(channel[1]);
    const std::string text = ReadAllFrom(channel[0]);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) {
        run.ran = true;
        run.text = "the child died with signal " + std::to_string(WTERMSIG(status));
    } else if (text.rfind("ran:", 0) == 0) {
        run.ran = true;
        run.text = text.substr(4);
    } else {
        run.text = text;
    }
    return run;
}

bool MountTmpfs(const std::string& folder, size_t size) {
    std::filesystem::create_directories(folder);
    const std::string options = "size=" + std::to_string(size) + ",mode=0755";
    return mount("mossgrain-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool RemountReadOnly(const std::string& folder) {
    return mount("none", folder.c_str(), "none", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

void FillUp(const std::string& folder, int sparePages) {
    const std::string page(static_cast<size_t>(sysconf(_SC_PAGESIZE)), 'f');
    std::vector<std::string> fillers;
    for (;;) {
        const std::string name = folder + "/filler-" + std::to_string(fillers.size());
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) break;
        const bool whole = write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size());
        close(fd);
        if (!whole) {
            unlink(name.c_str());
            break;
        }
        fillers.push_back(name);
    }
    for (int i = 0; i < sparePages && !fillers.empty(); ++i) {
        unlink(fillers.back().c_str());
        fillers.pop_back();
    }
}
