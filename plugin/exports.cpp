// The nine entry points the host calls. Only PackFiles does work; the module
// cannot open what it writes, so the reading side answers as an empty stub
// that says so.
#include "platform/os_dialog.h"
#include "plugin/module_identity.h"
#include "plugin/pack_run.h"
#include "plugin/progress_callback.h"
#include "plugin/wcx_api.h"

// Stored for the host's sake and never called: the run reports no progress.
ProcessDataProc g_processDataProc = nullptr;

extern "C" {

int WCX_API GetPackerCaps() { return kPackerCaps; }

int WCX_API PackFiles(char* packedFile, char* /*subPath*/, char* srcPath, char* addList,
                      int /*flags*/) {
    // Nothing may unwind into the host, whose frames know nothing of C++. The
    // run catches what happens once the report exists; anything earlier
    // (memory running out while the settings file or the dialog is prepared)
    // means the report was not created.
    try {
        return RunPack(packedFile, srcPath, addList);
    } catch (...) {
        return kWcxCreateError;
    }
}

// No handle, and the reason where the host looks for it: a result left at 0
// would tell the host that the failure succeeded.
ArchiveHandle WCX_API OpenArchive(tOpenArchiveData* archiveData) {
    if (archiveData != nullptr) archiveData->OpenResult = kWcxUnknownFormat;
    return nullptr;
}

int WCX_API ReadHeader(ArchiveHandle archive, tHeaderData* headerData) {
    if (archive == nullptr || headerData == nullptr) return kWcxBadData;
    return kWcxOk;
}

int WCX_API ProcessFile(ArchiveHandle, int, char*, char*) { return kWcxOk; }

// OpenArchive never hands out a handle, so no handle the host passes here can
// be ours: closing it could close something the host still owns.
int WCX_API CloseArchive(ArchiveHandle) { return kWcxOk; }

void WCX_API SetChangeVolProc(ArchiveHandle, ChangeVolProc) {}

void WCX_API SetProcessDataProc(ArchiveHandle, ProcessDataProc callback) {
    g_processDataProc = callback;
}

int WCX_API ConfigurePacker(void* parentWindow, void* /*moduleInstance*/) {
    return os::ShowMessageBox(parentWindow, MOSSGRAIN_ABOUT_TEXT, MOSSGRAIN_ABOUT_CAPTION,
                              MOSSGRAIN_ABOUT_STYLE);
}

}  // extern "C"
