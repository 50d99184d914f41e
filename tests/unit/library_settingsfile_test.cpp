#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "pattern/Pattern.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/inifile.h"
#include "platform_tempdir.h"
#include "tests/support/Utf16.h"

#include <gtest/gtest.h>

#include <functional>
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
    TIniData perPad;
    perPad.WallPaperPerPad = true;
    const struct {
        const char* What;
        const TIniData& Settings;
        PatternLibrary Library;
    } cases[] = {
        {"empty library", defaults, PatternLibrary()},
        {"a wallpaper file per pad", perPad, RichLibrary(2, 1)},
        {"one default pattern", odd, RichLibrary(1, 0)},
        {"rich patterns", odd, RichLibrary(40, 12)},
        {"many parts", defaults, RichLibrary(2, 3000)},
    };
    for (const auto& c : cases) {
        const std::string written = WrittenText(c.Settings, c.Library);
        EXPECT_EQ(SettingsFileSize(c.Settings, c.Library), written.size()) << c.What;
        // The end makes its text piece by piece, never through an INI file.
        EXPECT_EQ(SettingsFileText(c.Settings, PatternsOf(c.Library)), written) << c.What;
    }
    // Counting stops once past the bound, so a huge library costs little.
    const PatternLibrary big = RichLibrary(300, 10);
    const std::size_t whole = SettingsFileSize(defaults, big);
    const std::size_t stopped = SettingsFileSize(defaults, big, 1000);
    EXPECT_GT(stopped, 1000u);
    EXPECT_LT(stopped, whole / 10);
}

// The per-pad wallpaper choice is read as any integer of the file and
// written, after the original's keys, only while it is on: a user who never
// turns it on gets the "Main" section the original writes, to the byte.
TEST(MainSettings, WallPaperPerPadIsWrittenOnlyWhileOn) {
    const struct {
        const char* Line; // in "Main"; none when null
        bool On;
    } cases[] = {
        {nullptr, false},
        {"wallpaperperpad=1", true},
        {"WallPaperPerPad=0", false},
        {"WallPaperPerPad=yes", false},
    };
    const std::string original = "[Main]\r\nLeft=0\r\nTop=0\r\nWidth=400\r\nHeight=350\r\n"
                                 "PrevHeight=130\r\nImportDir=/s/\r\nExportDir=/s/\r\n\r\n";
    for (const auto& c : cases) {
        const std::string line = c.Line != nullptr ? c.Line : "";
        SCOPED_TRACE(line);
        const TIniData read = ReadIniData(IniFile::Parse("[Main]\r\n" + line + "\r\n"), "/s/P.ini");
        EXPECT_EQ(read.WallPaperPerPad, c.On);
        const std::string written = SettingsFileText(read, PatternsOf(PatternLibrary()));
        EXPECT_EQ(written,
                  c.On ? original.substr(0, original.size() - 2) + "WallPaperPerPad=1\r\n\r\n"
                       : original);
        EXPECT_EQ(ReadIniData(IniFile::Parse(written), "/s/P.ini").WallPaperPerPad, c.On);
    }
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

// An export's text is what writing its entries into sections 1, 2, ... of an
// empty INI file gives.
TEST(SettingsFileText, PatternFileNumbersSectionsFromOne) {
    const PatternLibrary library = RichLibrary(3, 2);
    const std::vector<TExportEntry> entries = {{library.Name(2), &library.Pattern(2)},
                                               {library.Name(0), &library.Pattern(0)}};
    IniFile ini;
    library.Pattern(2).SaveToIni(ini, 1, library.Name(2));
    library.Pattern(0).SaveToIni(ini, 2, library.Name(0));
    EXPECT_EQ(PatternFileText(PatternsOf(entries)), ini.ToText());
}

using testing::TempDir;
using testing::Utf16File;
namespace fs = std::filesystem;

std::string SettingsOf(const std::vector<std::string>& names) {
    IniFile ini;
    ini.WriteInteger("Main", "Left", 5);
    for (std::size_t i = 0; i < names.size(); ++i) {
        TPatrn().SaveToIni(ini, static_cast<int>(i), names[i]);
    }
    return ini.ToText();
}

std::vector<std::string> NamesIn(const fs::path& file) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(testing::ReadRaw(file)), library);
    return library.Names();
}

