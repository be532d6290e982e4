// Files that change while they are read: a file cut short under its mapping
// must fail its own count and leave the process, and the process's own SIGBUS
// handling, exactly as they were; a file that grows is read up to the size it
// had when it was opened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "counting/count_file_lines.h"
#include "counting/line_scanner.h"
#include "platform/os.h"
#include "platform/posix/os_posix_hooks.h"
#include "tests/run_command.h"
#include "tests/tally_printer.h"
#include "tests/test_tree.h"

namespace {

const size_t kPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));

// Lines of code filling whole pages.
std::string Pages(size_t count) {
    std::string text;
    while (text.size() < count * kPage) text += "int x;\n";
    text.resize(count * kPage - 1);
    return text + '\n';
}

// A file of a few pages, mapped whole and then cut to nothing: touching its
// second page faults.
class VanishedMapping {
public:
    explicit VanishedMapping(const TestTree& tree, const char* name = "cut.c") {
        tree.File(name, Pages(4));
        const int fd = open(tree.path(name).c_str(), O_RDWR | O_CLOEXEC);
        base_ = static_cast<unsigned char*>(mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, fd, 0));
        EXPECT_NE(base_, MAP_FAILED);
        EXPECT_EQ(ftruncate(fd, 0), 0);
        close(fd);
    }
    ~VanishedMapping() { munmap(base_, 4 * kPage); }
    const unsigned char* page(size_t index) const { return base_ + index * kPage; }

private:
    unsigned char* base_;
};

// Reads one byte so that no optimiser, valgrind's included, can drop the read.
volatile unsigned g_sink = 0;
unsigned Touch(const unsigned char* p) {
    const unsigned value = *static_cast<const volatile unsigned char*>(p);
    g_sink = g_sink + value;
    return value;
}

// Stands for the host's own SIGBUS handler: it counts what reaches it and
// recovers from a fault the way a host might, so the test can go on.
std::atomic<int> g_hostFaults{0};
std::atomic<int> g_hostSent{0};
void HostHandler(int, siginfo_t* info, void*) {
    if (info->si_code <= 0) {
        ++g_hostSent;
        return;
    }
    ++g_hostFaults;
    const uintptr_t page = reinterpret_cast<uintptr_t>(info->si_addr) & ~(kPage - 1);
    mmap(reinterpret_cast<void*>(page), kPage, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED,
         -1, 0);
}

bool SameAction(const struct sigaction& a, const struct sigaction& b) {
    return (a.sa_flags & SA_SIGINFO) == (b.sa_flags & SA_SIGINFO) &&
           ((a.sa_flags & SA_SIGINFO) ? a.sa_sigaction == b.sa_sigaction
                                      : a.sa_handler == b.sa_handler);
}

struct sigaction CurrentBusAction() {
    struct sigaction now {};
    sigaction(SIGBUS, nullptr, &now);
    return now;
}

class ReadGuardTest : public testing::Test {
protected:
    void SetUp() override {
        before_ = CurrentBusAction();
        expected_ = before_;
        g_hostFaults = 0;
        g_hostSent = 0;
    }
    void TearDown() override {
        os::posix_hooks::afterMapView = nullptr;
        // Every test leaves the process's SIGBUS handling as it found it.
        EXPECT_TRUE(SameAction(CurrentBusAction(), expected_));
        sigaction(SIGBUS, &before_, nullptr);
    }
    void InstallHostHandler() {
        struct sigaction host {};
        host.sa_sigaction = HostHandler;
        host.sa_flags = SA_SIGINFO;
        sigemptyset(&host.sa_mask);
        ASSERT_EQ(sigaction(SIGBUS, &host, nullptr), 0);
        expected_ = host;
    }

    struct sigaction before_ {};
    struct sigaction expected_ {};
};

// What a hook does to the file being read, once, when the view at this offset
// has been mapped.
struct Change {
    std::string path;
    uint64_t atOffset;
    void (*act)(const Change&);
};
const Change* g_change = nullptr;
void ApplyChange(uint64_t offset, size_t) {
    if (g_change != nullptr && offset == g_change->atOffset) g_change->act(*g_change);
}

bool CountWhile(const Change& change, LineTally& tally) {
    g_change = &change;
    os::posix_hooks::afterMapView = ApplyChange;
    const bool ok = CountFileLines(change.path.c_str(), kPage, tally);
    os::posix_hooks::afterMapView = nullptr;
    g_change = nullptr;
    return ok;
}

TEST_F(ReadGuardTest, AFileCutShortBetweenViewsFailsItsCount) {
    TestTree tree;
    tree.File("big.c", Pages(8));
    LineTally tally{1, 1, 1, 1};
    // Cut by another process once the third view is mapped: that view and all
    // after it lie beyond the new end.
    const Change byProcess{
        tree.path("big.c"), 2 * kPage, [](const Change& c) {
            const CommandResult r = RunCommand({"/usr/bin/truncate", "-s", "100", c.path});
            ASSERT_EQ(r.status, 0) << r.err;
        }};
    EXPECT_FALSE(CountWhile(byProcess, tally));
    EXPECT_EQ(tally, LineTally{});

    // Cut to nothing by another thread while the first view is mapped.
    tree.File("big.c", Pages(8));
    const Change byThread{
        tree.path("big.c"), 0, [](const Change& c) {
            std::thread([&] { ASSERT_EQ(truncate(c.path.c_str(), 0), 0); }).join();
        }};
    EXPECT_FALSE(CountWhile(byThread, tally));

    // The same file read again, whole and unchanged, counts normally.
    tree.File("big.c", Pages(8));
    EXPECT_TRUE(CountFileLines(tree.path("big.c").c_str(), kPage, tally));
    EXPECT_EQ(tally.total, 8 * kPage / 7 + 1);
}

