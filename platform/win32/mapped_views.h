// Windows: the mapped views a ViewReader reads source files through, and the
// guard that keeps a failing read behind a view from ending the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/os.h"

namespace os::win32 {

struct View {
    const unsigned char* data = nullptr;  // first byte asked for
    void* base = nullptr;                 // what the platform mapped
    size_t baseLength = 0;
};

// Maps length bytes at offset, read-only. The offset need not be aligned: the
// platform maps from the aligned offset below it and points data past the gap.
bool MapView(const SourceFile& file, uint64_t offset, size_t length, View& view);
void UnmapView(View& view);

// Runs read(context), which reads the mapped bytes [begin, begin + length).
// A disk that fails while they are read (a network share that drops, media
// pulled out) makes such a read fault with an in-page error, which would end
// the host: here the fault is caught, read is stopped where it faulted, and
// the result is false. True when no byte of the range faulted. Faults at
// other addresses, on other threads or outside this call go to the host's
// handlers, as if the module were not there.
bool ReadGuarded(const void* begin, size_t length, void (*read)(void* context), void* context);

// Keeps what ReadGuarded sets up in place until the matching
// EndGuardedReads, so that a run reading thousands of views pays for it once
// instead of per view. Optional; what the process had is back in place after
// the last End. Begin's false means nothing was kept: do not call End.
bool BeginGuardedReads();
void EndGuardedReads();

// The same for any callable, e.g. [&] { scanner.Feed(view.data, length); }.
template <typename Read>
bool ReadGuarded(const void* begin, size_t length, Read&& read) {
    using Callable = std::remove_reference_t<Read>;
    return ReadGuarded(
        begin, length, [](void* callable) { (*static_cast<Callable*>(callable))(); },
        const_cast<void*>(static_cast<const void*>(&read)));
}

}  // namespace os::win32
