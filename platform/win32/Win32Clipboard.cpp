#include "platform/win32/Win32Clipboard.h"

#include "platform/fileio.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <stdexcept>

namespace pelmora {
namespace {

constexpr const char* kBusy = "ほかのプログラムがクリップボードを使用しているため、";
constexpr const char* kTryAgain = "できませんでした。しばらくしてからもう一度お試し下さい。";

// Another program (a clipboard manager, a remote desktop) may hold the
// clipboard open for a moment: it is waited for, about two seconds in all.
bool Open(HWND owner) {
    if (OpenClipboard(owner)) {
        return true;
    }
    for (const auto wait : kRetryWaits) {
        Sleep(static_cast<DWORD>(wait.count()));
        if (OpenClipboard(owner)) {
            return true;
        }
    }
    return false;
}

struct Opened {
    Opened() = default;
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
    ~Opened() { CloseClipboard(); }
};

struct Locked {
    explicit Locked(HGLOBAL memory) : Memory(memory), Data(GlobalLock(memory)) {}
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    ~Locked() {
        if (Data != nullptr) {
            GlobalUnlock(Memory);
        }
    }
    HGLOBAL Memory;
    void* Data;
};

} // namespace

std::optional<std::string> Win32Clipboard::Text() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        return std::nullopt;
    }
    if (!Open(static_cast<HWND>(owner_()))) {
        throw std::runtime_error(std::string(kBusy) + "貼り付け" + kTryAgain);
    }
    const Opened opened;
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const Locked text(data);
    if (data == nullptr || text.Data == nullptr) {
        return std::nullopt;
    }
    const std::size_t room =
        std::min<std::size_t>(GlobalSize(data) / sizeof(wchar_t), kMaxInputFileSize + 1);
    return win32::Narrow({static_cast<const wchar_t*>(text.Data),
                          wcsnlen(static_cast<const wchar_t*>(text.Data), room)});
}

// The clipboard is emptied only once the new text is ready, so a copy that
// fails leaves what the user had there.
void Win32Clipboard::SetText(const std::string& text) {
    const std::wstring wide = win32::Widen(text);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    {
        const Locked copy(memory);
        if (copy.Data == nullptr) {
            GlobalFree(memory);
            throw std::runtime_error("メモリが不足しているため、コピーできませんでした。");
        }
        std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(copy.Data));
    }
    if (!Open(static_cast<HWND>(owner_()))) {
        GlobalFree(memory);
        throw std::runtime_error(std::string(kBusy) + "コピー" + kTryAgain);
    }
    const Opened opened;
    if (!EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        throw std::runtime_error("クリップボードにコピーできませんでした (" +
                                 win32::ErrorText(error) + ")。");
    }
}

} // namespace pelmora
