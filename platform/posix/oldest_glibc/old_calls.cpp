// The calls that have no old version to bind to (see symbol_versions.h),
// defined here in terms of what glibc 2.31 and GCC 10's runtime have. They
// are hidden: each binary that links this keeps them to itself.
#include <sys/stat.h>

#include <new>

#define OLD_CALL extern "C" __attribute__((visibility("hidden")))

// Before glibc 2.33, stat and its kin were inline wrappers of these.
extern "C" int OldXstat(int version, const char* path, struct stat* buffer);
extern "C" int OldFxstat(int version, int fd, struct stat* buffer);
extern "C" int OldLxstat(int version, const char* path, struct stat* buffer);
extern "C" int OldFxstatat(int version, int dirfd, const char* path, struct stat* buffer,
                           int flags);
__asm__(".symver OldXstat,__xstat@GLIBC_2.2.5");
__asm__(".symver OldFxstat,__fxstat@GLIBC_2.2.5");
__asm__(".symver OldLxstat,__lxstat@GLIBC_2.2.5");
__asm__(".symver OldFxstatat,__fxstatat@GLIBC_2.4");

namespace {
constexpr int kStatVersion = 1;  // _STAT_VER_LINUX, the layout of struct stat on x86-64
}

OLD_CALL int stat(const char* path, struct stat* buffer) noexcept {
    return OldXstat(kStatVersion, path, buffer);
}
OLD_CALL int fstat(int fd, struct stat* buffer) noexcept {
    return OldFxstat(kStatVersion, fd, buffer);
}
OLD_CALL int lstat(const char* path, struct stat* buffer) noexcept {
    return OldLxstat(kStatVersion, path, buffer);
}
OLD_CALL int fstatat(int dirfd, const char* path, struct stat* buffer, int flags) noexcept {
    return OldFxstatat(kStatVersion, dirfd, path, buffer, flags);
}

// GCC 11's headers test this flag of glibc 2.32 to skip atomic reference
// counts in a program that has one thread. The module lives in a host with
// many: never single-threaded.
extern "C" {
__attribute__((visibility("hidden"))) char __libc_single_threaded = 0;
}

// What GCC 12's allocations call for an array length too large, which GCC
// 10's runtime does not have.
namespace std {
[[noreturn]] __attribute__((visibility("hidden"))) void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}
}  // namespace std
