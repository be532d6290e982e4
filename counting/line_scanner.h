// The byte-level state machine that sorts the lines of one source file into
// code, comment and empty lines.
//
// It knows three markers only: '//', '/*' and '*/'. It knows nothing of string
// literals, preprocessor lines, nesting or encodings; its odd corners (a '/'
// ending one line and a '/' starting the next form a marker when lines end in
// a bare line feed; a file without any line feed counts nothing) are part of
// the result and must be kept exactly.
//
// Modes, all carried unchanged from one fed block to the next so that the
// result never depends on where a file is split into views:
//   codeSeen   the current line holds code
//   inBlock    a block comment is open; survives line ends
//   prevSlash  the last byte that was not a line feed was '/'
//   prevStar   the last byte that was not a line feed was '*'
//   opened     '//' or '/*' occurred on the current line
//   marked     '//', '/*' or '*/' occurred on the current line
//   blank      the current line has held only space, tab and CR so far
//   onlyCR     the current line has held nothing but CR so far
#pragma once

#include <cstddef>
#include <cstdint>

#include "counting/line_tally.h"

struct LineScanner {
    uint64_t lines = 0;
    uint64_t code = 0;
    uint64_t comments = 0;
    uint64_t empty = 0;
    bool codeSeen = false;
    bool inBlock = false;
    bool prevSlash = false;
    bool prevStar = false;
    bool opened = false;
    bool marked = false;
    bool blank = true;
    bool onlyCR = true;

    // Feeds the next block of the file, in order, with the fastest kernel
    // this processor runs (counting/scan_kernels.h); all give the same state.
    void Feed(const unsigned char* bytes, size_t count);

    // The tally of everything fed so far, with the last line (one that has no
    // line feed) settled by the end-of-file rule. Does not change the state.
    LineTally Finish() const;
};

// Convenience for callers that hold the whole text in memory.
LineTally ScanText(const void* bytes, size_t count);
