#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace pelmora;

namespace {

struct CodecCase {
    const char* Utf8;
    std::string Sjis;
};

// Characters chosen for the traps of the code page: second bytes that look like
// a backslash or an opening bracket, half-width katakana, vendor extensions.
const CodecCase kCodecCases[] = {
    {"", ""},
    {"Pelmora 1,2", "Pelmora 1,2"},
    {"あいう", "\x82\xA0\x82\xA2\x82\xA4"},
    {"表示", "\x95\x5C\x8E\xA6"},
    {"ソ", "\x83\x5C"},
    {"ｱｲｳ", "\xB1\xB2\xB3"},
    {"①", "\x87\x40"},
    {"ＭＳ Ｐゴシック", "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"},
    {"パターン名の指定", "\x83\x70\x83\x5E\x81\x5B\x83\x93\x96\xBC\x82\xCC\x8E\x77\x92\xE8"},
    {"～", "\x81\x60"},
};

TEST(PlatformCodec, ConvertsBothWays) {
    for (const auto& c : kCodecCases) {
        SCOPED_TRACE(c.Utf8);
        EXPECT_EQ(Utf8ToSjis(c.Utf8), c.Sjis);
        EXPECT_EQ(SjisToUtf8(c.Sjis), c.Utf8);
    }
}

TEST(PlatformCodec, KeepsEmbeddedNulAndLongTexts) {
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(SjisToUtf8(withNul), withNul);
    std::string longText;
    for (int i = 0; i < 5000; ++i) {
        longText += "表";
    }
    EXPECT_EQ(SjisToUtf8(Utf8ToSjis(longText)), longText);
}

struct BadInput {
    std::string Bytes;
    const char* OffsetText;
};

TEST(PlatformCodec, InvalidShiftJisNamesTheOffset) {
    const BadInput cases[] = {
        {"\x81", "先頭から 0 バイト"},          // lead byte cut off at the end
        {"ab\x81\x20", "先頭から 2 バイト"},    // second byte out of range
        {"abc\xFD", "先頭から 3 バイト"},       // not a character
        {"\x82\xA0x\xFF", "先頭から 3 バイト"}, // after a double-byte character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.OffsetText);
        try {
            SjisToUtf8(c.Bytes);
            ADD_FAILURE() << "no error";
        } catch (const CodecError& error) {
            EXPECT_NE(std::string(error.what()).find(c.OffsetText), std::string::npos)
                << error.what();
        }
    }
}

TEST(PlatformCodec, RefusesCharactersTheCodePageCannotHold) {
    try {
        Utf8ToSjis("ab😀");
        FAIL() << "no error";
    } catch (const CodecError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("先頭から 2 バイト"), std::string::npos) << message;
        EXPECT_NE(message.find("😀"), std::string::npos) << message;
    }
    EXPECT_THROW(Utf8ToSjis("한글"), CodecError);
    EXPECT_THROW(Utf8ToSjis("\xC3"), CodecError);         // truncated sequence
    EXPECT_THROW(Utf8ToSjis("a\xFF"), CodecError);        // not UTF-8 at all
    EXPECT_THROW(Utf8ToSjis("\xED\xA0\x80"), CodecError); // a surrogate
}

// Characters that have look-alikes in the code page are written as those, one
// way; single bytes the code page leaves unassigned are no characters. The
// same text is thus accepted and stored alike on every platform.
TEST(PlatformCodec, LookAlikesAndUnassignedBytesAreAlikeEverywhere) {
    const CodecCase lookAlikes[] = {
        {"〜", "\x81\x60"}, {"‖", "\x81\x61"}, {"−", "\x81\x7C"},
        {"¢", "\x81\x91"},  {"£", "\x81\x92"}, {"¬", "\x81\xCA"},
        {"—", "\x81\x5C"},  {"¥", "\\"},       {"‾", "~"},
    };
    for (const auto& c : lookAlikes) {
        EXPECT_EQ(Utf8ToSjis(c.Utf8), c.Sjis) << c.Utf8;
    }
    for (const char* single : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}) {
        EXPECT_THROW(SjisToUtf8(single), CodecError) << static_cast<int>(single[0] & 0xFF);
    }
    EXPECT_EQ(SjisToUtf8("\x81\x80\x81\xA0"), "÷□");      // as trail bytes they are fine
    EXPECT_THROW(Utf8ToSjis("\xC2\x80"), CodecError);     // U+0080
    EXPECT_THROW(Utf8ToSjis("\xEF\xA3\xB0"), CodecError); // U+F8F0
}

TEST(PlatformCodec, LeadBytes) {
    for (int c = 0; c < 256; ++c) {
        const bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(IsSjisLeadByte(static_cast<unsigned char>(c)), expected) << c;
    }
}

TEST(PlatformCodec, CharacterLengthsAndBoundaries) {
    const std::string s = "a\x82\xA0"
                          "b\x95\x5C\x82"; // a, あ, b, 表, stray lead byte
    EXPECT_EQ(SjisCharLength(s, 0), 1u);
    EXPECT_EQ(SjisCharLength(s, 1), 2u);
    EXPECT_EQ(SjisCharLength(s, 3), 1u);
    EXPECT_EQ(SjisCharLength(s, 4), 2u);
    EXPECT_EQ(SjisCharLength(s, 6), 1u); // lead byte at the very end

    const std::size_t expected[] = {0, 1, 1, 3, 4, 4, 6, 7, 7};
    for (std::size_t max = 0; max < std::size(expected); ++max) {
        EXPECT_EQ(SjisBoundaryAtOrBefore(s, max), expected[max]) << max;
    }
    EXPECT_EQ(SjisBoundaryAtOrBefore(s, 1000), s.size());
    EXPECT_EQ(SjisBoundaryAtOrBefore("", 5), 0u);
}

TEST(PlatformCodec, ShiftJisLengthsAndUnstorableCharactersOfUtf8Text) {
    const struct {
        const char* Text;
        int Bytes;
        std::optional<std::string> Unstorable;
    } cases[] = {
        {"", 0, std::nullopt},
        {"abc", 3, std::nullopt},
        {"パターン", 8, std::nullopt},
        {"ｱｲﾟ", 3, std::nullopt}, // half-width katakana, first and last
        {"。ｰ", 3, std::nullopt},
        {"a\xF0\x9F\x98\x80"
         "b",
         4, "\xF0\x9F\x98\x80"},               // an emoji counts once, as two
        {"表\xED\x95\x9C", 4, "\xED\x95\x9C"}, // 한
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SjisByteLength(c.Text), c.Bytes) << c.Text;
        EXPECT_EQ(FirstUnstorableCharacter(c.Text), c.Unstorable) << c.Text;
    }
}

} // namespace
