// The cursor that follows the host's list behind a walk: the entries the walk
// meets in the list's order are met, those it does not meet are not, and
// what it keeps has its bound. A walk is played to it as the paths the walk
// gives, no file system involved.
#include "report/list_cursor.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

const std::string kFolder = "S/";

// The list laid out as the host hands it, and where each entry starts.
class List {
public:
    List(std::initializer_list<const char*> entries) {
        std::vector<size_t> offsets;
        for (const char* entry : entries) {
            offsets.push_back(text_.size());
            text_ += entry;
            text_ += '\0';
        }
        text_ += '\0';
        for (size_t offset : offsets) entries_.push_back(text_.data() + offset);
    }
    const char* operator[](size_t i) const { return entries_[i]; }
    size_t size() const { return entries_.size(); }

private:
    std::string text_;
    std::vector<const char*> entries_;
};

// Walks as the walk of list[0] meets paths, then which entries were met.
std::vector<bool> Walked(const List& list, std::initializer_list<const char*> paths,
                         size_t mostRuns = 8) {
    ListCursor cursor(kFolder, mostRuns);
    cursor.Follow(list[1]);
    for (const char* path : paths) cursor.Meet(kFolder + path);
    cursor.Stop();
    std::vector<bool> met;
    for (size_t i = 0; i < list.size(); ++i) met.push_back(cursor.Met(list[i]));
    return met;
}

TEST(ListCursorTest, AFileManagersListIsMetEntryForEntry) {
    const List list{"src/",      "src/a.c",    "src/sub/", "src/sub/b.h",
                    "src/c.txt", "src/late.c", "other/",   "other/d.c"};
    // The walk of src/ enters src/ itself first, which the list names before.
    EXPECT_EQ(Walked(list, {"src/", "src/a.c", "src/sub/", "src/sub/b.h", "src/c.txt"}),
              (std::vector<bool>{false, true, true, true, true, false, false, false}));
}

TEST(ListCursorTest, AnEntryNotMetIsSteppedOverTwoInARowLoseTheList) {
    // A link to a folder, which the walk enters under another path, and a
    // FIFO, which it passes over: each is stepped over when the walk meets
    // the entry after it.
    const List list{"src/", "src/link", "src/a.c", "src/fifo.h", "src/x.c", "src/y.c"};
    EXPECT_EQ(Walked(list, {"src/", "src/link/", "src/link/q.c", "src/a.c", "src/x.c", "src/y.c"}),
              (std::vector<bool>{false, false, true, false, true, true}));
    const List gone{"src/", "src/gone.c", "src/gone.h", "src/z.c", "src/zz.c"};
    EXPECT_EQ(Walked(gone, {"src/", "src/z.c", "src/zz.c"}),
              (std::vector<bool>{false, false, false, false, false}));
}

TEST(ListCursorTest, RunsBeyondTheBoundAreNotKept) {
    const List list{"src/", "src/a.c", "src/fifo.h", "src/b.c", "src/pipe.h", "src/c.c"};
    const std::initializer_list<const char*> walk{"src/", "src/a.c", "src/b.c", "src/c.c"};
    EXPECT_EQ(Walked(list, walk, 3), (std::vector<bool>{false, true, false, true, false, true}));
    EXPECT_EQ(Walked(list, walk, 2), (std::vector<bool>{false, true, false, true, false, false}));
}

}  // namespace
