#pragma once
// The module with its Qt views: the composition root of the Linux build.
#include "plugin/ModuleContext.h"

namespace pelmora {

// The module the entry points work on, made on first use.
ModuleContext& QtModule();

} // namespace pelmora
