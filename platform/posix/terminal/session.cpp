#include "platform/posix/terminal/session.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

#include "platform/posix/write_all.h"

namespace os::terminal {
namespace {

// How long to wait after an ESC byte for the rest of an escape sequence. A
// terminal sends a sequence in one burst; a person cannot type that fast.
constexpr int kEscapeWaitMs = 50;

// The signals that end a terminal program. Their default action would leave
// the user's terminal without echo and without a cursor.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];

constexpr char kShowCursorBelow[] = "\x1b[0m\x1b[?25h\r\n";

// What a signal handler needs to give the terminal back. Only one dialog
// holds the terminal at a time (busy), so one set suffices. Everything the
// handler reads is written before the handlers are installed.
struct SharedState {
    std::atomic<bool> busy{false};
    std::atomic<bool> raw{false};    // the terminal has our settings and must be restored
    std::atomic<bool> drawn{false};  // a frame is on screen and the cursor hidden
    std::atomic<bool> interrupted{false};
    int fd = -1;
    int wakeWrite = -1;
    struct termios saved {};
    struct sigaction previous[kSignalCount] {};
    bool installed[kSignalCount] = {};
};

SharedState g_state;

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs lock-free flags");

// Safe in a signal handler: only write(), tcsetattr() and atomics. Whoever
// comes first (the handler or the normal end) restores; the other finds nothing to do.
void RestoreTerminal() {
    if (!g_state.raw.exchange(false)) return;
    if (g_state.drawn.exchange(false)) {
        posix::WriteAll(g_state.fd, kShowCursorBelow, sizeof kShowCursorBelow - 1);
    }
    tcsetattr(g_state.fd, TCSANOW, &g_state.saved);
}

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    RestoreTerminal();
    // Deliver the signal again, to what the process had set for it. It stays
    // blocked while this handler runs, so raise() leaves it pending and the
    // unblocking delivers it: the default action ends the process here.
    for (size_t i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] == signalNumber) sigaction(signalNumber, &g_state.previous[i], nullptr);
    }
    raise(signalNumber);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    // Still running: the host's own handler took the signal. The terminal is
    // no longer ours, so the dialog ends.
    g_state.interrupted.store(true);
    if (g_state.wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = write(g_state.wakeWrite, &byte, 1);
    }
    errno = savedErrno;
}

void InstallHandlers() {
    struct sigaction ours {};
    ours.sa_handler = OnSignal;
    sigemptyset(&ours.sa_mask);
    // One restore at a time: the other signals wait until the handler is done.
    for (int signalNumber : kSignals) sigaddset(&ours.sa_mask, signalNumber);
    ours.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignalCount; ++i) {
        g_state.installed[i] = false;
        if (sigaction(kSignals[i], nullptr, &g_state.previous[i]) != 0) continue;
        // A signal the process ignores cannot end it: nothing to restore for.
        const bool ignored = !(g_state.previous[i].sa_flags & SA_SIGINFO) &&
                             g_state.previous[i].sa_handler == SIG_IGN;
        if (ignored) continue;
        g_state.installed[i] = sigaction(kSignals[i], &ours, nullptr) == 0;
    }
}

void RestoreHandlers() {
    for (size_t i = 0; i < kSignalCount; ++i) {
        if (g_state.installed[i]) sigaction(kSignals[i], &g_state.previous[i], nullptr);
        g_state.installed[i] = false;
    }
}

void CloseDescriptor(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

bool WriteToTerminal(std::string_view text) {
    const int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = posix::WriteAll(fd, text.data(), text.size());
    close(fd);
    return written;
}

bool TerminalSession::Open() {
    if (open_) return true;
    if (g_state.busy.exchange(true)) return false;

    fd_ = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios saved {};
    int wake[2] = {-1, -1};
    if (fd_ < 0 || tcgetattr(fd_, &saved) != 0 || pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        CloseDescriptor(fd_);
        g_state.busy.store(false);
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];

    struct winsize size {};
    if (ioctl(fd_, TIOCGWINSZ, &size) == 0) columns_ = size.ws_col;

    g_state.fd = fd_;
    g_state.wakeWrite = wakeWrite_;
    g_state.saved = saved;
    g_state.drawn.store(false);
    g_state.interrupted.store(false);
    // Marked raw before it is: a signal in between restores what is still there.
    g_state.raw.store(true);
    InstallHandlers();
    open_ = true;

    // Keys as they are typed, no echo; Ctrl-C, Ctrl-Z and Ctrl-\ arrive as
    // bytes, and CR stays CR. Output processing stays as the user has it.
    struct termios raw = saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | INPCK | ISTRIP | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN | ISIG);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    // Keys typed before the dialog showed were not meant for it.
    if (tcsetattr(fd_, TCSAFLUSH, &raw) != 0) {
        Close();
        return false;
    }
    return true;
}

bool TerminalSession::Draw(const std::vector<std::string>& lines) {
    if (!open_ || lines.empty()) return false;
    std::string out;
    if (drawnLines_ == 0) {
        out = "\r\x1b[?25l";
        g_state.drawn.store(true);
    } else {
        out = "\r";
        if (drawnLines_ > 1) out += "\x1b[" + std::to_string(drawnLines_ - 1) + "A";
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
        out += "\x1b[K";
    }
    drawnLines_ = static_cast<int>(lines.size());
    return posix::WriteAll(fd_, out.data(), out.size());
}

std::optional<Key> TerminalSession::ReadKey() {
    if (!open_) return std::nullopt;
    for (;;) {
        if (!keys_.empty()) {
            const Key key = keys_.front();
            keys_.pop_front();
            return key;
        }
        if (g_state.interrupted.load()) return std::nullopt;

        struct pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int ready = poll(fds, 2, decoder_.Pending() ? kEscapeWaitMs : -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (ready == 0) {
            if (const std::optional<Key> key = decoder_.Timeout()) keys_.push_back(*key);
            continue;
        }
        if (fds[1].revents != 0) return std::nullopt;
        if (fds[0].revents == 0) continue;

        unsigned char buffer[64];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return std::nullopt;  // the terminal hung up or failed
        for (ssize_t i = 0; i < n; ++i) {
            if (const std::optional<Key> key = decoder_.Feed(buffer[i])) keys_.push_back(*key);
        }
    }
}

void TerminalSession::Close() {
    if (!open_) return;
    open_ = false;
    RestoreTerminal();
    g_state.wakeWrite = -1;
    RestoreHandlers();
    g_state.fd = -1;
    CloseDescriptor(wakeRead_);
    CloseDescriptor(wakeWrite_);
    CloseDescriptor(fd_);
    drawnLines_ = 0;
    keys_.clear();
    decoder_ = KeyDecoder();
    g_state.busy.store(false);
}

}  // namespace os::terminal
