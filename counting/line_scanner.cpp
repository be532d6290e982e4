#include "counting/line_scanner.h"

#include "counting/scan_kernels.h"

void LineScanner::Feed(const unsigned char* bytes, size_t count) {
    static const ScanKernel kernel = FastestKernel();
    FeedWith(kernel, *this, bytes, count);
}

LineTally LineScanner::Finish() const {
    LineTally t{lines, code, comments, empty};
    // A last line without a line feed counts only when some line came before
    // it and it holds more than carriage returns. Its comment test uses
    // 'opened', not 'marked', and does not exclude the empty count.
    if (lines != 0 && !onlyCR) {
        if (codeSeen) ++t.code;
        if (blank) ++t.empty;
        if (opened || inBlock) ++t.comments;
        ++t.total;
    }
    return t;
}

LineTally ScanText(const void* bytes, size_t count) {
    LineScanner s;
    s.Feed(static_cast<const unsigned char*>(bytes), count);
    return s.Finish();
}
