// A read behind a mapped view that fails (a share that drops, media pulled
// out) raises an in-page error at the faulting address. Inside a guarded read
// of that address it fails the read; anywhere else it stays the host's. A real
// in-page error needs a failing device, so the tests raise the exception the
// memory manager would raise, with the same code and parameters.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/mapped_views.h"

namespace {

int g_hostSaw = 0;

// Stands for the host's own handler, added after the module's.
LONG CALLBACK HostHandler(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_IN_PAGE_ERROR) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    ++g_hostSaw;
    return EXCEPTION_CONTINUE_EXECUTION;  // a raised exception may simply go on
}

void InPageErrorAt(const void* address) {
    const ULONG_PTR parameters[3] = {0, reinterpret_cast<ULONG_PTR>(address),
                                     0xC000009C /* STATUS_DEVICE_DATA_ERROR */};
    RaiseException(EXCEPTION_IN_PAGE_ERROR, 0, 3, parameters);
}

TEST(ReadGuardTest, AnInPageErrorInTheRangeFailsTheReadOnly) {
    PVOID host = AddVectoredExceptionHandler(0, HostHandler);
    ASSERT_NE(host, nullptr);
    g_hostSaw = 0;
    static char view[4096], elsewhere[16];

    volatile bool finished = false;
    EXPECT_FALSE(os::win32::ReadGuarded(view, sizeof view, [&] {
        InPageErrorAt(view + 100);
        finished = true;
    }));
    EXPECT_FALSE(finished);
    EXPECT_EQ(g_hostSaw, 0);

    // Outside the range, or after the read, the error is the host's.
    EXPECT_TRUE(os::win32::ReadGuarded(view, sizeof view, [&] {
        InPageErrorAt(elsewhere);
        finished = true;
    }));
    EXPECT_TRUE(finished);
    EXPECT_EQ(g_hostSaw, 1);
    InPageErrorAt(view + 100);
    EXPECT_EQ(g_hostSaw, 2);

    // Many reads in a row: nothing piles up, every one is caught.
    int failed = 0;
    for (int i = 0; i < 1000; ++i) {
        if (!os::win32::ReadGuarded(view, sizeof view, [&] { InPageErrorAt(view + i % 4096); }))
            ++failed;
    }
    EXPECT_EQ(failed, 1000);
    EXPECT_EQ(g_hostSaw, 2);

    // A run that keeps the handler for all its reads: the same answers.
    ASSERT_TRUE(os::win32::BeginGuardedReads());
    EXPECT_FALSE(os::win32::ReadGuarded(view, sizeof view, [&] { InPageErrorAt(view); }));
    InPageErrorAt(view);  // between reads: the host's
    EXPECT_EQ(g_hostSaw, 3);
    os::win32::EndGuardedReads();
    InPageErrorAt(view);
    EXPECT_EQ(g_hostSaw, 4);
    RemoveVectoredExceptionHandler(host);
}

}  // namespace
