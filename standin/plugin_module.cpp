#include "standin/plugin_module.h"

#include "standin/standin_os.h"

PluginModule::~PluginModule() { standin_os::UnloadModule(handle); }

namespace {

template <typename Function>
bool Resolve(void* module, const char* name, Function& function, std::string& error) {
    void* address = standin_os::FindExport(module, name);
    if (address == nullptr) {
        error = "it lacks the export " + std::string(name);
        return false;
    }
    function = reinterpret_cast<Function>(address);
    return true;
}

}  // namespace

bool PluginModule::Load(const std::string& path, std::string& error) {
    handle = standin_os::LoadModule(path.c_str(), error);
    if (handle == nullptr) return false;
#define MOSSGRAIN_RESOLVE_ENTRY_POINT(name) &&Resolve(handle, #name, name, error)
    return true MOSSGRAIN_FOR_EACH_EXPORT(MOSSGRAIN_RESOLVE_ENTRY_POINT);
#undef MOSSGRAIN_RESOLVE_ENTRY_POINT
}
