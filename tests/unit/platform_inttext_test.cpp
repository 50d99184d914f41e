#include "platform/inttext.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

using namespace pelmora;

namespace {

struct IntCase {
    std::string Text;
    std::optional<std::int32_t> Value;
};

const IntCase kIntCases[] = {
    {"0", 0},
    {"42", 42},
    {"+42", 42},
    {"-42", -42},
    {"007", 7},
    {"  12", 12},
    {"\t\r\n 12", 12},
    {" -5", -5},
    {"2147483647", INT32_MAX},
    {"-2147483648", INT32_MIN},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"$FF", 255},
    {"xff", 255},
    {"Xff", 255},
    {"0x1F", 31},
    {"0XaB", 171},
    {"-$10", -16},
    {"+0x10", 16},
    {"$7FFFFFFF", INT32_MAX},
    {"$FFFFFFFF", -1},
    {"0x8000000F", static_cast<std::int32_t>(0x8000000Fu)},
    {"0xFF00000F", static_cast<std::int32_t>(0xFF00000Fu)},
    {"-$80000000", INT32_MIN},
    {"-$FFFFFFFF", 1},
    {"$000000000001", 1},
    {"$100000000", std::nullopt},
    {"", std::nullopt},
    {"   ", std::nullopt},
    {"+", std::nullopt},
    {"-", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"12 ", std::nullopt},
    {"1 2", std::nullopt},
    {"12a", std::nullopt},
    {"$FG", std::nullopt},
    {"--1", std::nullopt},
    {"+-1", std::nullopt},
    {"- 1", std::nullopt},
    {"1.5", std::nullopt},
    {"1e3", std::nullopt},
    {"0b101", std::nullopt},
    {"$-1", std::nullopt},
    {"０", std::nullopt}, // full-width digit
    {std::string("1\0", 2), std::nullopt},
};

TEST(PlatformIntText, ParsesTheIntegerForms) {
    for (const auto& c : kIntCases) {
        SCOPED_TRACE("text \"" + c.Text + "\"");
        EXPECT_EQ(ParseIntText(c.Text), c.Value);
        EXPECT_EQ(StrToIntDef(c.Text, 1234), c.Value.value_or(1234));
    }
}

TEST(PlatformIntText, WritesPlainDecimal) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-7), "-7");
    EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
    EXPECT_EQ(IntToStr(INT32_MAX), "2147483647");
    EXPECT_EQ(IntToStr(4294967295LL), "4294967295");
    for (const std::int32_t v : {0, 1, -1, 255, -65536, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(ParseIntText(IntToStr(v)), v);
    }
}

} // namespace
