// The line rules applied to 64 bytes at once, on bit masks (bit i stands for
// byte i of the block) that a kernel builds with vector compares.
//
// Every flag of the scanner is a run over the bytes: some bytes start it, some
// carry it on, the rest end it. One 64-bit addition of the starting bits to
// the carrying span ripples a carry from each start to the end of its span,
// like a fill; the positions the carry reaches are the positions where the
// flag holds, and the carry out of bit 63 is the flag at the end of the block,
// handed to the next block. A block therefore costs the same hundred-odd
// instructions whatever its text, and the result is exactly the per-byte one:
//
//   prevSlash  before a byte: the nearest earlier byte that is not a line feed
//              is '/' (spaces, tabs and CRs end it, line feeds carry it).
//   markers    '//' and '*/' are a '/' with prevSlash or prevStar before it;
//              '/*' is a '*' with prevSlash. Nothing else decides them.
//   inBlock    after a byte: the latest '/*' or '*/' up to it is a '/*'.
//   opened     after a byte: its line has had '//' or '/*' so far. A line feed
//              always ends it: a line that opened a comment holds a '/', is
//              never blank, and so takes the branch that clears it.
//   marked     before a line feed: its line has had any of the three markers.
//   codeSeen   before a line feed: its line has had a byte other than space,
//              tab, CR and '/' with neither opened nor inBlock after it.
//   blank      before a line feed: its line has had only space, tab and CR.
//   onlyCR     matters only at the end of the text, so it is settled once per
//              fed piece from its last bytes rather than per block.
//
// Each x86 kernel's translation unit gets its own copy (internal linkage),
// built for that kernel's instruction set.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "counting/line_scanner.h"

namespace {

struct ByteMasks {
    uint64_t lineFeed;
    uint64_t slash;
    uint64_t star;
    uint64_t layout;  // space, tab, CR or LF: the bytes that are never code
};

class BlockScanner {
public:
    explicit BlockScanner(const LineScanner& s)
        : lines_(s.lines),
          code_(s.code),
          comments_(s.comments),
          empty_(s.empty),
          prevSlash_(s.prevSlash),
          prevStar_(s.prevStar),
          inBlock_(s.inBlock),
          opened_(s.opened),
          marked_(s.marked),
          codeSeen_(s.codeSeen),
          filled_(!s.blank),
          onlyCR_(s.onlyCR) {}

    void Store(LineScanner& s) const {
        s.lines = lines_;
        s.code = code_;
        s.comments = comments_;
        s.empty = empty_;
        s.prevSlash = prevSlash_;
        s.prevStar = prevStar_;
        s.inBlock = inBlock_;
        s.opened = opened_;
        s.marked = marked_;
        s.codeSeen = codeSeen_;
        s.blank = !filled_;
        s.onlyCR = onlyCR_;
    }

    // onlyCR after bytes: whether they end in a line feed followed by CRs
    // only; unchanged when they hold nothing but CRs.
    void SettleOnlyCR(const unsigned char* bytes, size_t count) {
        while (count > 0 && bytes[count - 1] == '\r') --count;
        if (count > 0) onlyCR_ = bytes[count - 1] == '\n';
    }

