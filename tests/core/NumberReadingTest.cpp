#include "core/NumberReading.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <span>
#include <utility>

namespace {

using veltrim::ReadNumber;

using Read = std::pair<const char*, double>;

void ExpectReads(std::span<const Read> cases) {
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ReadNumber(text), value) << '"' << text << '"';
}
void ExpectReads(std::initializer_list<Read> cases) {
    ExpectReads(std::span(cases));
}

TEST(NumberReading, StopsAtFirstCharacterThatDoesNotFit) {
    // The comma is no decimal separator.
    const Read reads[] = {{"80 kV", 80}, {"1,5", 1}, {"2.5.3", 2.5}, {"12-3", 12},
                          {"7e", 7},     {"7e+", 7}, {"7ex", 7}};
    ExpectReads(reads);
}

TEST(NumberReading, TextWithoutLeadingNumberGivesZero) {
    for (const char* text : {"", "abc", "kV 80", "-", "+", ".", "-.", "E5", "&", "&X12"})
        EXPECT_EQ(ReadNumber(text), 0.0) << '"' << text << '"';
}

TEST(NumberReading, BlanksTabsAndLineFeedsAreIgnoredAnywhere) {
    ExpectReads({{" 1 2 . 5 ", 12.5}, {"\t- 3\n.25", -3.25}, {"1 e 2", 100}, {"& H 1F", 31}});
}

TEST(NumberReading, SignsPeriodsAndExponents) {
    // 0.1 correctly rounded, like the compiler's literal.
    const Read reads[] = {{"-12", -12},       {"+12", 12},   {".5", 0.5},
                          {"5.", 5},          {"-.5", -0.5}, {"1.5E3", 1500},
                          {"1.5e-3", 0.0015}, {"2E+2", 200}, {"0.1", 0.1}};
    ExpectReads(reads);
    EXPECT_EQ(ReadNumber("2.5") * 0.1, 0.25);
}

TEST(NumberReading, HexadecimalAndOctalPrefixes) {
    // 8 is no octal digit.
    ExpectReads({{"&H1F", 31}, {"&hff", 255}, {"&O17", 15}, {"&O18", 1}, {"&HG", 0}});
    // Beyond 2^53 the integer is rounded once to nearest, not digit by digit
    // (which lands one step low here), and past the largest double it is infinite.
    ExpectReads({{"&H2000000000000180", 0x1.0000000000001p61},
                 {"&O12505744475577372124", 191612208897979488.0},
                 {"&H0000000000000000000000001", 1}});
    EXPECT_TRUE(std::isinf(ReadNumber("&H1" + std::string(256, '0'))));
}

TEST(NumberReading, ExtremeExponentsGiveInfinityOrZeroButNeverFail) {
    EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
    EXPECT_TRUE(std::isinf(ReadNumber("-1e99999999999")));
    EXPECT_LT(ReadNumber("-1e400"), 0.0);
    ExpectReads({{"1e-400", 0},
                 {"0e400", 0},
                 {"123456789012345678901234567890", 123456789012345678901234567890.0}});
}

// A value below the smallest double underflows to 0 however its digits are
// written: zeros after the period count against a positive exponent. The
// order of magnitude decides, not the digits before the period alone.
TEST(NumberReading, UnderflowReadsZeroWhateverTheExponentsSign) {
    const std::string zeros330(330, '0');
    const std::pair<std::string, double> cases[] = {{"0." + zeros330 + "1e1", 0.0}, // about 1e-330
                                                    {"0." + zeros330 + "1e5", 0.0}, // about 1e-326
                                                    {"-0." + zeros330 + "1e1", -0.0},
                                                    {"0." + zeros330 + "1e330", 0.1},
                                                    {"000." + zeros330 + "1e331", 1.0}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ReadNumber(text), value) << text.size() << " characters";
    EXPECT_GT(ReadNumber("0." + std::string(400, '0') + "5e80"), 0.0)
        << "a denormal is no underflow";
    // And overflow stays overflow, leading zeros or not.
    EXPECT_TRUE(std::isinf(ReadNumber("0." + zeros330 + "1e700")));
    EXPECT_TRUE(std::isinf(ReadNumber("000000000000000" + std::string("1e309"))));
    // An exponent too long to hold, against as many zeros.
    EXPECT_EQ(ReadNumber("0." + std::string(200000, '0') + "1e150000"), 0.0);
    EXPECT_TRUE(std::isinf(ReadNumber("0." + std::string(200000, '0') + "1e300000")));
}

// The reading of every field that is not the main window's: a text is one
// number as a whole, blanks around it aside, or it is none. A subnormal is
// a number, an overflow is not.
TEST(WholeNumberReading, ATextIsANumberAsAWholeOrNone) {
    const Read numbers[] = {{" 80", 80},        {"80\t", 80},     {"-.5", -0.5},    {"+12", 12},
                            {"5.", 5},          {"1E3", 1000},    {"2.5e-1", 0.25}, {"0.1", 0.1},
                            {"1e-310", 1e-310}, {"-1e-400", -0.0}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(veltrim::ReadWholeNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(veltrim::ReadWholeNumber("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_TRUE(std::signbit(*veltrim::ReadWholeNumber("-1e-400")));
    for (const char* text : {"8O", "5O", "2,5", "1,5e3", "0x10", "&H10", "", " ", "1e", "1e+", ".",
                             "-", "8 0", "1..2", "1e400", "inf", "nan", "80 kV", "1e5.5"})
        EXPECT_FALSE(veltrim::ReadWholeNumber(text)) << '"' << text << '"';
}

// A refused value is shown with the digits that make it differ from the
// limit it passed.
TEST(WholeNumberReading, ExactTextsShowEveryDigitThatCounts) {
    EXPECT_EQ(veltrim::ExactNumberText(10000.0000001), "10000.0000001");
    EXPECT_EQ(veltrim::ExactNumberText(10000), "10000");
    EXPECT_EQ(veltrim::ExactNumberText(0.1), "0.1");
}

} // namespace
