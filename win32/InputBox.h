#pragma once
// The dialog service's one-line input box with the platform's own controls,
// built from its form.
#include "logic/InputBoxWindow.h"
#include "platform/prompts.h"

#include <windows.h>

#include <optional>
#include <string>

namespace pelmora {

// Shows the box modally over `owner` (null: none), centred on its monitor's
// work area; the text on OK, nothing on Cancel. A refused text is explained
// through `messages`. Throws when the box cannot be made.
std::optional<std::string> RunInputBox(HWND owner, Prompts& messages, const InputRequest& request);

} // namespace pelmora
