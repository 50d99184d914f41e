#pragma once
// Where the plug-in menu opens the pattern editor window.

namespace pelmora {

// Creates and shows the modeless editor window and returns at once; false
// when no window could be opened. The window, when it is destroyed, calls
// EditorClosed().
bool OpenEditor();

// Clears EditorOpen and asks the host to list the patterns again.
void EditorClosed();

} // namespace pelmora
