#include "platform/commatext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmora;

namespace {

using Strings = std::vector<std::string>;

struct ReadCase {
    std::string Line;
    Strings Items;
};

const ReadCase kReadCases[] = {
    {"", {}},
    {"   \t", {}},
    {"a", {"a"}},
    {"a,b,c", {"a", "b", "c"}},
    {"  a , b\t,c  ", {"a", "b", "c"}},
    {"a b", {"a", "b"}}, // an unquoted blank ends an item
    {"a,,b", {"a", "", "b"}},
    {",a", {"", "a"}},
    {"a,", {"a", ""}}, // a final comma adds one empty item
    {"a, ", {"a"}},    // ...but only when it is the last character
    {",", {"", ""}},
    {",,", {"", "", ""}},
    {"a, ,b", {"a", "", "b"}},
    {"\"\"", {""}},
    {"\"a b\"", {"a b"}},
    {"\"a,b\",c", {"a,b", "c"}},
    {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
    {"\"\"\"\"", {"\""}},
    {"\"open", {"open"}}, // an unterminated quote runs to the end
    {"\"open\"\"", {"open\""}},
    {"\"a\"b", {"a", "b"}},
    {"\"a\"  ,  \"b\"", {"a", "b"}},
    {"a\"b", {"a\"b"}}, // a quote inside an unquoted item is kept
    {"\x01\x1F"
     "a",
     {"a"}},
    {"1,$FF,-3", {"1", "$FF", "-3"}},
};

TEST(PlatformCommaText, Reads) {
    for (const auto& c : kReadCases) {
        SCOPED_TRACE("line \"" + c.Line + "\"");
        EXPECT_EQ(ReadCommaText(c.Line), c.Items);
    }
    // The text ends at a NUL, as a line passed as a C string would.
    EXPECT_EQ(ReadCommaText(std::string("a\0,b", 4)), Strings{"a"});
}

struct WriteCase {
    Strings Items;
    std::string Line;
};

const WriteCase kWriteCases[] = {
    {{}, ""},
    {{""}, "\"\""},
    {{"", ""}, ","},
    {{"a", ""}, "a,"},
    {{"", "a"}, ",a"},
    {{"a", "b"}, "a,b"},
    {{"a b"}, "\"a b\""},
    {{" a"}, "\" a\""},
    {{"a\t"}, "\"a\t\""},
    {{"a,b"}, "\"a,b\""},
    {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
    {{"\""}, "\"\"\"\""},
    {{"$FF", "-1", "0"}, "$FF,-1,0"},
    {{"x;y=z"}, "x;y=z"},
};

TEST(PlatformCommaText, Writes) {
    for (const auto& c : kWriteCases) {
        SCOPED_TRACE("line \"" + c.Line + "\"");
        EXPECT_EQ(WriteCommaText(c.Items), c.Line);
    }
}

// Second bytes of double-byte characters cover 0x40..0xFC; none of them may be
// taken for a blank, a quote or a comma. 表 is 0x95 0x5C, ソ is 0x83 0x5C.
TEST(PlatformCommaText, StepsOverDoubleByteCharacters) {
    const std::string hyou = "\x95\x5C";
    EXPECT_EQ(WriteCommaText({hyou, "\x83\x5C"}), hyou + ",\x83\x5C");
    EXPECT_EQ(WriteCommaText({hyou + " " + hyou}), "\"" + hyou + " " + hyou + "\"");
    // A lead byte followed by bytes that would otherwise force quoting (not
    // valid text, but the scan must still treat the pair as one unit).
    EXPECT_EQ(WriteCommaText({"\x81\x22x"}), "\x81\x22x");
    EXPECT_EQ(WriteCommaText({"\x81,x"}), "\x81,x");
    EXPECT_EQ(ReadCommaText("\x81,x,y"), (Strings{"\x81,x", "y"}));
    EXPECT_EQ(ReadCommaText("\x81 x y"), (Strings{"\x81 x", "y"}));
    EXPECT_EQ(ReadCommaText("\"\x95\x5C,\""
                            ",b"),
              (Strings{"\x95\x5C,", "b"}));
}

TEST(PlatformCommaText, EveryWrittenListReadsBack) {
    const std::string hyou = "\x95\x5C";
    const std::vector<Strings> lists = {
        {},
        {""},
        {"", ""},
        {"", "", ""},
        {"a", "", ""},
        {"", "a", ""},
        {"a"},
        {"a b", "c,d", "e\"f", "\"", "\"\"", ",", " ", "\t\n"},
        {" lead", "trail ", "  "},
        {hyou, hyou + "x", "x" + hyou, hyou + "\"" + hyou},
        {"\x82"},       // stray lead byte alone
        {"a\x82", "b"}, // stray lead byte before a separator
        {"\x82", ""},
        {"a\x82 ", "b\x82\""},
        {"\x81\"", "z"},
        {"$8000000F", "-1", "1000", "0", "255"},
        {"ＭＳ Ｐゴシック", "a"},
    };
    for (const auto& items : lists) {
        const std::string line = WriteCommaText(items);
        SCOPED_TRACE("line \"" + line + "\"");
        EXPECT_EQ(ReadCommaText(line), items);
    }
}

TEST(PlatformCommaText, EveryByteAloneReadsBack) {
    for (int c = 1; c < 256; ++c) {
        const Strings items = {std::string(1, static_cast<char>(c)), "z"};
        EXPECT_EQ(ReadCommaText(WriteCommaText(items)), items) << c;
        const Strings pair = {std::string("\x88") + static_cast<char>(c), "z"};
        EXPECT_EQ(ReadCommaText(WriteCommaText(pair)), pair) << c;
    }
}

} // namespace
