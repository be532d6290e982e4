// The report run walks each folder once per run, whatever the list: an entry
// inside another takes its tally from the outer walk. Checked against what
// independent walks of each entry give, on random trees with nested folders,
// links up, across and dangling, unreadable and special files, and random
// lists in random orders, and on the cases that tell a plain subtotal from
// the right one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "counting/tally_folder.h"
#include "standin/entry_list.h"
#include "platform/posix/os_posix_hooks.h"
#include "report/report_format.h"
#include "report/report_run.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"
#include "tests/support/watchdog.h"

namespace {

namespace fs = std::filesystem;

// What a run of independent walks gives: TallyFolder on each entry alone.
std::string IndependentReport(const std::string& source, const std::vector<std::string>& entries) {
    std::string report = kReportHeader;
    for (const std::string& entry : entries) {
        uint64_t files = 0;
        LineTally tally;
        os::ViewReader reader(65536);
        if (TallyFolder((source + entry).c_str(), reader, files, tally) && tally.total != 0) {
            report += ReportRow(entry, files, tally);
        }
    }
    return report;
}

std::string OnePassReport(const std::string& source, const std::vector<std::string>& entries) {
    TestTree out;
    const std::string path = out.path("report.csv");
    const std::string list = EntryList(entries);
    const Watchdog watchdog("the report run");
    EXPECT_EQ(RunReport(path.c_str(), source.c_str(), list.c_str()), ReportOutcome::kWritten);
    return out.Read("report.csv");
}

// Every file and folder below folder, as a file manager lists a selection:
// each folder (with a trailing '/') followed by its contents in directory
// order; links are listed as they are and not followed.
void FileManagerList(const fs::path& root, const std::string& relative,
                     std::vector<std::string>& entries) {
    for (const auto& item : fs::directory_iterator(root / relative)) {
        const std::string name = relative + item.path().filename().string();
        if (item.is_directory() && !item.is_symlink()) {
            entries.push_back(name + "/");
            FileManagerList(root, name + "/", entries);
        } else {
            entries.push_back(name);
        }
    }
}

// Opens of each path during a run, through the POSIX layer's seam.
std::map<std::string, int>* g_opens = nullptr;
void CountOpen(const char* path) { ++(*g_opens)[path]; }

// ---- random trees --------------------------------------------------------

class RandomTree {
public:
    explicit RandomTree(uint32_t seed) : random_(seed) {
        Grow("", 0);
        for (int i = Pick(1, 4); i > 0; --i) AddLink();
        FileManagerList(tree_.root(), "", all_);
    }

    const TestTree& tree() const { return tree_; }
    const std::vector<std::string>& all() const { return all_; }  // file manager's order

    // A list a host may pass: parts of the tree in random order, some twice,
    // some spelt differently, some missing.
    std::vector<std::string> RandomList() {
        std::vector<std::string> list;
        const int count = Pick(1, static_cast<int>(all_.size()) + 3);
        for (int i = 0; i < count; ++i) {
            const std::string entry =
                all_[static_cast<size_t>(Pick(0, static_cast<int>(all_.size()) - 1))];
            const std::string spellings[] = {
                Respell(entry, "//"),
                Respell(entry, "/./"),
                "../" + tree_.root().filename().string() + "/" + entry,
                tree_.root().string() + "/" + entry,                               // absolute
                entry.ends_with('/') ? entry.substr(0, entry.size() - 1) : entry,  // no folder mark
                entry + "missing/",
            };
            const size_t how = static_cast<size_t>(Pick(0, 19));
            list.push_back(how < std::size(spellings) ? spellings[how] : entry);
        }
        if (Pick(0, 3) == 0) list.push_back(list.front());
        return list;
    }

