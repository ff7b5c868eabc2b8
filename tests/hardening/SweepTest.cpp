// The whole calculation over the shipped data for extreme conditions that the
// window accepts: every outcome is either a whole finite table whose first
// layer totals 100 %, or a reported failure that keeps the previous table and
// results file. Skipped until the scatter kernels are in data/PDS-data.
#include "calculation/Pipeline.h"
#include "common/FailureMessages.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::testing;

// The sweeps run over the shipped data, and say so when the kernels are missing.
class ConditionSweep : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!KernelsShipped())
            FAIL() << "the shipped scatter kernels are missing from " << ShippedData / KernelFolder;
    }
};

struct Case {
    ConditionTexts texts;
    int rectification = 1;
    std::optional<CalculationResult> expected; // when only one outcome is right
};

std::string Describe(const Case& c) {
    const ConditionTexts& t = c.texts;
    std::ostringstream out;
    out << t.TubeVoltage << " kV, method " << c.rectification << ", angle " << t.TargetAngle
        << ", filters " << t.InherentFiltration << "/" << t.AlFilter << "/" << t.CuFilter
        << " mm, FSD " << t.Fsd << ", field " << t.FieldX << " x " << t.FieldY;
    return out.str();
}

// One user at one window pressing OK for every case in turn.
class Sweep {
  public:
    Sweep() : state_(sink_, ShippedData, work_.Path()) {
        EXPECT_TRUE(state_.LoadAttenuationTables());
    }

    void Run(const Case& c) {
        SCOPED_TRACE(Describe(c));
        const DepthDoseTable before = state_.DepthDoseResult;
        const int rowsBefore = state_.DepthRowCount;
        const std::string fileBefore = ReadBytes(work_ / "PDD_tempDATA.txt");
        sink_.Messages.clear();
        state_.SelectRectification(c.rectification);
        const CalculationResult result = RunCalculation(state_, c.texts, {});
        ++runs_;
        if (c.expected) {
            EXPECT_EQ(result, *c.expected) << state_.DepthDoseFailureCause;
        }

        if (result != CalculationResult::Completed) {
            ++failures_;
            ASSERT_EQ(sink_.Messages.size(), 1u);
            if (result == CalculationResult::DepthDoseFailed) {
                EXPECT_TRUE(IsDepthDoseFailure(sink_.Messages[0])) << sink_.Messages[0];
            }
            EXPECT_EQ(state_.DepthDoseResult, before);
            EXPECT_EQ(state_.DepthRowCount, rowsBefore);
            EXPECT_EQ(ReadBytes(work_ / "PDD_tempDATA.txt"), fileBefore);
            return;
        }
        EXPECT_TRUE(sink_.Messages.empty());
        double spectrumSum = 0;
        for (const double s : state_.Spectrum) {
            ASSERT_TRUE(std::isfinite(s) && s >= 0);
            spectrumSum += s;
        }
        EXPECT_NEAR(spectrumSum, 1.0, 1e-6);
        ASSERT_EQ(state_.DepthRowCount, 60);
        EXPECT_EQ(state_.DepthDoseResult[1][TotalPdd], 100.0);
        for (int d = 1; d <= 60; ++d) {
            const auto& row = state_.DepthDoseResult[d];
            ASSERT_TRUE(std::isfinite(row[PrimaryPdd]) && std::isfinite(row[ScatterPdd]) &&
                        std::isfinite(row[TotalPdd]))
                << "row " << d;
            EXPECT_NEAR(row[PrimaryPdd] + row[ScatterPdd], row[TotalPdd],
                        1e-12 * std::max(100.0, std::fabs(row[TotalPdd])))
                << "row " << d;
        }
        EXPECT_EQ(ReadBytes(work_ / "PDD_tempDATA.txt"), ResultsFileBytes(state_));
    }

    int Runs() const { return runs_; }
    int Failures() const { return failures_; }

