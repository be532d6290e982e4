#include "platform/posix/host_dialogs/host_services.h"

#include <mutex>

namespace os {
namespace {

std::mutex g_mutex;
HostDialogServices g_services;

}  // namespace

void UseHostDialogServices(const HostDialogServices& services) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_services = services;
}

namespace host_dialogs {

HostDialogServices KeptServices() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_services;
}

}  // namespace host_dialogs
}  // namespace os
