#pragma once
// What both code page 932 converters (iconv on Linux, the Windows API on
// Windows) share: telling a broken input byte from a character the code page
// lacks, and the wording of their errors.
#include <cstddef>
#include <string_view>

namespace pelmora::cp932_detail {

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when it is malformed.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos);

// `what` names the input encoding ("Shift-JIS", "UTF-8"). All throw CodecError.
[[noreturn]] void ThrowIncomplete(const char* what, std::string_view input, std::size_t offset);
[[noreturn]] void ThrowInvalid(const char* what, std::string_view input, std::size_t offset);
// A well-formed UTF-8 character at `offset` that Shift-JIS cannot hold.
[[noreturn]] void ThrowUnrepresentable(std::string_view utf8, std::size_t offset,
                                       std::size_t length);

} // namespace pelmora::cp932_detail