    // Applies the rules to one block. valid has a bit for each byte that
    // belongs to the text (all 64 but in the last, partial block).
    [[gnu::always_inline]] inline void Step(const ByteMasks& m, uint64_t valid) {
        const uint64_t lf = m.lineFeed & valid;
        const uint64_t slash = m.slash & valid;
        const uint64_t star = m.star & valid;
        const uint64_t other = valid & ~m.layout;
        const uint64_t beyond = ~valid;  // carries every run through to the block's end
        const uint64_t inLine = ~lf;

        // The flags read only at slashes, stars or line feeds (where each
        // run's starts are set or its span is clear) need no more than its
        // sum; inBlock and opened are read everywhere.
        const uint64_t afterSlash = ReachSum(slash | lf | beyond, slash, prevSlash_);
        const uint64_t afterStar = ReachSum(star | lf | beyond, star, prevStar_);
        const uint64_t lineComment = slash & afterSlash;
        const uint64_t blockOpen = star & afterSlash;
        const uint64_t blockClose = slash & afterStar;

        const uint64_t inBlock =
            (Reach(~blockClose, blockOpen, inBlock_) | blockOpen) & ~blockClose;
        const uint64_t openers = lineComment | blockOpen;
        const uint64_t opened = Reach(inLine, openers, opened_) | openers;
        const uint64_t marked = ReachSum(inLine, openers | blockClose, marked_);
        const uint64_t codeBytes = other & ~slash & ~opened & ~inBlock;
        const uint64_t codeLine = ReachSum(inLine, codeBytes, codeSeen_);
        const uint64_t filledLine = ReachSum(inLine, other, filled_);

        // At a line feed each run holds the value its line ended with.
        lines_ += Count(lf);
        code_ += Count(lf & codeLine);
        empty_ += Count(lf & ~filledLine);
        comments_ += Count(lf & filledLine & (marked | inBlock));
    }

private:
    // The positions a run reaches: it starts after each bit of starts (and at
    // bit 0 when carry is set) and goes on through the bits of span; the first
    // position outside span is still reached and ends it. starts must lie in
    // span. carry becomes whether the run reaches past bit 63.
    [[gnu::always_inline]] static inline uint64_t Reach(uint64_t span, uint64_t starts,
                                                        unsigned char& carry) {
        return ReachSum(span, starts, carry) ^ span ^ starts;
    }

    // The sum that carries each run to its end. At the bits of starts, and at
    // the bits outside span, it already equals Reach: two instructions less
    // for a flag read only there.
    [[gnu::always_inline]] static inline uint64_t ReachSum(uint64_t span, uint64_t starts,
                                                           unsigned char& carry) {
#if defined(__x86_64__) || defined(_M_X64)
        unsigned long long sum;
        carry = _addcarry_u64(carry, span, starts, &sum);
#else
        // 32-bit x86 adds with carry 32 bits at a time: the low halves' carry
        // goes on into the high halves.
        unsigned int low;
        unsigned int high;
        carry =
            _addcarry_u32(carry, static_cast<uint32_t>(span), static_cast<uint32_t>(starts), &low);
        carry = _addcarry_u32(carry, static_cast<uint32_t>(span >> 32),
                              static_cast<uint32_t>(starts >> 32), &high);
        const uint64_t sum = uint64_t{high} << 32 | low;
#endif
        return sum;
    }

    [[gnu::always_inline]] static inline uint64_t Count(uint64_t bits) {
#ifdef __POPCNT__
        return static_cast<uint64_t>(__builtin_popcountll(bits));
#else
        // Without the instruction the library's table walk would be a call
        // per count; the bit-slicing sum stays in registers.
        bits -= (bits >> 1) & 0x5555555555555555;
        bits = (bits & 0x3333333333333333) + ((bits >> 2) & 0x3333333333333333);
        bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0f;
        return (bits * 0x0101010101010101) >> 56;
#endif
    }

    uint64_t lines_, code_, comments_, empty_;
    unsigned char prevSlash_, prevStar_, inBlock_, opened_, marked_, codeSeen_;
    unsigned char filled_;  // the current line holds more than space, tab and CR
    bool onlyCR_;
};

// Runs Step over whole blocks, then over the last partial block copied into a
// zeroed local block with only its own bytes valid. classify builds the masks
// of 64 bytes.
template <typename Classify>
[[gnu::always_inline]] inline void FeedBlocks(LineScanner& scanner, const unsigned char* bytes,
                                              size_t count, Classify classify) {
    BlockScanner s(scanner);
    s.SettleOnlyCR(bytes, count);
    while (count >= 64) {
        s.Step(classify(bytes), ~uint64_t{0});
        bytes += 64;
        count -= 64;
    }
    if (count != 0) {
        unsigned char last[64] = {};
        __builtin_memcpy(last, bytes, count);
        s.Step(classify(last), (uint64_t{1} << count) - 1);
    }
    s.Store(scanner);
}

}  // namespace
