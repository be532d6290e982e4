// What the Windows tests share: where the built files are, running a window's
// counterpart on a second thread, and starting programs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "standin/win32/dialog_driver.h"

namespace win32_test {

// The folder of the running test program, with a trailing backslash.
std::wstring ExeFolder();

// The module and the stand-in host of this build, and the sample tree.
std::wstring ModulePath();
std::wstring StandinPath();
std::string SamplesFolder();  // UTF-8, with a trailing backslash

// Runs show() on this thread while a second thread waits for a window of kind
// to be ready and calls act(window) on it. Should act leave the window open,
// it is cancelled after a while so that no test can hang. seen tells whether
// the window appeared at all.
intptr_t WithWindow(const win32_driver::WindowKind& kind, const std::function<void(HWND)>& act,
                    const std::function<intptr_t()>& show, bool* seen = nullptr);

struct ProcessResult {
    DWORD status = 0xFFFFFFFF;  // exit code; 0xFFFFFFFF when it had to be killed
    std::string out;            // stdout and stderr, CR LF made LF
    std::string err;
};

// Starts the command line and waits up to timeoutMs for it to end.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

}  // namespace win32_test
