#pragma once
// The editor window as the plug-in module opens it: on the module's library,
// settings and current pad.

namespace pelmora {

// Creates and shows the modeless editor window (making the Qt application
// object first when the host has none) and returns at once; false when the
// plug-in is not started or a window is already open.
bool OpenEditorWindow();

// Destroys an open editor window without questions, discarding its edits and
// putting back a wallpaper it was trying: the plug-in is ending.
void CloseEditorWindow();

} // namespace pelmora
