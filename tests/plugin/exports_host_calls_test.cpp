// Every call the host can make, with the arguments a careless or hostile host
// might pass: each has a defined outcome, none crashes, none leaves a
// descriptor open.
//
// The outcomes, as a user would expect them:
//  - no entry list, or a list whose first entry is empty: nothing happens;
//  - the list ends at its first empty entry;
//  - no report path, an empty one, a folder, or a FIFO nobody reads:
//    E_ECREATE, and whatever is at that path stays as it was;
//  - no source folder: the header alone, as no entry can be found;
//  - a source folder without its trailing separator names that folder;
//  - an entry is a path below the source folder: '..' leads where it says,
//    a leading separator is just the start of a path below the source folder,
//    a file or a missing path gets no row;
//  - a report path that is a source file of the tree being counted replaces
//    that file, and the walk measures the report as it stands then.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "plugin/wcx_api.h"
#include "standin/entry_list.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/pack_environment.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

const std::string kSrcRow = "src;    1;       3;       2;       1;       0; 66\r\n";

class HostCallsTest : public PackTest {
protected:
    void SetUp() override {
        tree_.File("top/src/a.c", "int a;\n// b\nc;\n");
        tree_.File("top/src/b.txt", "not counted\n");
        tree_.File("top/other/o.c", "o;\n");
        tree_.File("top/srcfoo/decoy.c", "decoy;\ndecoy;\ndecoy;\ndecoy;\n");
        descriptors_ = OpenDescriptorCount();
        sigaction(SIGBUS, nullptr, &bus_);
    }
    void TearDown() override {
        EXPECT_EQ(OpenDescriptorCount(), descriptors_) << "a descriptor was left open";
        struct sigaction bus {};
        sigaction(SIGBUS, nullptr, &bus);
        EXPECT_EQ(bus.sa_handler, bus_.sa_handler) << "the process's SIGBUS handling changed";
    }

    // PackFiles as the host calls it: with modifiable copies of each string,
    // or null where a string is not given.
    int Pack(const char* report, const char* source, const std::string* list,
             const char* subPath = nullptr, int flags = 0) {
        std::string r = report ? report : "", s = source ? source : "", p = subPath ? subPath : "";
        std::string l = list ? *list : "";
        return PackFiles(report ? r.data() : nullptr, subPath ? p.data() : nullptr,
                         source ? s.data() : nullptr, list ? l.data() : nullptr, flags);
    }
    int Pack(const std::string& list, const std::string& source = "") {
        const std::string src = source.empty() ? tree_.path("top/") : source;
        return Pack(report().c_str(), src.c_str(), &list);
    }
    std::string report() const { return out_.path("report.csv"); }
    std::string Report() const { return out_.Read("report.csv"); }
    bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

    TestTree tree_, out_;
    size_t descriptors_ = 0;
    struct sigaction bus_ {};
};

