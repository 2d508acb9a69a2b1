#include <gtest/gtest.h>

#include "device/number_text.h"

using namespace plx::device;

TEST(NumberText, ShortestFormWithUserSeparator) {
    EXPECT_EQ(format_number(22.5, '.'), "22.5");
    EXPECT_EQ(format_number(22.0, ','), "22");
    EXPECT_EQ(format_number(-0.5, ','), "-0,5");
    EXPECT_EQ(format_number(21.5 + 0.1, '.'), "21.6");
    EXPECT_EQ(format_number(-0.0, '.'), "0");
    EXPECT_EQ(format_number(-3276.8, '.'), "-3276.8");
}

TEST(NumberText, ParsesOnlyWholeNumbers) {
    EXPECT_EQ(parse_number("1,5", ','), 1.5);
    EXPECT_EQ(parse_number("-12,5", ','), -12.5);
    EXPECT_EQ(parse_number(" 7 ", '.'), 7.0);
    EXPECT_FALSE(parse_number("", ','));
    EXPECT_FALSE(parse_number("-", ','));
    EXPECT_FALSE(parse_number(",", ','));
    EXPECT_FALSE(parse_number("1.5", ','));
    EXPECT_FALSE(parse_number("1,5,", ','));
    EXPECT_FALSE(parse_number("12a", '.'));
}

TEST(NumberText, LeadingNumberReadsWithPoint) {
    EXPECT_EQ(leading_number("07"), 7.0);
    EXPECT_EQ(leading_number("22"), 22.0);
    EXPECT_EQ(leading_number("1.5x"), 1.5);
    EXPECT_EQ(leading_number("abc"), 0.0);
    EXPECT_EQ(leading_number(""), 0.0);
}

TEST(NumberText, SeparatorDefaultsToComma) {
    EXPECT_EQ(separator_of(""), ',');
    EXPECT_EQ(separator_of(".x"), '.');
}