  private:
    TempFolder work_;
    RecordingSink sink_;
    SharedState state_;
    int runs_ = 0;
    int failures_ = 0;
};

ConditionTexts Texts(const char* kv) {
    ConditionTexts t;
    t.TubeVoltage = kv;
    return t;
}

TEST_F(ConditionSweep, ExtremeAcceptedConditionsGiveAWholeTableOrAReportedFailure) {
    const auto done = CalculationResult::Completed;
    const auto depthDoseFails = CalculationResult::DepthDoseFailed;
    const auto stops = CalculationResult::Stopped;
    const std::nullopt_t either = std::nullopt;

    using Field = std::string ConditionTexts::*;
    const Field angle = &ConditionTexts::TargetAngle, distance = &ConditionTexts::Fsd;
    const Field inherent = &ConditionTexts::InherentFiltration, cu = &ConditionTexts::CuFilter;
    std::vector<Case> cases;
    for (const char* kv : {"30", "150"})
        for (int method = 1; method <= 3; ++method) {
            // Each of the values in the field, the other fields as they are by default.
            const auto add = [&](Field field, std::initializer_list<const char*> values,
                                 std::optional<CalculationResult> expected) {
                for (const char* value : values) {
                    cases.push_back({Texts(kv), method, expected});
                    cases.back().texts.*field = value;
                }
            };
            add(&ConditionTexts::TubeVoltage, {kv}, done);

            // Target angles from the degenerate 0 to 180 degrees. Beyond 90
            // degrees, or below 0, the anode would amplify the beam.
            add(angle, {"1", "5", "45", "90"}, either);
            add(angle, {"0", "90.5", "135", "180", "-12"}, stops);

            // Filters from none to 100 mm, and negative ones.
            add(inherent, {"0"}, done);
            for (const Field filter : {inherent, &ConditionTexts::AlFilter, cu})
                add(filter, {"100", "-1", "-100", "-1e6"}, either);
            add(cu, {"0.1"}, done);

            // FSD from 1 to 1000 cm, and 0. A negative FSD would give a
            // plausible-looking table for a field shrinking with depth:
            // refused before the calculation.
            add(distance, {"0"}, depthDoseFails);
            add(distance, {"1000"}, done);
            add(distance, {"1", "10"}, either);
            add(distance, {"-0.25", "-100"}, stops);

            // Fields from 0 to 200 cm, rectangles and circles.
            const struct {
                const char* x;
                const char* y;
                std::optional<CalculationResult> expected;
            } fields[] = {{"0", "0", done},
                          {"10", "0", done},
                          {"0", "10", depthDoseFails},
                          {"1", "1", done},
                          {"0.001", "0.001", done},
                          {"200", "1", depthDoseFails},
                          {"200", "0", depthDoseFails},
                          {"200", "200", depthDoseFails},
                          {"40", "40", either},
                          {"-5", "5", depthDoseFails},
                          {"1e300", "1e300", depthDoseFails}};
            for (const auto& field : fields) {
                add(&ConditionTexts::FieldX, {field.x}, field.expected);
                cases.back().texts.FieldY = field.y;
            }
        }

    // Short and long FSDs against small and large fields, at one voltage.
    for (const char* fsd : {"1", "5", "50", "1000"})
        for (const char* side : {"0", "1", "10", "30", "60"})
            for (const char* other : {"0", "5"}) {
                Case c{Texts("80"), 1, std::nullopt};
                c.texts.Fsd = fsd;
                c.texts.FieldX = side;
                c.texts.FieldY = other;
                cases.push_back(c);
            }

    Sweep sweep;
    for (const Case& c : cases)
        sweep.Run(c);
    RecordProperty("runs", sweep.Runs());
    RecordProperty("failures", sweep.Failures());
    // Neither side of the sweep may be empty, or it would prove nothing.
    EXPECT_GT(sweep.Failures(), 40);
    EXPECT_LT(sweep.Failures(), sweep.Runs() - 60);
}

} // namespace
