#include "plugin/EditorHook.h"

#include "editor/EditorBridge.h"

namespace pelmora {

bool OpenEditor() {
    return OpenEditorWindow();
}

void CloseEditor() {
    CloseEditorWindow();
}

} // namespace pelmora
