// Windows: reading mapped memory that can vanish.
//
// A mapped file cannot be cut short on Windows (SetEndOfFile fails with
// ERROR_USER_MAPPED_FILE while a view exists), but the read behind a view can
// still fail: a network share that drops, removable media pulled out, a bad
// sector. The memory manager then raises EXCEPTION_IN_PAGE_ERROR at the
// faulting read, which would end the host. A vectored handler, added around
// guarded reads (or a whole run of them), catches that exception when its address lies in the
// range this thread is reading and jumps back to where the read began; every
// other exception goes on to the host's handlers untouched.
#include <windows.h>

#include <cstdint>
#include <mutex>

#include "platform/win32/mapped_views.h"

namespace os::win32 {
namespace {

struct Guard {
    ULONG_PTR begin = 0;
    ULONG_PTR end = 0;
    void* resume[5] = {};  // __builtin_setjmp buffer
};

// A TLS slot rather than thread_local: reading it from the handler never
// allocates, whatever the thread.
DWORD TlsSlot() {
    static const DWORD slot = TlsAlloc();
    return slot;
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != EXCEPTION_IN_PAGE_ERROR || record->NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    auto* guard = static_cast<Guard*>(TlsGetValue(TlsSlot()));
    const ULONG_PTR address = record->ExceptionInformation[1];
    if (guard == nullptr || address < guard->begin || address >= guard->end) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    __builtin_longjmp(guard->resume, 1);
}

// The handler is added by the first holder and removed by the last: guarded
// reads under way and runs that keep it, on all threads.
std::mutex g_holdLock;
int g_holders = 0;
PVOID g_handler = nullptr;

bool Hold() {
    std::lock_guard<std::mutex> lock(g_holdLock);
    if (g_holders == 0) {
        g_handler = AddVectoredExceptionHandler(1, OnException);
        if (g_handler == nullptr) return false;
    }
    ++g_holders;
    return true;
}

void Release() {
    std::lock_guard<std::mutex> lock(g_holdLock);
    if (--g_holders > 0) return;
    RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
}

__attribute__((noinline)) bool RunRead(Guard& guard, void (*read)(void*), void* context) {
    if (__builtin_setjmp(guard.resume) != 0) return false;
    TlsSetValue(TlsSlot(), &guard);
    read(context);
    return true;
}

}  // namespace

bool BeginGuardedReads() { return TlsSlot() != TLS_OUT_OF_INDEXES && Hold(); }

void EndGuardedReads() { Release(); }

bool ReadGuarded(const void* begin, size_t length, void (*read)(void* context), void* context) {
    if (TlsSlot() == TLS_OUT_OF_INDEXES || !Hold()) return false;
    Guard guard;
    guard.begin = reinterpret_cast<ULONG_PTR>(begin);
    guard.end = guard.begin + length;
    const bool completed = RunRead(guard, read, context);
    TlsSetValue(TlsSlot(), nullptr);
    Release();
    return completed;
}

}  // namespace os::win32
