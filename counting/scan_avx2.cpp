// The block kernel with AVX2 compares, for processors that have them. This
// file alone is compiled for AVX2 (see counting/CMakeLists.txt) and runs only
// after a run-time check. It must not include headers whose inline functions
// the rest of the build also uses: the linker could keep this file's AVX2 copy
// for everyone.
#include "counting/scan_kernels.h"

#ifdef MOSSGRAIN_X86_KERNELS

#include <immintrin.h>

#include "counting/block_scanner.h"

namespace {

// One bit per byte of the 32 at p that equal one of the wanted bytes.
struct Avx2Lane {
    __m256i bytes;
    uint64_t Equal(char c) const {
        const __m256i equal = _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c));
        return static_cast<uint32_t>(_mm256_movemask_epi8(equal));
    }
    // Space, tab, LF and CR differ in their low four bits, so one table
    // lookup by those bits gives, for each byte, the one layout byte it
    // could be; bytes from 0x80 up look up 0 and match nothing.
    uint64_t Layout() const {
        const __m256i table =
            _mm256_setr_epi8(' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0, ' ', 0, 0,
                             0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0);
        const __m256i candidate = _mm256_shuffle_epi8(table, bytes);
        return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(candidate, bytes)));
    }
};

[[gnu::always_inline]] inline ByteMasks ClassifyAvx2(const unsigned char* p) {
    const Avx2Lane low{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
    const Avx2Lane high{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32))};
    return ByteMasks{
        low.Equal('\n') | high.Equal('\n') << 32,
        low.Equal('/') | high.Equal('/') << 32,
        low.Equal('*') | high.Equal('*') << 32,
        low.Layout() | high.Layout() << 32,
    };
}

}  // namespace

void FeedAvx2(LineScanner& scanner, const unsigned char* bytes, size_t count) {
    FeedBlocks(scanner, bytes, count, [](const unsigned char* p) { return ClassifyAvx2(p); });
}

#endif
