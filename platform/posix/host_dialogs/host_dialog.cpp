#include "platform/posix/host_dialogs/host_dialog.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/dialog_controls.h"
#include "platform/posix/host_dialogs/form_text.h"
#include "platform/posix/host_dialogs/gui_thread.h"
#include "platform/posix/host_dialogs/host_services.h"
#include "platform/posix/os_posix_hooks.h"

namespace os::host_dialogs {
namespace {

// The host's form messages and events.
constexpr intptr_t kCloseMessage = 1;          // wParam: the modal result
constexpr intptr_t kGetChoiceMessage = 19;     // a radio group's item index
constexpr intptr_t kSetChoiceMessage = 20;     // sets it; the group reports a click if it changed
constexpr intptr_t kClickEvent = 0x1001;       // also for a choice made with the arrow keys
constexpr intptr_t kInitDialogEvent = 0x1005;  // the form is about to show
constexpr intptr_t kModalOk = 1;
constexpr intptr_t kModalCancel = 2;

// How long a form may take to show once the GUI thread has started it. The
// host builds it from its text in milliseconds; a text it cannot read leaves
// it in an error box, and the form never shows.
std::chrono::milliseconds ShowBound() {
    if (posix_hooks::handoverMilliseconds != 0) {
        return std::chrono::milliseconds(posix_hooks::handoverMilliseconds);
    }
    return std::chrono::seconds(10);
}

class FormRun;

// The host's events carry nothing of ours, so they reach the form on top
// through this; forms nest strictly (each is modal), each keeps the one below
// it. Only the GUI thread touches it.
FormRun* g_current = nullptr;

// One run of a form, shared by the caller, who waits for it, and the GUI
// thread, which may have to go on with it after the caller gave up waiting:
// then the dialog object and its template (the caller's) are never touched
// again, and a form that shows after all is closed at once.
class FormRun {
public:
    FormRun(const HostDialogServices& services, DialogEvents& events, Form form,
            const DialogTemplate& dialogTemplate)
        : services_(services), events_(events), form_(std::move(form)), dialog_(dialogTemplate) {
        for (const FormControl& control : form_.controls) shownChoice_.push_back(Choice(control));
    }

    // On the GUI thread: shows the form and returns once it is closed.
    void Show() {
        FormRun* const below = g_current;
        g_current = this;
        services_.showForm(reinterpret_cast<intptr_t>(form_.text.c_str()),
                           static_cast<unsigned long>(form_.text.size()), &Proc);
        live_ = false;
        g_current = below;
        std::unique_lock<std::mutex> lock(mutex_);
        if (stage_ == Stage::kAbandoned) return;
        if (stage_ == Stage::kWaiting) {
            dialog_.result = -1;  // it never showed
        } else if (!dialog_.ended) {
            lock.unlock();  // shown: the caller waits for the end
            // Closing the window is the cancel command, as Windows sends it.
            events_.OnCommand(&dialog_, kCancelCommand, kButtonClicked);
            if (!dialog_.ended) dialog_.result = kCancelCommand;  // the window is gone
            lock.lock();
        }
        stage_ = Stage::kClosed;
        changed_.notify_all();
    }

    // The caller: waits up to bound for the form to show, or to close without
    // having shown. False when it did neither: the caller gives up on it.
    bool WaitShown(std::chrono::milliseconds bound) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (changed_.wait_for(lock, bound, [this] { return stage_ != Stage::kWaiting; })) {
            return true;
        }
        stage_ = Stage::kAbandoned;
        return false;
    }

    // Once the run has closed.
    intptr_t result() const { return dialog_.result; }

private:
    enum class Stage {
        kWaiting,    // the form has not shown yet
        kShown,      // it is up, and the caller waits for its end
        kClosed,     // it closed; result() holds the answer
        kAbandoned,  // the caller gave up before it showed
    };

    static intptr_t Proc(uintptr_t form, char* control, intptr_t event, intptr_t, intptr_t) {
        // No exception may unwind into the host's frames.
        try {
            if (g_current != nullptr) g_current->OnEvent(form, control, event);
        } catch (...) {
            if (g_current != nullptr) g_current->Fail();
        }
        return 0;
    }

    void OnEvent(uintptr_t form, const char* control, intptr_t event) {
        if (event == kInitDialogEvent && !shown_) {
            handle_ = form;
            shown_ = true;
            if (!MarkShown()) {
                Send(kFormName, kCloseMessage, kModalCancel);  // nobody waits for it
                return;
            }
            live_ = true;
            events_.OnInit(&dialog_);
        } else if (event == kClickEvent && live_ && !setting_ && !dialog_.ended &&
                   control != nullptr) {
            const FormControl* clicked = Find(control);
            if (clicked == nullptr) return;
            if (clicked->kind == FormControlKind::kRadioGroup) {
                const int id = ReadChoice(*clicked);
                if (id != -1) events_.OnCommand(&dialog_, id, kButtonClicked);
            } else if (clicked->kind == FormControlKind::kButton) {
                for (const FormControl& c : form_.controls) ReadChoice(c);
                events_.OnCommand(&dialog_, dialog_.controls[clicked->templateIndex].control->id,
                                  kButtonClicked);
            }
        } else {
            return;
        }
        if (dialog_.ended) {
            Send(kFormName, kCloseMessage, dialog_.result == kOkCommand ? kModalOk : kModalCancel);
        } else {
            ShowChoices();
        }
    }

