// The line rules applied to 64 bytes at once, on bit masks (bit i stands for
// byte i of the block) that a kernel builds with vector compares.
//
// Every flag of the scanner is a run over the bytes: some bytes start it, some
// carry it on, the rest end it. One 64-bit addition of the starting bits to
// the carrying span ripples a carry from each start to the end of its span,
// like a fill; the positions the carry reaches are the positions where the
// flag holds, and the carry out of bit 63 is the flag at the end of the block,
// handed to the next block. A block therefore costs the same eighty-odd
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
        const ByteMasks blocks[1] = {m};
        const uint64_t valids[1] = {valid};
        StepBlocks(blocks, valids);
    }

    // Applies the rules to two whole blocks in a row. Each flag's two
    // additions then follow each other, the carry out of the first going
    // straight into the second in the processor's carry flag, which spares
    // saving it and setting it again between the blocks.
    [[gnu::always_inline]] inline void StepPair(const ByteMasks& first, const ByteMasks& second) {
        const ByteMasks blocks[2] = {first, second};
        const uint64_t valids[2] = {~uint64_t{0}, ~uint64_t{0}};
        StepBlocks(blocks, valids);
    }

private:
    template <int N>
    using Bits = uint64_t[N];

    // The rules over N blocks in order, stage by stage: each stage reads only
    // the earlier stages' results of the same block, so a flag's runs can be
    // carried through all N blocks at once.
    template <int N>
    [[gnu::always_inline]] inline void StepBlocks(const ByteMasks (&m)[N],
                                                  const uint64_t (&valid)[N]) {
        Bits<N> lf, slash, star, other, inLine, slashSpan, starSpan;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            lf[k] = m[k].lineFeed & valid[k];
            slash[k] = m[k].slash & valid[k];
            star[k] = m[k].star & valid[k];
            other[k] = valid[k] & ~m[k].layout;
            inLine[k] = ~lf[k];
            // Bytes beyond the text carry every run through to the block's end.
            slashSpan[k] = slash[k] | lf[k] | ~valid[k];
            starSpan[k] = star[k] | lf[k] | ~valid[k];
        }

        // The flags read only at slashes, stars or line feeds (where each
        // run's starts are set or its span is clear) need no more than its
        // sum.
        Bits<N> afterSlash, afterStar, filledLine;
        ReachSums(slashSpan, slash, prevSlash_, afterSlash);
        ReachSums(starSpan, star, prevStar_, afterStar);
        ReachSums(inLine, other, filled_, filledLine);

        Bits<N> blockOpen, notClose, openers, closeOrOpen;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            const uint64_t lineComment = slash[k] & afterSlash[k];
            blockOpen[k] = star[k] & afterSlash[k];
            const uint64_t blockClose = slash[k] & afterStar[k];
            notClose[k] = ~blockClose;
            openers[k] = lineComment | blockOpen[k];
            closeOrOpen[k] = openers[k] | blockClose;
        }

        Bits<N> inBlockSum, openedSum, markedSum;
        ReachSums(notClose, blockOpen, inBlock_, inBlockSum);
        ReachSums(inLine, openers, opened_, openedSum);
        ReachSums(inLine, closeOrOpen, marked_, markedSum);

        // inBlock and opened are read where their sums alone do not tell,
        // but only at bytes that are neither layout nor '/' (for codeBytes)
        // and at line feeds (for the comment count). Within a span, a sum bit
        // is set where a run reaches a start or neither reaches nor starts,
        // so the flag is the sum's complement or a start; the starts of
        // opened are a '/' or a '/*' star, those of inBlock a '/*' star, and
        // a line feed is never one. So at those bytes:
        //   not opened and not inBlock  = openedSum & inBlockSum & not '/*'
        //   inBlock at a line feed      = not inBlockSum
        Bits<N> codeBytes;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            codeBytes[k] = other[k] & ~slash[k] & ~blockOpen[k] & openedSum[k] & inBlockSum[k];
        }
        Bits<N> codeLine;
        ReachSums(inLine, codeBytes, codeSeen_, codeLine);

        // At a line feed each run holds the value its line ended with.
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            lines_ += Count(lf[k]);
            code_ += Count(lf[k] & codeLine[k]);
            empty_ += Count(lf[k] & ~filledLine[k]);
            comments_ += Count(lf[k] & filledLine[k] & (markedSum[k] | ~inBlockSum[k]));
        }
    }

    // The runs of one flag through N blocks in order. A run starts after each
    // bit of starts (and at bit 0 of the first block when carry is set) and
    // goes on through the bits of span; the first position outside span is
    // still reached and ends it. starts must lie in span. sum holds the sums
    // that carry each run to its end: at the bits of starts, and at the bits
    // outside span, they equal the positions reached (elsewhere those are
    // sum ^ span ^ starts). carry becomes whether the run reaches past the
    // last block's bit 63.
    template <int N>
    [[gnu::always_inline]] static inline void ReachSums(const uint64_t (&span)[N],
                                                        const uint64_t (&starts)[N],
                                                        unsigned char& carry, uint64_t (&sum)[N]) {
        unsigned char c = carry;
#if defined(__x86_64__)
        // Written out, as GCC would otherwise save the carry after the first
        // addition and set it again before the second, undoing the saving.
        if constexpr (N == 2) {
            uint64_t first = starts[0], second = starts[1];
            __asm__("addb $-1, %[c]\n\tadcq %[s0], %[a0]\n\tadcq %[s1], %[a1]\n\tsetc %[c]"
                    : [a0] "+r"(first), [a1] "+r"(second), [c] "+q"(c)
                    : [s0] "rm"(span[0]), [s1] "rm"(span[1])
                    : "cc");
            sum[0] = first;
            sum[1] = second;
            carry = c;
            return;
        }
#endif
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
#if defined(__x86_64__) || defined(_M_X64)
            unsigned long long out;
            c = _addcarry_u64(c, span[k], starts[k], &out);
            sum[k] = out;
#else
            // 32-bit x86 adds with carry 32 bits at a time: the low halves'
            // carry goes on into the high halves.
            unsigned int low;
            unsigned int high;
            c = _addcarry_u32(c, static_cast<uint32_t>(span[k]), static_cast<uint32_t>(starts[k]),
                              &low);
            c = _addcarry_u32(c, static_cast<uint32_t>(span[k] >> 32),
                              static_cast<uint32_t>(starts[k] >> 32), &high);
            sum[k] = uint64_t{high} << 32 | low;
#endif
        }
        carry = c;
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

