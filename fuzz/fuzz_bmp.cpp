// BMP reading: any bytes either decode or are refused with BitmapError, and a
// decoded bitmap written again decodes to the same pixels.
#include "FuzzCheck.h"
#include "platform/bmp.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Bitmap24 bitmap;
    try {
        bitmap = DecodeBmp(bytes);
    } catch (const BitmapError&) {
        return 0;
    }
    PELMORA_FUZZ_CHECK(bitmap.Width() >= 0 && bitmap.Height() >= 0);
    PELMORA_FUZZ_CHECK(bitmap.Bytes().size() ==
                       static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 3);
    if (bitmap.Width() > 0 && bitmap.Height() > 0) {
        PELMORA_FUZZ_CHECK(DecodeBmp(EncodeBmp(bitmap)) == bitmap);
    }
    return 0;
}
