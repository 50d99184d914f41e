#include "platform/win32/Win32Prompts.h"

#include "platform/cp932.h"
#include "platform/syscolors.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <commdlg.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

// <commdlg.h> names the colour dialog's function ChooseColor as a macro.
#undef ChooseColor

namespace pelmora {
namespace {

constexpr const char* kDefaultTitle = "Pelmora";
constexpr const wchar_t* kOk = L"OK";
constexpr const wchar_t* kCancel = L"\x30AD\x30E3\x30F3\x30BB\x30EB"; // キャンセル
constexpr const wchar_t* kDialogFont = L"MS Shell Dlg";
constexpr DWORD kLongPathChars = 32768;

// The module's own modal windows open now, innermost last.
std::vector<HWND>& ModalOwners() {
    static std::vector<HWND> owners;
    return owners;
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring TitleText(const std::string& title) {
    return win32::Widen(title.empty() ? kDefaultTitle : title);
}

UINT IconFlag(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information:
        return MB_ICONINFORMATION;
    case MsgKind::Warning:
        return MB_ICONWARNING;
    case MsgKind::Error:
        return MB_ICONERROR;
    case MsgKind::Confirmation:
        return MB_ICONQUESTION;
    }
    return 0;
}

UINT ButtonFlags(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MB_OK;
    case MsgButtons::OkCancel:
        return MB_OKCANCEL;
    case MsgButtons::YesNo:
        return MB_YESNO;
    }
    return MB_OK;
}

// Without an owner the box still blocks every window of the launcher's thread.
UINT ModalFlag(HWND owner) {
    return owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL;
}

[[noreturn]] void ThrowDialogFailed(const char* dialog, DWORD code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04lX", static_cast<unsigned long>(code));
    throw std::runtime_error(std::string(dialog) + "を開けません (エラー " + hex + ")。");
}

// ---- The input box: a dialog template built in memory --------------------

enum InputControl : WORD { kPromptId = 100, kEditId = 101 };

// Writes a DLGTEMPLATE and its items into WORDs, with the alignment the
// format asks for.
class DialogTemplate {
public:
    DialogTemplate(const std::wstring& title, short width, short height) {
        const DWORD style =
            DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        Dword(style);
        Dword(0); // extended style
        countAt_ = words_.size();
        Word(0); // number of items, counted below
        Short(0);
        Short(0);
        Short(width);
        Short(height);
        Word(0); // no menu
        Word(0); // the standard dialog class
        Text(title);
        Word(9); // point size
        Text(kDialogFont);
    }

    // `classAtom`: 0x0080 button, 0x0081 edit, 0x0082 static.
    void Item(WORD classAtom, WORD id, DWORD style, short x, short y, short cx, short cy,
              const std::wstring& text) {
        if (words_.size() % 2 != 0) {
            Word(0); // items start on a DWORD boundary
        }
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0); // no creation data
        ++words_[countAt_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Short(short s) { words_.push_back(static_cast<WORD>(s)); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        Word(0);
    }

    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

struct InputState {
    std::wstring title;
    std::wstring prompt;
    std::wstring text; // the initial text, then the last accepted one
    int maxBytes = 0;
    bool reverting = false;
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
};

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// An edit that makes the text longer than allowed is taken back whole, as if
// the key or the paste had not happened.
void KeepWithinLimit(HWND dialog, InputState& state) {
    const HWND edit = GetDlgItem(dialog, kEditId);
    const std::wstring text = WindowText(edit);
    if (state.maxBytes <= 0 || SjisByteLength(text) <= state.maxBytes) {
        state.text = text;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&state.selectionStart),
                     reinterpret_cast<LPARAM>(&state.selectionEnd));
        return;
    }
    state.reverting = true;
    SetWindowTextW(edit, state.text.c_str());
    SendMessageW(edit, EM_SETSEL, state.selectionStart, state.selectionEnd);
    state.reverting = false;
    MessageBeep(MB_OK);
}

// OK with a text that code page 932 cannot hold: the reason is shown and the
// box stays open.
bool AcceptInput(HWND dialog, InputState& state) {
    const std::wstring text = WindowText(GetDlgItem(dialog, kEditId));
    try {
        Utf8ToSjis(win32::Narrow(text));
    } catch (const CodecError& e) {
        MessageBoxW(dialog, win32::Widen(e.what()).c_str(), state.title.c_str(),
                    MB_OK | MB_ICONWARNING);
        return false;
    }
    state.text = text;
    return true;
}

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<InputState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const HWND edit = GetDlgItem(dialog, kEditId);
        state->reverting = true;
        SetWindowTextW(edit, state->text.c_str());
        state->reverting = false;
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&state->selectionStart),
                     reinterpret_cast<LPARAM>(&state->selectionEnd));
        SetFocus(edit);
        return FALSE; // the focus is set here
    }
    case WM_COMMAND:
        if (state == nullptr) {
            return FALSE;
        }
        if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE && !state->reverting) {
            KeepWithinLimit(dialog, *state);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            if (AcceptInput(dialog, *state)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- File dialogs ---------------------------------------------------------

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> RunFileDialog(bool save, const FileDialogRequest& request, HWND owner) {
    const std::wstring filter = Win32FilterText(request.filter);
    const std::wstring title = win32::Widen(request.title);
    const std::wstring extension = win32::Widen(request.defaultExtension);
    const std::wstring folder = win32::Widen(request.initialDir);
    std::vector<wchar_t> file(kLongPathChars, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kLongPathChars;
    dialog.lpstrInitialDir = !folder.empty() && IsFolder(folder) ? folder.c_str() : nullptr;
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The launcher's working folder stays where it was.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (save) {
        dialog.Flags |= request.confirmOverwrite ? OFN_OVERWRITEPROMPT : 0;
        dialog.Flags |= request.folderMustExist ? OFN_PATHMUSTEXIST : 0;
    } else if (request.mustExist) {
        dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    }
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) {
        const DWORD error = CommDlgExtendedError();
        if (error == 0) {
            return std::nullopt;
        }
        ThrowDialogFailed("ファイルの選択ダイアログ", error);
    }
    return win32::Narrow(file.data());
}

} // namespace

