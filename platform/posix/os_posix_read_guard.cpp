// POSIX: reading mapped memory that can vanish.
//
// Touching a page of a mapping whose file has been cut short raises SIGBUS,
// whose default action would take the host down. While a guarded read runs,
// a handler of ours is installed; a fault inside the range being read is
// answered by mapping zero pages over the rest of that range, so the read
// runs on to its end and nothing needs a non-local jump out of the scanner.
// Every other SIGBUS goes to what the host had installed, or gets the
// default action, exactly as if we were not there.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>

#include "platform/os.h"
#include "platform/posix/page_size.h"

namespace os {

using posix::PageSize;
namespace {

struct Guard {
    uintptr_t begin = 0;  // page-aligned range this thread is reading; empty when none
    uintptr_t end = 0;
    volatile sig_atomic_t faulted = 0;
};

// Static TLS: the handler may read it on any thread without the allocation a
// module's dynamic TLS could need on first use.
thread_local Guard t_guard __attribute__((tls_model("initial-exec")));

std::mutex g_installLock;
int g_readers = 0;  // guarded reads under way and runs keeping the handler, all threads
struct sigaction g_previous {};  // what the process had before the first of them

// A SIGBUS the kernel raised for a memory access, as opposed to one sent.
bool IsFault(const siginfo_t* info) { return info != nullptr && info->si_code > 0; }

void Forward(int signal, siginfo_t* info, void* context) {
    const struct sigaction& previous = g_previous;
    // SIG_DFL and SIG_IGN may come with SA_SIGINFO set: they are still no function.
    const bool standard = previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN;
    if (!standard) {
        if ((previous.sa_flags & SA_SIGINFO) != 0) {
            previous.sa_sigaction(signal, info, context);
        } else {
            previous.sa_handler(signal);
        }
        return;
    }
    if (previous.sa_handler == SIG_IGN && !IsFault(info)) return;
    // The default action, as without us (a fault cannot be ignored): SIGBUS is
    // blocked in here, so the re-sent signal arrives as this handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void OnBus(int signal, siginfo_t* info, void* context) {
    Guard& guard = t_guard;
    const uintptr_t address = info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
    if (IsFault(info) && address >= guard.begin && address < guard.end) {
        const uintptr_t page = address & ~(PageSize() - 1);
        void* zeros = mmap(reinterpret_cast<void*>(page), guard.end - page, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            guard.faulted = 1;
            return;  // the faulting read is retried and now finds zeros
        }
    }
    Forward(signal, info, context);
}

bool Install() {
    std::lock_guard<std::mutex> lock(g_installLock);
    if (g_readers == 0) {
        struct sigaction ours {};
        ours.sa_sigaction = OnBus;
        ours.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
        sigemptyset(&ours.sa_mask);
        if (sigaction(SIGBUS, &ours, &g_previous) != 0) return false;
    }
    ++g_readers;
    return true;
}

void Uninstall() {
    std::lock_guard<std::mutex> lock(g_installLock);
    if (--g_readers > 0) return;
    struct sigaction current {};
    sigaction(SIGBUS, &g_previous, &current);
    // Someone replaced our handler meanwhile: theirs stays, not ours nor the old one.
    const bool stillOurs = (current.sa_flags & SA_SIGINFO) != 0 && current.sa_sigaction == OnBus;
    if (!stillOurs) sigaction(SIGBUS, &current, nullptr);
}

}  // namespace

bool BeginGuardedReads() { return Install(); }

void EndGuardedReads() { Uninstall(); }

bool ReadGuarded(const void* begin, size_t length, void (*read)(void* context), void* context) {
    if (length == 0) {
        read(context);
        return true;
    }
    // Armed before the handler can look: this also gives the thread its TLS.
    Guard& guard = t_guard;
    const uintptr_t first = reinterpret_cast<uintptr_t>(begin);
    guard.begin = first & ~(PageSize() - 1);
    guard.end = (first + length + PageSize() - 1) & ~(PageSize() - 1);
    guard.faulted = 0;
    if (!Install()) {
        guard = Guard{};
        return false;
    }
    read(context);
    const bool faulted = guard.faulted != 0;
    guard.begin = guard.end = 0;
    Uninstall();
    return !faulted;
}

}  // namespace os
