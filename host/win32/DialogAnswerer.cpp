#include "host/win32/DialogAnswerer.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace pelmora::host {
namespace {

constexpr UINT_PTR kAnswerTimer = 0x7041;
// The text of a message box, and the file-name field of the file dialogs
// (an edit of its own, or the edit inside the file-name combo box).
constexpr int kMessageTextId = 0xFFFF;
constexpr int kFileNameIds[] = {0x47C, 0x480};

Win32DialogAnswerer* gAnswerer = nullptr;
HHOOK gHook = nullptr;

std::string Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    std::erase(text, L'\r');
    return win32::Narrow(text);
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring_view(name) == L"#32770";
}

BOOL CALLBACK TakeFileNameEdit(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    const int id = GetDlgCtrlID(child);
    if (std::wstring_view(name) == L"Edit" && (id == kFileNameIds[0] || id == kFileNameIds[1])) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The file-name edit anywhere below the dialog: the file dialogs nest it
// inside combo boxes that carry the same identifier.
HWND FindFileNameEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(dialog, TakeFileNameEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void CALLBACK AnswerLater(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    if (gAnswerer != nullptr && IsWindow(dialog)) {
        gAnswerer->Answer(dialog);
    }
}

// A dialog that becomes active is answered from its own loop, once it is up.
LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && IsDialog(reinterpret_cast<HWND>(wParam))) {
        SetTimer(reinterpret_cast<HWND>(wParam), kAnswerTimer, USER_TIMER_MINIMUM, AnswerLater);
    }
    return CallNextHookEx(gHook, code, wParam, lParam);
}

} // namespace

Win32DialogAnswerer::Win32DialogAnswerer(std::FILE* messages) : messages_(messages) {
    gAnswerer = this;
    gHook = SetWindowsHookExW(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
    hook_ = gHook;
    if (hook_ == nullptr) {
        gAnswerer = nullptr;
        throw std::runtime_error("the dialogs cannot be watched: " +
                                 win32::ErrorText(GetLastError()));
    }
}

Win32DialogAnswerer::~Win32DialogAnswerer() {
    UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
    gHook = nullptr;
    gAnswerer = nullptr;
}

void Win32DialogAnswerer::Answer(void* window) {
    const auto dialog = static_cast<HWND>(window);
    const HWND message = GetDlgItem(dialog, kMessageTextId);
    const HWND fileName = FindFileNameEdit(dialog);
    if (message != nullptr) {
        std::fprintf(messages_, "message: %s\n", Text(message).c_str());
        const LRESULT defaultButton = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        Press(dialog, HIWORD(defaultButton) == DC_HASDEFID ? LOWORD(defaultButton) : IDOK);
    } else if (fileName != nullptr) {
        std::fprintf(messages_, "dialog: %s\n", Text(dialog).c_str());
        if (fileAnswer_.empty()) {
            Press(dialog, IDCANCEL);
        } else {
            SetWindowTextW(fileName, fileAnswer_.c_str());
            fileAnswer_.clear();
            // As if the user pressed Enter on the chosen name.
            Press(dialog, IDOK);
        }
    } else {
        std::fprintf(messages_, "dialog: %s (cancelled)\n", Text(dialog).c_str());
        Press(dialog, IDCANCEL);
    }
    std::fflush(messages_);
}

} // namespace pelmora::host
