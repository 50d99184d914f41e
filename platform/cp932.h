#pragma once
// Code page 932 (Shift-JIS) conversions and a Shift-JIS aware scan.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

class CodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Both throw CodecError (message in UTF-8) on bytes or characters that cannot be converted.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);

// True for a byte that starts a double-byte character (0x81..0x9F, 0xE0..0xFC).
bool IsSjisLeadByte(unsigned char c);

// Length in bytes (1 or 2) of the character that starts at `pos`; a lead byte
// at the very end of the text counts as one byte.
std::size_t SjisCharLength(std::string_view s, std::size_t pos);

// The largest length <= maxBytes that does not split a double-byte character.
std::size_t SjisBoundaryAtOrBefore(std::string_view s, std::size_t maxBytes);

// Bytes a text (UTF-8) takes in Shift-JIS: ASCII and half-width katakana one
// each, every other character two (also one the code page lacks).
int SjisByteLength(std::string_view utf8);
// The first character of a text (UTF-8) that code page 932 cannot hold.
std::optional<std::string> FirstUnstorableCharacter(std::string_view utf8);

} // namespace pelmora
