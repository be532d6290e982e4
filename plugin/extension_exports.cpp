// The two entry points a Linux host calls around the module's life: the
// dialog services it hands over as it loads the module, kept for the dialogs
// to come, and forgotten as it lets the module go.
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/os_dialog.h"
#include "plugin/wcx_api.h"

namespace {

// The record's fields and the services they become are one set of types.
static_assert(std::is_same_v<decltype(tExtensionStartupInfo::MessageBox),
                             decltype(os::HostDialogServices::messageBox)>);
static_assert(std::is_same_v<decltype(tExtensionStartupInfo::DialogBoxLFM),
                             decltype(os::HostDialogServices::showForm)>);
static_assert(std::is_same_v<decltype(tExtensionStartupInfo::SendDlgMsg),
                             decltype(os::HostDialogServices::sendFormMessage)>);

// Copies the field at offset into field when the host filled the record that
// far; leaves it as it is otherwise. The record is packed, so the copy makes
// no assumption about alignment.
template <typename Field>
void ReadFilled(const tExtensionStartupInfo& record, size_t offset, Field& field) {
    if (record.StructSize < offset + sizeof field) return;
    std::memcpy(&field, reinterpret_cast<const char*>(&record) + offset, sizeof field);
}

}  // namespace

extern "C" {

void ExtensionInitialize(tExtensionStartupInfo* startupInfo) {
    os::HostDialogServices services;
    if (startupInfo != nullptr) {
        ReadFilled(*startupInfo, offsetof(tExtensionStartupInfo, MessageBox), services.messageBox);
        ReadFilled(*startupInfo, offsetof(tExtensionStartupInfo, DialogBoxLFM), services.showForm);
        ReadFilled(*startupInfo, offsetof(tExtensionStartupInfo, SendDlgMsg),
                   services.sendFormMessage);
    }
    // Nothing may unwind into the host.
    try {
        os::UseHostDialogServices(services);
    } catch (...) {
    }
}

void ExtensionFinalize(void* /*reserved*/) {
    try {
        os::UseHostDialogServices(os::HostDialogServices{});
    } catch (...) {
    }
}

}  // extern "C"