// Runs StepPair over pairs of whole blocks, Step over a whole block left over,
// then over the last partial block with only its own bytes valid. classify
// builds the masks of 64 bytes; classifyLast those of the last count (< 64)
// bytes, as if zeros followed them.
template <typename Classify, typename ClassifyLast>
[[gnu::always_inline]] inline void FeedBlocks(LineScanner& scanner, const unsigned char* bytes,
                                              size_t count, Classify classify,
                                              ClassifyLast classifyLast) {
    BlockScanner s(scanner);
    s.SettleOnlyCR(bytes, count);
    while (count >= 128) {
        s.StepPair(classify(bytes), classify(bytes + 64));
        bytes += 128;
        count -= 128;
    }
    if (count >= 64) {
        s.Step(classify(bytes), ~uint64_t{0});
        bytes += 64;
        count -= 64;
    }
    if (count != 0) s.Step(classifyLast(bytes, count), (uint64_t{1} << count) - 1);
    s.Store(scanner);
}

// The same, the last partial block copied into a zeroed local block for
// classify, which reads 64 bytes.
template <typename Classify>
[[gnu::always_inline]] inline void FeedBlocks(LineScanner& scanner, const unsigned char* bytes,
                                              size_t count, Classify classify) {
    FeedBlocks(scanner, bytes, count, classify, [&](const unsigned char* p, size_t n) {
        unsigned char last[64] = {};
        __builtin_memcpy(last, p, n);
        return classify(last);
    });
}

}  // namespace
