#pragma once
// The 20 launcher functions that the plug-in binds but never calls, in binding
// order. Hosts (the stand-in launcher and the test hosts) export each of them;
// X(name) is expanded once per function. The other five, the four the
// plug-in calls and TRAGetPadWnd (asked on Windows for the dialogs' owner),
// each host defines with its parameters: on 32-bit Windows the callee pops
// its arguments, so a wrong parameter list breaks the caller's stack.
#define PELMORA_UNCALLED_HOST_FUNCTIONS(X)                                                         \
    X(TRAGetPadCount)                                                                              \
    X(TRAGetNextPadID)                                                                             \
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

// How a host exports them from its executable: by plain name.
#if defined(_WIN32)
#define PELMORA_HOST_EXPORT extern "C" __declspec(dllexport)
#else
#define PELMORA_HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif
