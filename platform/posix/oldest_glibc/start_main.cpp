// The start of a program built here on a system whose glibc is older than
// 2.34. The build's start code calls glibc 2.34's __libc_start_main, which
// runs the program's constructors itself; the old one leaves them to the
// function it is given, as the old start code gave it one. Linked with
// --wrap=__libc_start_main, the start code comes here, and here the old
// entry is called with such a function; newer glibc keeps the old entry and
// honours it the same way.
extern "C" {

using MainFunction = int (*)(int argc, char** argv, char** environment);
using InitFunction = void (*)(int argc, char** argv, char** environment);

int OldStartMain(MainFunction main, int argc, char** argv, InitFunction init, void (*fini)(),
                 void (*dynamicLinkerFini)(), void* stackEnd);
__asm__(".symver OldStartMain,__libc_start_main@GLIBC_2.2.5");

// What the linker and the start files put into every program.
void _init();
extern InitFunction __init_array_start[] __attribute__((visibility("hidden")));
extern InitFunction __init_array_end[] __attribute__((visibility("hidden")));

// As the old start code's initialiser did for a dynamically linked program
// (the dynamic linker runs its preinit array).
static void RunInitializers(int argc, char** argv, char** environment) {
    _init();
    for (InitFunction* f = __init_array_start; f != __init_array_end; ++f)
        (*f)(argc, argv, environment);
}

__attribute__((visibility("hidden"))) int __wrap___libc_start_main(MainFunction main, int argc,
                                                                   char** argv, InitFunction init,
                                                                   void (*fini)(),
                                                                   void (*dynamicLinkerFini)(),
                                                                   void* stackEnd) {
    return OldStartMain(main, argc, argv, init != nullptr ? init : RunInitializers, fini,
                        dynamicLinkerFini, stackEnd);
}

}  // extern "C"
