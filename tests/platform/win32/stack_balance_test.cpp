// 32-bit only: every export removes exactly its own arguments from the stack,
// as stdcall requires. The host pushes the arguments and leaves their removal
// to the callee; an export built as cdecl would return with them still there,
// and the host's stack pointer would drift by their size on every call. Names
// do not show it (a cdecl export links under the same plain name), so the
// module is loaded and its exports resolved as the stand-in host does it, and
// the stack pointer is compared around each call.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "plugin/export_names.h"
#include "standin/standin_os.h"
#include "tests/platform/win32/win32_test_support.h"

namespace {

// Pushes count 32-bit arguments right to left, calls fn and answers by how
// many bytes ESP then differs from before the pushes: 0 when fn removed them
// (stdcall), 4 * count when it left them (cdecl). ESP is put back either way,
// so a wrong export cannot derail the test itself.
extern "C" __attribute__((naked)) int32_t StackDrift(void* /*fn*/, const uint32_t* /*args*/,
                                                     int32_t /*count*/) {
    asm("push %ebp\n\t"
        "mov %esp, %ebp\n\t"
        "push %esi\n\t"
        "push %edi\n\t"
        "mov 12(%ebp), %esi\n\t"  // args
        "mov 16(%ebp), %ecx\n\t"  // count
        "mov %esp, %edi\n\t"      // ESP before the pushes; callee-saved
        "1:\n\t"
        "test %ecx, %ecx\n\t"
        "jz 2f\n\t"
        "dec %ecx\n\t"
        "pushl (%esi,%ecx,4)\n\t"
        "jmp 1b\n"
        "2:\n\t"
        "call *8(%ebp)\n\t"
        "mov %edi, %eax\n\t"
        "sub %esp, %eax\n\t"
        "mov %edi, %esp\n\t"
        "pop %edi\n\t"
        "pop %esi\n\t"
        "pop %ebp\n\t"
        "ret");
}

uint32_t Arg(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

TEST(StackBalance, EveryExportRemovesExactlyItsArgumentsAThousandTimesOver) {
    std::string error;
    void* const module = standin_os::LoadModule(
        os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(win32_test::ModulePath())).c_str(),
        error);
    ASSERT_NE(module, nullptr) << error;

    // Arguments under which each call returns at once: an empty entry list
    // packs nothing and shows no dialog; a window that no longer exists
    // makes the about box fail instead of waiting for a person.
    char report[] = "unused.csv";
    char source[] = "C:\\";
    char emptyList[2] = {};
    unsigned char record[64] = {};
    const HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    const std::map<std::string, std::vector<uint32_t>> arguments = {
        {"GetPackerCaps", {}},
        {"PackFiles", {Arg(report), 0, Arg(source), Arg(emptyList), 0}},
        {"OpenArchive", {Arg(record)}},
        {"ReadHeader", {Arg(record), Arg(record)}},
        {"ProcessFile", {Arg(record), 0, 0, 0}},
        {"CloseArchive", {0}},
        {"SetChangeVolProc", {0, 0}},
        {"SetProcessDataProc", {0, 0}},
        {"ConfigurePacker", {Arg(gone), Arg(module)}},
    };

    for (const char* name : kModuleExportNames) {
        const auto args = arguments.find(name);
        ASSERT_NE(args, arguments.end()) << "no arguments for the export " << name;
        void* const fn = standin_os::FindExport(module, name);
        ASSERT_NE(fn, nullptr) << name;
        int64_t drift = 0;
        for (int call = 0; call < 1000; ++call) {
            drift += StackDrift(fn, args->second.data(), static_cast<int32_t>(args->second.size()));
        }
        EXPECT_EQ(drift, 0) << name << " left " << drift
                            << " bytes on the stack over 1000 calls with " << args->second.size()
                            << " arguments";
    }
    standin_os::UnloadModule(module);
}

}  // namespace
