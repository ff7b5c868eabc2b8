#include "window/Pipeline.h"

#include "common/Installation.h"
#include "dose/DepthDose.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using veltrim::CalculationResult;
namespace fs = std::filesystem;

// The installation's state, recording what the pipeline asks of the window.
struct PipelineFixture : veltrim::testing::Installation {
    std::vector<std::string> events;
    veltrim::PipelineHooks hooks;

    PipelineFixture() {
        hooks.ShowClampText = [this](const std::string& text) {
            events.push_back("clamp " + text);
        };
        hooks.Yield = [this] {
            events.push_back("yield: spectrum " + std::to_string(state.Spectrum[100] > 0) +
                             ", tissue " + std::to_string(state.TissueTablesLoaded));
        };
    }
    CalculationResult Run(const veltrim::ConditionTexts& texts = {}) {
        return veltrim::RunCalculation(state, texts, hooks);
    }
    bool ResultsFileExists() const { return fs::exists(ResultsPath()); }
};

TEST(Pipeline, ClampIsShownFirstAndTheWindowGetsThreeYields) {
    PipelineFixture f;
    veltrim::ConditionTexts texts;
    texts.TubeVoltage = "200";
    EXPECT_EQ(f.Run(texts), CalculationResult::Completed);
    const std::vector<std::string> expected = {"clamp 150", "yield: spectrum 0, tissue 0",
                                               "yield: spectrum 1, tissue 0",
                                               "yield: spectrum 1, tissue 1"};
    EXPECT_EQ(f.events, expected);
    EXPECT_TRUE(f.sink.Messages.empty());
    EXPECT_EQ(f.state.Conditions.TubeVoltage, 150.0);
    EXPECT_EQ(f.state.DepthDoseResult[1][veltrim::TotalPdd], 100.0);
    EXPECT_TRUE(f.ResultsFileExists());
}

// A second OK that arrives during a yield must not start a calculation inside
// the running one, whose tables would change under it.
TEST(Pipeline, OkDuringAYieldStartsNothing) {
    PipelineFixture plain;
    ASSERT_EQ(plain.Run(), CalculationResult::Completed);

    PipelineFixture f;
    std::vector<CalculationResult> nested;
    f.hooks.Yield = [&] { nested.push_back(veltrim::RunCalculation(f.state, {}, {})); };
    EXPECT_EQ(f.Run(), CalculationResult::Completed);
    EXPECT_EQ(nested, std::vector<CalculationResult>(3, CalculationResult::Stopped));
    EXPECT_EQ(f.state.DepthDoseResult, plain.state.DepthDoseResult);
    EXPECT_TRUE(f.sink.Messages.empty());
}

// WriteResultsFile writes the file of the state's last calculation, whatever
// has been typed or chosen since.
TEST(Pipeline, TheResultsFileIsTheLastCalculationsWhateverWasChosenSince) {
    PipelineFixture f;
    ASSERT_EQ(f.Run(), CalculationResult::Completed);
    const std::string written = f.ResultsBytes();
    f.state.ReadConditions(f.other);
    f.state.Model = veltrim::ScatterModel::Divergent;
    fs::remove(f.ResultsPath());
    ASSERT_TRUE(f.state.WriteResultsFile());
    EXPECT_EQ(f.ResultsBytes(), written);
}

// Each failure stops the calculation where it arises (the spectrum and the
// tissue tables before the window plots, the depth dose after), with one
// message in the edition's language: file names and the fixed first line of
// the depth-dose failure aside. The spectrum's and the depth dose's refusals
// are each listed by their own tests; here a few of each stage.
TEST(Pipeline, EachFailureStopsWhereItArisesAndIsToldInTheEditionsLanguage) {
    const auto japanese = [](const std::string& text) {
        return text.find("\xE3") != std::string::npos; // kana and the CJK punctuation
    };
    const auto stopped = CalculationResult::Stopped, failed = CalculationResult::DepthDoseFailed;
    struct Case {
        const char* name;
        veltrim::ConditionTexts texts;
        std::function<void(PipelineFixture&)> spoil;
        CalculationResult result;
        std::size_t yields; // before it stopped
    };
    veltrim::ConditionTexts angle0, angleTiny, fsd0, fsdNegative;
    angle0.TargetAngle = "0";
    angleTiny.TargetAngle = "1e-200";
    fsd0.Fsd = "0";
    fsdNegative.Fsd = "-5";
    const auto noTissue = [](PipelineFixture& f) { fs::remove(f.dir / "ICRUSoft.dat"); };
    const auto shortKernel = [](PipelineFixture& f) {
        veltrim::testing::WriteFile(f.dir / "PDS-data" / "40.dat", "1 2");
    };
    const Case cases[] = {
        {"angle 0", angle0, {}, stopped, 1},
        {"vanishing angle", angleTiny, {}, stopped, 1},
        {"negative FSD", fsdNegative, {}, stopped, 1},
        {"tissue file missing", {}, noTissue, stopped, 2},
        {"FSD 0", fsd0, {}, failed, 3},
        {"kernel short", {}, shortKernel, failed, 3},
    };
    for (const Case& c : cases) {
        for (const veltrim::Language edition :
             {veltrim::Language::English, veltrim::Language::Japanese}) {
            SCOPED_TRACE(std::string(c.name) +
                         (edition == veltrim::Language::English ? " (English)" : " (Japanese)"));
            PipelineFixture f;
            f.state.Edition = edition;
            if (c.spoil)
                c.spoil(f);
            EXPECT_EQ(f.Run(c.texts), c.result);
            EXPECT_EQ(f.events.size(), c.yields);
            EXPECT_FALSE(f.ResultsFileExists());
            // Nothing of a spectrum it could not complete is kept.
            EXPECT_TRUE(c.yields > 1 || f.state.Spectrum == veltrim::EnergyTable{});
            ASSERT_EQ(f.sink.Messages.size(), 1u);
            std::string told = f.sink.Messages[0];
            EXPECT_EQ(veltrim::testing::IsDepthDoseFailure(told), c.result == failed) << told;
            if (c.result == failed)
                told = told.substr(told.find('\n') + 1);
            EXPECT_EQ(japanese(told), edition == veltrim::Language::Japanese) << told;
        }
    }
}

} // namespace
