#include "platform/inttext.h"

#include <cstdint>

namespace pelmora {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Length of a hexadecimal prefix at the start of `s` ("$", "x", "X", "0x", "0X"), or 0.
std::size_t HexPrefixLength(std::string_view s) {
    if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
        return 1;
    }
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        return 2;
    }
    return 0;
}

// Up to 32 bits of hexadecimal digits, the bit pattern read as a signed value.
std::optional<std::int32_t> ParseHexDigits(std::string_view digits, bool negative) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) {
        bits = 0u - bits; // two's complement negation, defined for unsigned
    }
    return static_cast<std::int32_t>(bits);
}

std::optional<std::int32_t> ParseDecimalDigits(std::string_view digits, bool negative) {
    if (digits.empty()) {
        return std::nullopt;
    }
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::optional<std::int32_t> ParseIntText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::string_view rest = text.substr(pos);
    const std::size_t prefix = HexPrefixLength(rest);
    if (prefix > 0) {
        return ParseHexDigits(rest.substr(prefix), negative);
    }
    return ParseDecimalDigits(rest, negative);
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) {
    return ParseIntText(text).value_or(fallback);
}

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}

} // namespace pelmora