    // The file manager's selection of some top-level items, in its order.
    std::vector<std::string> Selection() {
        std::vector<std::string> list;
        for (const std::string& entry : all_) {
            const size_t slash = entry.find('/');
            const bool top = slash == std::string::npos || slash + 1 == entry.size();
            if (top) selected_ = Pick(0, 2) != 0;
            if (selected_) list.push_back(entry);
        }
        return list;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string Respell(const std::string& entry, const char* separator) {
        const size_t slash = entry.find('/');
        if (slash == std::string::npos || slash + 1 == entry.size()) return entry;
        return entry.substr(0, slash) + separator + entry.substr(slash + 1);
    }

    std::string SourceText() {
        static const char* const kLines[] = {"int x;", "// note",    "/* open", "close */", "",
                                             "  \t",   "a; /* b */", "*/ c;",   "/",        "\r"};
        std::string text;
        for (int i = Pick(0, 12); i > 0; --i) {
            text += kLines[Pick(0, 9)];
            text += Pick(0, 3) == 0 ? "\r\n" : "\n";
        }
        if (Pick(0, 4) == 0) text += "tail";
        return text;
    }

    void Grow(const std::string& folder, int depth) {
        static const char* const kNames[] = {"a.c",   "b.h",  "c.CPP", "d.js",     "e.txt",
                                             "f.asm", "g.cs", "h.c",   "Makefile", "i.hpp"};
        for (int i = Pick(0, 4); i > 0; --i) tree_.File(folder + kNames[Pick(0, 9)], SourceText());
        folders_.push_back(folder);
        if (depth == 4) return;
        static const char* const kFolders[] = {"x", "y", "x y", "xy", "z"};
        for (int i = Pick(0, depth == 0 ? 3 : 2); i > 0; --i) {
            const std::string sub = folder + kFolders[Pick(0, 4)] + "/";
            tree_.Folder(sub);
            if (std::find(folders_.begin(), folders_.end(), sub) == folders_.end()) {
                Grow(sub, depth + 1);
            }
        }
    }

    void AddLink() {
        const std::string folder =
            folders_[static_cast<size_t>(Pick(0, static_cast<int>(folders_.size()) - 1))];
        const std::string name = folder + "link" + std::to_string(links_++);
        switch (Pick(0, 5)) {
            case 0: {  // up: back to a folder above, maybe the top, never out of the tree
                const int depth = static_cast<int>(std::count(folder.begin(), folder.end(), '/'));
                std::string up = depth == 0 ? "." : "";
                for (int levels = depth == 0 ? 0 : Pick(1, depth); levels > 0; --levels) {
                    up += "../";
                }
                tree_.Link(name, up);
                break;
            }
            case 1: {  // across: to another folder of the tree
                const std::string target =
                    folders_[static_cast<size_t>(Pick(0, static_cast<int>(folders_.size()) - 1))];
                tree_.Link(name, tree_.path(target));
                break;
            }
            case 2:  // dangling, named as a source: unreadable, fails every tree holding it
                tree_.Link(name + ".c", "nowhere");
                break;
            case 3:  // dangling, but no source: never opened
                tree_.Link(name, "nowhere");
                break;
            case 4:  // a FIFO named as a source: measured as empty
                ASSERT_EQ(mkfifo(tree_.path(name + ".h").c_str(), 0600), 0);
                break;
            default:  // a link to a file
                tree_.File(folder + "target.c", SourceText());
                tree_.Link(name + ".c", "target.c");
                break;
        }
    }

    std::mt19937 random_;
    TestTree tree_;
    std::vector<std::string> folders_;
    std::vector<std::string> all_;
    int links_ = 0;
    bool selected_ = false;
};

uint64_t g_storage = 0;
uint64_t GrowingStorageCount() { return g_storage += 1 << 20; }

TEST(OnePassReportTest, RandomTreesAndListsGiveWhatIndependentWalksGive) {
    const size_t descriptors = OpenDescriptorCount();
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        RandomTree random(seed);
        const std::string source = random.tree().source();
        std::vector<std::vector<std::string>> lists{random.all(), random.Selection()};
        std::vector<std::string> reversed = random.all();
        std::reverse(reversed.begin(), reversed.end());
        lists.push_back(reversed);
        for (int i = 0; i < 6; ++i) lists.push_back(random.RandomList());
        for (size_t i = 0; i < lists.size(); ++i) {
            // Half of the runs as if the cache were cold: the walks read ahead.
            os::posix_hooks::storageBytesRead = (seed + i) % 2 ? GrowingStorageCount : nullptr;
            const std::string onePass = OnePassReport(source, lists[i]);
            os::posix_hooks::storageBytesRead = nullptr;
            std::string entries;
            for (const std::string& entry : lists[i]) entries += " '" + entry + "'";
            ASSERT_EQ(onePass, IndependentReport(source, lists[i]))
                << "seed " << seed << ", list " << i << ":" << entries;
        }
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

// ---- the cases that tell a subtotal from the right tally -----------------------

class OnePassCaseTest : public testing::Test {
protected:
    void Expect(const std::vector<std::string>& entries, const std::string& rows) {
        const std::string report = OnePassReport(tree_.source(), entries);
        EXPECT_EQ(report, kReportHeader + rows);
        EXPECT_EQ(report, IndependentReport(tree_.source(), entries));
    }
    TestTree tree_;
};

// A link back to a folder above an inner entry: the outer walk does not
// enter it (it is on its path), the inner entry's own walk does, and counts
// what lies there.
TEST_F(OnePassCaseTest, ALinkBackAboveAnInnerEntryMakesItWalkOnItsOwn) {
    tree_.File("src/x.c", "x;\n");
    tree_.File("src/inner/y.c", "y;\ny;\n");
    tree_.Link("src/inner/back", "..");
    const std::string outer = "src;    2;       3;       3;       0;       0;100\r\n";
    const std::string inner = "src/inner;    2;       3;       3;       0;       0;100\r\n";
    Expect({"src/", "src/inner/"}, outer + inner);
    Expect({"src/inner/", "src/"}, inner + outer);
    Expect({"src/", "src/inner/", "src/inner/back/"},
           outer + inner + "src/inner/back;    2;       3;       3;       0;       0;100\r\n");
}

// An unreadable file fails the entry holding it and every entry around it;
// entries beside it keep their rows, whichever order they come in.
TEST_F(OnePassCaseTest, AnUnreadableFileFailsItsEntryAndThoseAroundIt) {
    tree_.File("src/a/fine.c", "a;\n");
    tree_.File("src/b/c/bad-neighbour.c", "b;\n");
    tree_.Link("src/b/c/bad.c", "nowhere");
    tree_.File("src/b/d/fine.c", "d;\n");
    const std::string a = "src/a;    1;       1;       1;       0;       0;100\r\n";
    const std::string d = "src/b/d;    1;       1;       1;       0;       0;100\r\n";
    Expect({"src/", "src/a/", "src/b/", "src/b/c/", "src/b/d/"}, a + d);
    Expect({"src/b/d/", "src/b/c/", "src/a/", "src/"}, d + a);
}

// A file manager's list of a tree without links: each folder is listed and
// each file opened once, however deep it lies.
TEST_F(OnePassCaseTest, AFileManagersListOpensEachFileAndFolderOnce) {
    tree_.File("src/a.c", "a;\n");
    tree_.File("src/one/b.h", "b;\n");
    tree_.File("src/one/two/c.cpp", "c;\n");
    tree_.File("src/one/two/three/d.js", "d;\n");
    tree_.File("src/other/e.c", "e;\n");
    std::vector<std::string> entries;
    FileManagerList(tree_.root(), "", entries);
    for (const bool reversed : {false, true}) {
        if (reversed) std::reverse(entries.begin(), entries.end());
        std::map<std::string, int> opens;
        g_opens = &opens;
        os::posix_hooks::beforeOpen = CountOpen;
        const std::string report = OnePassReport(tree_.source(), entries);
        os::posix_hooks::beforeOpen = nullptr;
        g_opens = nullptr;
        EXPECT_EQ(report, IndependentReport(tree_.source(), entries));
        EXPECT_EQ(opens.size(), 10u);  // 5 folders, 5 files
        for (const auto& [path, count] : opens) EXPECT_EQ(count, 1) << path;
    }
}

}  // namespace
