// Shows the module's settings dialog or about box for a screenshot taken from
// outside: once the window is ready it is drawn active, its screen rectangle
// is written to READY as WIDTHxHEIGHT+X+Y, and when DONE exists (or after
// 30 s) the window is answered with Escape or Enter and the program ends.
// Usage: screenshot_pose settings|about READY DONE
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/win32/wide_text.h"
#include "standin/plugin_module.h"
#include "standin/win32/dialog_driver.h"
#include "tests/platform/win32/win32_test_support.h"

namespace {

void Pose(HWND window, const std::wstring& ready, const std::wstring& done) {
    SetForegroundWindow(window);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);  // the caption in its active colours
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(200);
    RECT r;
    GetWindowRect(window, &r);
    const std::string geometry = std::to_string(r.right - r.left) + "x" +
                                 std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) +
                                 "+" + std::to_string(r.top);
    const std::wstring partial = ready + L".part";
    if (FILE* f = _wfopen(partial.c_str(), L"wb")) {
        std::fputs(geometry.c_str(), f);
        std::fclose(f);
        MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    for (int waited = 0; waited < 3000 && !win32_test::FileExists(done); ++waited) Sleep(10);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: screenshot_pose settings|about READY DONE\n", stderr);
        return 2;
    }
    const std::wstring kind = argv[1], ready = argv[2], done = argv[3];
    const bool about = kind == L"about";
    std::string error;
    PluginModule module;
    if (!module.Load(os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(win32_test::ModulePath())),
                     error)) {
        std::fprintf(stderr, "screenshot_pose: %s\n", error.c_str());
        return 2;
    }
    bool seen = false;
    win32_test::WithWindow(
        about ? win32_driver::kAboutBox : win32_driver::kSettingsDialog,
        [&](HWND window) {
            Pose(window, ready, done);
            win32_driver::PressKey(window, about ? "Enter" : "Esc");
        },
        [&]() -> intptr_t {
            if (about) return module.ConfigurePacker(nullptr, module.handle);
            std::string report = "NUL", source = win32_test::SamplesFolder();
            std::string list = std::string("engine\\") + '\0' + '\0';
            return module.PackFiles(report.data(), nullptr, source.data(), list.data(), 0);
        },
        &seen);
    return seen ? 0 : 1;
}
