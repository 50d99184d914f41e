#pragma once
// Where the plug-in menu opens the pattern editor window.

namespace pelmora {

// Creates and shows the modeless editor window and returns at once; false
// when no window could be opened. The window, when it is destroyed, calls
// EditorClosed().
bool OpenEditor();

// Destroys an open editor window without questions, discarding its edits and
// putting back a wallpaper it was trying: the plug-in is ending.
void CloseEditor();

// Clears EditorOpen and asks the host to list the patterns again.
void EditorClosed();

} // namespace pelmora
