#pragma once
// The 21 launcher functions that the plug-in binds but never calls, in binding
// order. Hosts (the stand-in launcher and the test hosts) export each of them;
// X(name) is expanded once per function.
#define PELMORA_UNCALLED_HOST_FUNCTIONS(X)                                                         \
    X(TRAGetPadCount)                                                                              \
    X(TRAGetNextPadID)                                                                             \
    X(TRAGetPadWnd)                                                                                \
    X(TRAGetPadTabWnd)                                                                             \
    X(TRAChangePluginButtons)                                                                      \
    X(TRARedrawPluginButtons)                                                                      \
    X(TRAGetGroupCount)                                                                            \
    X(TRAGetGroup)                                                                                 \
    X(TRAInsertGroup)                                                                              \
    X(TRARenameGroup)                                                                              \
    X(TRACopyGroup)                                                                                \
    X(TRADeleteGroup)                                                                              \
    X(TRAGetButton)                                                                                \
    X(TRAInsertButton)                                                                             \
    X(TRAChangeButton)                                                                             \
    X(TRADeleteButton)                                                                             \
    X(TRACopyButton)                                                                               \
    X(TRAPasteButton)                                                                              \
    X(TRAButtonInClipbord)                                                                         \
    X(TRARunButton)                                                                                \
    X(TRAGetIcon)
