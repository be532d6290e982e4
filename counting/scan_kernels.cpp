#include "counting/scan_kernels.h"

#include <initializer_list>

namespace {

#ifdef MOSSGRAIN_X86_KERNELS
// The processor check includes the operating system's part: AVX2 counts only
// when the system saves the wide registers on a task switch.
bool ProcessorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}

// Every x86-64 processor has SSE2; a 32-bit build may run on one without.
bool ProcessorHasSse2() {
#if defined(__x86_64__) || defined(_M_X64)
    return true;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
#endif
}
#endif

}  // namespace

bool KernelRuns(ScanKernel kernel) {
    switch (kernel) {
        case ScanKernel::kScalar:
            return true;
#ifdef MOSSGRAIN_X86_KERNELS
        case ScanKernel::kSse2: {
            static const bool has = ProcessorHasSse2();
            return has;
        }
        case ScanKernel::kAvx2: {
            static const bool has = ProcessorHasAvx2();
            return has;
        }
#else
        case ScanKernel::kSse2:
        case ScanKernel::kAvx2:
            return false;
#endif
    }
    return false;
}

ScanKernel FastestKernel() {
    for (ScanKernel kernel : {ScanKernel::kAvx2, ScanKernel::kSse2}) {
        if (KernelRuns(kernel)) return kernel;
    }
    return ScanKernel::kScalar;
}

const char* KernelName(ScanKernel kernel) {
    switch (kernel) {
        case ScanKernel::kScalar:
            return "scalar";
        case ScanKernel::kSse2:
            return "sse2";
        case ScanKernel::kAvx2:
            return "avx2";
    }
    return "?";
}

void FeedWith(ScanKernel kernel, LineScanner& scanner, const unsigned char* bytes, size_t count) {
    if (!KernelRuns(kernel)) kernel = ScanKernel::kScalar;
    switch (kernel) {
#ifdef MOSSGRAIN_X86_KERNELS
        case ScanKernel::kAvx2:
            return FeedAvx2(scanner, bytes, count);
        case ScanKernel::kSse2:
            return FeedSse2(scanner, bytes, count);
#endif
        default:
            return FeedScalar(scanner, bytes, count);
    }
}
