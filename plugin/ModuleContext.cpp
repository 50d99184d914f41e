#include "plugin/ModuleContext.h"

#include "plugin/ModuleOperations.h"

namespace pelmora {

ModuleContext::ModuleContext(std::unique_ptr<Prompts> dialogs,
                             std::unique_ptr<EditorLauncher> editor,
                             std::unique_ptr<TextClipboard> clipboard)
    : Dialogs(std::move(dialogs)), Editor(std::move(editor)), Clipboard(std::move(clipboard)),
      Operations(std::make_unique<ModuleOperations>(*this)) {
    Host.BindMainExecutable();
}

ModuleContext::~ModuleContext() = default;

} // namespace pelmora
