// Lets test failures show a tally's four counters.
#pragma once

#include <ostream>

#include "counting/line_tally.h"

inline void PrintTo(const LineTally& t, std::ostream* os) {
    *os << "{total " << t.total << ", code " << t.code << ", comments " << t.comments << ", empty "
        << t.empty << "}";
}
