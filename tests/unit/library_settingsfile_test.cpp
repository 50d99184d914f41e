#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "pattern/patrn.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmora {
namespace {

std::string WrittenText(const TIniData& settings, const PatternLibrary& library) {
    IniFile ini;
    WriteSettingsFile(ini, settings, library);
    return ini.ToText();
}

PatternLibrary RichLibrary(int patterns, int parts) {
    PatternLibrary library;
    for (int i = 0; i < patterns; ++i) {
        auto pattern = std::make_unique<TPatrn>();
        pattern->Lumi = -i;
        pattern->Hue = i * 7;
        pattern->BtnColTrim = i % 2 == 0;
        for (int k = 0; k < parts; ++k) {
            TParts& part = pattern->AddNew();
            part.Fill = static_cast<std::uint8_t>(k % 5);
            part.Color = 0x00123456u * static_cast<std::uint32_t>(k);
            part.GradText = "1,30,-20,30,0,,000000FFFF,3200FF8000,6400000080";
            part.Outer = TTrim{k, -k, 2 * k, -2147483647 - 1};
        }
        library.Append(Utf8ToSjis("パターン") + std::to_string(i), std::move(pattern));
    }
    return library;
}

// The weight is counted without writing; it must be the written text's length
// to the byte, or an import could slip past the limit.
TEST(SettingsFileWeight, IsTheLengthOfTheTextTheEndWrites) {
    TIniData defaults;
    TIniData odd;
    odd.Left = -2147483647 - 1;
    odd.ImportDir = Utf8ToSjis("/ホーム/表示/");
    odd.ExportDir = "a\r\nb"; // line breaks are stored as blanks, as long
    const struct {
        const char* what;
        const TIniData& settings;
        PatternLibrary library;
    } cases[] = {
        {"empty library", defaults, PatternLibrary()},
        {"one default pattern", odd, RichLibrary(1, 0)},
        {"rich patterns", odd, RichLibrary(40, 12)},
        {"many parts", defaults, RichLibrary(2, 3000)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFileSize(c.settings, c.library),
                  WrittenText(c.settings, c.library).size())
            << c.what;
    }
    // Counting stops once past the bound, so a huge library costs little.
    const PatternLibrary big = RichLibrary(300, 10);
    const std::size_t whole = SettingsFileSize(defaults, big);
    const std::size_t stopped = SettingsFileSize(defaults, big, 1000);
    EXPECT_GT(stopped, 1000u);
    EXPECT_LT(stopped, whole / 10);
}

TEST(SettingsFileWeight, FitsUpToTheReadLimitExactly) {
    const PatternLibrary library = RichLibrary(3, 4);
    TIniData settings;
    const std::size_t base = SettingsFileSize(settings, library);
    settings.ImportDir = std::string(kMaxInputFileSize - base, 'x');
    ASSERT_EQ(SettingsFileSize(settings, library), kMaxInputFileSize);
    EXPECT_TRUE(SettingsFileFits(settings, library));
    settings.ImportDir += 'x';
    EXPECT_FALSE(SettingsFileFits(settings, library));
}

} // namespace
} // namespace pelmora
