// The kernel that steps the rules one byte at a time: the fallback where no
// block kernel runs, and the plainest statement of the rules in the build.
#include "counting/scan_kernels.h"

namespace {

// One short function per rule; Step() picks the rule for a byte.
struct Rules {
    // Space, tab or carriage return: breaks a pending marker. A carriage
    // return alone does not make a line count at the end of the file.
    static inline void Whitespace(LineScanner& s, unsigned char b) {
        s.prevSlash = false;
        s.prevStar = false;
        if (b != '\r') s.onlyCR = false;
    }

    // Line feed: settles the current line. The marker flags prevSlash and
    // prevStar survive it, so a bare line feed lets a '/' at the end of one
    // line pair with a '/' or '*' at the start of the next.
    static inline void LineFeed(LineScanner& s) {
        if (s.codeSeen) {
            ++s.code;
            s.codeSeen = false;
        }
        if (s.blank) {
            ++s.empty;
        } else if (s.marked || s.inBlock) {
            ++s.comments;
            s.opened = false;
        }
        ++s.lines;
        s.marked = false;
        s.onlyCR = true;
        s.blank = true;
    }

    // Any other byte: may complete a marker, and is code unless a comment
    // was opened on this line or a block comment is open.
    static inline void Other(LineScanner& s, unsigned char b) {
        const bool slash = b == '/';
        const bool star = b == '*';
        if (slash && s.prevSlash) {
            s.opened = true;
            s.marked = true;
        }
        if (slash && s.prevStar) {
            s.marked = true;
            s.inBlock = false;
        }
        if (star && s.prevSlash) {
            s.inBlock = true;
            s.opened = true;
            s.marked = true;
        }
        s.prevSlash = slash;
        s.prevStar = star;
        s.blank = false;
        s.onlyCR = false;
        if (!s.opened && !s.inBlock && !slash) s.codeSeen = true;
    }

    static inline void Step(LineScanner& s, unsigned char b) {
        switch (b) {
            case ' ':
            case '\t':
            case '\r':
                Whitespace(s, b);
                break;
            case '\n':
                LineFeed(s);
                break;
            default:
                Other(s, b);
                break;
        }
    }
};

}  // namespace

void FeedScalar(LineScanner& scanner, const unsigned char* bytes, size_t count) {
    // Work on a local copy so the compiler can keep every flag in a register.
    LineScanner s = scanner;
    for (size_t i = 0; i < count; ++i) Rules::Step(s, bytes[i]);
    scanner = s;
}
