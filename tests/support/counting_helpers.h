// Calls of the counting operations as the tests make them: views of the
// platform's usual size, and results prefilled with garbage so that a
// forgotten reset shows.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "counting/count_file_lines.h"
#include "counting/tally_folder.h"
#include "platform/os.h"
#include "tests/support/tally_printer.h"
#include "tests/support/watchdog.h"

namespace counting_helpers {

constexpr uint64_t kChunk = 65536;

inline const LineTally kGarbage{7, 7, 7, 7};

// CountFileLines, expecting the given result.
inline LineTally Count(const std::string& path, bool expectedResult = true,
                       uint64_t chunk = kChunk) {
    LineTally tally = kGarbage;
    os::ViewReader reader(chunk);
    EXPECT_EQ(CountFileLines(path.c_str(), reader, tally), expectedResult) << path;
    return tally;
}

struct Result {
    bool ok;
    uint64_t files;
    LineTally tally;
};

// TallyFolder under a watchdog: a walk that loops or blocks ends the test
// binary instead of hanging.
inline Result Tally(const std::string& path,
                    std::chrono::seconds limit = std::chrono::seconds(60)) {
    Result r{false, 99, kGarbage};
    const Watchdog watchdog("the walk of " + path, limit);
    os::ViewReader reader(kChunk);
    r.ok = TallyFolder(path.c_str(), reader, r.files, r.tally);
    return r;
}

}  // namespace counting_helpers
