#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "pattern/Pattern.h"
#include "platform/cp932.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

std::vector<std::string> NamesOf(const PatternLibrary& library) {
    return library.Names();
}

TEST(LibraryUniqueName, NumbersStartAtTwo) {
    EXPECT_EQ(UniquePatternName("B", std::vector<std::string>{"B", "B2"}), "B3");
    EXPECT_EQ(UniquePatternName("B", std::vector<std::string>{"B2"}), "B");
    EXPECT_EQ(UniquePatternName("B", std::vector<std::string>{}), "B");
    EXPECT_EQ(UniquePatternName("B", std::vector<std::string>{"B", "B3"}), "B2");
    EXPECT_EQ(UniquePatternName("B", std::vector<std::string>{"B", "B1", "B2"}), "B3");
    EXPECT_EQ(UniquePatternName("B2", std::vector<std::string>{"B2"}), "B22");
}

TEST(LibraryUniqueName, LetterCaseCounts) {
    EXPECT_EQ(UniquePatternName("ABC", std::vector<std::string>{"abc"}), "ABC");
    EXPECT_EQ(UniquePatternName("abc", std::vector<std::string>{"abc", "ABC2"}), "abc2");
}

TEST(LibraryUniqueName, AgainstALibrary) {
    PatternLibrary library;
    library.Append("x", std::make_unique<TPatrn>());
    library.Append("x2", std::make_unique<TPatrn>());
    EXPECT_EQ(UniquePatternName("x", library), "x3");
    EXPECT_EQ(UniquePatternName("y", library), "y");
}

TEST(LibraryModel, EntriesAndOwnership) {
    PatternLibrary library;
    EXPECT_EQ(library.Count(), 0);
    auto pattern = std::make_unique<TPatrn>();
    TPatrn* raw = pattern.get();
    library.Append("a", std::move(pattern));
    library.Append("b", std::make_unique<TPatrn>());
    EXPECT_EQ(library.Count(), 2);
    EXPECT_EQ(library.Name(0), "a");
    EXPECT_EQ(&library.Pattern(0), raw);
    EXPECT_TRUE(library.Contains("b"));
    EXPECT_FALSE(library.Contains("B"));
    EXPECT_THROW(library.Name(2), std::out_of_range);
    EXPECT_THROW(library.Pattern(-1), std::out_of_range);
    EXPECT_THROW(library.Append("c", nullptr), std::invalid_argument);
    library.Clear();
    EXPECT_EQ(library.Count(), 0);
}

TEST(LibraryLoad, RepeatedNamesAreNumberedAndWrittenBackInOrder) {
    const IniFile ini = IniFile::Parse("[Main]\r\nLeft=10\r\n"
                                       "[0]\r\nName=A\r\n0=0,\"0,0,0,0\",\"1,1,1,1\",1,255\r\n"
                                       "[1]\r\nName=A\r\nLumi=3\r\n"
                                       "[5]\r\nName=B\r\nHue=-2\r\n");
    PatternLibrary library;
    LoadPatterns(ini, library);
    ASSERT_EQ(NamesOf(library), (std::vector<std::string>{"A", "A2", "B"}));
    EXPECT_EQ(library.Pattern(0).Parts(0)->Color, 255u);
    EXPECT_EQ(library.Pattern(1).Lumi, 3);
    EXPECT_EQ(library.Pattern(2).Hue, -2);

    IniFile out;
    for (int i = 0; i < library.Count(); ++i) {
        library.Pattern(i).SaveToIni(out, i, library.Name(i));
    }
    ASSERT_EQ(out.Sections().size(), 3u);
    EXPECT_EQ(out.Sections()[0].Name, "0");
    EXPECT_EQ(out.Sections()[1].Name, "1");
    EXPECT_EQ(out.Sections()[2].Name, "2");
    EXPECT_EQ(out.Value("1", "Name"), "A2");
    EXPECT_EQ(out.Value("2", "Name"), "B");
}

TEST(LibraryLoad, ReportQuotesEachFinalName) {
    const IniFile ini = IniFile::Parse("[1]\r\nName=X\r\n[2]\r\nName=Y\r\n");
    PatternLibrary library;
    EXPECT_EQ(LoadPatterns(ini, library), "\"X\"\r\n\"Y\"\r\n");
    // Loading the same file again numbers both.
    EXPECT_EQ(LoadPatterns(ini, library), "\"X2\"\r\n\"Y2\"\r\n");
    EXPECT_EQ(library.Count(), 4);
}

TEST(LibraryLoad, ImportIntoAListThatHoldsTheName) {
    PatternLibrary library;
    library.Append("A", std::make_unique<TPatrn>());
    const IniFile ini = IniFile::Parse("[1]\r\nName=A\r\n[2]\r\nName=A\r\n");
    EXPECT_EQ(LoadPatterns(ini, library), "\"A2\"\r\n\"A3\"\r\n");
}

TEST(LibraryLoad, SectionsWithoutANameAreSkipped) {
    const IniFile ini = IniFile::Parse("[Main]\r\nLumi=1\r\n[0]\r\nName=\r\nLumi=2\r\n"
                                       "[1]\r\nLumi=3\r\n[2]\r\nname= Z \r\nLumi=4\r\n");
    PatternLibrary library;
    EXPECT_EQ(LoadPatterns(ini, library), "\"Z\"\r\n");
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.Pattern(0).Lumi, 4);
}

