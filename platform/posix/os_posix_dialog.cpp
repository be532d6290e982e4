// POSIX: dialogs and the about box as windows of the host when it handed
// over its dialog services (host_dialogs/), else in the terminal.
//
// In the terminal, the keys come from the key script (kKeyScriptVariable) when it is
// set (for unattended runs: the dialog is drawn once as plain text, with the
// keys that answered it, on the controlling terminal if there is one), else
// from the controlling terminal, where the dialog is drawn and redrawn in
// place. Without either, nothing can be asked and the dialog fails at once.
// Nothing goes to the standard streams: they belong to the host.
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/os.h"
#include "platform/os_dialog.h"
#include "platform/posix/dialog_window.h"
#include "platform/posix/host_dialogs/host_dialog.h"
#include "platform/posix/terminal/dialog_model.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/terminal/render.h"
#include "platform/posix/terminal/session.h"
#include "platform/posix/terminal/text.h"

namespace os {

namespace {

using terminal::Key;

// Where the keys come from, and where the dialog is shown.
class KeyInput {
public:
    virtual ~KeyInput() = default;
    // Called before every key with the dialog as it is now.
    virtual void Show(const terminal::DialogModel& model) = 0;
    // The next key; nothing when the input has ended.
    virtual std::optional<Key> Next() = 0;
};

class ScriptInput final : public KeyInput {
public:
    explicit ScriptInput(std::vector<Key> keys) : keys_(std::move(keys)) {}

    // The dialog is drawn once, as it first appears, so that a person at the
    // terminal sees what was asked and what answered it.
    void Show(const terminal::DialogModel& model) override {
        if (shown_) return;
        shown_ = true;
        std::string text;
        for (const std::string& line : RenderDialog(model, terminal::RenderStyle::kPlain)) {
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
        terminal::WriteToTerminal(text);
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

    void Show(const terminal::DialogModel& model) override {
        if (!session_.Draw(RenderDialog(model, terminal::RenderStyle::kAnsi, session_.columns()))) {
            failed_ = true;
        }
    }

    std::optional<Key> Next() override {
        if (failed_) return std::nullopt;
        return session_.ReadKey();
    }

private:
    terminal::TerminalSession session_;
    bool failed_ = false;
};

// The script when one is set (null, after a message, when it names an
// unknown key); else the terminal; else null.
std::unique_ptr<KeyInput> OpenInput() {
    if (const char* script = std::getenv(kKeyScriptVariable)) {
        std::vector<Key> keys;
        std::string badName;
        if (!terminal::ParseKeyScript(script, keys, badName)) {
            // The name is shown cleaned: it is whatever the environment held.
            std::string shown;
            for (const std::string& cell : terminal::SplitCells(badName.substr(0, 40)))
                shown += cell;
            terminal::WriteToTerminal(std::string("Mossgrain: ") + kKeyScriptVariable +
                                      ": unknown key \"" + shown + "\"\n");
            return nullptr;
        }
        return std::make_unique<ScriptInput>(std::move(keys));
    }
    auto terminalInput = std::make_unique<TerminalInput>();
    if (!terminalInput->Open()) return nullptr;
    return terminalInput;
}

}  // namespace

intptr_t RunModalDialog(const DialogTemplate& dialogTemplate, DialogEvents& events) {
    // The module's callers are C entry points: nothing may escape as an exception.
    try {
        if (const std::optional<intptr_t> result = host_dialogs::RunModal(dialogTemplate, events)) {
            return *result;
        }
        const std::unique_ptr<KeyInput> input = OpenInput();
        if (!input) return -1;
        DialogWindow dialog(terminal::DialogModel::FromTemplate(dialogTemplate));
        events.OnInit(&dialog);
        while (!dialog.ended) {
            input->Show(dialog.model);
            const std::optional<Key> key = input->Next();
            if (!key) return -1;
            if (const std::optional<int> command = dialog.model.HandleKey(*key)) {
                events.OnCommand(&dialog, *command, kButtonClicked);
            }
        }
        return dialog.result;
    } catch (...) {
        return -1;
    }
}

void EndModalDialog(DialogWindow* dialog, intptr_t result) {
    if (dialog == nullptr) return;
    dialog->ended = true;
    dialog->result = result;
}

ControlWindow* DialogItem(DialogWindow* dialog, int id) {
    if (dialog == nullptr) return nullptr;
    const std::optional<size_t> index = dialog->model.Find(id);
    return index ? &dialog->controls[*index] : nullptr;
}

ControlWindow* NextChild(ControlWindow* control) {
    if (control == nullptr) return nullptr;
    const size_t next = control->index + 1;
    return next < control->dialog->controls.size() ? &control->dialog->controls[next] : nullptr;
}

bool StartsGroup(ControlWindow* control) {
    return control != nullptr && control->dialog->model.items()[control->index].groupStart;
}

bool IsRadioButton(ControlWindow* control) {
    return control != nullptr && control->dialog->model.items()[control->index].kind ==
                                     terminal::ItemKind::kAutoRadioButton;
}

bool IsButtonChecked(ControlWindow* control) {
    return control != nullptr && control->dialog->model.IsChecked(control->index);
}

void SetButtonChecked(ControlWindow* control, bool checked) {
    if (control != nullptr) control->dialog->model.SetChecked(control->index, checked);
}

int ShowMessageBox(void* /*parentWindow*/, const char* text, const char* caption, unsigned style) {
    try {
        if (const std::optional<int> result = host_dialogs::ShowMessage(text, caption, style)) {
            return *result;
        }
        const std::unique_ptr<KeyInput> input = OpenInput();
        if (!input) return 0;
        terminal::DialogModel model = terminal::DialogModel::ForMessage(text, caption, style);
        for (;;) {
            input->Show(model);
            const std::optional<Key> key = input->Next();
            if (!key) return 0;
            // Its one button is Ok: Enter, Space and Escape alike close it with Ok.
            if (model.HandleKey(*key)) return 1;
        }
    } catch (...) {
        return 0;
    }
}

}  // namespace os
