// What the stand-in host needs from the platform: loading the module the way
// the file manager does, and answering the module's dialogs for --yes. The
// module itself never uses these.
#pragma once

#include <string>
#include <vector>

namespace standin_os {

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

// ---- what the host sees of files and folders, as a file manager lists them ----

enum class PathKind : unsigned char {
    kMissing,
    kFolder,  // a folder itself
    kFile,    // a regular file
    kLink,    // a symbolic link (or junction), whatever it leads to
    kOther,   // a FIFO, socket or device
};

// What is at path, not following a link there. Trailing separators are
// ignored, so that a link given as "link/" is still the link.
PathKind KindOf(const std::string& path);

struct FolderItem {
    std::string name;
    PathKind kind;
};

// The entries of the folder at path, "." and ".." left out, in the order the
// system lists them (which is the order a file manager passes them in).
// False when the folder cannot be listed.
bool ListFolder(const std::string& path, std::vector<FolderItem>& items);

}  // namespace standin_os
