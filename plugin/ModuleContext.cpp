#include "plugin/ModuleContext.h"

#include "plugin/ModuleOperations.h"

namespace pelmora {

ModuleContext::ModuleContext(std::unique_ptr<Prompts> dialogs,
                             std::unique_ptr<EditorLauncher> editor)
    : Dialogs(std::move(dialogs)), Editor(std::move(editor)),
      Operations(std::make_unique<ModuleOperations>(*this)) {
    Host.BindMainExecutable();
}

ModuleContext::~ModuleContext() = default;

} // namespace pelmora
