// The four line counters of one file or of a whole folder tree.
#pragma once

#include <cstdint>

struct LineTally {
    uint64_t total = 0;     // lines
    uint64_t code = 0;      // lines holding code
    uint64_t comments = 0;  // lines holding a comment or lying in a block comment
    uint64_t empty = 0;     // lines holding only spaces, tabs and carriage returns

    LineTally& operator+=(const LineTally& other) {
        total += other.total;
        code += other.code;
        comments += other.comments;
        empty += other.empty;
        return *this;
    }
    friend bool operator==(const LineTally&, const LineTally&) = default;
};
