#include "host/plugin_module.h"

#include "platform/host_os.h"

const char* const kPackerExportNames[9] = {
    "GetPackerCaps", "PackFiles",        "OpenArchive",        "ReadHeader",      "ProcessFile",
    "CloseArchive",  "SetChangeVolProc", "SetProcessDataProc", "ConfigurePacker",
};

PluginModule::~PluginModule() { host_os::UnloadModule(handle); }

namespace {

template <typename Function>
bool Resolve(void* module, const char* name, Function& function, std::string& error) {
    void* address = host_os::FindExport(module, name);
    if (address == nullptr) {
        error = "it lacks the export " + std::string(name);
        return false;
    }
    function = reinterpret_cast<Function>(address);
    return true;
}

}  // namespace

bool PluginModule::Load(const std::string& path, std::string& error) {
    handle = host_os::LoadModule(path.c_str(), error);
    if (handle == nullptr) return false;
    return Resolve(handle, kPackerExportNames[0], getPackerCaps, error) &&
           Resolve(handle, kPackerExportNames[1], packFiles, error) &&
           Resolve(handle, kPackerExportNames[2], openArchive, error) &&
           Resolve(handle, kPackerExportNames[3], readHeader, error) &&
           Resolve(handle, kPackerExportNames[4], processFile, error) &&
           Resolve(handle, kPackerExportNames[5], closeArchive, error) &&
           Resolve(handle, kPackerExportNames[6], setChangeVolProc, error) &&
           Resolve(handle, kPackerExportNames[7], setProcessDataProc, error) &&
           Resolve(handle, kPackerExportNames[8], configurePacker, error);
}
