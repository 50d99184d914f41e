#include "plugin/EditorHook.h"

#include "editor/EditorBridge.h"

namespace pelmora {

bool OpenEditor() {
    return OpenEditorWindow();
}

} // namespace pelmora
