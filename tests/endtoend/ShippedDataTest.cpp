// The whole calculation on the data files that ship with the program.
#include "calculation/Pipeline.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using veltrim::CalculationResult;
using veltrim::TotalPdd;
using veltrim::testing::TempFolder;
namespace fs = std::filesystem;

using veltrim::testing::KernelsShipped;
using veltrim::testing::ShippedData;

struct ShippedFixture {
    TempFolder work;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, ShippedData, work.Path()};
};

TEST(ShippedData, DefaultConditionsGiveAWholeTableAndResultsFile) {
    if (!KernelsShipped())
        FAIL() << "the shipped scatter kernels are missing from " << ShippedData / veltrim::KernelFolder;
    ShippedFixture f;
    ASSERT_TRUE(f.state.LoadAttenuationTables());
    ASSERT_EQ(veltrim::RunCalculation(f.state, {}, {}), CalculationResult::Completed)
        << f.state.DepthDoseFailureCause;
    EXPECT_TRUE(f.sink.Messages.empty());
    ASSERT_EQ(f.state.DepthRowCount, 60);
    const auto& result = f.state.DepthDoseResult;
    EXPECT_EQ(result[1][TotalPdd], 100.0);
    for (int d = 1; d <= 60; ++d)
        for (int column = 1; column <= 3; ++column) {
            EXPECT_TRUE(std::isfinite(result[d][column]));
            EXPECT_GT(result[d][column], 0.0) << "row " << d << ", column " << column;
        }
    // An 80-kV beam loses most of its dose within the 30 cm of tissue.
    EXPECT_LT(result[60][TotalPdd], 5.0);
    EXPECT_LT(result[60][TotalPdd], result[20][TotalPdd]);

    // The layout itself is the results-file test's, byte for byte.
    EXPECT_EQ(veltrim::testing::ReadBytes(f.work / "PDD_tempDATA.txt"),
              veltrim::ResultsFileBytes(f.state));
}

TEST(ShippedData, HeaviestConditionsCompute) {
    if (!KernelsShipped())
        FAIL() << "the shipped scatter kernels are missing from " << ShippedData / veltrim::KernelFolder;
    ShippedFixture f;
    ASSERT_TRUE(f.state.LoadAttenuationTables());
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = "150";
    texts.FieldX = "40";
    texts.FieldY = "40";
    f.state.SelectRectification(3);
    ASSERT_EQ(veltrim::RunCalculation(f.state, texts, {}), CalculationResult::Completed)
        << f.state.DepthDoseFailureCause;
    EXPECT_EQ(f.state.DepthDoseResult[1][TotalPdd], 100.0);
    EXPECT_TRUE(f.sink.Messages.empty());
}

} // namespace
