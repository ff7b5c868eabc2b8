#include "readout/NumberPattern.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

namespace {

using veltrim::FormatNumber;

TEST(FormatNumber, DepthPatternShowsOneDecimalAndAtLeastOneDigitBeforeThePoint) {
    // 0.0 to 30.0 in the readouts: the whole session.
    EXPECT_EQ(FormatNumber(0.04, "##0.0"), "0.0");
    // Three places are a width, not a limit, and there is no grouping.
    EXPECT_EQ(FormatNumber(123456.0, "##0.0"), "123456.0");
    EXPECT_EQ(FormatNumber(1e20, "##0.0"), "100000000000000000000.0");
    EXPECT_EQ(FormatNumber(7.0, "000.0"), "007.0");
    EXPECT_EQ(FormatNumber(0.5, "#.00"), ".50");
}

TEST(FormatNumber, PercentPatternsShowTheFractionTimesHundredWithAndWithoutBlank) {
    EXPECT_EQ(FormatNumber(0.4568, "##0.00 %"), "45.68 %");
    EXPECT_EQ(FormatNumber(0.0005, "##0.00 %"), "0.05 %");
    EXPECT_EQ(FormatNumber(0.0000049, "##0.00%"), "0.00%");
    EXPECT_EQ(FormatNumber(12.5, "##0.00%"), "1250.00%");
}

TEST(FormatNumber, TiesRoundHalfAwayFromZeroOnTheDecimalTheValueReadsAs) {
    // 0.25 is a tie in binary too; 0.35 and 9.95 lie just below theirs in
    // binary but read as ties, and round up all the same.
    EXPECT_EQ(FormatNumber(0.25, "##0.0"), "0.3");
    EXPECT_EQ(FormatNumber(0.35, "##0.0"), "0.4");
    EXPECT_EQ(FormatNumber(-0.25, "##0.0"), "-0.3");
    EXPECT_EQ(FormatNumber(0.249999, "##0.0"), "0.2");
    // A carry runs through every digit into a new one.
    EXPECT_EQ(FormatNumber(9.95, "##0.0"), "10.0");
    EXPECT_EQ(FormatNumber(99.995 / 100.0, "##0.00%"), "100.00%");
    // The factor 100 shifts the decimal: 0.45675 is a tie at the second place.
    EXPECT_EQ(FormatNumber(45.675 / 100.0, "##0.00 %"), "45.68 %");
    EXPECT_EQ(FormatNumber(0.12345, "##0.00%"), "12.35%");
}

TEST(FormatNumber, NegativeValuesKeepTheirSignUnlessTheyRoundToZero) {
    EXPECT_EQ(FormatNumber(-1.26, "##0.0"), "-1.3");
    EXPECT_EQ(FormatNumber(-0.01, "##0.0"), "0.0");
    EXPECT_EQ(FormatNumber(-0.0, "##0.00 %"), "0.00 %");
    EXPECT_EQ(FormatNumber(-0.5, "##0.00%"), "-50.00%");
    EXPECT_EQ(FormatNumber(1e-300, "##0.00 %"), "0.00 %");
}

TEST(FormatNumber, ValuesWithoutDigitsAreNamed) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), "##0.00 %"), "NaN %");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), "##0.0"), "Infinity");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), "##0.00%"), "-Infinity%");
}

TEST(FormatNumber, RejectsPatternsOutsideItsForm) {
    for (const char* pattern : {"", "%0.0", "0#.0", "0.0 0", "x0.0"})
        EXPECT_THROW(FormatNumber(1.0, pattern), std::invalid_argument) << pattern;
}

} // namespace