// The plug-in's start and end on a settings file, as the module runs them.
struct Session {
    SettingsOrigin Origin;
    TIniData Settings;
    PatternLibrary Library;
    std::uint64_t Digest = 0;

    explicit Session(const fs::path& file) {
        SettingsAtStart start = ReadSettingsFile(file);
        Origin = start.Origin;
        Settings = ReadIniData(start.Ini, file.string());
        LoadPatterns(start.Ini, Library);
        Digest = SettingsFileDigest(Settings, Library);
    }
    SettingsSaveResult End(const fs::path& file, const fs::path& fallback) const {
        return SaveSettingsFile(file,
                                SettingsSave{Settings, Library, Origin, Digest, fallback, {}});
    }
};

using Outcome = SettingsSaveResult::Outcome;

// The end replaces only what the start read: every way the file can change
// between start and end, with and without edits in the session.
TEST(SettingsFileEnd, ReplacesOnlyWhatTheStartReadAndKeepsEverythingElse) {
    enum Start { File, NoFile, NoFolder, Garbage };
    const std::string mine = SettingsOf({"Mine"});
    const std::string other = SettingsOf({"Other"});
    const struct {
        const char* What;
        Start Before;
        std::function<void(const fs::path& file, const std::string& read)> Meanwhile;
        bool Edited;
        Outcome Expected;
        std::vector<std::string> FileHolds; // empty: the file is not there
        bool KeptBeside;
        bool KeptInFallback;
    } cases[] = {
        {"untouched, edited", File, nullptr, true, Outcome::Written, {"Mine", "New"}, false, false},
        {"untouched, not edited", File, nullptr, false, Outcome::Written, {"Mine"}, false, false},
        {"removed",
         File,
         [](const fs::path& f, const std::string&) { fs::remove(f); },
         false,
         Outcome::Written,
         {"Mine"},
         false,
         false},
        {"replaced by another program",
         File,
         [&](const fs::path& f, const std::string&) {
             fs::remove(f);
             testing::WriteRaw(f, other);
         },
         false,
         Outcome::Kept,
         {"Other"},
         true,
         false},
        {"rewritten in place",
         File,
         [&](const fs::path& f, const std::string&) { testing::WriteRaw(f, other + "\r\n"); },
         true,
         Outcome::Kept,
         {"Other"},
         true,
         false},
        {"copied back with the same bytes",
         File,
         [](const fs::path& f, const std::string& read) {
             fs::remove(f);
             testing::WriteRaw(f, read);
         },
         true,
         Outcome::Written,
         {"Mine", "New"},
         false,
         false},
        {"none, none at the end", NoFile, nullptr, true, Outcome::Written, {"New"}, false, false},
        {"none, one appeared, edited",
         NoFile,
         [&](const fs::path& f, const std::string&) { testing::WriteRaw(f, other); },
         true,
         Outcome::Kept,
         {"Other"},
         true,
         false},
        {"none, one appeared, not edited",
         NoFile,
         [&](const fs::path& f, const std::string&) { testing::WriteRaw(f, other); },
         false,
         Outcome::Skipped,
         {"Other"},
         false,
         false},
        {"no folder, it came back, edited",
         NoFolder,
         [&](const fs::path& f, const std::string&) {
             fs::create_directory(f.parent_path());
             testing::WriteRaw(f, other);
         },
         true,
         Outcome::Kept,
         {"Other"},
         true,
         false},
        {"no folder, still none, edited", NoFolder, nullptr, true, Outcome::Kept, {}, false, true},
        {"no folder, not edited", NoFolder, nullptr, false, Outcome::Skipped, {}, false, false},
        {"no section in the file, edited", Garbage, nullptr, true, Outcome::Kept, {}, true, false},
        {"no section in the file, not edited",
         Garbage,
         nullptr,
         false,
         Outcome::Skipped,
         {},
         false,
         false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path folder = dir / "settings";
        const fs::path file = folder / "Pelmora.ini";
        const fs::path fallback = dir / "temp";
        fs::create_directory(fallback);
        if (c.Before != NoFolder) {
            fs::create_directory(folder);
        }
        if (c.Before == File) {
            testing::WriteRaw(file, mine);
        } else if (c.Before == Garbage) {
            testing::WriteRaw(file, "\x01garbage\xFF");
        }
        Session session(file);
        if (c.Edited) {
            session.Library.Append("New", std::make_unique<TPatrn>());
        }
        if (c.Meanwhile) {
            c.Meanwhile(file, mine);
        }
        const SettingsSaveResult result = session.End(file, fallback);
        EXPECT_EQ(result.Status, c.Expected) << c.What;
        if (c.Before == Garbage) {
            EXPECT_EQ(testing::ReadRaw(file), "\x01garbage\xFF") << c.What;
        } else if (c.FileHolds.empty()) {
            EXPECT_FALSE(fs::exists(file)) << c.What;
        } else {
            EXPECT_EQ(NamesIn(file), c.FileHolds) << c.What;
        }
        const fs::path beside = folder / u8"Pelmora.ini.未保存.ini";
        const fs::path inFallback = fallback / u8"Pelmora.ini.未保存.ini";
        EXPECT_EQ(fs::exists(beside), c.KeptBeside) << c.What;
        EXPECT_EQ(fs::exists(inFallback), c.KeptInFallback) << c.What;
        if (c.Expected == Outcome::Kept) {
            EXPECT_EQ(result.KeptIn, c.KeptBeside ? beside : inFallback) << c.What;
            EXPECT_EQ(NamesIn(result.KeptIn), session.Library.Names()) << c.What;
            EXPECT_FALSE(result.Reason.empty()) << c.What;
        }
    }
}

// An older recovery file is never written over.
TEST(SettingsFileEnd, RecoveryFilesAreNumberedAndNeverReplaced) {
    TempDir dir;
    const fs::path file = dir / "Pelmora.ini";
    testing::WriteRaw(dir.Path() / u8"Pelmora.ini.未保存.ini", "first");
    EXPECT_EQ(KeepInRecoveryFile(file, "second"), dir.Path() / u8"Pelmora.ini.未保存2.ini");
    EXPECT_EQ(KeepInRecoveryFile(file, "third"), dir.Path() / u8"Pelmora.ini.未保存3.ini");
    EXPECT_EQ(testing::ReadRaw(dir.Path() / u8"Pelmora.ini.未保存.ini"), "first");
    EXPECT_EQ(testing::ReadRaw(dir.Path() / u8"Pelmora.ini.未保存3.ini"), "third");
    EXPECT_EQ(RecoveryFileName(dir / "settings", 4), dir.Path() / u8"settings.未保存4");
}

// Notepad's "Unicode" (UTF-16 with a byte-order mark, either order) and UTF-8
// with a byte-order mark were read as Shift-JIS: no section, an empty library,
// and the end wrote it over the user's file.
TEST(SettingsFileStart, UnicodeFilesReadAsTheirText) {
    const std::string text = "[Main]\r\nLeft=7\r\n[0]\r\nName=表示\r\n";
    TempDir dir;
    const std::string files[] = {Utf16File(text), Utf16File(text, true), "\xEF\xBB\xBF" + text};
    for (const std::string& bytes : files) {
        testing::WriteRaw(dir / "u.ini", bytes);
        const SettingsAtStart start = ReadSettingsFile(dir / "u.ini");
        EXPECT_EQ(start.Origin.Kind, SettingsOrigin::Kind::Read);
        EXPECT_EQ(start.Ini.Value("Main", "Left"), "7");
        EXPECT_EQ(start.Ini.Value("0", "Name"), Utf8ToSjis("表示"));
    }
    testing::WriteRaw(dir / "bad.ini", Utf16File("[0]\r\nName=\xF0\x9F\x98\x80\r\n"));
    try {
        ReadSettingsFile(dir / "bad.ini");
        ADD_FAILURE() << "a character Shift-JIS lacks was read";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Problem(), FileProblem::Unconvertible);
        EXPECT_NE(std::string(error.what()).find("UTF-16"), std::string::npos) << error.what();
    }
    testing::WriteRaw(dir / "odd.ini", std::string("\xFF\xFE[\0", 4) + "x");
    EXPECT_THROW(ReadSettingsFile(dir / "odd.ini"), FileError);
}

} // namespace
} // namespace pelmora
