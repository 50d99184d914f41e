// Set-up of the loaded module: its dialogs are Qt dialogs.
#include "editor/QtPrompts.h"
#include "platform/prompts.h"

#include <memory>

namespace {

// Only an object is made here; the Qt application comes with the first dialog.
const bool kPromptsInstalled = [] {
    pelmora::InstallPrompts(std::make_unique<pelmora::QtPrompts>());
    return true;
}();

} // namespace
