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

// GNU syntax: "--name=value" beside "--name value" for every option with a
// value, the only way to pass one that begins with a dash.
TEST(CalcOptions, NameEqualsValueIsTheSameAsNameValue) {
    const veltrim::CalcOptions o = veltrim::ParseCalcOptions(
        {"--kv=80", "--al=-1", "--angle=", "--field-x=10=5", "--rectification=2", "--data=d",
         "--out=r.txt", "--inherent", "3", "--cu=0.1", "--fsd=75", "--field-y=0"});
    EXPECT_EQ(o.Texts.TubeVoltage, "80");
    EXPECT_EQ(o.Texts.AlFilter, "-1");
    EXPECT_EQ(o.Texts.TargetAngle, "");
    EXPECT_EQ(o.Texts.FieldX, "10=5");
    EXPECT_EQ(o.Texts.InherentFiltration, "3");
    EXPECT_EQ(o.Texts.CuFilter, "0.1");
    EXPECT_EQ(o.Texts.Fsd, "75");
    EXPECT_EQ(o.Texts.FieldY, "0");
    EXPECT_EQ(o.Rectification, 2);
    EXPECT_EQ(o.DataFolder, std::filesystem::path("d"));
    EXPECT_EQ(o.OutFile, std::filesystem::path("r.txt"));
    EXPECT_TRUE(veltrim::ParseCalcOptions({"-h"}).Help);
    EXPECT_TRUE(veltrim::ParseCalcOptions({"--help"}).Help);
}

TEST(CalcOptions, ScatterModelIsClassicUnlessDivergentIsAskedFor) {
    EXPECT_EQ(veltrim::ParseCalcOptions({}).Model, veltrim::ScatterModel::Classic);
    EXPECT_EQ(veltrim::ParseCalcOptions({"--scatter-model=divergent"}).Model,
              veltrim::ScatterModel::Divergent);
    EXPECT_EQ(veltrim::ParseCalcOptions({"--batch", "b.csv", "--scatter-model", "divergent"}).Model,
              veltrim::ScatterModel::Divergent);
}

TEST(CalcOptions, BadCommandLinesAreRejected) {
    for (const Args& args :
         {Args{"--kv"}, Args{"--rectification", "4"}, Args{"--frobnicate"}, Args{"--out"},
          Args{"--rectification=4"}, Args{"--precise=yes"}, Args{"--help=1"}, Args{"--frob=1"},
          Args{"-kv=80"}, Args{"--scatter-model", "parallel"}, Args{"--scatter-model"}})
        EXPECT_THROW(veltrim::ParseCalcOptions(args), std::invalid_argument) << args[0];
}

} // namespace

namespace {

TEST(CalcOptions, BatchTakesItsOwnOptionsOnly) {
    const veltrim::CalcOptions o = veltrim::ParseCalcOptions(
        {"--batch", "rows.csv", "--format=json", "--jobs", "4", "--precise", "--data", "d"});
    EXPECT_EQ(o.BatchFile, std::filesystem::path("rows.csv"));
    EXPECT_TRUE(o.BatchJson);
    EXPECT_EQ(o.Jobs, 4);
    EXPECT_TRUE(o.Precise);
    EXPECT_FALSE(veltrim::ParseCalcOptions({"--batch", "r.csv", "--format", "csv"}).BatchJson);
    EXPECT_FALSE(veltrim::ParseCalcOptions({"--batch", "r.csv"}).Jobs);

    // A condition beside the file would be ignored or applied to every row:
    // either way not what the rows say.
    for (const Args& args :
         {Args{"--batch", "r.csv", "--kv", "80"}, Args{"--rectification=2", "--batch", "r.csv"},
          Args{"--batch", "r.csv", "--field-y="}, Args{"--batch", "r.csv", "--spectrum"},
          Args{"--batch", "r.csv", "--hvl1", "3"}, Args{"--batch", "r.csv", "--out", "o"},
          Args{"--batch", "r.csv", "--jobs", "0"}, Args{"--batch", "r.csv", "--jobs", "2x"},
          Args{"--batch", "r.csv", "--jobs="}, Args{"--batch", "r.csv", "--jobs", "99999999999"},
          Args{"--batch", "r.csv", "--format", "xml"}, Args{"--jobs", "2"},
          Args{"--format", "json"}, Args{"--batch"}})
        EXPECT_THROW(veltrim::ParseCalcOptions(args), std::invalid_argument)
            << ::testing::PrintToString(args);
}

} // namespace
