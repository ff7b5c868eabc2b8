// The whole calculation on the data files that ship with the program.
#include "common/ShippedData.h"

#include "calculation/Pipeline.h"
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

// A state over the shipped data; the data must be complete.
class ShippedData : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!KernelsShipped())
            FAIL() << "the shipped scatter kernels are missing from "
                   << veltrim::testing::ShippedData / veltrim::KernelFolder;
        ASSERT_TRUE(state.LoadAttenuationTables());
    }
    TempFolder work;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, veltrim::testing::ShippedData, work.Path()};
};

TEST_F(ShippedData, DefaultConditionsGiveAWholeTableAndResultsFile) {
    ASSERT_EQ(veltrim::RunCalculation(state, {}, {}), CalculationResult::Completed)
        << state.DepthDoseFailureCause;
    EXPECT_TRUE(sink.Messages.empty());
    ASSERT_EQ(state.DepthRowCount, 60);
    const auto& result = state.DepthDoseResult;
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
    EXPECT_EQ(veltrim::testing::ReadBytes(work / "PDD_tempDATA.txt"),
              veltrim::ResultsFileBytes(state));
}

TEST_F(ShippedData, HeaviestConditionsCompute) {
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = "150";
    texts.FieldX = "40";
    texts.FieldY = "40";
    state.SelectRectification(3);
    ASSERT_EQ(veltrim::RunCalculation(state, texts, {}), CalculationResult::Completed)
        << state.DepthDoseFailureCause;
    EXPECT_EQ(state.DepthDoseResult[1][TotalPdd], 100.0);
    EXPECT_TRUE(sink.Messages.empty());
}

} // namespace
