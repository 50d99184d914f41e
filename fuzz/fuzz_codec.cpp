// Shift-JIS conversions: any bytes either convert or are refused with
// CodecError; converted text converts back to text that reads the same; the
// character scan never splits a double-byte character.
#include "FuzzCheck.h"
#include "platform/cp932.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    try {
        const std::string utf8 = SjisToUtf8(bytes);
        // Code page 932 maps some characters twice (NEC and IBM rows), so the
        // bytes may differ; what they read as may not.
        PELMORA_FUZZ_CHECK(SjisToUtf8(Utf8ToSjis(utf8)) == utf8);
    } catch (const CodecError&) {
    }
    try {
        const std::string sjis = Utf8ToSjis(bytes);
        PELMORA_FUZZ_CHECK(Utf8ToSjis(SjisToUtf8(sjis)) == sjis);
    } catch (const CodecError&) {
    }

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = SjisCharLength(bytes, pos);
        PELMORA_FUZZ_CHECK(length == 1 || length == 2);
        pos += length;
        PELMORA_FUZZ_CHECK(SjisBoundaryAtOrBefore(bytes, pos) == pos);
    }
    PELMORA_FUZZ_CHECK(pos == bytes.size());
    for (std::size_t max = 0; max <= bytes.size() && max < 64; ++max) {
        PELMORA_FUZZ_CHECK(SjisBoundaryAtOrBefore(bytes, max) <= max);
    }
    return 0;
}
