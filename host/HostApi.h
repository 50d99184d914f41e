#pragma once
// The launcher's side of the plug-in interface: the 25 functions the
// executable exports for plug-ins. They answer from the pad store in use.
#include "host/PadStore.h"

#include <string>
#include <vector>

namespace pelmora::host {

struct HostState {
    PadStore* pads = nullptr;
    // Plug-in names that asked for their menu to be listed again.
    std::vector<std::string> menuRequests;
};

HostState& State();

} // namespace pelmora::host
