// A deliberately plain line scanner: one byte at a time, every rule written
// out as it reads, no tricks. The production scanner must agree with it on
// every input and every split into views.
#pragma once

#include <cstddef>

#include "counting/line_tally.h"

class ReferenceScanner {
public:
    void Feed(const unsigned char* bytes, size_t count);
    LineTally Finish() const;

private:
    void Byte(unsigned char b);

    uint64_t lines_ = 0, code_ = 0, comments_ = 0, empty_ = 0;
    bool codeSeen_ = false, inBlock_ = false, prevSlash_ = false, prevStar_ = false;
    bool opened_ = false, marked_ = false, blank_ = true, onlyCR_ = true;
};

LineTally ReferenceScan(const void* bytes, size_t count);
