#include "win32/FormKeys.h"

#include <algorithm>
#include <vector>

namespace pelmora::win32ui {
namespace {

// The windows with dialog keys now, and the one hook that serves them.
struct KeyWindows {
    std::vector<FormKeys*> Windows;
    ThreadHook Hook;
};

KeyWindows& Active() {
    static KeyWindows active;
    return active;
}

// A menu is open (the menu bar's or a pop-up): its own loop takes the keys,
// and a key it has handled is still removed through the hook afterwards.
bool InMenuMode() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) != FALSE &&
           (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
}

LRESULT CALLBACK KeyHook(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && !InMenuMode()) {
            // A copy: a window may close (and leave the list) while handling.
            const std::vector<FormKeys*> windows = Active().Windows;
            for (FormKeys* keys : windows) {
                if (keys->Handle(*message)) {
                    // Delivered as nothing.
                    message->message = WM_NULL;
                    break;
                }
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

} // namespace

FormKeys::FormKeys(HWND window, HACCEL accelerators, Prompts& dialogs, KeyFilter filter)
    : window_(window), accelerators_(accelerators), dialogs_(dialogs), filter_(std::move(filter)) {
    KeyWindows& active = Active();
    if (active.Windows.empty()) {
        active.Hook = ThreadHook(WH_GETMESSAGE, KeyHook);
    }
    active.Windows.push_back(this);
}

FormKeys::~FormKeys() {
    KeyWindows& active = Active();
    std::erase(active.Windows, this);
    if (active.Windows.empty()) {
        active.Hook.Reset();
    }
}

bool FormKeys::Handle(MSG& message) {
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) {
        return false;
    }
    return RunHandlerOr(dialogs_, false, [&] {
        if (filter_ && filter_(message)) {
            return true;
        }
        if (accelerators_ != nullptr && TranslateAcceleratorW(window_, accelerators_, &message)) {
            return true;
        }
        return IsDialogMessageW(window_, &message) != FALSE;
    });
}

} // namespace pelmora::win32ui
