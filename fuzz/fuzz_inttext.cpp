// Integer text: parsing never fails hard, and a parsed value is written in a
// form that parses back to it.
#include "FuzzCheck.h"
#include "platform/inttext.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::optional<std::int32_t> parsed = ParseIntText(text);
    PELMORA_FUZZ_CHECK(StrToIntDef(text, 7) == (parsed ? *parsed : 7));
    PELMORA_FUZZ_CHECK(StrToIntDef(text, -7) == (parsed ? *parsed : -7));
    if (parsed) {
        PELMORA_FUZZ_CHECK(ParseIntText(IntToStr(*parsed)) == parsed);
    }

    // Any 32-bit value written in decimal reads back.
    fuzz::ByteReader reader(data, size);
    const std::int32_t value = reader.Int32();
    PELMORA_FUZZ_CHECK(ParseIntText(IntToStr(value)) == value);
    return 0;
}
