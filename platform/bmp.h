#pragma once
// Uncompressed 24-bit BMP files (BITMAPINFOHEADER, bottom-up, rows padded to 4 bytes).
#include "platform/bitmap.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

std::string EncodeBmp(const Bitmap24& bitmap);
// Validates every header field; a malformed or truncated file throws BitmapError.
Bitmap24 DecodeBmp(std::string_view bytes);

// Atomic write (FileError on failure) and whole read (FileError / BitmapError).
void SaveBmp(const Bitmap24& bitmap, const std::filesystem::path& path);
Bitmap24 LoadBmp(const std::filesystem::path& path);

} // namespace pelmora
