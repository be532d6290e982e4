#include "tests/support/fake_dialog_host.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>

#include "tests/support/fake_gui_thread.h"

namespace fake_host {
namespace {

// The host's messages and events, as its interface defines them.
constexpr intptr_t kDmClose = 1;
constexpr intptr_t kDmListGetItemIndex = 19;
constexpr intptr_t kDmListSetItemIndex = 20;
constexpr intptr_t kDnClick = 0x1001;
constexpr intptr_t kDnInitDialog = 0x1005;
constexpr uint32_t kRecordSize = 65588;  // what the file manager 1.0.10 hands over

struct Control {
    std::string type;
    intptr_t itemIndex = -1;
    bool isDefault = false;
    bool isCancel = false;
};

struct State {
    std::vector<Step> steps;
    int messageBoxAnswer = 1;
    bool neverShow = false;
    Seen seen;
    std::string formName;
    std::map<std::string, Control> controls;
    tDlgProc proc = nullptr;
    bool closed = false;
    intptr_t result = 0;
};

State g_state;

// A form held back before it shows, as an error box over it would hold it.
std::mutex g_holdMutex;
std::condition_variable g_released;
bool g_holding = false;

constexpr uintptr_t kHandle = 0x5eed;

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// Reads the objects of a form text: enough to work the form as a user would.
void Parse(const std::string& text) {
    g_state.controls.clear();
    g_state.formName.clear();
    std::istringstream lines(text);
    std::string line, current;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.rfind("object ", 0) == 0) {
            const size_t colon = line.find(':');
            current = line.substr(7, colon - 7);
            if (g_state.formName.empty()) {
                g_state.formName = current;
            } else {
                g_state.controls[current].type = Trim(line.substr(colon + 1));
            }
            continue;
        }
        // An item is a quoted string: it never reads as one of these.
        if (!g_state.controls.count(current)) continue;
        Control& control = g_state.controls[current];
        if (line.rfind("ItemIndex = ", 0) == 0) control.itemIndex = std::stol(line.substr(12));
        if (line == "Default = True") control.isDefault = true;
        if (line == "Cancel = True") control.isCancel = true;
    }
}

void Note(const std::string& problem) { g_state.seen.problems.push_back(problem); }

void CheckThread(const char* call) {
    if (!fake_gui::OnGuiThread()) Note(std::string(call) + " off the GUI thread");
}

void Send(const std::string& control, intptr_t event) {
    std::string name = control;
    g_state.proc(kHandle, name.data(), event, 0, 0);
}

void ClickWhere(bool Control::*flag) {
    for (const auto& [name, control] : g_state.controls) {
        if (control.*flag) return Send(name, kDnClick);
    }
}

}  // namespace

void Expect(std::vector<Step> steps, int messageBoxAnswer) {
    g_state = State();
    g_state.steps = std::move(steps);
    g_state.messageBoxAnswer = messageBoxAnswer;
}

void NeverShow() { g_state.neverShow = true; }

void HoldShowing() {
    std::lock_guard<std::mutex> lock(g_holdMutex);
    g_holding = true;
}

void ShowHeld() {
    {
        std::lock_guard<std::mutex> lock(g_holdMutex);
        g_holding = false;
    }
    g_released.notify_all();
}

const Seen& seen() { return g_state.seen; }

namespace {

int MessageBox(char* text, char* caption, long flags) {
    CheckThread("MessageBox");
    g_state.seen.messageBoxes.push_back(std::string(caption ? caption : "(null)") + "|" +
                                        (text ? text : "(null)") + "|" + std::to_string(flags));
    return g_state.messageBoxAnswer;
}

int DialogBoxLFM(intptr_t formText, unsigned long size, tDlgProc proc) {
    CheckThread("DialogBoxLFM");
    ++g_state.seen.formsShown;
    if (g_state.neverShow) return 0;
    {
        std::unique_lock<std::mutex> lock(g_holdMutex);
        g_released.wait(lock, [] { return !g_holding; });
    }
    g_state.seen.formText.assign(reinterpret_cast<const char*>(formText), size);
    Parse(g_state.seen.formText);
    g_state.proc = proc;
    g_state.closed = false;
    g_state.result = 0;
    Send(g_state.formName, kDnInitDialog);
    for (const auto& [name, control] : g_state.controls) {
        if (control.type == "TRadioGroup") g_state.seen.choicesShown[name] = control.itemIndex;
    }
    for (const Step& step : g_state.steps) {
        if (g_state.closed) break;
        switch (step.kind) {
            case Step::kChoose:
                g_state.controls[step.control].itemIndex = step.index;
                Send(step.control, kDnClick);
                break;
            case Step::kClick:
                Send(step.control, kDnClick);
                break;
            case Step::kEnter:
                ClickWhere(&Control::isDefault);
                break;
            case Step::kEscape:
                ClickWhere(&Control::isCancel);
                break;
            case Step::kCloseWindow:
                g_state.closed = true;
                g_state.result = 2;
                break;
        }
    }
    if (!g_state.closed) Note("the form was still open when the user was done");
    g_state.seen.closedWith = g_state.result;
    g_state.proc = nullptr;
    return g_state.result == 1 ? -1 : 0;  // the host's "true" comes back as -1
}

intptr_t SendDlgMsg(uintptr_t dialog, char* itemName, intptr_t msg, intptr_t wParam, intptr_t) {
    CheckThread("SendDlgMsg");
    if (dialog != kHandle || g_state.proc == nullptr) {
        Note("a message to no live form");
        return 0;
    }
    const std::string name = itemName ? itemName : "";
    if (msg == kDmClose) {
        g_state.closed = true;
        g_state.result = wParam;
        return 0;
    }
    const auto found = g_state.controls.find(name);
    if (found == g_state.controls.end()) {
        Note("a message to the unknown control \"" + name + "\"");
        return 0;
    }
    Control& control = found->second;
    if (msg == kDmListGetItemIndex) return control.itemIndex;
    if (msg == kDmListSetItemIndex) {
        // As the host does: a change is reported as a click at once.
        if (control.itemIndex != wParam) {
            control.itemIndex = wParam;
            Send(name, kDnClick);
        }
        return 0x7eadbeef;  // the host's answer to this one means nothing
    }
    Note("an unexpected message " + std::to_string(msg));
    return 0;
}

}  // namespace

tExtensionStartupInfo& StartupInfo() {
    // The host's record is larger than the part this module reads.
    static const std::unique_ptr<unsigned char[]> storage(new unsigned char[kRecordSize]());
    auto& record = *reinterpret_cast<tExtensionStartupInfo*>(storage.get());
    std::memset(storage.get(), 0, kRecordSize);
    record.StructSize = kRecordSize;
    std::strcpy(record.PluginDir, "/usr/lib/plugins/");
    std::strcpy(record.PluginConfDir, "/home/user/.config/host/");
    record.MessageBox = &MessageBox;
    record.DialogBoxLFM = &DialogBoxLFM;
    record.SendDlgMsg = &SendDlgMsg;
    return record;
}

}  // namespace fake_host
