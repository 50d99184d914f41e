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
constexpr DWORD kLongPathChars = 32768;

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

// ---- File dialogs ---------------------------------------------------------

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> RunFileDialog(bool save, const FileDialogRequest& request, HWND owner) {
    const std::wstring filter = Win32FilterText(request.Filter);
    const std::wstring title = win32::Widen(request.Title);
    const std::wstring extension = win32::Widen(request.DefaultExtension);
    const std::wstring folder = win32::Widen(request.InitialDir);
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
        dialog.Flags |= request.ConfirmOverwrite ? OFN_OVERWRITEPROMPT : 0;
        dialog.Flags |= request.FolderMustExist ? OFN_PATHMUSTEXIST : 0;
    } else if (request.MustExist) {
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

Win32Prompts::Win32Prompts(OwnerSource owner, InputBox inputBox)
    : owner_(std::move(owner)), inputBox_(std::move(inputBox)) {
    customColors_.fill(0x00FFFFFF);
}

Win32Prompts::OwnerScope::OwnerScope(Prompts& prompts, void* window)
    : prompts_(dynamic_cast<Win32Prompts*>(&prompts)) {
    if (prompts_ != nullptr) {
        prompts_->modalOwners_.push_back(window);
    }
}

Win32Prompts::OwnerScope::~OwnerScope() {
    if (prompts_ != nullptr) {
        prompts_->modalOwners_.pop_back();
    }
}

void* Win32Prompts::Owner() const {
    if (!modalOwners_.empty() && IsWindow(static_cast<HWND>(modalOwners_.back()))) {
        return modalOwners_.back();
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
    if (!inputBox_) {
        ThrowDialogFailed("入力ダイアログ", ERROR_NOT_SUPPORTED);
    }
    return inputBox_(Owner(), *this, {title, prompt, initial, maxBytes});
}

std::optional<std::string> Win32Prompts::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(false, request, static_cast<HWND>(Owner()));
}

std::optional<std::string> Win32Prompts::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(true, request, static_cast<HWND>(Owner()));
}

std::optional<TColor> Win32Prompts::ChooseColor(TColor initial) {
    static_assert(sizeof(COLORREF) == sizeof(std::uint32_t));
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(Owner());
    dialog.rgbResult = ResolveColor(initial);
    dialog.lpCustColors = reinterpret_cast<COLORREF*>(customColors_.data());
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
