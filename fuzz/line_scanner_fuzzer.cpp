// Arbitrary bytes, cut into arbitrary views, through every scanner kernel this
// processor runs and through the plain per-byte reference: any difference in
// any tally traps.
//
// Input layout: the text comes from the front, the view lengths from the back
// (one count byte, then 16-bit lengths), so mutating one rarely disturbs the
// other. Every view is copied into a heap block of exactly its length, so a
// scanner that reads past the end of a view is caught by AddressSanitizer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "counting/line_scanner.h"
#include "counting/scan_kernels.h"
#include "tests/support/reference_scanner.h"

namespace {

constexpr size_t kKernelCount = std::size(kEveryKernel);

void Check(const LineTally& actual, const LineTally& expected, size_t offset, const char* scanner) {
    if (actual == expected) return;
    std::fprintf(stderr,
                 "the %s scanner disagrees with the reference after %zu bytes:\n"
                 "  scanner   total %llu code %llu comments %llu empty %llu\n"
                 "  reference total %llu code %llu comments %llu empty %llu\n",
                 scanner, offset, static_cast<unsigned long long>(actual.total),
                 static_cast<unsigned long long>(actual.code),
                 static_cast<unsigned long long>(actual.comments),
                 static_cast<unsigned long long>(actual.empty),
                 static_cast<unsigned long long>(expected.total),
                 static_cast<unsigned long long>(expected.code),
                 static_cast<unsigned long long>(expected.comments),
                 static_cast<unsigned long long>(expected.empty));
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<size_t> cuts(input.ConsumeIntegral<uint8_t>() % 32);
    for (size_t& cut : cuts) cut = input.ConsumeIntegral<uint16_t>();
    const std::vector<unsigned char> text = input.ConsumeRemainingBytes<unsigned char>();

    LineScanner scanners[kKernelCount];
    ReferenceScanner reference;
    // Feeds every kernel that runs here the same view.
    const auto feed = [&](const unsigned char* bytes, size_t count) {
        for (size_t k = 0; k < kKernelCount; ++k) {
            if (KernelRuns(kEveryKernel[k])) FeedWith(kEveryKernel[k], scanners[k], bytes, count);
        }
    };
    const auto check = [&](const LineTally& expected, size_t at) {
        for (size_t k = 0; k < kKernelCount; ++k) {
            if (KernelRuns(kEveryKernel[k])) {
                Check(scanners[k].Finish(), expected, at, KernelName(kEveryKernel[k]));
            }
        }
    };
    size_t offset = 0;
    for (size_t i = 0; offset < text.size(); ++i) {
        // Without cuts the whole text is one view; a cut of 0 is an empty view.
        const size_t remaining = text.size() - offset;
        const size_t length = cuts.empty() ? remaining : cuts[i % cuts.size()] % (remaining + 1);
        std::unique_ptr<unsigned char[]> view(new unsigned char[length == 0 ? 1 : length]);
        if (length != 0) std::memcpy(view.get(), text.data() + offset, length);
        feed(view.get(), length);
        reference.Feed(text.data() + offset, length);
        offset += length;
        check(reference.Finish(), offset);
        if (i > 4 * text.size() + 64) {
            // Only empty views for a long while: feed the rest in one go.
            const size_t rest = text.size() - offset;
            feed(text.data() + offset, rest);
            reference.Feed(text.data() + offset, rest);
            offset += rest;
        }
    }
    const LineTally whole = ScanText(text.data(), text.size());
    Check(whole, reference.Finish(), text.size(), "fastest");
    check(whole, text.size());
    return 0;
}
