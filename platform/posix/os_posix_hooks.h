// Seams for tests of the POSIX layer. They let a test change the file system
// at the exact moment between two steps of a walk or a read (a file removed
// after its folder was listed, a file cut short between two reads of it),
// which a racing thread could only hit by chance, make reads fail the way
// only failing storage or a signal makes them fail, make a warm cache look
// cold, and give up on a host's GUI thread sooner. Null outside tests.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace os::posix_hooks {

// Called with the path just before a source file or a folder is opened.
extern void (*beforeOpen)(const char* path);

// When set, what reads a source file's views in place of pread, with its
// arguments and its results.
extern ssize_t (*readAt)(int fd, void* buffer, size_t count, off_t offset);

// Called with the path just before a file is hinted for reading ahead.
extern void (*beforeHint)(const char* path);

// When set, what StorageBytesRead() returns: a test makes the cache look
// cold (a count that grows) or warm (one that does not).
extern uint64_t (*storageBytesRead)();

// When not 0, the milliseconds the host's GUI thread is given to start what
// is handed to it, and a host form to show, instead of the real bounds.
extern int handoverMilliseconds;

}  // namespace os::posix_hooks
