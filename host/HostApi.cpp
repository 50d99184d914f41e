#include "host/HostApi.h"

#include "platform/cp932.h"
#include "plugin/HostBinding.h"
#include "plugin/HostFunctions.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace pelmora::host {

HostState& State() {
    static HostState state;
    return state;
}

} // namespace pelmora::host

using pelmora::host::State;

#define HOST_EXPORT PELMORA_HOST_EXPORT

namespace {

// The pad a plug-in's identifier stands for, if any.
std::optional<std::int32_t> PadNumber(std::int32_t padId) {
    return State().pads != nullptr ? State().pads->NumberForId(padId) : std::nullopt;
}

} // namespace

HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadID(std::int32_t pad) {
    return State().pads != nullptr ? State().pads->IdForHandle(pad) : pelmora::host::kNoPadId;
}

HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadInit(std::int32_t padId, const char* key,
                                                      char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    const std::optional<std::int32_t> number = PadNumber(padId);
    if (!number || key == nullptr) {
        return 0;
    }
    const std::optional<std::string> value = State().pads->Get(*number, key);
    if (!value) {
        return 0;
    }
    const std::size_t length =
        pelmora::SjisBoundaryAtOrBefore(*value, static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, value->data(), length);
    buffer[length] = '\0';
    return 1;
}

HOST_EXPORT std::int32_t PELMORA_WINAPI TRASetPadInit(std::int32_t padId, const char* key,
                                                      const char* value) {
    const std::optional<std::int32_t> number = PadNumber(padId);
    if (!number || key == nullptr || value == nullptr) {
        return 0;
    }
    return State().pads->Set(*number, key, value) ? 1 : 0;
}

HOST_EXPORT std::int32_t PELMORA_WINAPI TRAChangePluginMenus(const char* pluginName) {
    State().menuRequests.emplace_back(pluginName != nullptr ? pluginName : "");
    return -1;
}

// The stand-in shows its pads in no window the plug-in could own dialogs by.
HOST_EXPORT std::intptr_t PELMORA_WINAPI TRAGetPadWnd(std::int32_t) {
    return 0;
}

// The rest of the launcher's interface: present for plug-ins that bind it,
// with nothing behind it in the stand-in.
#define UNSUPPORTED_HOST_FUNCTION(name)                                                            \
    HOST_EXPORT std::int32_t PELMORA_WINAPI name() {                                               \
        return 0;                                                                                  \
    }
PELMORA_UNCALLED_HOST_FUNCTIONS(UNSUPPORTED_HOST_FUNCTION)
