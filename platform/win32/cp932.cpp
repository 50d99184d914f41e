// Code page 932 through the Windows API. No best fit: a character the code
// page cannot hold is refused, as with iconv on Linux.
#include "platform/cp932.h"

#include "platform/cp932_detail.h"

#include <windows.h>

#include <climits>
#include <string>

namespace pelmora {
namespace {

constexpr UINT kShiftJis = 932;

using namespace cp932_detail;

// Single bytes that Windows maps to U+0080 and private-use characters but that
// are no characters of the code page for iconv: refused, so that the same file
// reads the same on every platform.
bool IsUnassignedSingleByte(unsigned char c) {
    return c == 0x80 || c == 0xA0 || c >= 0xFD;
}

// Characters that glibc's CP932 also writes, one way, as the code page's
// look-alikes: mapped here the same way, so a text is accepted and stored
// alike on every platform.
void MapLookAlikes(std::wstring& wide) {
    for (wchar_t& c : wide) {
        switch (c) {
        case 0x301C: // WAVE DASH
            c = 0xFF5E;
            break;
        case 0x2016: // DOUBLE VERTICAL LINE
            c = 0x2225;
            break;
        case 0x2212: // MINUS SIGN
            c = 0xFF0D;
            break;
        case 0x00A2: // CENT SIGN
            c = 0xFFE0;
            break;
        case 0x00A3: // POUND SIGN
            c = 0xFFE1;
            break;
        case 0x00AC: // NOT SIGN
            c = 0xFFE2;
            break;
        case 0x00A5: // YEN SIGN
            c = L'\\';
            break;
        case 0x203E: // OVERLINE
            c = L'~';
            break;
        case 0x2014: // EM DASH
            c = 0x2015;
            break;
        default:
            break;
        }
    }
}

// Position of the first such byte standing as a character of its own, or npos.
std::size_t FindUnassignedSingleByte(std::string_view sjis) {
    for (std::size_t pos = 0; pos < sjis.size();) {
        const std::size_t length = SjisCharLength(sjis, pos);
        if (length == 1 && IsUnassignedSingleByte(static_cast<unsigned char>(sjis[pos]))) {
            return pos;
        }
        pos += length;
    }
    return std::string_view::npos;
}

// False when the bytes are not all valid in `codePage`.
bool ToWide(UINT codePage, std::string_view bytes, std::wstring& wide) {
    wide.clear();
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > INT_MAX / 2) {
        throw CodecError("変換する文字列が長すぎます。");
    }
    const int length = static_cast<int>(bytes.size());
    const int needed =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(needed));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                               needed) == needed;
}

// False when a character has no form in `codePage` (or only a best-fit one).
bool FromWide(UINT codePage, std::wstring_view wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) {
        return true;
    }
    const int length = static_cast<int>(wide.size());
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                           nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(needed));
    return WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), needed, nullptr,
                               usedDefaultOut) == needed &&
           !usedDefault;
}

// False when the text is not UTF-8 or holds a character Shift-JIS lacks.
bool EncodeShiftJis(std::string_view utf8, std::string& sjis) {
    std::wstring wide;
    if (!ToWide(CP_UTF8, utf8, wide)) {
        return false;
    }
    MapLookAlikes(wide);
    return FromWide(kShiftJis, wide, sjis) &&
           FindUnassignedSingleByte(sjis) == std::string_view::npos;
}

// Finds the first Shift-JIS character that does not convert and throws for it.
[[noreturn]] void ThrowForShiftJis(std::string_view sjis) {
    std::wstring wide;
    for (std::size_t pos = 0; pos < sjis.size();) {
        const auto c = static_cast<unsigned char>(sjis[pos]);
        if (IsSjisLeadByte(c) && pos + 1 == sjis.size()) {
            ThrowIncomplete("Shift-JIS", sjis, pos);
        }
        const std::size_t length = SjisCharLength(sjis, pos);
        if ((length == 1 && IsUnassignedSingleByte(c)) ||
            !ToWide(kShiftJis, sjis.substr(pos, length), wide)) {
            ThrowInvalid("Shift-JIS", sjis, pos);
        }
        pos += length;
    }
    throw CodecError("the Shift-JIS text could not be converted");
}

// Finds the first UTF-8 character that is broken or has no Shift-JIS form.
[[noreturn]] void ThrowForUtf8(std::string_view utf8) {
    std::string bytes;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, pos);
        if (length == 0) {
            ThrowInvalid("UTF-8", utf8, pos);
        }
        if (!EncodeShiftJis(utf8.substr(pos, length), bytes)) {
            ThrowUnrepresentable(utf8, pos, length);
        }
        pos += length;
    }
    throw CodecError("文字列を Shift-JIS に変換できません。");
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    std::wstring wide;
    std::string utf8;
    if (FindUnassignedSingleByte(sjis) != std::string_view::npos ||
        !ToWide(kShiftJis, sjis, wide) || !FromWide(CP_UTF8, wide, utf8)) {
        ThrowForShiftJis(sjis);
    }
    return utf8;
}

std::string Utf8ToSjis(std::string_view utf8) {
    std::string sjis;
    if (!EncodeShiftJis(utf8, sjis)) {
        ThrowForUtf8(utf8);
    }
    return sjis;
}

} // namespace pelmora
