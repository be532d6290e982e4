// The block kernel with SSE2 compares, which every x86-64 processor has. A
// 32-bit build compiles this file alone for SSE2 and runs it only after a
// run-time check, so, as for the AVX2 kernel, it must not include headers
// whose inline functions the rest of the build also uses.
#include "counting/scan_kernels.h"

#ifdef MOSSGRAIN_X86_KERNELS

#include <emmintrin.h>

#include "counting/block_scanner.h"

namespace {

// One bit per byte of the 16 at p that equal one of the wanted bytes.
struct Sse2Lane {
    __m128i bytes;
    uint64_t Equal(char c) const {
        return static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
    }
    uint64_t Layout() const {
        const __m128i spaceOrTab = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                                _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
        const __m128i lineEnd = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                                             _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
        return static_cast<uint16_t>(_mm_movemask_epi8(_mm_or_si128(spaceOrTab, lineEnd)));
    }
};

[[gnu::always_inline]] inline ByteMasks ClassifySse2(const unsigned char* p) {
    ByteMasks m{};
#pragma GCC unroll 4
    for (int lane = 0; lane < 4; ++lane) {
        const Sse2Lane v{_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * lane))};
        const int shift = 16 * lane;
        m.lineFeed |= v.Equal('\n') << shift;
        m.slash |= v.Equal('/') << shift;
        m.star |= v.Equal('*') << shift;
        m.layout |= v.Layout() << shift;
    }
    return m;
}

}  // namespace

void FeedSse2(LineScanner& scanner, const unsigned char* bytes, size_t count) {
    FeedBlocks(scanner, bytes, count, [](const unsigned char* p) { return ClassifySse2(p); });
}

#endif
