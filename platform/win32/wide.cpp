#include "platform/win32/wide.h"

#include "platform/cp932.h"

#include <windows.h>

#include <climits>

namespace pelmora::win32 {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    if (utf8.size() > INT_MAX) {
        throw CodecError("変換する文字列が長すぎます。");
    }
    const int length = static_cast<int>(utf8.size());
    const int needed =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) {
        throw CodecError("UTF-8 として正しくない文字列です。");
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), needed);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    if (utf16.size() > INT_MAX / 4) {
        throw CodecError("変換する文字列が長すぎます。");
    }
    const int length = static_cast<int>(utf16.size());
    const int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), length,
                                           nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw CodecError("UTF-16 のサロゲートペアが壊れています。");
    }
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), length, utf8.data(), needed,
                        nullptr, nullptr);
    return utf8;
}

std::wstring LongPath(const std::wstring& path) {
    const auto startsWith = [](const std::wstring& text, const wchar_t* prefix) {
        return text.rfind(prefix, 0) == 0;
    };
    if (path.empty() || startsWith(path, L"\\\\?\\") || startsWith(path, L"\\\\.\\")) {
        return path;
    }
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    if (startsWith(full, L"\\\\.\\") || startsWith(full, L"\\\\?\\")) {
        return full;
    }
    if (startsWith(full, L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::string ErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\x3002')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "error " + std::to_string(error);
    }
    try {
        return Narrow(text);
    } catch (const CodecError&) {
        return "error " + std::to_string(error);
    }
}

} // namespace pelmora::win32
