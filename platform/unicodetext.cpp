#include "platform/unicodetext.h"

#include "platform/cp932.h"

#include <cstdint>

namespace pelmora {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool StartsWith(std::string_view text, std::string_view mark) {
    return text.substr(0, mark.size()) == mark;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        throw CodecError("UTF-16 のテキストが途中で切れています。");
    }
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (first << 8) | second
                                                    : (second << 8) | first);
    };
    std::string utf8;
    utf8.reserve(bytes.size() / 2 * 3);
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        std::uint32_t code = unit(at);
        if (code >= 0xDC00 && code <= 0xDFFF) {
            throw CodecError("UTF-16 のサロゲートペアが壊れています。");
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            const std::uint32_t low = at + 2 < bytes.size() ? unit(at + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                throw CodecError("UTF-16 のサロゲートペアが壊れています。");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        }
        AppendUtf8(utf8, code);
    }
    return utf8;
}

} // namespace

TextEncoding EncodingOf(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Mark)) {
        return TextEncoding::Utf8;
    }
    if (StartsWith(bytes, kUtf16LeMark)) {
        return TextEncoding::Utf16LittleEndian;
    }
    if (StartsWith(bytes, kUtf16BeMark)) {
        return TextEncoding::Utf16BigEndian;
    }
    return TextEncoding::ShiftJis;
}

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian:
        return "UTF-16";
    case TextEncoding::ShiftJis:
        break;
    }
    return "Shift-JIS";
}

std::string ToShiftJisText(std::string bytes) {
    const std::string_view text(bytes);
    switch (EncodingOf(text)) {
    case TextEncoding::Utf8:
        return Utf8ToSjis(text.substr(kUtf8Mark.size()));
    case TextEncoding::Utf16LittleEndian:
        return Utf8ToSjis(Utf16ToUtf8(text.substr(kUtf16LeMark.size()), false));
    case TextEncoding::Utf16BigEndian:
        return Utf8ToSjis(Utf16ToUtf8(text.substr(kUtf16BeMark.size()), true));
    case TextEncoding::ShiftJis:
        break;
    }
    return bytes;
}

} // namespace pelmora
