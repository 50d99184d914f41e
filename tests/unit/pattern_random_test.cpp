// Thousands of generated patterns and pads, wild values included: painting
// must neither fail nor touch memory it should not, the cell must have the
// pad's size, and the stored form must paint the same picture.
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace pelmora {
namespace {

class Generator {
public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    // Mostly what the editor makes, sometimes anything a file can hold.
    std::int32_t Side() {
        const int roll = Between(1, 100);
        if (roll <= 70) {
            return Between(-9, 9);
        }
        if (roll <= 85) {
            return Between(-100, 100);
        }
        if (roll <= 95) {
            return Between(1000000000, INT32_MAX) * (Chance(50) ? 1 : -1);
        }
        return Chance(50) ? INT32_MIN : INT32_MAX;
    }
    TTrim Trim() { return {Side(), Side(), Side(), Side()}; }

    TColor Colour() {
        if (Chance(20)) {
            return 0x80000000u | static_cast<TColor>(Between(0, 30)); // system colours
        }
        return static_cast<TColor>(random_());
    }

    std::string Hex(std::uint32_t v, int digits) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*X", digits, v);
        return std::string(text).substr(0, static_cast<std::size_t>(digits));
    }

    std::string GradText() {
        if (Chance(5)) {
            return Chance(50) ? "" : "x,,\"garbage";
        }
        std::string text = std::to_string(Between(-1, 5)) + "," + std::to_string(Angle()) + "," +
                           std::to_string(Centre()) + "," + std::to_string(Centre()) + "," +
                           std::to_string(Between(0, 1)) + ",";
        const int stops = Between(0, 6);
        for (int i = 0; i < stops; ++i) {
            const int pos = Chance(90) ? Between(0, 100) : Between(0, 255);
            text += "," + Hex(static_cast<std::uint32_t>(pos), 2) +
                    Hex(Chance(5) ? 0xFFFFFFFFu : Colour(), 8);
        }
        return text;
    }

    PadValues Pad() {
        const auto side = [&] {
            const int roll = Between(1, 100);
            if (roll <= 88) {
                return Between(-6, 48);
            }
            if (roll <= 96) {
                return Between(49, 140);
            }
            const int wild[] = {-5, 8189, 100000, INT32_MAX, INT32_MIN};
            return wild[Between(0, 4)];
        };
        PadValues v;
        v.BtnWidth = side();
        v.BtnHeight = side();
        v.BtnCaption = Chance(80) ? Between(0, 2) : Side();
        v.BtnSmallIcon = Chance(80) ? Between(0, 1) : Side();
        v.BtnColor = static_cast<std::int32_t>(Chance(30) ? 0x8000000Fu : Colour());
        return v;
    }
    std::int32_t NameHeight() { return Chance(90) ? Between(0, 30) : Side(); }

    void Part(TParts& part, bool base) {
        if (!base) {
            part.Area = static_cast<std::uint8_t>(Between(0, 2));
        }
        part.IsFrame = Chance(50);
        part.Outer = Trim();
        part.Thick = Trim();
        part.Fill = static_cast<std::uint8_t>(Between(0, 4));
        part.Color = Colour();
        part.GradText = GradText();
    }

    std::unique_ptr<TPatrn> Pattern() {
        auto p = std::make_unique<TPatrn>();
        p->Lumi = Chance(85) ? Between(-8, 8) : Side();
        p->Hue = Chance(85) ? Between(-12, 12) : Side();
        p->BtnColTrim = Chance(50);
        Part(*p->Parts(0), true);
        const int parts = Between(0, 4);
        for (int i = 0; i < parts; ++i) {
            Part(p->AddNew(), false);
        }
        return p;
    }

private:
    int Angle() { return Chance(80) ? Between(0, 359) : Side(); }
    int Centre() { return Chance(80) ? Between(-200, 200) : Side(); }

    std::mt19937 random_;
};

bool CellFits(std::int32_t buttonSide) {
    const std::int64_t side = static_cast<std::int64_t>(buttonSide) + 4;
    return side >= 0 && side <= kMaxBitmapSide;
}

TEST(PatternRandom, GeneratedPatternsPaintTheCell) {
    Generator gen(0x5EED2026u);
    int painted = 0;
    int refused = 0;
    for (int round = 0; round < 2500; ++round) {
        const auto pattern = gen.Pattern();
        const PadValues values = gen.Pad();
        const TPadInfo pad = DerivePadInfo(values, gen.NameHeight());
        SCOPED_TRACE("round " + std::to_string(round));

        if (!CellFits(values.BtnWidth) || !CellFits(values.BtnHeight)) {
            EXPECT_THROW(DrawWallpaper(*pattern, pad), BitmapError);
            ++refused;
            continue;
        }
        const Bitmap24 cell = DrawWallpaper(*pattern, pad);
        ASSERT_EQ(cell.Width(), values.BtnWidth + 4);
        ASSERT_EQ(cell.Height(), values.BtnHeight + 4);
        ++painted;

        // What is stored paints the same picture.
        IniFile ini;
        pattern->SaveToIni(ini, 0, "n");
        TPatrn reloaded;
        reloaded.LoadFromIni(ini, "0");
        reloaded.EnsureBase();
        ASSERT_EQ(reloaded.Count(), pattern->Count());
        ASSERT_TRUE(DrawWallpaper(reloaded, pad) == cell);

        for (int i = 0; i < pattern->Count(); ++i) {
            const TParts& part = *pattern->Parts(i);
            const auto preview = part.CreatePreview(20, pad);
            ASSERT_EQ(preview.has_value(), part.Fill != fkNon);
        }
    }
    EXPECT_GT(painted, 2000);
    EXPECT_GT(refused, 10);
}

TEST(PatternRandom, GarbagePartLinesAreReadSafely) {
    Generator gen(77);
    const std::string alphabet = "0123456789-+$x,\" \tabcFF";
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        const int length = gen.Between(0, 40);
        for (int i = 0; i < length; ++i) {
            line += alphabet[static_cast<std::size_t>(
                gen.Between(0, static_cast<int>(alphabet.size()) - 1))];
        }
        TPatrn p;
        TParts& part = p.AddNew();
        part.LoadFromText(line);
        ASSERT_LE(part.KindIndex(), 5) << line;
        ASSERT_LE(part.Fill, fkBtnF) << line;
        TParts again(&p);
        again.LoadFromText(part.SaveToText());
        ASSERT_EQ(again.SaveToText(), part.SaveToText()) << line;
        Bitmap24 cell(12, 12);
        part.Draw(cell, DerivePadInfo(PadValues{8, 8, 1, 0, 0}, 4));
    }
}

} // namespace
} // namespace pelmora
