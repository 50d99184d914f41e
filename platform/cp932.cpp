#include "platform/cp932.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string>

namespace pelmora {

namespace {

// Owns one iconv conversion descriptor.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw CodecError(std::string("the text converter from ") + from + " to " + to +
                             " is not available");
        }
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

std::string HexByte(unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[c >> 4] + digits[c & 0x0F];
}

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when it is malformed.
// Tells a valid character that code page 932 lacks from a broken input byte.
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

// Converts the whole input; `what` names the input encoding for messages.
std::string Convert(std::string_view input, const char* to, const char* from, const char* what) {
    IconvHandle handle(to, from);
    const bool fromUtf8 = std::string_view(from) == "UTF-8";
    std::string out;
    out.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(handle.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1)) {
            const int error = errno;
            if (error == E2BIG) {
                continue;
            }
            const std::size_t offset = input.size() - inLeft;
            const unsigned char bad = static_cast<unsigned char>(input[offset]);
            if (error == EINVAL) {
                throw CodecError(std::string("incomplete ") + what + " character at byte offset " +
                                 std::to_string(offset) + " (byte " + HexByte(bad) +
                                 " at the end of the text)");
            }
            if (error == EILSEQ) {
                const std::size_t length = fromUtf8 ? Utf8SequenceLength(input, offset) : 0;
                if (length > 0) {
                    throw CodecError("the character \"" +
                                     std::string(input.substr(offset, length)) +
                                     "\" at byte offset " + std::to_string(offset) +
                                     " cannot be written in Shift-JIS (code page 932)");
                }
                throw CodecError(std::string("invalid ") + what + " byte " + HexByte(bad) +
                                 " at byte offset " + std::to_string(offset));
            }
            throw CodecError(std::string("text conversion failed at byte offset ") +
                             std::to_string(offset));
        }
    }
    // Flush any shift state (none for these encodings, but harmless).
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return out;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    return Convert(sjis, "UTF-8", "CP932", "Shift-JIS");
}

std::string Utf8ToSjis(std::string_view utf8) {
    return Convert(utf8, "CP932", "UTF-8", "UTF-8");
}

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

} // namespace pelmora
