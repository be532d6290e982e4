// The block kernel with AVX-512 compares, for 64-bit x86 processors that have
// AVX-512F and AVX-512BW (and BMI1 and POPCNT, which every such processor
// has). A 64-byte block is one register: one load, and each compare writes
// its 64 bits straight into a mask register, with none of the AVX2 kernel's
// byte-mask extraction and joining of halves. The last, partial block of a
// fed piece is a masked load, which reads (and can fault on) only the bytes
// it keeps, so it needs no copy.
//
// This file alone is compiled for AVX-512 (see counting/CMakeLists.txt) and
// runs only after a run-time check. As for the other vector kernels, it must
// not include headers whose inline functions the rest of the build also uses:
// the linker could keep this file's AVX-512 copy for everyone.
#include "counting/scan_kernels.h"

#ifdef MOSSGRAIN_AVX512_KERNEL

#include <immintrin.h>

#include "counting/block_scanner.h"

namespace {

// As in the AVX2 kernel: space, tab, LF and CR differ in their low four bits,
// so a lookup by those bits gives each byte the one layout byte it could be;
// bytes from 0x80 up look up 0 and match nothing. The byte shuffle looks up
// within each 128-bit lane, so the 16-byte table is repeated in all four.
// (Built here rather than broadcast, whose intrinsic trips GCC 12's
// uninitialised-value warning.)
struct LayoutTable {
    alignas(64) char bytes[64];
};

constexpr LayoutTable MakeLayoutTable() {
    LayoutTable table{};
    for (int lane = 0; lane < 64; lane += 16) {
        const char layout[] = {' ', '\t', '\n', '\r'};
        for (char c : layout) table.bytes[lane + (c & 15)] = c;
    }
    return table;
}

constexpr LayoutTable kLayoutTable = MakeLayoutTable();

struct Avx512Block {
    __m512i bytes;

    uint64_t Equal(char c) const { return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(c)); }

    uint64_t Layout() const {
        const __m512i table = _mm512_load_si512(kLayoutTable.bytes);
        return _mm512_cmpeq_epi8_mask(_mm512_shuffle_epi8(table, bytes), bytes);
    }

    ByteMasks Masks() const { return ByteMasks{Equal('\n'), Equal('/'), Equal('*'), Layout()}; }
};

}  // namespace

void FeedAvx512(LineScanner& scanner, const unsigned char* bytes, size_t count) {
    FeedBlocks(
        scanner, bytes, count,
        [](const unsigned char* p) { return Avx512Block{_mm512_loadu_si512(p)}.Masks(); },
        // The bytes beyond the piece load as zeros.
        [](const unsigned char* p, size_t n) {
            return Avx512Block{_mm512_maskz_loadu_epi8((uint64_t{1} << n) - 1, p)}.Masks();
        });
}

#endif
