#pragma once
// Uncompressed 24-bit BMP files (BITMAPINFOHEADER, bottom-up, rows padded to 4 bytes).
// Written files state 96 dpi (3780 pixels per metre). Reading also accepts
// top-down rows and the longer info headers (52, 56, 108, 124 bytes) that
// start like BITMAPINFOHEADER.
#include "platform/bitmap.h"
#include "platform/fileio.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// An empty bitmap has no BMP form and throws BitmapError.
std::string EncodeBmp(const Bitmap24& bitmap);
// Validates every header field; a malformed or truncated file throws BitmapError.
Bitmap24 DecodeBmp(std::string_view bytes);

// Whole write (see WriteWholeFile; FileError on failure) and whole read
// (FileError / BitmapError, the message naming the file). The read limit is
// the size of the largest valid cell file, above the general input limit.
void SaveBmp(const Bitmap24& bitmap, const std::filesystem::path& path,
             WriteTarget target = WriteTarget::RegularFile);
Bitmap24 LoadBmp(const std::filesystem::path& path);

} // namespace pelmora
