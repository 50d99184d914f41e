// Comma text: reading never fails, and every list written reads back as it was.
#include "FuzzCheck.h"
#include "platform/commatext.h"

#include <string>
#include <vector>

namespace {

// The input cut at LF into items; NUL ends a text, so an item cannot hold one.
std::vector<std::string> ItemsFrom(std::string_view raw) {
    std::vector<std::string> items;
    std::string item;
    for (const char c : raw) {
        if (c == '\n') {
            items.push_back(item);
            item.clear();
        } else if (c != '\0') {
            item.push_back(c);
        }
    }
    items.push_back(item);
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view raw(reinterpret_cast<const char*>(data), size);

    // Whatever a line holds, the items it reads as survive a write and a read.
    const std::vector<std::string> read = ReadCommaText(raw);
    PELMORA_FUZZ_CHECK(ReadCommaText(WriteCommaText(read)) == read);

    // Any list of items (byte strings without NUL) survives a write and a read.
    const std::vector<std::string> items = ItemsFrom(raw);
    const std::string written = WriteCommaText(items);
    PELMORA_FUZZ_CHECK(written.find('\0') == std::string::npos);
    PELMORA_FUZZ_CHECK(ReadCommaText(written) == items);
    return 0;
}
