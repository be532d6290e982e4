// The tests answer dialogs with key scripts, and a scripted dialog draws on
// the controlling terminal when the process has one. The test program gives
// up its terminal as it starts, so that a run from a terminal sees what a run
// from CI sees, and the developer's screen stays clean. Tests that need a
// terminal make one (tests/support/child_process.h).
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool LeaveTerminal() {
    // A session leader giving up its terminal would hang up its foreground
    // group; a test program started by a shell or by ctest is none.
    if (getsid(0) == getpid()) return false;
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool left = ioctl(fd, TIOCNOTTY) == 0;
    close(fd);
    return left;
}

[[maybe_unused]] const bool kLeft = LeaveTerminal();

}  // namespace