std::wstring Win32FilterText(const std::string& filter) {
    std::wstring text = win32::Widen(filter);
    if (text.empty()) {
        return text;
    }
    for (wchar_t& c : text) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    text.push_back(L'\0');
    text.push_back(L'\0');
    return text;
}

int SjisByteLength(std::wstring_view text) {
    int bytes = 0;
    for (const wchar_t c : text) {
        if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) {
            bytes += 1; // ASCII and half-width katakana are single bytes
        } else if (c < 0xDC00 || c > 0xDFFF) {
            bytes += 2; // a surrogate pair counts once, at its high half
        }
    }
    return bytes;
}

Win32DialogOwnerScope::Win32DialogOwnerScope(void* window) {
    ModalOwners().push_back(static_cast<HWND>(window));
}

Win32DialogOwnerScope::~Win32DialogOwnerScope() {
    ModalOwners().pop_back();
}

void* Win32Prompts::Owner() const {
    if (!ModalOwners().empty() && IsWindow(ModalOwners().back())) {
        return ModalOwners().back();
    }
    if (!owner_) {
        return nullptr;
    }
    const HWND owner = static_cast<HWND>(owner_());
    return owner != nullptr && IsWindow(owner) ? owner : nullptr;
}

MsgResult Win32Prompts::Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                                const std::string& title) {
    const HWND owner = static_cast<HWND>(Owner());
    const int answer = MessageBoxW(owner, win32::Widen(text).c_str(), TitleText(title).c_str(),
                                   IconFlag(kind) | ButtonFlags(buttons) | ModalFlag(owner));
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return answer == IDOK ? MsgResult::Ok : MsgResult::Cancel;
    case MsgButtons::YesNo:
        return answer == IDYES ? MsgResult::Yes : MsgResult::No;
    }
    return MsgResult::Cancel;
}

std::optional<std::string> Win32Prompts::Input(const std::string& title, const std::string& prompt,
                                               const std::string& initial, int maxBytes) {
    InputState state;
    state.title = TitleText(title);
    state.prompt = win32::Widen(prompt);
    state.text = win32::Widen(initial);
    state.maxBytes = maxBytes;

    DialogTemplate box(state.title, 220, 62);
    box.Item(0x0082, kPromptId, SS_LEFT | SS_NOPREFIX, 7, 7, 206, 10, state.prompt);
    box.Item(0x0081, kEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 20, 206, 13, L"");
    box.Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 41, 50, 14, kOk);
    box.Item(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 163, 41, 50, 14, kCancel);

    const INT_PTR result =
        DialogBoxIndirectParamW(ThisModule(), box.get(), static_cast<HWND>(Owner()),
                                InputDialogProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1) {
        ThrowDialogFailed("入力ダイアログ", GetLastError());
    }
    if (result != IDOK) {
        return std::nullopt;
    }
    return win32::Narrow(state.text);
}

std::optional<std::string> Win32Prompts::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(false, request, static_cast<HWND>(Owner()));
}

std::optional<std::string> Win32Prompts::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(true, request, static_cast<HWND>(Owner()));
}

std::optional<TColor> Win32Prompts::ChooseColor(TColor initial) {
    // The sixteen custom colours last as long as the module, as the dialog's
    // users expect between two uses.
    static COLORREF customColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                        0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                        0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(Owner());
    dialog.rgbResult = ResolveColor(initial);
    dialog.lpCustColors = customColors;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorW(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        if (error == 0) {
            return std::nullopt;
        }
        ThrowDialogFailed("色の選択ダイアログ", error);
    }
    return static_cast<TColor>(dialog.rgbResult) & 0x00FFFFFFu;
}

} // namespace pelmora
