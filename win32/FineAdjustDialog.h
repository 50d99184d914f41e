#pragma once
// The fine-adjust dialog with the platform's own
// controls, modal over its owner.
#include "logic/EditorDialogs.h"
#include "pattern/Pattern.h"
#include "platform/prompts.h"

#include <windows.h>

#include <cstdint>
#include <optional>

namespace pelmora {

// Shows the fine-adjust dialog modally over `owner` (null: none) for a part's
// region (0 whole button, 1 icon area, 2 name area), whether it is a frame,
// and its thicknesses and outer-edge adjustments. Returns the adjusted area
// on OK, nothing on Cancel. Every window and GDI object of the dialog is
// released before it returns. Throws when the dialog cannot be made; its
// handlers' errors are shown through `prompts`.
std::optional<AreaAdjustment> ExecuteFineAdjustDialog(HWND owner, Prompts& prompts,
                                                      std::uint8_t area, bool isFrame,
                                                      const TTrim& thick, const TTrim& outer);

} // namespace pelmora
