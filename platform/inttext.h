#pragma once
// Integer text: optional leading blanks, optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Hexadecimal takes up to
// 32 bits and is reinterpreted as signed (so "0x8000000F" is a system colour).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

std::optional<std::int32_t> ParseIntText(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);
std::string IntToStr(std::int64_t value);

} // namespace pelmora
