/* Built on a newer system, the Linux module and programs run on systems as
   old as glibc 2.31 with GCC 10's C++ runtime (Debian 11, Ubuntu 20.04).
   The linker binds each call to the newest version of it that the build
   machine's libraries have; for the calls whose newest version is younger
   than that, the references are bound here to the old versions, which newer
   libraries keep and which behave the same. Included first into every
   object of those builds (cmake/oldest_glibc.cmake); C and C++ alike.
   tests/package/linux/check_symbol_versions.sh fails the build when a younger version
   creeps in. */
#pragma once

#if defined(__linux__) && defined(__x86_64__)
/* libdl's calls moved into libc in glibc 2.34. */
__asm__(".symver dlopen,dlopen@GLIBC_2.2.5");
__asm__(".symver dlsym,dlsym@GLIBC_2.2.5");
__asm__(".symver dlclose,dlclose@GLIBC_2.2.5");
__asm__(".symver dlerror,dlerror@GLIBC_2.2.5");
/* And libpthread's, in 2.32 to 2.34. */
__asm__(".symver pthread_sigmask,pthread_sigmask@GLIBC_2.2.5");
__asm__(".symver pthread_cond_clockwait,pthread_cond_clockwait@GLIBC_2.30");
__asm__(".symver pthread_once,pthread_once@GLIBC_2.2.5");
__asm__(".symver pthread_key_create,pthread_key_create@GLIBC_2.2.5");
__asm__(".symver pthread_create,pthread_create@GLIBC_2.2.5");
__asm__(".symver pthread_join,pthread_join@GLIBC_2.2.5");
__asm__(".symver pthread_detach,pthread_detach@GLIBC_2.2.5");
/* std::condition_variable::wait(unique_lock<mutex>&), which GCC 11 gave a
   new version with the same behaviour. */
__asm__(
    ".symver _ZNSt18condition_variable4waitERSt11unique_lockISt5mutexE,"
    "_ZNSt18condition_variable4waitERSt11unique_lockISt5mutexE@GLIBCXX_3.4.11");
#endif
