// What the stand-in host needs from the platform: loading the module the way
// the file manager does, and answering the module's dialogs for --yes. The
// module itself never uses these.
#pragma once

#include <string>

namespace host_os {

// Loads the module at path with the platform's loader; null and a reason on
// failure.
void* LoadModule(const char* path, std::string& error);
void* FindExport(void* module, const char* name);
void UnloadModule(void* module);

// The folder of the running executable, with a trailing separator.
std::string ExecutableFolder();

// Whether a dialog shown now could be answered by a person.
bool CanShowDialogs();

// Where the module's dialogs show ("terminal", "desktop"), for messages.
extern const char kDialogPlace[];

// Why, as far as the host can tell, a dialog of the module could not be
// shown or answered; empty when it cannot tell.
std::string NoDialogReason();

// Arranges for the dialogs the module shows from now on to be answered with
// the given keys (names separated by spaces, such as "Enter").
void AnswerDialogsWith(const char* keys);

// Something that changes whenever a file is written or replaced: used to
// tell a written report from an untouched one. Empty when there is no file.
std::string FileStamp(const char* path);

}  // namespace host_os
