#include "app/NumberReading.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using veltrim::ReadNumber;

TEST(NumberReading, StopsAtFirstCharacterThatDoesNotFit) {
    EXPECT_EQ(ReadNumber("80 kV"), 80.0);
    EXPECT_EQ(ReadNumber("1,5"), 1.0); // the comma is no decimal separator
    EXPECT_EQ(ReadNumber("2.5.3"), 2.5);
    EXPECT_EQ(ReadNumber("12-3"), 12.0);
    EXPECT_EQ(ReadNumber("7e"), 7.0);
    EXPECT_EQ(ReadNumber("7e+"), 7.0);
    EXPECT_EQ(ReadNumber("7ex"), 7.0);
}

TEST(NumberReading, TextWithoutLeadingNumberGivesZero) {
    EXPECT_EQ(ReadNumber(""), 0.0);
    EXPECT_EQ(ReadNumber("abc"), 0.0);
    EXPECT_EQ(ReadNumber("kV 80"), 0.0);
    EXPECT_EQ(ReadNumber("-"), 0.0);
    EXPECT_EQ(ReadNumber("+"), 0.0);
    EXPECT_EQ(ReadNumber("."), 0.0);
    EXPECT_EQ(ReadNumber("-."), 0.0);
    EXPECT_EQ(ReadNumber("E5"), 0.0);
    EXPECT_EQ(ReadNumber("&"), 0.0);
    EXPECT_EQ(ReadNumber("&X12"), 0.0);
}

TEST(NumberReading, BlanksTabsAndLineFeedsAreIgnoredAnywhere) {
    EXPECT_EQ(ReadNumber(" 1 2 . 5 "), 12.5);
    EXPECT_EQ(ReadNumber("\t- 3\n.25"), -3.25);
    EXPECT_EQ(ReadNumber("1 e 2"), 100.0);
    EXPECT_EQ(ReadNumber("& H 1F"), 31.0);
}

TEST(NumberReading, SignsPeriodsAndExponents) {
    EXPECT_EQ(ReadNumber("-12"), -12.0);
    EXPECT_EQ(ReadNumber("+12"), 12.0);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("5."), 5.0);
    EXPECT_EQ(ReadNumber("-.5"), -0.5);
    EXPECT_EQ(ReadNumber("1.5E3"), 1500.0);
    EXPECT_EQ(ReadNumber("1.5e-3"), 0.0015);
    EXPECT_EQ(ReadNumber("2E+2"), 200.0);
    EXPECT_EQ(ReadNumber("0.1"), 0.1); // correctly rounded, like the compiler's literal
    EXPECT_EQ(ReadNumber("2.5") * 0.1, 0.25);
}

TEST(NumberReading, HexadecimalAndOctalPrefixes) {
    EXPECT_EQ(ReadNumber("&H1F"), 31.0);
    EXPECT_EQ(ReadNumber("&hff"), 255.0);
    EXPECT_EQ(ReadNumber("&O17"), 15.0);
    EXPECT_EQ(ReadNumber("&O18"), 1.0); // 8 is no octal digit
    EXPECT_EQ(ReadNumber("&HG"), 0.0);
}

TEST(NumberReading, ExtremeExponentsGiveInfinityOrZeroButNeverFail) {
    EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
    EXPECT_TRUE(std::isinf(ReadNumber("-1e99999999999")));
    EXPECT_LT(ReadNumber("-1e400"), 0.0);
    EXPECT_EQ(ReadNumber("1e-400"), 0.0);
    EXPECT_EQ(ReadNumber("0e400"), 0.0);
    EXPECT_EQ(ReadNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
}

} // namespace
