#include "calculation/Pipeline.h"

#include "common/FailureMessages.h"
#include "common/TempFolder.h"
#include "dose/DepthDose.h"
#include "dose/SyntheticData.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using veltrim::CalculationResult;
using veltrim::testing::TempFolder;
namespace fs = std::filesystem;

// A program state over made-up data files, recording what the pipeline
// asks of the window.
struct PipelineFixture {
    TempFolder dir;
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink, dir.Path(), dir.Path()};
    std::vector<std::string> events;
    veltrim::PipelineHooks hooks;

    PipelineFixture() {
        veltrim::testing::WriteSyntheticData(dir.Path());
        EXPECT_TRUE(state.LoadAttenuationTables());
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
    bool ResultsFileExists() const { return fs::exists(dir / "PDD_tempDATA.txt"); }
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

TEST(Pipeline, BrokenTissueFileStopsWithAMessageNamingIt) {
    PipelineFixture f;
    fs::remove(f.dir / "ICRUSoft.dat");
    EXPECT_EQ(f.Run(), CalculationResult::Stopped);
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_NE(f.sink.Messages[0].find("ICRUSoft.dat"), std::string::npos);
    EXPECT_EQ(f.events.size(), 2u); // no yield after a stop
    EXPECT_FALSE(f.ResultsFileExists());
}

TEST(Pipeline, SpectrumFailureStops) {
    PipelineFixture f;
    veltrim::ConditionTexts texts;
    texts.TargetAngle = "0";
    EXPECT_EQ(f.Run(texts), CalculationResult::Stopped);
    EXPECT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_EQ(f.events.size(), 1u);
}

TEST(Pipeline, DepthDoseFailureShowsItsMessageAndTheWindowCarriesOn) {
    PipelineFixture f;
    fs::remove(f.dir / "PDS-data" / "10.dat");
    EXPECT_EQ(f.Run(), CalculationResult::DepthDoseFailed);
    EXPECT_TRUE(veltrim::testing::IsOneDepthDoseFailure(f.sink.Messages));
    EXPECT_NE(f.state.DepthDoseFailureCause.find("10.dat"), std::string::npos);
    EXPECT_EQ(f.events.size(), 3u);
    EXPECT_FALSE(f.ResultsFileExists());
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

// Every failure of a calculation is told in the edition's language: the
// Japanese edition in Japanese, the English one in English (file names and
// the fixed first line of the depth-dose failure aside).
TEST(Pipeline, FailuresAreToldInTheEditionsLanguage) {
    const auto japanese = [](const std::string& text) {
        return text.find("\xE3") != std::string::npos; // kana and the CJK punctuation
    };
    struct Case {
        const char* name;
        veltrim::ConditionTexts texts;
        std::function<void(PipelineFixture&)> spoil;
    };
    veltrim::ConditionTexts angle0, angleTiny, thick, fsd0, fsdNegative, zeroSide;
    angle0.TargetAngle = "0";
    angleTiny.TargetAngle = "1e-200";
    thick.CuFilter = "1e6";
    fsd0.Fsd = "0";
    fsdNegative.Fsd = "-5";
    zeroSide.FieldX = "0";
    zeroSide.FieldY = "10";
    const Case cases[] = {
        {"angle 0", angle0, {}},
        {"vanishing angle", angleTiny, {}},
        {"filters absorb everything", thick, {}},
        {"FSD 0", fsd0, {}},
        {"negative FSD", fsdNegative, {}},
        {"0 x 10 field", zeroSide, {}},
        {"tissue file missing", {}, [](PipelineFixture& f) { fs::remove(f.dir / "ICRUSoft.dat"); }},
        {"kernel short",
         {},
         [](PipelineFixture& f) {
             veltrim::testing::WriteFile(f.dir / "PDS-data" / "40.dat", "1 2");
         }},
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
            EXPECT_NE(f.Run(c.texts), CalculationResult::Completed);
            ASSERT_EQ(f.sink.Messages.size(), 1u);
            std::string told = f.sink.Messages[0];
            if (veltrim::testing::IsDepthDoseFailure(told))
                told = told.substr(told.find('\n') + 1);
            EXPECT_EQ(japanese(told), edition == veltrim::Language::Japanese) << told;
        }
    }
}

TEST(SelectRectification, StoresTheMethodAndIgnoresUnknownNumbers) {
    veltrim::RecordingSink sink;
    veltrim::SharedState state(sink);
    state.SelectRectification(2);
    EXPECT_EQ(state.Conditions.Rectification, veltrim::RectificationMethod::ThreePhase12Peak);
    state.SelectRectification(7);
    EXPECT_EQ(state.Conditions.Rectification, veltrim::RectificationMethod::ThreePhase12Peak);
}

} // namespace