    // The form is up: from now on the caller waits for its end. False when
    // the caller has already given up on it.
    bool MarkShown() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stage_ == Stage::kAbandoned) return false;
            stage_ = Stage::kShown;
        }
        changed_.notify_all();
        return true;
    }

    // Something threw inside an event: the dialog ends as one that failed.
    void Fail() {
        dialog_.ended = true;
        dialog_.result = -1;
        if (live_) Send(kFormName, kCloseMessage, kModalCancel);
    }

    const FormControl* Find(const char* name) const {
        for (const FormControl& control : form_.controls) {
            if (control.name == name) return &control;
        }
        return nullptr;
    }

    // The item of a radio group whose button is checked (the first, if
    // several), or -1.
    intptr_t Choice(const FormControl& control) const {
        for (size_t n = 0; n < control.items.size(); ++n) {
            if (dialog_.controls[control.items[n]].checked) return static_cast<intptr_t>(n);
        }
        return -1;
    }

    // Takes a radio group's choice into the check marks; the id of the chosen
    // button, or -1 when none is chosen (or the control is no radio group).
    int ReadChoice(const FormControl& control) {
        if (control.kind != FormControlKind::kRadioGroup) return -1;
        const intptr_t chosen = Send(control.name.c_str(), kGetChoiceMessage, 0);
        shownChoice_[&control - form_.controls.data()] = chosen;
        for (size_t n = 0; n < control.items.size(); ++n) {
            dialog_.SetChecked(control.items[n], static_cast<intptr_t>(n) == chosen);
        }
        if (chosen < 0 || static_cast<size_t>(chosen) >= control.items.size()) return -1;
        return dialog_.controls[control.items[static_cast<size_t>(chosen)]].control->id;
    }

    // Brings the form's radio groups in line with the check marks. Setting a
    // choice makes the host report a click, which is no user's: it is not
    // passed on.
    void ShowChoices() {
        for (size_t i = 0; i < form_.controls.size(); ++i) {
            const FormControl& control = form_.controls[i];
            if (control.kind != FormControlKind::kRadioGroup) continue;
            const intptr_t wanted = Choice(control);
            if (wanted == shownChoice_[i]) continue;
            setting_ = true;
            Send(control.name.c_str(), kSetChoiceMessage, wanted);
            setting_ = false;
            shownChoice_[i] = wanted;
        }
    }

    intptr_t Send(const char* control, intptr_t message, intptr_t wParam) {
        std::string name = control;  // the host's call takes a modifiable string
        return services_.sendFormMessage(handle_, name.data(), message, wParam, 0);
    }

    HostDialogServices services_;
    DialogEvents& events_;  // the caller's: untouched once the caller gave up
    Form form_;
    DialogWindow dialog_;                // on the caller's template: likewise
    std::vector<intptr_t> shownChoice_;  // per form control: the radio group's choice on screen
    uintptr_t handle_ = 0;
    bool shown_ = false;    // the form has shown
    bool live_ = false;     // and is still up, with the caller waiting
    bool setting_ = false;  // a choice is being set from the check marks

    std::mutex mutex_;  // guards stage_ between the caller and the GUI thread
    std::condition_variable changed_;
    Stage stage_ = Stage::kWaiting;
};

// A message box of the host's, shared as a form run is.
struct MessageCall {
    int (*messageBox)(char* text, char* caption, long flags);
    std::string text, caption;  // the host's call takes modifiable strings
    long flags;
    int result = 0;

    void Show() { result = messageBox(text.data(), caption.data(), flags); }
};

}  // namespace

std::optional<intptr_t> RunModal(const DialogTemplate& dialogTemplate, DialogEvents& events) {
    const HostDialogServices services = KeptServices();
    if (services.showForm == nullptr || services.sendFormMessage == nullptr) return std::nullopt;
    // Nothing is checked before the dialog's OnInit, which checks what it wants.
    std::optional<Form> form = FormFromTemplate(dialogTemplate, {});
    if (!form) return std::nullopt;
    const auto run = std::make_shared<FormRun>(services, events, std::move(*form), dialogTemplate);
    if (OnGuiThread()) {
        run->Show();
        return run->result();
    }
    const std::shared_ptr<Handover> handover = HandToGuiThread([run] { run->Show(); });
    if (!handover) return std::nullopt;  // no GUI thread to show it on
    // A GUI thread that does not start the form, or a form that does not
    // show, would keep the host's job waiting for good: the dialog could not
    // be shown.
    if (!handover->Started(StartBound()) || !run->WaitShown(ShowBound())) return -1;
    handover->WaitDone();
    return run->result();
}

std::optional<int> ShowMessage(const char* text, const char* caption, unsigned style) {
    const HostDialogServices services = KeptServices();
    if (services.messageBox == nullptr) return std::nullopt;
    const auto call = std::make_shared<MessageCall>(MessageCall{
        services.messageBox, text ? text : "", caption ? caption : "", static_cast<long>(style)});
    if (!OnGuiThread()) {
        if (const std::shared_ptr<Handover> handover = HandToGuiThread([call] { call->Show(); })) {
            if (!handover->Started(StartBound())) return 0;  // it could not be shown
            handover->WaitDone();
            return call->result;
        }
    }
    // On the GUI thread, or in a host that offers no known way to it (its
    // message boxes may be called from any thread).
    call->Show();
    return call->result;
}

}  // namespace os::host_dialogs
