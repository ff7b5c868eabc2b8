#pragma once

// A complete installation of made-up data files in a fresh folder, with one
// program state over it: the calculation as the window runs it.

#include "common/FailureMessages.h"
#include "common/TempFolder.h"
#include "dose/SyntheticData.h"
#include "window/Pipeline.h"
#include "window/SharedState.h"

#include <gtest/gtest.h>
#include <string>

namespace veltrim::testing {

struct Installation {
    TempFolder dir;
    RecordingSink sink;
    SharedState state{sink, dir.Path(), dir.Path()};
    // Conditions that give another table than the defaults, so that a table
    // which leaked through a failure would differ.
    ConditionTexts other;

    // The attenuation tables read, as the window reads them at its start.
    Installation() {
        WriteSyntheticData(dir.Path());
        other.TubeVoltage = "120";
        EXPECT_TRUE(state.LoadAttenuationTables());
    }

    // One press of OK with these texts; the messages of earlier calculations are dropped.
    CalculationResult Calculate(const ConditionTexts& texts = {}) {
        sink.Messages.clear();
        return RunCalculation(state, texts, {});
    }
    std::filesystem::path ResultsPath() const { return state.WorkFolder / state.ResultsFile; }
    std::string ResultsBytes() const { return ReadBytes(ResultsPath()); }
};

// An installation that has completed one calculation with the defaults:
// what a failure after it must keep.
struct CalculatedInstallation : Installation {
    DepthDoseTable table;
    int rows = 0;
    std::string resultsFile;

    // work: a folder below the installation for the results file.
    explicit CalculatedInstallation(const std::string& work = {}) {
        if (!work.empty()) {
            state.WorkFolder = dir / work;
            std::filesystem::create_directories(state.WorkFolder);
        }
        EXPECT_EQ(Calculate(), CalculationResult::Completed) << state.DepthDoseFailureCause;
        table = state.DepthDoseResult;
        rows = state.DepthRowCount;
        resultsFile = ResultsBytes();
    }

    // The table and the results file of the first calculation are still there.
    void ExpectKept() const {
        EXPECT_EQ(state.DepthDoseResult, table);
        EXPECT_EQ(state.DepthRowCount, rows);
        EXPECT_EQ(ResultsBytes(), resultsFile);
    }
};

} // namespace veltrim::testing
