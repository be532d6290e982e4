// The module as the file manager sees it: a file loaded with the platform's
// loader and its nine packer entry points resolved by name.
#pragma once

#include <string>

#include "plugin/wcx_api.h"

struct PluginModule {
    void* handle = nullptr;
    decltype(&::GetPackerCaps) getPackerCaps = nullptr;
    decltype(&::PackFiles) packFiles = nullptr;
    decltype(&::OpenArchive) openArchive = nullptr;
    decltype(&::ReadHeader) readHeader = nullptr;
    decltype(&::ProcessFile) processFile = nullptr;
    decltype(&::CloseArchive) closeArchive = nullptr;
    decltype(&::SetChangeVolProc) setChangeVolProc = nullptr;
    decltype(&::SetProcessDataProc) setProcessDataProc = nullptr;
    decltype(&::ConfigurePacker) configurePacker = nullptr;

    PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    ~PluginModule();

    // Loads the file and resolves every export; on failure says why.
    bool Load(const std::string& path, std::string& error);
};

// The names of the entry points, in the order the host's interface lists them.
extern const char* const kPackerExportNames[9];
