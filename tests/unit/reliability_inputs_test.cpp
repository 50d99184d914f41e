// Hostile inputs: texts and files far larger than any real one, and values at
// the ends of their ranges. None may crash, hang or lose the meaning of what
// was read.
#include "gradient/Gradient.h"
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/bmp.h"
#include "platform/commatext.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// ---- Sizes that once took time quadratic in the input ----------------------

// Stop items "PPCCCCCCCC": position and colour in hex.
std::string StopItem(int pos, TColor color) {
    char item[16];
    std::snprintf(item, sizeof item, "%02X%08X", static_cast<unsigned>(pos),
                  static_cast<unsigned>(color));
    return item;
}

TEST(ReliabilityLargeInputs, GradientTextWithVeryManyStopsReads) {
    // Two hundred thousand stops took minutes when each was inserted into
    // the sorted list on its own.
    constexpr int kStops = 200000;
    std::string text = "0,0,0,0,0,";
    for (int i = 0; i < kStops; ++i) {
        text += ',' + StopItem(99 - i % 99, static_cast<TColor>(i));
    }
    TGrad grad;
    grad.LoadFromText(text);
    ASSERT_EQ(grad.Count(), kStops + 2);
    const std::vector<TCol>& stops = grad.Stops();
    for (std::size_t i = 1; i < stops.size(); ++i) {
        ASSERT_LE(stops[i - 1].Pos, stops[i].Pos) << i;
    }
    // Each later entry at a taken position goes before the earlier ones:
    // the entries at 1 (every 99th from the 98th) come last written first.
    constexpr int kLastAtOne = (kStops - 1 - 98) / 99 * 99 + 98;
    EXPECT_EQ(stops[1], (TCol{1, kLastAtOne}));
    EXPECT_EQ(stops[2], (TCol{1, kLastAtOne - 99}));
    EXPECT_EQ(stops[stops.size() - 2].Pos, 99);
    EXPECT_EQ(grad.SaveToText().size(), text.size() + 2 * std::string(",0000000000").size());
}

TEST(ReliabilityLargeInputs, SavingAVeryLargeLibraryStaysLinear) {
    // Sixty thousand patterns, and one pattern with sixty thousand parts: each
    // write used to search every section and every key written before it.
    constexpr int kCount = 60000;
    IniFile ini;
    TPatrn pattern;
    for (int i = 0; i < kCount; ++i) {
        pattern.SaveToIni(ini, i, "p" + std::to_string(i));
    }
    TPatrn tall;
    for (int i = 1; i < kCount; ++i) {
        tall.AddNew().Fill = fkMono;
    }
    tall.SaveToIni(ini, kCount, "tall");

    const IniFile again = IniFile::Parse(ini.ToText());
    ASSERT_EQ(again.Sections().size(), static_cast<std::size_t>(kCount + 1));
    EXPECT_EQ(again.Value(std::to_string(kCount - 1), "Name"), "p" + std::to_string(kCount - 1));
    EXPECT_EQ(again.Sections().back().Values.size(), static_cast<std::size_t>(4 + kCount));
    EXPECT_EQ(again.Value(std::to_string(kCount), std::to_string(kCount - 1)),
              tall.Parts(kCount - 1)->SaveToText());
}

// ---- Writes into a parsed file find what a lookup finds ---------------------

TEST(ReliabilityIniWrites, WritesAfterParsingReplaceTheFirstSectionAndKeyOfAName) {
    IniFile ini = IniFile::Parse("[A]\nk=1\nK=2\n[a]\nk=3\n");
    ini.WriteString("a", "K", "x");
    ini.WriteString("new", "z", "1");
    ini.WriteString("NEW", "Z", "2");
    EXPECT_EQ(ini.ToText(), "[A]\r\nk=x\r\nK=2\r\n\r\n[a]\r\nk=3\r\n\r\n[new]\r\nz=2\r\n\r\n");
    EXPECT_EQ(ini.Value("a", "k"), "x");
}

TEST(ReliabilityIniWrites, CopiesAndClearingKeepWritesInTheRightPlace) {
    IniFile ini;
    ini.WriteString("s", "a", "1");
    IniFile copy = ini;
    copy.WriteString("s", "a", "2");
    copy.WriteString("s", "b", "3");
    EXPECT_EQ(ini.ToText(), "[s]\r\na=1\r\n\r\n");
    EXPECT_EQ(copy.ToText(), "[s]\r\na=2\r\nb=3\r\n\r\n");

    copy.Clear();
    copy.WriteString("t", "c", "4");
    copy.WriteString("s", "a", "5");
    EXPECT_EQ(copy.ToText(), "[t]\r\nc=4\r\n\r\n[s]\r\na=5\r\n\r\n");
}

// ---- Bytes that are no Shift-JIS character ----------------------------------

TEST(ReliabilityCommaText, ALeadByteBeforeAFinalControlCodeIsQuoted) {
    // Found by fuzzing: unquoted, the control code ended the line of the
    // settings file and was stripped with its blanks when read back.
    const struct {
        std::string Item;
        std::string Written;
    } cases[] = {
        {"\x95\x01", "\"\x95\x01\""},
        {"a\x95 ", "\"a\x95 \""},
        {"a\x95 b", "a\x95 b"},   // not at the end: the pair is stepped over
        {"\x95\x40", "\x95\x40"}, // a character: written as it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteCommaText({"x", c.Item}), "x," + c.Written) << c.Written;
        EXPECT_EQ(ReadCommaText("x," + c.Written), (std::vector<std::string>{"x", c.Item}));
    }
}

