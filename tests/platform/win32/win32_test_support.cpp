#include "tests/platform/win32/win32_test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/win32/wide_text.h"
#include "plugin/module_file.h"

namespace win32_test {

std::wstring ExeFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

namespace {

// A path relative to the test programs' folder, which holds nothing else of
// the build, in Windows form.
std::wstring FromExeFolder(const char* relative) {
    std::wstring path = ExeFolder() + os::win32::WideFromNarrow(relative);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

}  // namespace

// The module and the stand-in host are at the top of the build.
std::wstring ModulePath() {
    return FromExeFolder(MOSSGRAIN_BUILD_RELATIVE "/" MOSSGRAIN_MODULE_FILE);
}
std::wstring StandinPath() { return FromExeFolder(MOSSGRAIN_BUILD_RELATIVE "/mossgrain.exe"); }

std::string SamplesFolder() {
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(FromExeFolder(MOSSGRAIN_SAMPLES_RELATIVE).c_str(),
                                          MAX_PATH * 4, full, nullptr);
    return os::win32::NarrowFromWide(std::wstring(full, length)) + "\\";
}

intptr_t WithWindow(const win32_driver::WindowKind& kind, const std::function<void(HWND)>& act,
                    const std::function<intptr_t()>& show, bool* seen) {
    std::atomic<bool> finished{false};
    bool appeared = false;
    std::thread helper([&] {
        HWND window = nullptr;
        while (!finished && window == nullptr) window = win32_driver::WaitForWindow({kind}, 100);
        if (window == nullptr) return;
        appeared = true;
        act(window);
        if (!win32_driver::WaitUntilGone(window, 10000)) {
            // Left open by the test: the standard cancel ends any dialog.
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const intptr_t result = show();
    finished = true;
    helper.join();
    if (seen != nullptr) *seen = appeared;
    return result;
}

namespace {

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

HANDLE InheritableFile(const std::wstring& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    ProcessResult result;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring stamp =
        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    const std::wstring outPath = std::wstring(temp) + L"mossgrain-out-" + stamp;
    const std::wstring errPath = std::wstring(temp) + L"mossgrain-err-" + stamp;
    // Files, not pipes: nothing the child prints can block it.
    const HANDLE out = InheritableFile(outPath);
    const HANDLE err = InheritableFile(errPath);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 0xFFFFFFFF);
            WaitForSingleObject(process.hProcess, 5000);
        }
        GetExitCodeProcess(process.hProcess, &result.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = WithoutCarriageReturns(ReadFileBytes(outPath));
    result.err = WithoutCarriageReturns(ReadFileBytes(errPath));
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return result;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace win32_test
