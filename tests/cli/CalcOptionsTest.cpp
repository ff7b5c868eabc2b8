#include "cli/CalcOptions.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CalcOptions, ConditionsAndOutputOptionsAreTakenAsTyped) {
    const veltrim::CalcOptions o =
        veltrim::ParseCalcOptions({"--kv", "120 kV", "--field-y", "0", "--rectification", "3",
                                   "--precise", "--out", "r.csv"});
    EXPECT_EQ(o.Texts.TubeVoltage, "120 kV");
    EXPECT_EQ(o.Texts.FieldY, "0");
    EXPECT_EQ(o.Texts.FieldX, "30");
    EXPECT_EQ(o.Rectification, 3);
    EXPECT_TRUE(o.Precise);
    EXPECT_EQ(o.OutFile, std::filesystem::path("r.csv"));
    EXPECT_FALSE(o.DataFolder.has_value());
}

TEST(CalcOptions, BadCommandLinesAreRejected) {
    for (const Args& args :
         {Args{"--kv"}, Args{"--rectification", "4"}, Args{"--frobnicate"}, Args{"--out"}})
        EXPECT_THROW(veltrim::ParseCalcOptions(args), std::invalid_argument) << args[0];
}

} // namespace
