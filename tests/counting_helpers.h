// Calls of the counting operations as the tests make them: views of the
// platform's usual size, and results prefilled with garbage so that a
// forgotten reset shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "counting/count_file_lines.h"
#include "counting/tally_folder.h"
#include "tests/tally_printer.h"

namespace counting_helpers {

constexpr uint64_t kChunk = 65536;

inline const LineTally kGarbage{7, 7, 7, 7};

// CountFileLines, expecting the given result.
inline LineTally Count(const std::string& path, bool expectedResult = true,
                       uint64_t chunk = kChunk) {
    LineTally tally = kGarbage;
    EXPECT_EQ(CountFileLines(path.c_str(), chunk, tally), expectedResult) << path;
    return tally;
}

struct Result {
    bool ok;
    uint64_t files;
    LineTally tally;
};

inline Result Tally(const std::string& path) {
    Result r{false, 99, kGarbage};
    r.ok = TallyFolder(path.c_str(), kChunk, r.files, r.tally);
    return r;
}

}  // namespace counting_helpers
