#include "plugin/pack_run.h"

#include "dialog/csettings.h"
#include "platform/os.h"
#include "plugin/wcx_api.h"
#include "report/report_run.h"

namespace {

constexpr const char* kSettingsFile = "Mossgrain.ini";

// The settings file is written on every run that has entries and read by
// nobody; its results do not matter to the run.
void TouchSettingsFile() {
    static const char kNoKeys[2] = {'\0', '\0'};
    os::WriteSettingsSection("Settings", kNoKeys, kSettingsFile);
    os::WriteSettingsValue("MySection", "Name_autor", "Kervad", kSettingsFile);
}

// What the settings dialog decided. A dialog that could not be shown (no
// window, no terminal, no key script) decided nothing: that is no cancel.
enum class Answer { kConfirmed, kCancelled, kNotShown };

Answer AskInDialog() {
    CSettings dialog;
    const intptr_t result = dialog.DoModal();
    if (result == IDOK) return Answer::kConfirmed;
    return result == -1 ? Answer::kNotShown : Answer::kCancelled;
}

int HostResult(ReportOutcome outcome) {
    switch (outcome) {
        case ReportOutcome::kWritten:
            return kWcxOk;
        case ReportOutcome::kNotCreated:
            return kWcxCreateError;
        case ReportOutcome::kNotWritten:
            return kWcxWriteError;
    }
    return kWcxWriteError;
}

}  // namespace

int RunPack(const char* reportPath, const char* sourceFolder, const char* entryList) {
    if (entryList == nullptr || *entryList == '\0') return kWcxOk;

    TouchSettingsFile();
    switch (AskInDialog()) {
        case Answer::kConfirmed:
            return HostResult(RunReport(reportPath, sourceFolder, entryList));
        case Answer::kCancelled:
            return kWcxOk;
        case Answer::kNotShown:
            return kWcxNotSupported;
    }
    return kWcxNotSupported;
}
