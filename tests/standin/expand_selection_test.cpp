// A selection expanded as a file manager passes it: over a listing in a
// deliberately unsorted order (the system's order is kept, whatever it is),
// and over a real tree through the host's own listing.
#include "standin/expand_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_tree.h"

namespace {

using standin_os::FolderItem;
using standin_os::PathKind;

bool IsSlash(char c) { return c == '/'; }

// A file system of listings: folder path -> its entries in "system" order.
class Listings {
public:
    std::map<std::string, std::vector<FolderItem>> folders;
    std::map<std::string, PathKind> kinds;
    std::vector<std::string> listed;  // the folders asked for, in order

    SelectionFileSystem fs() {
        return {[this](const std::string& path) {
                    const auto found = kinds.find(path);
                    return found == kinds.end() ? PathKind::kMissing : found->second;
                },
                [this](const std::string& path, std::vector<FolderItem>& items) {
                    listed.push_back(path);
                    const auto found = folders.find(path);
                    if (found == folders.end()) return false;
                    items = found->second;
                    return true;
                }};
    }
};

TEST(ExpandSelectionTest, FilesAndLinksFirstThenEachFolderInPreOrder) {
    Listings l;
    l.kinds = {{"/s/alpha", PathKind::kFolder},
               {"/s/beta", PathKind::kFolder},
               {"/s/notes.c", PathKind::kFile},
               {"/s/link", PathKind::kLink}};
    l.folders["/s/alpha/"] = {{"zed.c", PathKind::kFile},
                              {"deep", PathKind::kFolder},
                              {"shortcut", PathKind::kLink},
                              {"a.c", PathKind::kFile}};
    l.folders["/s/alpha/deep/"] = {{"two.c", PathKind::kFile}, {"one.c", PathKind::kFile}};
    l.folders["/s/beta/"] = {{"empty", PathKind::kFolder}, {"fifo", PathKind::kOther}};
    l.folders["/s/beta/empty/"] = {};
    EXPECT_EQ(
        ExpandSelection("/s/", {"alpha//", "notes.c", "beta", "link/", "gone/"}, '/', IsSlash,
                        l.fs()),
        (std::vector<std::string>{"notes.c", "link", "gone", "alpha/", "alpha/zed.c", "alpha/deep/",
                                  "alpha/deep/two.c", "alpha/deep/one.c", "alpha/shortcut",
                                  "alpha/a.c", "beta/", "beta/empty/", "beta/fifo"}));
    // Links are never listed, let alone followed.
    EXPECT_EQ(l.listed, (std::vector<std::string>{"/s/alpha/", "/s/alpha/deep/", "/s/beta/",
                                                  "/s/beta/empty/"}));
}

TEST(ExpandSelectionTest, AFolderThatCannotBeListedIsPassedWithoutContents) {
    Listings l;
    l.kinds = {{"/s/locked", PathKind::kFolder}, {"/s/open", PathKind::kFolder}};
    l.folders["/s/open/"] = {{"locked", PathKind::kFolder}, {"x.c", PathKind::kFile}};
    EXPECT_EQ(ExpandSelection("/s/", {"locked", "open"}, '/', IsSlash, l.fs()),
              (std::vector<std::string>{"locked/", "open/", "open/locked/", "open/x.c"}));
}

TEST(ExpandSelectionTest, TheHostsListingOfARealTree) {
    TestTree tree;
    tree.File("src/a/b/c/deep.c", "x\n");
    tree.File("src/a/top.c", "x\n");
    tree.Folder("src/a/empty");
    tree.Link("src/a/up", "..");  // a cycle, were it followed
    tree.File("src/file.txt", "x\n");
    const std::vector<std::string> expanded = ExpandSelection(
        tree.path("src/"), {"a", "file.txt"}, '/', IsSlash, {standin_os::KindOf, standin_os::ListFolder});
    // The order of a folder's entries is the system's: compare as sets
    // within each folder, the nesting exactly.
    ASSERT_EQ(expanded.size(), 8u);
    EXPECT_EQ(expanded[0], "file.txt");
    EXPECT_EQ(expanded[1], "a/");
    const std::vector<std::string> below(expanded.begin() + 2, expanded.end());
    for (const char* entry : {"a/b/", "a/top.c", "a/empty/", "a/up"}) {
        EXPECT_NE(std::find(below.begin(), below.end(), entry), below.end()) << entry;
    }
    const auto b = std::find(below.begin(), below.end(), "a/b/");
    ASSERT_LT(b + 2, below.end());
    EXPECT_EQ(*(b + 1), "a/b/c/");
    EXPECT_EQ(*(b + 2), "a/b/c/deep.c");
}

}  // namespace
