// Files that change or fail while they are read: a file cut short between
// its views or in the middle of one fails its own count, and only its entry
// loses its row; a file that grows is read up to the size it had when it was
// opened; reads that are interrupted or come back short are resumed where
// they stopped; a read error fails the file. Reading never touches the
// process's signal handling.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "counting/count_file_lines.h"
#include "counting/line_scanner.h"
#include "platform/os.h"
#include "platform/posix/os_posix_hooks.h"
#include "report/report_run.h"
#include "standin/entry_list.h"
#include "tests/support/child_process.h"
#include "tests/support/counting_helpers.h"
#include "tests/support/report_text.h"
#include "tests/support/tally_printer.h"
#include "tests/support/test_tree.h"

namespace {

using counting_helpers::Count;

constexpr size_t kView = 4096;

// Lines of code filling whole views.
std::string Views(size_t count) {
    std::string text;
    while (text.size() < count * kView) text += "int x;\n";
    text.resize(count * kView - 1);
    return text + '\n';
}

// Text whose tally changes when any stretch of it is read twice or left out.
std::string Varied(size_t bytes) {
    const std::string pieces[] = {"a();\n", "// b\n", "/* c\n", " d */\n", "\n", "\t\r\n"};
    std::string text;
    for (size_t i = 0; text.size() < bytes; ++i) text += pieces[(i * 5 + i / 7) % 6];
    text.resize(bytes);
    return text;
}

// What the next reads of a source file do instead of a plain pread.
std::function<ssize_t(int, void*, size_t, off_t)> g_read;
ssize_t ScriptedRead(int fd, void* buffer, size_t count, off_t offset) {
    return g_read(fd, buffer, count, offset);
}

class ReadViewsTest : public testing::Test {
protected:
    void SetUp() override {
        sigaction(SIGBUS, nullptr, &bus_);
        os::posix_hooks::readAt = ScriptedRead;
        g_read = pread;
    }
    void TearDown() override {
        os::posix_hooks::readAt = nullptr;
        g_read = nullptr;
    }
    // Whether the SIGBUS handling is still the process's own.
    bool BusUntouched() const {
        struct sigaction now {};
        sigaction(SIGBUS, nullptr, &now);
        return now.sa_handler == bus_.sa_handler && now.sa_flags == bus_.sa_flags;
    }

    struct sigaction bus_ {};
};

TEST_F(ReadViewsTest, AFileCutShortBetweenViewsOrWithinOneFailsItsCount) {
    TestTree tree;
    const std::string big = tree.path("big.c");
    tree.File("big.c", Views(8));
    // Cut by another process before the third view is read: that view and
    // all after it lie beyond the new end.
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) {
        if (offset == 2 * kView) {
            const ChildRun r = RunProgram({"/usr/bin/truncate", "-s", "100", big});
            EXPECT_EQ(r.exitCode, 0) << r.err;
        }
        return pread(fd, buffer, count, offset);
    };
    EXPECT_EQ(Count(big, false, kView), LineTally{});

    // Cut by another thread half way through the first view's read.
    tree.File("big.c", Views(8));
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) {
        if (offset == 0) {
            std::thread([&] { EXPECT_EQ(truncate(big.c_str(), kView / 2), 0); }).join();
            return pread(fd, buffer, kView / 2, offset);
        }
        return pread(fd, buffer, count, offset);
    };
    EXPECT_EQ(Count(big, false, kView), LineTally{});

    // The same file read again, whole and unchanged, counts normally.
    tree.File("big.c", Views(8));
    g_read = pread;
    EXPECT_EQ(Count(big, true, kView).total, 8 * kView / 7 + 1);
}

TEST_F(ReadViewsTest, AFileCutShortCostsItsEntryTheRowAndNoOtherEntry) {
    TestTree tree, out;
    tree.File("cut/deeper/big.c", Views(20));
    tree.File("fine/a.c", "a;\n");
    const std::string cut = tree.path("cut/deeper/big.c");
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) {
        if (offset > 0) {
            EXPECT_EQ(truncate(cut.c_str(), offset), 0);
        }
        return pread(fd, buffer, count, offset);
    };
    const std::string list = EntryList({"cut/", "fine/"});
    const std::string report = out.path("r.csv");
    EXPECT_EQ(RunReport(report.c_str(), tree.source().c_str(), list.c_str()),
              ReportOutcome::kWritten);
    EXPECT_EQ(out.Read("r.csv"),
              kReportHeader + "fine;    1;       1;       1;       0;       0;100\r\n");
}

TEST_F(ReadViewsTest, AFileThatGrowsIsReadUpToItsSizeAtOpen) {
    TestTree tree;
    const std::string text = Views(3) + "tail // no line feed";
    tree.File("grows.c", text);
    const std::string path = tree.path("grows.c");
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) {
        if (offset == 0) {
            const int writer = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
            const std::string more = "\nmore();\n" + Views(2);
            EXPECT_EQ(write(writer, more.data(), more.size()), static_cast<ssize_t>(more.size()));
            close(writer);
        }
        return pread(fd, buffer, count, offset);
    };
    EXPECT_EQ(Count(path, true, kView), ScanText(text.data(), text.size()));
}

TEST_F(ReadViewsTest, InterruptedAndShortReadsAreResumedWhereTheyStopped) {
    TestTree tree;
    const std::string text = Varied(3 * 65536 + 777);
    tree.File("v.c", text);
    int calls = 0, interrupted = 0;
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) -> ssize_t {
        // Nothing installs a signal handler to read a file.
        EXPECT_TRUE(BusUntouched());
        if (++calls % 3 == 1) {
            ++interrupted;
            errno = EINTR;
            return -1;
        }
        return pread(fd, buffer, count < 1000 ? count : 1000, offset);
    };
    const LineTally whole = ScanText(text.data(), text.size());
    EXPECT_EQ(Count(tree.path("v.c")), whole);
    EXPECT_EQ(Count(tree.path("v.c"), true, kView), whole);
    EXPECT_GT(interrupted, 100);
}

TEST_F(ReadViewsTest, AReadErrorFailsTheFileAndOnlyItsTree) {
    TestTree tree, out;
    tree.File("bad/sub/bad.c", Views(2));
    tree.File("bad/ok.c", "a;\n");
    tree.File("good/ok.c", "b;\n");
    struct stat victim {};
    ASSERT_EQ(stat(tree.path("bad/sub/bad.c").c_str(), &victim), 0);
    g_read = [&](int fd, void* buffer, size_t count, off_t offset) -> ssize_t {
        struct stat st {};
        fstat(fd, &st);
        if (st.st_ino != victim.st_ino) return pread(fd, buffer, count, offset);
        // A bad sector 100 bytes in: the read before it comes back short.
        if (offset < 100) return pread(fd, buffer, std::min<size_t>(count, 100 - offset), offset);
        errno = EIO;
        return -1;
    };
    EXPECT_EQ(Count(tree.path("bad/sub/bad.c"), false, kView), LineTally{});
    EXPECT_EQ(Count(tree.path("bad/ok.c"), true, kView).total, 1u);

    const std::string list = EntryList({"bad/", "good/"});
    EXPECT_EQ(RunReport(out.path("r.csv").c_str(), tree.source().c_str(), list.c_str()),
              ReportOutcome::kWritten);
    EXPECT_EQ(out.Read("r.csv"),
              kReportHeader + "good;    1;       1;       1;       0;       0;100\r\n");
}

}  // namespace
