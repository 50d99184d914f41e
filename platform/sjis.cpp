// The platform-independent half of the code page 932 support: the Shift-JIS
// scan and the converters' error texts.
#include "platform/cp932.h"
#include "platform/cp932_detail.h"

#include <cstdint>
#include <string>

namespace pelmora {

namespace cp932_detail {
namespace {

std::string HexByte(unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[c >> 4] + digits[c & 0x0F];
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = byte(pos);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (c < 0x80) {
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (pos + length > s.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

void ThrowIncomplete(const char* what, std::string_view input, std::size_t offset) {
    throw CodecError(std::string(what) + " の文字が途中で終わっています (先頭から " +
                     std::to_string(offset) + " バイトの位置、バイト " +
                     HexByte(static_cast<unsigned char>(input[offset])) + ")。");
}

void ThrowInvalid(const char* what, std::string_view input, std::size_t offset) {
    throw CodecError(std::string(what) + " として読めないバイト " +
                     HexByte(static_cast<unsigned char>(input[offset])) + " があります (先頭から " +
                     std::to_string(offset) + " バイトの位置)。");
}

void ThrowUnrepresentable(std::string_view utf8, std::size_t offset, std::size_t length) {
    throw CodecError("文字 \"" + std::string(utf8.substr(offset, length)) + "\" (先頭から " +
                     std::to_string(offset) +
                     " バイトの位置) は Shift-JIS (コードページ 932) で表せません。");
}

} // namespace cp932_detail

bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::size_t SjisCharLength(std::string_view s, std::size_t pos) {
    if (pos + 1 < s.size() && IsSjisLeadByte(static_cast<unsigned char>(s[pos]))) {
        return 2;
    }
    return 1;
}

std::size_t SjisBoundaryAtOrBefore(std::string_view s, std::size_t maxBytes) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t next = pos + SjisCharLength(s, pos);
        if (next > maxBytes) {
            break;
        }
        pos = next;
    }
    return pos;
}

namespace {

// The UTF-8 characters of a text, each as its bytes.
template <typename Visit> void ForEachCharacter(std::string_view utf8, Visit&& visit) {
    for (std::size_t start = 0; start < utf8.size();) {
        std::size_t end = start + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            ++end;
        }
        if (!visit(utf8.substr(start, end - start))) {
            return;
        }
        start = end;
    }
}

bool IsSingleByte(std::string_view character) {
    const auto* b = reinterpret_cast<const unsigned char*>(character.data());
    if (character.size() == 1) {
        return b[0] < 0x80;
    }
    // U+FF61..U+FF9F: EF BD A1..BF and EF BE 80..9F.
    return character.size() == 3 && b[0] == 0xEF &&
           ((b[1] == 0xBD && b[2] >= 0xA1) || (b[1] == 0xBE && b[2] <= 0x9F));
}

} // namespace

int SjisByteLength(std::string_view utf8) {
    int bytes = 0;
    ForEachCharacter(utf8, [&](std::string_view character) {
        bytes += IsSingleByte(character) ? 1 : 2;
        return true;
    });
    return bytes;
}

std::optional<std::string> FirstUnstorableCharacter(std::string_view utf8) {
    std::optional<std::string> found;
    ForEachCharacter(utf8, [&](std::string_view character) {
        try {
            Utf8ToSjis(character);
            return true;
        } catch (const CodecError&) {
            found = std::string(character);
            return false;
        }
    });
    return found;
}

} // namespace pelmora
