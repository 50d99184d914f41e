#pragma once
// Settings and pattern files that a text editor saved in Unicode (Notepad's
// "Unicode" is UTF-16 with a byte-order mark): they are read as the system's
// own profile functions read them, by their byte-order mark, and become the
// Shift-JIS text the rest of the system works in.
#include <string>
#include <string_view>

namespace pelmora {

enum class TextEncoding { ShiftJis, Utf8, Utf16LittleEndian, Utf16BigEndian };

// The encoding a byte-order mark at the start announces; Shift-JIS without one.
TextEncoding EncodingOf(std::string_view bytes);
// "UTF-8", "UTF-16" ... for messages.
const char* EncodingName(TextEncoding encoding);

// The text as Shift-JIS, without its byte-order mark; a text without one is
// returned as it is. Throws CodecError for a malformed Unicode text or a
// character Shift-JIS cannot hold.
std::string ToShiftJisText(std::string bytes);

} // namespace pelmora