TEST(ReliabilityCommaText, GradientTextWithABrokenCharacterSurvivesTheSettingsFile) {
    TPatrn pattern;
    TParts& part = pattern.AddNew();
    part.Fill = fkGrad;
    part.GradText = "\x95\x01";
    IniFile ini;
    pattern.SaveToIni(ini, 0, "p");
    TPatrn again;
    again.LoadFromIni(IniFile::Parse(ini.ToText()), "0");
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Parts(1)->GradText, "\x95\x01");
}

// ---- Values at the ends of their ranges ------------------------------------

constexpr std::int32_t kNameHeight = 15;

TPadInfo Pad(std::int32_t width, std::int32_t height, std::int32_t caption = 1) {
    PadValues values;
    values.BtnWidth = width;
    values.BtnHeight = height;
    values.BtnCaption = caption;
    values.BtnSmallIcon = 0;
    values.BtnColor = 0x00C08040;
    return DerivePadInfo(values, kNameHeight);
}

TEST(ReliabilityExtremeValues, CellsOutsideTheLimitAreRefusedWithAClearError) {
    const std::int32_t sides[][2] = {{INT32_MAX, 10}, {10, INT32_MAX}, {INT32_MIN, 10},
                                     {10, INT32_MIN}, {-5, 10},        {8189, 10}};
    const TPatrn pattern;
    for (const auto& side : sides) {
        try {
            (void)DrawWallpaper(pattern, Pad(side[0], side[1]));
            ADD_FAILURE() << side[0] << " x " << side[1] << " was painted";
        } catch (const BitmapError& error) {
            EXPECT_NE(std::string(error.what()).find("8192"), std::string::npos) << error.what();
        }
    }
}

TEST(ReliabilityExtremeValues, EmptyCellsPaintNothingAndCannotBeWrittenAsFiles) {
    const Bitmap24 cell = DrawWallpaper(TPatrn(), Pad(-4, -4));
    EXPECT_EQ(cell.Width(), 0);
    EXPECT_EQ(cell.Height(), 0);
    EXPECT_THROW((void)EncodeBmp(cell), BitmapError);
}

TEST(ReliabilityExtremeValues, PartLinesAtTheEndsOfTheRangePaintTheCell) {
    // Every kind and fill with edges and thicknesses at both ends of the
    // 32-bit range, in every layout: the cell comes out whole.
    const char* const lines[] = {
        R"(0,"-2147483648,-2147483648,2147483647,2147483647","1,1,1,1",1,255)",
        R"(0,"2147483647,2147483647,2147483647,2147483647","1,1,1,1",1,255)",
        R"(1,"0,0,0,0","2147483647,2147483647,2147483647,2147483647",4)",
        R"(1,"0,0,0,0","-2147483648,-2147483648,-2147483648,-2147483648",4)",
        R"(3,"2147483647,0,-2147483648,0","2147483647,-2147483648,1,1",3)",
        R"(5,"0,0,0,0","1073741824,1073741824,1073741824,1073741824",2,"1,45,0,0,0,,00000000FF,6400FF0000")",
        R"(4,"-2147483648,2147483647,0,0","1,1,1,1",2,"2,-2147483648,2147483647,-2147483648,1,,0000FFFFFF,6400000000")",
        R"(2,"2147483647,2147483647,2147483647,2147483647","1,1,1,1",2,"3,2147483647,0,0,0,,00000000FF,6400FF0000")",
    };
    const TPadInfo pads[] = {Pad(40, 30, 0), Pad(40, 30, 1), Pad(60, 20, 2), Pad(1, 1, 1)};
    for (const char* line : lines) {
        for (const TPadInfo& pad : pads) {
            TPatrn pattern;
            pattern.AddNew().LoadFromText(line);
            const Bitmap24 cell = DrawWallpaper(pattern, pad);
            EXPECT_EQ(cell.Width(), pad.BtnWidth + 4) << line;
            EXPECT_EQ(cell.Height(), pad.BtnHeight + 4) << line;
        }
    }
}

TEST(ReliabilityExtremeValues, ShiftsBeyondTenStepsStayAtWhiteOrBlack) {
    const TPadInfo pad = Pad(20, 20);
    const struct {
        std::int32_t Lumi;
        std::int32_t Hue;
        TColor Expected;
    } cases[] = {
        {INT32_MAX, 0, 0xFFFFFF},
        {INT32_MAX, INT32_MIN, 0xFFFFFF},
        {INT32_MIN, 0, 0x000000},
        {INT32_MIN, INT32_MAX, 0x000000},
    };
    for (const auto& c : cases) {
        TPatrn pattern;
        pattern.Lumi = c.Lumi;
        pattern.Hue = c.Hue;
        pattern.AddNew().LoadFromText(R"(0,"0,0,0,0","1,1,1,1",1,255)");
        const Bitmap24 cell = DrawWallpaper(pattern, pad);
        EXPECT_EQ(cell.Pixel(10, 10), c.Expected) << c.Lumi << " " << c.Hue;
    }
}

TEST(ReliabilityExtremeValues, BmpHeadersClaimingHugeBitmapsAreRefusedBeforeAllocating) {
    // A 54-byte file that claims a maximal bitmap, and ones beyond the limit.
    const std::int32_t sizes[][2] = {
        {8192, 8192}, {8192, -8192}, {8193, 1}, {1, 8193}, {INT32_MAX, INT32_MAX}};
    for (const auto& size : sizes) {
        std::string bytes(54, '\0');
        bytes[0] = 'B';
        bytes[1] = 'M';
        const auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
            }
        };
        put32(2, 54);
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<std::uint32_t>(size[0]));
        put32(22, static_cast<std::uint32_t>(size[1]));
        bytes[26] = 1;
        bytes[28] = 24;
        EXPECT_THROW((void)DecodeBmp(bytes), BitmapError) << size[0] << " x " << size[1];
    }
}

} // namespace
} // namespace pelmora
