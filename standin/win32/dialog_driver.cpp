#include "standin/win32/dialog_driver.h"

#include <sstream>
#include <thread>

#include "dialog/settings_resource.h"
#include "plugin/module_identity.h"

namespace win32_driver {

namespace {

#define MOSSGRAIN_WIDEN2(text) L##text
#define MOSSGRAIN_WIDEN(text) MOSSGRAIN_WIDEN2(text)

constexpr DWORD kPollMs = 10;
// Time for the dialog's loop to take one posted key before the next one.
constexpr DWORD kKeyGapMs = 40;

struct Search {
    const std::vector<WindowKind>* kinds;
    HWND skip;
    HWND found = nullptr;
};

bool Matches(HWND window, const WindowKind& kind) {
    if (kind.className != nullptr) {
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        if (lstrcmpW(className, kind.className) != 0) return false;
    }
    return WindowText(window) == kind.caption;
}

// Ready for keys: shown, and its thread has put the focus inside it.
bool ReadyForInput(HWND window) {
    if (!IsWindowVisible(window)) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return false;
    return info.hwndFocus != nullptr &&
           (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || window == search->skip) return TRUE;
    for (const WindowKind& kind : *search->kinds) {
        if (Matches(window, kind) && ReadyForInput(window)) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}

UINT VirtualKey(const std::string& name) {
    static const struct {
        const char* name;
        UINT key;
    } kKeys[] = {{"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},  {"Escape", VK_ESCAPE},
                 {"Tab", VK_TAB},      {"Space", VK_SPACE}, {"Up", VK_UP},
                 {"Down", VK_DOWN},    {"Left", VK_LEFT},   {"Right", VK_RIGHT}};
    for (const auto& k : kKeys) {
        if (name == k.name) return k.key;
    }
    return 0;
}

std::vector<std::string> SplitKeys(const std::string& keys) {
    std::vector<std::string> names;
    std::istringstream in(keys);
    std::string name;
    while (in >> name) names.push_back(name);
    return names;
}

}  // namespace

const WindowKind kSettingsDialog = {nullptr, MOSSGRAIN_WIDEN(SETTINGS_CAPTION)};
const WindowKind kAboutBox = {L"#32770", MOSSGRAIN_WIDEN(MOSSGRAIN_ABOUT_CAPTION)};

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

HWND WaitForWindow(const std::vector<WindowKind>& kinds, DWORD timeoutMs, HWND skip) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        Search search{&kinds, skip};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(kPollMs);
    }
}

bool WindowExists(HWND window) { return IsWindow(window) != 0; }

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
    return true;
}

bool PressKey(HWND window, const std::string& name) {
    const UINT key = VirtualKey(name);
    if (key == 0) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
        info.hwndFocus != nullptr) {
        target = info.hwndFocus;
    }
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    const bool down = PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    const bool up = PostMessageW(target, WM_KEYUP, key, scan | 1 | (1 << 30) | (1u << 31));
    return down && up;
}

bool KnownKeys(const std::string& keys) {
    for (const std::string& name : SplitKeys(keys)) {
        if (VirtualKey(name) == 0) return false;
    }
    return true;
}

bool ClickButton(HWND window, int id) {
    const HWND button = GetDlgItem(window, id);
    if (button == nullptr) return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

std::vector<std::wstring> StaticTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Static") == 0) texts.push_back(WindowText(child));
    }
    return texts;
}

void AnswerInBackground(const std::string& keys) {
    const std::vector<std::string> names = SplitKeys(keys);
    std::thread([names] {
        HWND answered = nullptr;
        for (;;) {
            // The last window answered may still be closing: never twice.
            const HWND skip = WindowExists(answered) ? answered : nullptr;
            const HWND window = WaitForWindow({kSettingsDialog, kAboutBox}, INFINITE, skip);
            if (window == nullptr) return;
            for (size_t i = 0; i < names.size(); ++i) {
                if (i > 0) Sleep(kKeyGapMs);
                PressKey(window, names[i]);
            }
            answered = window;
        }
    }).detach();
}

}  // namespace win32_driver
