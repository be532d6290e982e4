// The module as the file manager sees it: a file loaded with the platform's
// loader and its packer entry points resolved by name.
#pragma once

#include <string>

#include "plugin/export_names.h"
#include "plugin/wcx_api.h"

struct PluginModule {
    void* handle = nullptr;
    // One pointer per entry point, named as the module exports it, so that a
    // call reads as the host's: module.PackFiles(...).
#define MOSSGRAIN_DECLARE_ENTRY_POINT(name) decltype(&::name) name = nullptr;
    MOSSGRAIN_FOR_EACH_EXPORT(MOSSGRAIN_DECLARE_ENTRY_POINT)
#undef MOSSGRAIN_DECLARE_ENTRY_POINT

    PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    ~PluginModule();

    // Loads the file and resolves every export; on failure says why.
    bool Load(const std::string& path, std::string& error);
};
