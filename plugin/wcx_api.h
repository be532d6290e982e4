// The packer entry points the host file manager calls, as this module
// implements them. Written from the host's published calling contract: the
// argument order, the sizes, and the handful of result codes we return.
#pragma once

#include <cstddef>
#include <cstdint>

#if !defined(_WIN32)
#include "platform/os_dialog.h"
#endif

#if defined(_WIN32)
#define WCX_API __stdcall
#else
#define WCX_API
#endif

#if defined(MOSSGRAIN_BUILDING_MODULE)
#if defined(_WIN32)
#define WCX_EXPORT  // names come from the module-definition file
#else
#define WCX_EXPORT __attribute__((visibility("default")))
#endif
#else
#define WCX_EXPORT
#endif

// Result codes of the host's interface that this module answers with.
constexpr int kWcxOk = 0;
constexpr int kWcxBadData = 12;
constexpr int kWcxUnknownFormat = 14;
constexpr int kWcxCreateError = 16;
constexpr int kWcxWriteError = 19;
constexpr int kWcxNotSupported = 24;

// The interface's name for one of those error codes; null for any other.
constexpr const char* WcxResultName(int code) {
    switch (code) {
        case kWcxBadData:
            return "E_BAD_DATA";
        case kWcxUnknownFormat:
            return "E_UNKNOWN_FORMAT";
        case kWcxCreateError:
            return "E_ECREATE";
        case kWcxWriteError:
            return "E_EWRITE";
        case kWcxNotSupported:
            return "E_NOT_SUPPORTED";
        default:
            return nullptr;
    }
}

// Capability bits, as the host defines them.
constexpr int kCapsNew = 0x001;
constexpr int kCapsModify = 0x002;
constexpr int kCapsMultiple = 0x004;
constexpr int kCapsDelete = 0x008;
constexpr int kCapsOptions = 0x010;
constexpr int kCapsMemPack = 0x020;
constexpr int kCapsByContent = 0x040;
constexpr int kCapsSearchText = 0x080;
constexpr int kCapsHide = 0x100;

// The host's record behind OpenArchive. A module that hands out no handle
// says why in OpenResult; the other fields are the host's. Natural alignment,
// as the host lays it out: OpenResult lies at 12 in 64-bit builds, at 8 in
// 32-bit ones.
struct tOpenArchiveData {
    char* ArcName;
    int OpenMode;
    int OpenResult;
    char* CmtBuf;
    int CmtBufSize;
    int CmtSize;
    int CmtState;
};
static_assert(offsetof(tOpenArchiveData, OpenResult) == (sizeof(void*) == 8 ? 12 : 8));
static_assert(sizeof(tOpenArchiveData) == (sizeof(void*) == 8 ? 40 : 28));

// The host's record behind ReadHeader; this module reads and writes none of
// its fields, so its layout stays the host's business.
struct tHeaderData;

using ArchiveHandle = void*;
using ChangeVolProc = int(WCX_API*)(char* arcName, int mode);
using ProcessDataProc = int(WCX_API*)(char* fileName, int size);

extern "C" {
WCX_EXPORT int WCX_API GetPackerCaps();
WCX_EXPORT int WCX_API PackFiles(char* packedFile, char* subPath, char* srcPath, char* addList,
                                 int flags);
WCX_EXPORT ArchiveHandle WCX_API OpenArchive(tOpenArchiveData* archiveData);
WCX_EXPORT int WCX_API ReadHeader(ArchiveHandle archive, tHeaderData* headerData);
WCX_EXPORT int WCX_API ProcessFile(ArchiveHandle archive, int operation, char* destPath,
                                   char* destName);
WCX_EXPORT int WCX_API CloseArchive(ArchiveHandle archive);
WCX_EXPORT void WCX_API SetChangeVolProc(ArchiveHandle archive, ChangeVolProc callback);
WCX_EXPORT void WCX_API SetProcessDataProc(ArchiveHandle archive, ProcessDataProc callback);
WCX_EXPORT int WCX_API ConfigurePacker(void* parentWindow, void* moduleInstance);
}

#if !defined(_WIN32)
// ---- the extension interface of a Linux host ----------------------------------
//
// A Linux file manager hands every module that exports ExtensionInitialize a
// record of its services as it loads it, and calls ExtensionFinalize before it
// lets the module go. The record is packed; StructSize says how many of its
// bytes the host filled, and no field past them may be read: other hosts and
// older versions hand over less.

// The procedure a form of the host calls with its events.
using tDlgProc = os::HostFormProc;

#pragma pack(push, 1)
struct tExtensionStartupInfo {
    uint32_t StructSize;
    char PluginDir[16384];      // the module's folder, with a trailing separator
    char PluginConfDir[16384];  // the host's configuration folder
    void* InputBox;
    int (*MessageBox)(char* text, char* caption, long flags);
    int (*DialogBoxLFM)(intptr_t formText, unsigned long size, tDlgProc dlgProc);
    void* DialogBoxLRS;
    void* DialogBoxLFMFile;
    intptr_t (*SendDlgMsg)(uintptr_t dialog, char* itemName, intptr_t msg, intptr_t wParam,
                           intptr_t lParam);
    // Reserved space follows, which this module never reads.
};
#pragma pack(pop)

extern "C" {
WCX_EXPORT void ExtensionInitialize(tExtensionStartupInfo* startupInfo);
WCX_EXPORT void ExtensionFinalize(void* reserved);
}
#endif