TEST(LibraryLoad, NoPatternsGivesAnEmptyReport) {
    PatternLibrary library;
    EXPECT_EQ(LoadPatterns(IniFile::Parse("[Main]\r\nLeft=1\r\n"), library), "");
    EXPECT_EQ(LoadPatterns(IniFile(), library), "");
    EXPECT_EQ(library.Count(), 0);
}

TEST(LibraryLoad, NumberedNamesAlreadyInTheFile) {
    const IniFile ini = IniFile::Parse("[1]\r\nName=A\r\n[2]\r\nName=A2\r\n[3]\r\nName=A\r\n"
                                       "[4]\r\nName=A\r\n[5]\r\nName=A2\r\n");
    PatternLibrary library;
    LoadPatterns(ini, library);
    EXPECT_EQ(NamesOf(library), (std::vector<std::string>{"A", "A2", "A3", "A4", "A22"}));
}

TEST(LibraryLoad, EveryPatternIsCompletedWithItsBasePart) {
    const IniFile ini = IniFile::Parse("[1]\r\nName=F\r\n0=3,\"0,0,0,0\",\"2,2,2,2\",4\r\n"
                                       "[2]\r\nName=G\r\n");
    PatternLibrary library;
    LoadPatterns(ini, library);
    EXPECT_EQ(library.Pattern(0).Parts(0)->GetName(), "ボタン枠");
    EXPECT_EQ(library.Pattern(0).Parts(0)->Thick, (TTrim{2, 2, 2, 2}));
    ASSERT_EQ(library.Pattern(1).Count(), 1);
    EXPECT_EQ(library.Pattern(1).Parts(0)->Fill, fkBtn);
    EXPECT_EQ(library.Pattern(1).Parts(0)->Owner, &library.Pattern(1));
}

TEST(LibraryLoad, ShiftJisNamesAreKeptAsBytes) {
    const std::string name = Utf8ToSjis("表示"); // second byte of 表 is a backslash
    const IniFile ini = IniFile::Parse("[1]\r\nName=" + name + "\r\n[2]\r\nName=" + name + "\r\n");
    PatternLibrary library;
    EXPECT_EQ(LoadPatterns(ini, library), "\"" + name + "\"\r\n\"" + name + "2\"\r\n");
}

TEST(LibraryLoad, ManyEqualNamesLoadQuickly) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "[" + std::to_string(i) + "]\r\nName=Same\r\n";
    }
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(text), library);
    ASSERT_EQ(library.Count(), 3000);
    EXPECT_EQ(library.Name(0), "Same");
    EXPECT_EQ(library.Name(1), "Same2");
    EXPECT_EQ(library.Name(2999), "Same3000");
}

// ---- the wallpaper cell ------------------------------------------------------

TEST(WallpaperCell, SizeIsTheButtonPlusFour) {
    TPadInfo pad = DerivePadInfo(PadValues{80, 60, 1, 0, 0x00204080}, 12);
    const TPatrn pattern;
    const Bitmap24 cell = DrawWallpaper(pattern, pad);
    EXPECT_EQ(cell.Width(), 84);
    EXPECT_EQ(cell.Height(), 64);
    EXPECT_EQ(cell, Bitmap24(84, 64, 0x00204080));
}

TEST(WallpaperCell, PadWithoutSettingsGivesFiveByFive) {
    const TPadInfo pad = DerivePadInfo(PadValues{}, 12);
    TPatrn pattern;
    pattern.Parts(0)->Fill = fkNon;
    const Bitmap24 cell = DrawWallpaper(pattern, pad);
    EXPECT_EQ(cell, Bitmap24(5, 5)); // white
}

TEST(WallpaperCell, SizeLimits) {
    TPadInfo pad;
    pad.BtnWidth = 8188;
    pad.BtnHeight = -4;
    EXPECT_EQ(CellSize(pad).Width, 8192);
    EXPECT_EQ(CellSize(pad).Height, 0);
    pad.BtnWidth = 8189;
    EXPECT_THROW(CellSize(pad), BitmapError);
    pad.BtnWidth = 10;
    pad.BtnHeight = -5;
    EXPECT_THROW(CellSize(pad), BitmapError);
    pad.BtnHeight = INT32_MAX;
    EXPECT_THROW(DrawWallpaper(TPatrn(), pad), BitmapError);
    pad.BtnHeight = INT32_MIN;
    EXPECT_THROW(DrawWallpaper(TPatrn(), pad), BitmapError);
}

TEST(WallpaperCell, ReusedBitmapIsPaintedOverOnlyWhenTheSizeMatches) {
    const TPadInfo pad = DerivePadInfo(PadValues{6, 4, 0, 0, 0x000000FF}, 12);
    TPatrn pattern;
    TParts& icon = pattern.AddNew();
    icon.Area = paIcon;
    icon.Fill = fkMono;
    icon.Color = 0x0000FF00;
    pattern.Parts(0)->Fill = fkNon;

    Bitmap24 same(10, 8, 0x00FF0000);
    DrawWallpaper(same, pattern, pad);
    EXPECT_EQ(same.Pixel(0, 0), 0x00FF0000u); // kept
    EXPECT_EQ(same.Pixel(5, 3), 0x0000FF00u);

    Bitmap24 other(3, 3, 0x00FF0000);
    DrawWallpaper(other, pattern, pad);
    EXPECT_EQ(other.Width(), 10);
    EXPECT_EQ(other.Pixel(0, 0), 0x00FFFFFFu); // a new white cell
}

} // namespace
} // namespace pelmora
