#include "report/list_cursor.h"

#include "report/list_entries.h"

ListCursor::ListCursor(const std::string& folder, size_t mostRuns)
    : folder_(folder), mostRuns_(mostRuns) {}

void ListCursor::Follow(const char* entry) {
    runBegin_ = entry;
    MoveTo(entry);
}

void ListCursor::MoveTo(const char* entry) {
    cursor_ = entry;
    cursorPath_ = *entry == '\0' ? std::string() : EntryPath(folder_, entry);
    const char* next = NextEntry(entry);
    nextPath_ = *next == '\0' ? std::string() : EntryPath(folder_, next);
}

void ListCursor::Meet(std::string_view path) {
    if (cursor_ == nullptr || *cursor_ == '\0') return;
    if (path == cursorPath_) {
        MoveTo(NextEntry(cursor_));
    } else if (!nextPath_.empty() && path == nextPath_) {
        KeepRun();
        runBegin_ = NextEntry(cursor_);
        MoveTo(NextEntry(runBegin_));
    }
}

void ListCursor::Stop() {
    if (cursor_ != nullptr) KeepRun();
    cursor_ = nullptr;
}

void ListCursor::KeepRun() {
    if (runBegin_ != cursor_ && runs_.size() < mostRuns_) runs_.emplace(runBegin_, cursor_);
}

bool ListCursor::Met(const char* entry) const {
    auto run = runs_.upper_bound(entry);
    if (run == runs_.begin()) return false;
    --run;
    return entry < run->second;
}
