#include "core/Conditions.h"

#include "core/NumberReading.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using veltrim::ConditionTexts;
using veltrim::IrradiationConditions;

TEST(ReadConditions, DefaultsGiveTheConditionsInTheirUnits) {
    IrradiationConditions c;
    EXPECT_FALSE(veltrim::ReadConditions(ConditionTexts{}, c));
    // The inherent filtration's 2.5 mm held as cm.
    EXPECT_EQ((std::array{c.TubeVoltage, c.TargetAngle, c.InherentFiltration, c.AlFilter,
                          c.CuFilter, c.Fsd, c.FieldX, c.FieldY}),
              (std::array{80.0, 12.0, 0.25, 0.0, 0.0, 100.0, 30.0, 30.0}));
}

TEST(ReadConditions, ClampsTubeVoltageAndHandsBackTheLimitText) {
    struct Case {
        const char* typed;
        double used;
        const char* shown; // nullptr: no clamp
    };
    const Case cases[] = {{"200", 150, "150"},   {"150", 150, nullptr}, {"150.01", 150, "150"},
                          {"29.9", 30, "30"},    {"30", 30, nullptr},   {"", 30, "30"},
                          {"abc", 30, "30"},     {"-80", 30, "30"},     {"1e400", 150, "150"},
                          {"80 kV", 80, nullptr}};
    for (const Case& k : cases) {
        ConditionTexts texts;
        texts.TubeVoltage = k.typed;
        IrradiationConditions c;
        const auto shown = veltrim::ReadConditions(texts, c);
        EXPECT_EQ(c.TubeVoltage, k.used) << k.typed;
        if (k.shown)
            EXPECT_EQ(shown.value_or("none"), k.shown) << k.typed;
        else
            EXPECT_FALSE(shown) << k.typed;
    }
}

TEST(ReadConditions, ReadsEveryFieldAfreshAndLeavesRectificationAlone) {
    IrradiationConditions c;
    c.Rectification = veltrim::RectificationMethod::SinglePhaseFullWave;
    c.FieldX = 5; // a previous calculation's
    veltrim::ReadConditions({.AlFilter = "1", .CuFilter = "0.1", .FieldX = "10", .FieldY = "20"},
                            c);
    EXPECT_EQ((std::array{c.AlFilter, c.CuFilter, c.FieldX, c.FieldY}),
              (std::array{0.1, 0.1 * 0.1, 10.0, 20.0}));
    EXPECT_EQ(c.Rectification, veltrim::RectificationMethod::SinglePhaseFullWave);
}

TEST(SpectrumInputProblem, RejectsAnglesWithoutSlopeAndNumbersTooLarge) {
    IrradiationConditions c;
    veltrim::ReadConditions(ConditionTexts{}, c);
    // At 90 degrees the tangent is huge but finite: practically no anode absorption.
    for (const double allowed : {12.0, 90.0}) {
        c.TargetAngle = allowed;
        EXPECT_FALSE(veltrim::SpectrumInputProblem(c, 3.14159)) << allowed;
    }
    for (const double refused : {0.0, 90.5, 135.0, 180.0, -12.0}) {
        c.TargetAngle = refused;
        EXPECT_TRUE(veltrim::SpectrumInputProblem(c, 3.14159)) << refused;
    }
    c.TargetAngle = 12;
    c.AlFilter = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(veltrim::SpectrumInputProblem(c, 3.14159));
}

TEST(GeometryProblem, RefusesANegativeDistanceAndLeavesZeroToTheDepthDose) {
    IrradiationConditions c;
    veltrim::ReadConditions(ConditionTexts{}, c);
    EXPECT_FALSE(veltrim::GeometryProblem(c));
    c.Fsd = 0;
    EXPECT_FALSE(veltrim::GeometryProblem(c));
    c.Fsd = -0.25;
    const auto problem = veltrim::GeometryProblem(c);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->In(veltrim::Language::English).find("-0.25 cm"), std::string::npos);
}

// The window keeps its lenient reading but names every field it did not
// read whole, with the number it used: the tube voltage as held to its
// limits, a thickness in the mm typed. Texts that are numbers say nothing.
TEST(ReadConditions, EachFieldNotReadWholeIsNamedWithTheNumberUsed) {
    EXPECT_TRUE(veltrim::MisreadFields(ConditionTexts{}).empty());
    const ConditionTexts texts{.TubeVoltage = "8O", .AlFilter = "1,5", .Fsd = "", .FieldY = " 20 "};
    const std::vector<veltrim::Message> notices = veltrim::MisreadFields(texts);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0].In(veltrim::Language::English),
              "Tube voltage \"8O\" is not wholly a number: 30 was used.");
    EXPECT_EQ(notices[1].In(veltrim::Language::English),
              "Al filter \"1,5\" is not wholly a number: 1 was used.");
    EXPECT_EQ(notices[2].In(veltrim::Language::English),
              "FSD \"\" is not wholly a number: 0 was used.");
    EXPECT_NE(notices[0].In(veltrim::Language::Japanese).find("管電圧"), std::string::npos);
}

// Defaults serve as numbers where no text is typed (Python's keywords, the
// tube output's distance): read by the table's own small reader, each must
// be the double the number reader makes of the same text, and every check
// must accept the value it starts from.
TEST(UserInputs, EachDefaultReadsAsTheNumberReaderReadsItAndIsAllowed) {
    for (const veltrim::UserInput& input : veltrim::UserInputs()) {
        if (!input.Default)
            continue;
        const std::optional<double> read = veltrim::ReadWholeNumber(input.Default);
        const std::optional<double> number = veltrim::DefaultNumber(input);
        EXPECT_EQ(number, read) << input.Keyword;
        if (number) {
            EXPECT_TRUE(input.Allows(*number)) << input.Keyword;
        }
    }
    // The reader's exactness where a short decimal has no exact double.
    constexpr veltrim::UserInput Tenth{
        .Keyword = "t", .Option = "--t", .Unit = "", .Default = "0.3"};
    EXPECT_EQ(veltrim::DefaultNumber(Tenth), veltrim::ReadWholeNumber("0.3"));
}

} // namespace
