// Settings-format text: parsing never fails, writing the result and parsing it
// again gives the same file, and written values read back.
#include "FuzzCheck.h"
#include "platform/inifile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniFile ini = IniFile::Parse(text);
    const std::string once = ini.ToText();
    PELMORA_FUZZ_CHECK(IniFile::Parse(once).ToText() == once);

    // Lookups find every section, and every key of the first section of a
    // name (a repeated section is only reached through the first).
    for (std::size_t s = 0; s < ini.Sections().size(); ++s) {
        const IniFile::Section& section = ini.Sections()[s];
        PELMORA_FUZZ_CHECK(ini.SectionExists(section.name));
        bool first = true;
        for (std::size_t before = 0; before < s; ++before) {
            first = first && !SameIniName(ini.Sections()[before].name, section.name);
        }
        for (const auto& [key, value] : section.values) {
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
