#include "library/SettingsFile.h"

#include "library/PatternLibrary.h"
#include "platform/fileio.h"
#include "platform/inifile.h"
#include "platform/inttext.h"

namespace pelmora {

void WriteSettingsFile(IniFile& ini, const TIniData& settings, const PatternLibrary& library) {
    WriteIniData(ini, settings);
    SavePatterns(ini, library);
}

// Every section and key written is new (sections "Main", "0", "1", ...; keys
// "Name" and the pattern's), so each adds its own line to the text.
std::size_t SettingsFileSize(const TIniData& settings, const PatternLibrary& library,
                             std::size_t stopAbove) {
    IniFile main;
    WriteIniData(main, settings);
    std::size_t size = main.TextSize();
    for (int i = 0; i < library.Count() && size <= stopAbove; ++i) {
        size +=
            IniFile::SectionTextSize(IntToStr(i)) + IniFile::KeyTextSize("Name", library.Name(i));
        library.Pattern(i).ForEachStoredValue([&](std::string_view key, std::string_view value) {
            size += IniFile::KeyTextSize(key, value);
        });
    }
    return size;
}

bool SettingsFileFits(const TIniData& settings, const PatternLibrary& library) {
    return SettingsFileSize(settings, library, kMaxInputFileSize) <= kMaxInputFileSize;
}

} // namespace pelmora
