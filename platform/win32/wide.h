#pragma once
// UTF-8 <-> UTF-16 at the Windows API, and texts for Windows error codes.
#include <string>
#include <string_view>

namespace pelmora::win32 {

// Both throw CodecError for text that is not well formed.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A path in the form the file API takes whatever its length: absolute,
// normalised as the system would (separators, "." and "..", trailing dots
// and spaces), with the "\\?\" (or "\\?\UNC\") prefix. A path that is
// already in that form, or that names a device ("\\.\"), is left alone.
std::wstring LongPath(const std::wstring& path);

// The system's text for an error code (GetLastError), in UTF-8, without the
// line end; "error N" when the system has none.
std::string ErrorText(unsigned long error);

} // namespace pelmora::win32
