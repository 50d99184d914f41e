// Where the module meets its views on Windows: the platform's own dialogs,
// owned by the launcher's pad window. The editor window is not part of this
// build yet: its menu entry says so and changes nothing.
#include "platform/prompts.h"
#include "platform/win32/Win32Prompts.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleState.h"
#include "plugin/TRAPI.h"

#include <memory>

namespace pelmora {
namespace {

constexpr const char* kEditorNotAvailable =
    "この Windows 版の Pelmora には、パターンの詳細編集ウィンドウがまだありません。\r\n"
    "パターンの適用とパターンファイルのインポートは、メニューからお使いいただけます。";

// The pad the menu was opened from, once the launcher is bound and the
// plug-in started; before that the dialogs have no owner.
void* PadWindow() {
    if (!HostApiComplete() || !Module().PluginActive) {
        return nullptr;
    }
    try {
        return reinterpret_cast<void*>(TRAGetPadWnd(Module().CurrentPad));
    } catch (...) {
        return nullptr;
    }
}

const bool kPromptsInstalled = [] {
    InstallPrompts(std::make_unique<Win32Prompts>(PadWindow));
    return true;
}();

} // namespace

bool OpenEditor() {
    CurrentPrompts().Message(kEditorNotAvailable, MsgKind::Information, MsgButtons::Ok);
    return false;
}

void CloseEditor() {}

} // namespace pelmora