TEST_F(HostCallsTest, PackFilesWithNullsAndEmptyListsDoesNothingOrSaysWhy) {
    const std::string src = tree_.path("top/");
    const std::string list = EntryList({"src/"});
    const std::string noEntry = EntryList({});
    const std::string oneEmpty = std::string("\0\0\0", 3);

    EXPECT_EQ(Pack(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Pack(report().c_str(), src.c_str(), nullptr), 0);
    EXPECT_EQ(Pack(report().c_str(), src.c_str(), &noEntry), 0);
    EXPECT_EQ(Pack(report().c_str(), src.c_str(), &oneEmpty), 0);
    EXPECT_FALSE(Exists(report()));
    EXPECT_FALSE(Exists(env_.config.path("Mossgrain.ini")));  // nothing happened at all

    EXPECT_EQ(Pack(nullptr, src.c_str(), &list), kWcxCreateError);
    EXPECT_EQ(Pack("", src.c_str(), &list), kWcxCreateError);

    EXPECT_EQ(Pack(report().c_str(), nullptr, &list), 0);
    EXPECT_EQ(Report(), kReportHeader);

    // subPath and flags are not used, whatever they hold.
    EXPECT_EQ(Pack(report().c_str(), src.c_str(), &list, "some/sub/path", -1), 0);
    EXPECT_EQ(Report(), kReportHeader + kSrcRow);
}

TEST_F(HostCallsTest, TheListEndsAtItsFirstEmptyEntry) {
    EXPECT_EQ(Pack("src/" + std::string(2, '\0') + "other/" + std::string(2, '\0')), 0);
    EXPECT_EQ(Report(), kReportHeader + kSrcRow);
}

TEST_F(HostCallsTest, ReportPathsThatCannotBeCreatedAreLeftAsTheyWere) {
    const std::string list = EntryList({"src/"});
    // A folder: the source folder itself.
    const std::string folder = tree_.path("top/src");
    EXPECT_EQ(Pack(folder.c_str(), tree_.path("top/").c_str(), &list), kWcxCreateError);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(tree_.Read("top/src/a.c"), "int a;\n// b\nc;\n");
    // A FIFO that nobody reads would block a writer for ever.
    const std::string fifo = out_.path("fifo.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(60);
    EXPECT_EQ(Pack(fifo.c_str(), tree_.path("top/").c_str(), &list), kWcxCreateError);
    alarm(0);
    struct stat st;
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // In a folder that does not exist: nothing is created on the way.
    const std::string deep = out_.path("no/such/report.csv");
    EXPECT_EQ(Pack(deep.c_str(), tree_.path("top/").c_str(), &list), kWcxCreateError);
    EXPECT_FALSE(Exists(out_.path("no")));
}

TEST_F(HostCallsTest, ASourceFolderWithoutItsSeparatorNamesThatFolder) {
    // "top" + "src/" must not become "topsrc/", nor "top/src" + "foo/" the decoy.
    EXPECT_EQ(Pack(EntryList({"src/"}), tree_.path("top")), 0);
    EXPECT_EQ(Report(), kReportHeader + kSrcRow);
    EXPECT_EQ(Pack(EntryList({"foo/"}), tree_.path("top/src")), 0);
    EXPECT_EQ(Report(), kReportHeader);
}

TEST_F(HostCallsTest, EntriesArePathsBelowTheSourceFolder) {
    const std::string src = tree_.path("top/src/");
    // '..' leads to the sibling folder, and the row names it as given.
    EXPECT_EQ(Pack(EntryList({"../other/"}), src), 0);
    EXPECT_EQ(Report(),
              kReportHeader + "../other;    1;       1;       1;       0;       0;100\r\n");
    // An absolute path is taken below the source folder too: here it names
    // nothing, so it gets no row and counts nothing outside.
    EXPECT_EQ(Pack(EntryList({tree_.path("top/other/")}), src), 0);
    EXPECT_EQ(Report(), kReportHeader);
    // A leading separator is just the start of a path below the source folder.
    EXPECT_EQ(Pack(EntryList({"/src/"}), tree_.path("top/")), 0);
    EXPECT_EQ(Report(), kReportHeader + "/src;    1;       3;       2;       1;       0; 66\r\n");
    // A file, a missing path and a path too long to open: no row.
    EXPECT_EQ(Pack(EntryList({"src/a.c", "missing/", std::string(5000, 'x') + "/", "src"})), 0);
    EXPECT_EQ(Report(), kReportHeader + kSrcRow);
}

TEST_F(HostCallsTest, AReportOverASourceFileInTheTreeCountsItselfAsItStands) {
    const std::string into = tree_.path("top/src/a.c");
    const std::string list = EntryList({"src/", "src/"});
    EXPECT_EQ(Pack(into.c_str(), tree_.path("top/").c_str(), &list), 0);
    // For the first entry the report holds its header: one code line. For the
    // second it also holds the first row.
    EXPECT_EQ(tree_.Read("top/src/a.c"),
              kReportHeader + "src;    1;       1;       1;       0;       0;100\r\n" +
                  "src;    1;       2;       2;       0;       0;100\r\n");
}

}  // namespace
