// Settings-format text: parsing never fails, writing the result and parsing it
// again gives the same file, and written values read back.
#include "FuzzCheck.h"
#include "platform/inifile.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace {
constexpr std::size_t kLookupsTried = 64;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniFile ini = IniFile::Parse(text);
    const std::string once = ini.ToText();
    PELMORA_FUZZ_CHECK(IniFile::Parse(once).ToText() == once);

    // Lookups find every section, and the keys of the first section of a name
    // (a repeated section is only reached through the first). Lookups scan, so
    // only the first sections and keys are tried.
    std::unordered_set<std::string> seen;
    const std::size_t sectionsTried = std::min<std::size_t>(ini.Sections().size(), kLookupsTried);
    for (std::size_t s = 0; s < sectionsTried; ++s) {
        const IniFile::Section& section = ini.Sections()[s];
        PELMORA_FUZZ_CHECK(ini.SectionExists(section.name));
        std::string folded = section.name;
        for (char& c : folded) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        const bool first = seen.insert(folded).second;
        const std::size_t tried = std::min<std::size_t>(section.values.size(), kLookupsTried);
        for (std::size_t k = 0; k < tried; ++k) {
            const std::string& key = section.values[k].first;
            (void)ini.ReadInteger(section.name, key, 0);
            (void)ini.ReadBool(section.name, key, false);
            PELMORA_FUZZ_CHECK(!first || ini.Value(section.name, key).has_value());
        }
    }

    // A value written under the first section and key reads back from the
    // text, line breaks stored as blanks.
    if (!ini.Sections().empty() && !ini.Sections().front().values.empty()) {
        const std::string section = ini.Sections().front().name;
        const std::string key = ini.Sections().front().values.front().first;
        const std::string value = "x" + std::string(text.substr(0, 64)) + "x";
        std::string expected = value;
        for (char& c : expected) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        ini.WriteString(section, key, value);
        PELMORA_FUZZ_CHECK(ini.Value(section, key) == expected);
        PELMORA_FUZZ_CHECK(IniFile::Parse(ini.ToText()).Value(section, key) == expected);
    }
    return 0;
}