TEST_F(ReadGuardTest, AFileThatGrowsIsReadUpToItsSizeAtOpen) {
    TestTree tree;
    const std::string text = Pages(3) + "tail // no line feed";
    tree.File("grows.c", text);
    const Change append{tree.path("grows.c"), 0, [](const Change& c) {
                            const int fd = open(c.path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
                            const std::string more = "\nmore();\n" + Pages(2);
                            ASSERT_EQ(write(fd, more.data(), more.size()),
                                      static_cast<ssize_t>(more.size()));
                            close(fd);
                        }};
    LineTally tally;
    EXPECT_TRUE(CountWhile(append, tally));
    EXPECT_EQ(tally, ScanText(text.data(), text.size()));
}

TEST_F(ReadGuardTest, TheHostsHandlerIsKeptAndGetsEveryFaultThatIsNotOurs) {
    InstallHostHandler();
    TestTree tree;
    tree.File("big.c", Pages(8));
    const Change cut{tree.path("big.c"), kPage,
                     [](const Change& c) { ASSERT_EQ(truncate(c.path.c_str(), 0), 0); }};
    LineTally tally;
    EXPECT_FALSE(CountWhile(cut, tally));
    EXPECT_EQ(g_hostFaults, 0);  // ours, caught: the host never saw it
    EXPECT_EQ(CurrentBusAction().sa_sigaction, HostHandler);

    // While a guarded read runs, a fault outside its range, and a SIGBUS sent
    // to the process, are the host's.
    VanishedMapping other(tree);
    const std::string text = Pages(2);
    const bool read = os::ReadGuarded(text.data(), text.size(), [&] {
        Touch(other.page(1));
        raise(SIGBUS);
    });
    EXPECT_TRUE(read);
    EXPECT_EQ(g_hostFaults, 1);
    EXPECT_EQ(g_hostSent, 1);

    // The same on another thread, which has no guarded read of its own.
    std::atomic<bool> started{false}, touched{false};
    std::thread reader([&] {
        os::ReadGuarded(text.data(), text.size(), [&] {
            started = true;
            while (!touched) std::this_thread::yield();
        });
    });
    while (!started) std::this_thread::yield();
    EXPECT_EQ(Touch(other.page(2)), 0u);  // the host's handler put a zero page there
    touched = true;
    reader.join();
    EXPECT_EQ(g_hostFaults, 2);
    EXPECT_EQ(CurrentBusAction().sa_sigaction, HostHandler);
}

TEST_F(ReadGuardTest, ARunMayKeepTheHandlerAndGivesItBackAfter) {
    InstallHostHandler();
    ASSERT_TRUE(os::BeginGuardedReads());
    EXPECT_NE(CurrentBusAction().sa_sigaction, HostHandler);  // ours, between reads too
    TestTree tree;
    VanishedMapping cut(tree, "cut.c");
    EXPECT_FALSE(os::ReadGuarded(cut.page(0), 4 * kPage, [&] { Touch(cut.page(1)); }));
    VanishedMapping other(tree, "other.c");
    Touch(other.page(1));  // between guarded reads: the host's
    EXPECT_EQ(g_hostFaults, 1);
    os::EndGuardedReads();
    EXPECT_EQ(CurrentBusAction().sa_sigaction, HostHandler);
}

TEST_F(ReadGuardTest, GuardedReadsOnSeveralThreadsEachCatchTheirOwnFault) {
    TestTree tree;
    std::atomic<int> failed{0};
    std::thread threads[4];
    for (int i = 0; i < 4; ++i) {
        threads[i] = std::thread([&, i] {
            const std::string name = "cut" + std::to_string(i) + ".c";
            for (int round = 0; round < 50; ++round) {
                VanishedMapping mapping(tree, name.c_str());
                const bool read = os::ReadGuarded(mapping.page(0), 4 * kPage, [&] {
                    for (size_t p = 0; p < 4; ++p) Touch(mapping.page(p));
                });
                if (!read) ++failed;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failed, 4 * 50);
}

// Without a handler of the host's, a fault that is not ours still kills the
// process with SIGBUS, as it would without the module.
void DieOfAFaultThatIsNotOurs(int flags) {
    // Set here: the sanitizers' own handler would report instead.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    fallback.sa_flags = flags;
    sigaction(SIGBUS, &fallback, nullptr);
    alarm(30);  // a fault handled over and over would otherwise hang here
    TestTree tree;
    VanishedMapping other(tree);
    const std::string text = "x\n";
    os::ReadGuarded(text.data(), text.size(), [&] { Touch(other.page(1)); });
    std::exit(0);
}

TEST_F(ReadGuardTest, AFaultThatIsNotOursKeepsItsDefaultAction) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(DieOfAFaultThatIsNotOurs(0), testing::KilledBySignal(SIGBUS), "");
    // The default action recorded with SA_SIGINFO is still the default action.
    EXPECT_EXIT(DieOfAFaultThatIsNotOurs(SA_SIGINFO), testing::KilledBySignal(SIGBUS), "");
}

}  // namespace
