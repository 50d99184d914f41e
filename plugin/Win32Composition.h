#pragma once
// The module with its Win32 views: the composition root of the Windows build.
#include "plugin/ModuleContext.h"

namespace pelmora {

// The module the entry points work on, made on first use.
ModuleContext& Win32Module();

} // namespace pelmora
