// Memory running out at any allocation of a report run: the host gets a
// result code, never an exception through its own frames, and nothing is
// left behind: no descriptor, no partial report, no leak (the sanitizer build
// checks the last). This binary replaces operator new so that the n-th
// allocation from now on fails, for every n until a run needs no more.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "plugin/wcx_api.h"
#include "standin/entry_list.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/pack_environment.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

long g_allocationsLeft = -1;  // -1: never fail

void* Allocate(std::size_t size) {
    if (g_allocationsLeft == 0) throw std::bad_alloc();
    if (g_allocationsLeft > 0) --g_allocationsLeft;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

const std::string kReport = kReportHeader +
                            "src;    2;       3;       2;       1;       0; 66\r\n"
                            "lib;    1;       1;       1;       0;       0;100\r\n";

TEST(OutOfMemoryTest, EveryAllocationOfARunMayFail) {
    const PackEnvironment env;
    TestTree tree, out;
    tree.File("src/a.c", "int a;\n// b\n");
    tree.File("src/deeper/b.h", "x;\n");
    tree.File("lib/c.cpp", "y;\n");
    std::string report = out.path("report.csv"), source = tree.source();
    std::string list = EntryList({"src/", "lib/"});
    const size_t descriptors = OpenDescriptorCount();

    int failures = 0;
    for (long n = 0;; ++n) {
        std::filesystem::remove(report);
        g_allocationsLeft = n;
        const int result = PackFiles(report.data(), nullptr, source.data(), list.data(), 0);
        const bool exhausted = g_allocationsLeft == 0;
        g_allocationsLeft = -1;

        ASSERT_EQ(OpenDescriptorCount(), descriptors) << "allocation " << n;
        const bool exists = std::filesystem::exists(report);
        if (result == kWcxOk && exists) {
            ASSERT_EQ(out.Read("report.csv"), kReport) << "allocation " << n;
        } else {
            // The dialog could not be shown, or an error code: either way no
            // report, not even a partial one.
            ASSERT_TRUE(result == kWcxNotSupported || result == kWcxCreateError ||
                        result == kWcxWriteError)
                << "allocation " << n << " gave " << result;
            ASSERT_FALSE(exists) << "allocation " << n << " left a report behind";
        }
        if (!exhausted) break;  // this run needed fewer than n allocations: all were tried
        ++failures;
    }
    EXPECT_GT(failures, 20);  // the run does allocate; each of those failed once
}

}  // namespace
