// The interchangeable implementations behind LineScanner::Feed. They give the
// same state for the same bytes; they differ only in how many bytes they look
// at per step and in the instructions they need.
#pragma once

#include <cstddef>

#include "counting/line_scanner.h"

enum class ScanKernel {
    kScalar,  // one byte at a time; runs everywhere
    kSse2,    // 64-byte blocks classified 16 bytes at a time; every x86-64,
              // and 32-bit x86 processors from the Pentium 4 on
    kAvx2,    // 64-byte blocks classified 32 bytes at a time
    kAvx512,  // 64-byte blocks classified in one go; 64-bit x86 only
};

// Every kernel, for those that try them all (the tests, the fuzzer, the
// benchmark); KernelRuns says which of them can run here.
inline constexpr ScanKernel kEveryKernel[] = {ScanKernel::kScalar, ScanKernel::kSse2,
                                              ScanKernel::kAvx2, ScanKernel::kAvx512};

// Whether this build and this processor can run the kernel.
bool KernelRuns(ScanKernel kernel);

// The fastest kernel that runs here; what LineScanner::Feed uses.
ScanKernel FastestKernel();

const char* KernelName(ScanKernel kernel);

// Feeds bytes to scanner with the given kernel, or with the scalar one when
// the kernel cannot run here (so a caller never executes an instruction the
// processor lacks).
void FeedWith(ScanKernel kernel, LineScanner& scanner, const unsigned char* bytes, size_t count);

// The kernels themselves; the x86 ones exist only in x86 builds (64- and
// 32-bit).
void FeedScalar(LineScanner& scanner, const unsigned char* bytes, size_t count);
#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#define MOSSGRAIN_X86_KERNELS 1
void FeedSse2(LineScanner& scanner, const unsigned char* bytes, size_t count);
void FeedAvx2(LineScanner& scanner, const unsigned char* bytes, size_t count);
#endif
// A 32-bit build leaves the AVX-512 kernel out: there it would have only eight
// vector registers and move each 64-bit mask out in two halves, so AVX2 stays
// its fastest kernel.
#if defined(__x86_64__) || defined(_M_X64)
#define MOSSGRAIN_AVX512_KERNEL 1
void FeedAvx512(LineScanner& scanner, const unsigned char* bytes, size_t count);
#endif
