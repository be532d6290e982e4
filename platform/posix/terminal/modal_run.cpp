#include "platform/posix/terminal/modal_run.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/dialog_controls.h"
#include "platform/posix/terminal/key_rules.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/terminal/message_box.h"
#include "platform/posix/terminal/render.h"
#include "platform/posix/terminal/session.h"
#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

// Where the keys come from, and where the dialog is shown.
class KeyInput {
public:
    virtual ~KeyInput() = default;
    // Called before every key with the dialog as it is now.
    virtual void Show(const KeyRules& keys, const std::vector<Label>& labels) = 0;
    // The next key; nothing when the input has ended.
    virtual std::optional<Key> Next() = 0;
};

class ScriptInput final : public KeyInput {
public:
    explicit ScriptInput(std::vector<Key> keys) : keys_(std::move(keys)) {}

    // The dialog is drawn once, as it first appears, so that a person at the
    // terminal sees what was asked and what answered it.
    void Show(const KeyRules& keys, const std::vector<Label>& labels) override {
        if (shown_) return;
        shown_ = true;
        std::string text;
        for (const std::string& line : RenderDialog(keys, labels, RenderStyle::kPlain)) {
            text += line;
            text += '\n';
        }
        text += "  keys:";
        for (Key key : keys_) {
            text += ' ';
            text += KeyName(key);
        }
        if (keys_.empty()) text += " (none)";
        text += '\n';
        WriteToTerminal(text);
    }

    std::optional<Key> Next() override {
        if (next_ >= keys_.size()) return std::nullopt;
        return keys_[next_++];
    }

private:
    std::vector<Key> keys_;
    size_t next_ = 0;
    bool shown_ = false;
};

class TerminalInput final : public KeyInput {
public:
    bool Open() { return session_.Open(); }

    void Show(const KeyRules& keys, const std::vector<Label>& labels) override {
        if (!session_.Draw(RenderDialog(keys, labels, RenderStyle::kAnsi, session_.columns()))) {
            failed_ = true;
        }
    }

    std::optional<Key> Next() override {
        if (failed_) return std::nullopt;
        return session_.ReadKey();
    }

private:
    TerminalSession session_;
    bool failed_ = false;
};

// The script when one is set (null, after a message, when it names an
// unknown key); else the terminal; else null.
std::unique_ptr<KeyInput> OpenInput() {
    if (const char* script = std::getenv(kKeyScriptVariable)) {
        std::vector<Key> keys;
        std::string badName;
        if (!ParseKeyScript(script, keys, badName)) {
            // The name is shown cleaned: it is whatever the environment held.
            std::string shown;
            for (const std::string& cell : SplitCells(badName.substr(0, 40))) shown += cell;
            WriteToTerminal(std::string("Mossgrain: ") + kKeyScriptVariable + ": unknown key \"" +
                            shown + "\"\n");
            return nullptr;
        }
        return std::make_unique<ScriptInput>(std::move(keys));
    }
    auto terminalInput = std::make_unique<TerminalInput>();
    if (!terminalInput->Open()) return nullptr;
    return terminalInput;
}

}  // namespace

intptr_t RunModal(const DialogTemplate& dialogTemplate, DialogEvents& events) {
    const std::unique_ptr<KeyInput> input = OpenInput();
    if (!input) return -1;
    DialogWindow dialog(dialogTemplate);
    KeyRules keys(dialog);
    events.OnInit(&dialog);
    while (!dialog.ended) {
        input->Show(keys, {});
        const std::optional<Key> key = input->Next();
        if (!key) return -1;
        if (const std::optional<int> command = keys.HandleKey(*key)) {
            events.OnCommand(&dialog, *command, kButtonClicked);
        }
    }
    return dialog.result;
}

int ShowMessage(const char* text, const char* caption, unsigned style) {
    const std::unique_ptr<KeyInput> input = OpenInput();
    if (!input) return 0;
    const MessageBox box(text, caption, style);
    DialogWindow dialog(box.layout());
    KeyRules keys(dialog);
    for (;;) {
        input->Show(keys, box.labels());
        const std::optional<Key> key = input->Next();
        if (!key) return 0;
        // Its one button is Ok: Enter, Space and Escape alike close it with Ok.
        if (keys.HandleKey(*key)) return kOkCommand;
    }
}

}  // namespace os::terminal
