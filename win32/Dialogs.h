#pragma once
// The module's modal dialogs with the platform's own controls, each built
// from its form and shown over `owner` (null: none), centred on the work
// area of the owner's monitor. Every window and GDI object of a dialog is
// released before it returns; a dialog that cannot be made throws. Its
// questions and its handlers' errors go through `prompts`.
#include "gradient/Gradient.h"
#include "logic/EditorDialogs.h"
#include "logic/InputBoxWindow.h"
#include "platform/prompts.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

// Edits `gradient` in place in the gradient editor; true when it was closed
// with OK. Cancel does not undo the edits: the caller decides from the
// result whether to use `gradient`, and reloads it before the next use.
bool ExecuteGradientDialog(HWND owner, Prompts& prompts, TGrad& gradient);

// The fine-adjust dialog for a part's region (0 whole button, 1 icon area, 2
// name area), whether it is a frame, and its thicknesses and outer-edge
// adjustments: the adjusted area on OK, nothing on Cancel.
std::optional<AreaAdjustment> ExecuteFineAdjustDialog(HWND owner, Prompts& prompts,
                                                      std::uint8_t area, bool isFrame,
                                                      const TTrim& thick, const TTrim& outer);

// The dialog service's one-line input box: the text on OK, nothing on
// Cancel; a refused text is explained through `prompts`.
std::optional<std::string> RunInputBox(HWND owner, Prompts& prompts, const InputRequest& request);

} // namespace pelmora
