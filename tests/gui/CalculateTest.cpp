#include "common/GraphProbe.h"
#include "dose/DepthDose.h"
#include "dose/SyntheticData.h"
#include "graph/GraphDrawing.h"
#include "graph/GraphPicture.h"
#include "gui/GuiFixture.h"

#include <QGroupBox>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using veltrim::testing::CalculateWithInterruption;
using veltrim::testing::ColourNear;
using veltrim::testing::EmptyChart;
using veltrim::testing::RowPoint;
using veltrim::testing::WindowFixture;
using veltrim::testing::WriteSyntheticData;

TEST(Calculate, PlotsTheCurvesSetsTheFlagsAndArmsTheSaveButtons) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.Calculate();
    EXPECT_TRUE(f.sink.Messages.empty());
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(w.State().CursorPlaced, 0);
    EXPECT_TRUE(f.Button("Command2").isEnabled());
    EXPECT_TRUE(f.Button("Command4").isEnabled());
    EXPECT_TRUE(f.Button("Command3").isEnabled());
    EXPECT_TRUE(f.WorkingFileExists());

    const DepthDoseTable& table = w.State().DepthDoseResult;
    EXPECT_EQ(table[1][TotalPdd], 100.0);
    const QImage& image = w.Graph().Image();
    for (int row : {2, 10, 20, 40}) {
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, TotalPdd), GraphBlack)) << row;
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, PrimaryPdd), GraphRed)) << row;
        EXPECT_TRUE(ColourNear(image, RowPoint(table, row, ScatterPdd), GraphBlue)) << row;
    }
}

TEST(Calculate, ClampShowsLimitInFieldBeforeTheSpectrum) {
    for (const auto& [typed, shown] : {std::pair{"200", "150"}, std::pair{"10 kV", "30"}}) {
        WindowFixture f;
        f.Field("Text1").setText(typed);
        QString seen;
        bool spectrumDone = true;
        CalculateWithInterruption(*f.window, [&] {
            seen = f.Field("Text1").text();
            spectrumDone = f.window->State().Spectrum[40] != 0.0;
        });
        EXPECT_EQ(seen, shown);
        EXPECT_FALSE(spectrumDone);
        EXPECT_EQ(f.Field("Text1").text(), shown);
    }
    WindowFixture unclamped;
    unclamped.Field("Text1").setText("95.5");
    unclamped.window->Calculate();
    EXPECT_EQ(unclamped.Field("Text1").text(), "95.5");
}

TEST(Calculate, BothEditionsTurnTheSameTextsIntoTheSameConditionsAndCurves) {
    WindowFixture english(Language::English);
    WindowFixture japanese(Language::Japanese);
    const char* fields[] = {"Text1", "Text5", "Text8",  "Text3",
                            "Text4", "Text9", "Text10", "Text11"};
    const char* typed[] = {"120kV", "16", "1.5", "2", "0.1", "75", "10", "x"};
    for (WindowFixture* f : {&english, &japanese}) {
        for (int i = 0; i < 8; ++i)
            f->Field(fields[i]).setText(typed[i]);
        f->window->findChild<QRadioButton*>("Option9")->click();
        f->window->Calculate();
        EXPECT_TRUE(f->sink.Messages.empty());
    }
    const IrradiationConditions& a = english.window->State().Conditions;
    const IrradiationConditions& b = japanese.window->State().Conditions;
    EXPECT_EQ(a.TubeVoltage, 120.0);
    EXPECT_EQ(a.Rectification, RectificationMethod::SinglePhaseFullWave);
    EXPECT_EQ(a.TubeVoltage, b.TubeVoltage);
    EXPECT_EQ(a.TargetAngle, b.TargetAngle);
    EXPECT_EQ(a.InherentFiltration, b.InherentFiltration);
    EXPECT_EQ(a.AlFilter, b.AlFilter);
    EXPECT_EQ(a.CuFilter, b.CuFilter);
    EXPECT_EQ(a.Fsd, b.Fsd);
    EXPECT_EQ(a.FieldX, b.FieldX);
    EXPECT_EQ(a.FieldY, b.FieldY);
    EXPECT_EQ(a.Rectification, b.Rectification);
    EXPECT_EQ(english.window->State().DepthDoseResult, japanese.window->State().DepthDoseResult);
    EXPECT_EQ(english.window->Graph().Image(), japanese.window->Graph().Image());
}

TEST(Calculate, TwoCalculationsLeaveTwoSetsOfCurves) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.Calculate();
    const DepthDoseTable first = w.State().DepthDoseResult;
    f.Field("Text1").setText("140");
    f.Field("Text10").setText("5");
    f.Field("Text11").setText("5");
    w.Calculate();
    const DepthDoseTable second = w.State().DepthDoseResult;
    ASSERT_NE(first[30][ScatterPdd], second[30][ScatterPdd]);
    const QImage& image = w.Graph().Image();
    for (const DepthDoseTable* table : {&first, &second})
        for (int row : {15, 30})
            EXPECT_TRUE(ColourNear(image, RowPoint(*table, row, ScatterPdd), GraphBlue)) << row;
    EXPECT_TRUE(f.Button("Command2").isEnabled());
}

TEST(Calculate, FailingDepthDoseStillReachesThePlotAndArmsTheButtons) {
    WindowFixture f;
    MainWindow& w = *f.window;
    std::filesystem::remove(f.dir / KernelFolder / KernelFile(150));

    // Before any success the table holds nothing: the legend, but no curve.
    w.Calculate();
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_EQ(f.sink.Messages[0], DepthDoseFailureMessage);
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(w.State().CursorPlaced, 0);
    EXPECT_TRUE(f.Button("Command2").isEnabled());
    EXPECT_TRUE(f.Button("Command4").isEnabled());
    QImage legendOnly = EmptyChart();
    PlotDepthDose(legendOnly, DepthDoseTable{}, 30.0);
    EXPECT_EQ(w.Graph().Image(), legendOnly);

    // After a success, a failure draws the last good curves once more.
    WriteSyntheticData(f.dir.Path());
    w.Calculate();
    const DepthDoseTable good = w.State().DepthDoseResult;
    QImage again = w.Graph().Image();
    PlotDepthDose(again, good, 30.0);
    std::filesystem::remove(f.dir / KernelFolder / KernelFile(150));
    w.Calculate();
    EXPECT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_EQ(w.Graph().Image(), again);
}

TEST(Calculate, ASecondOkDuringTheYieldsStartsNothing) {
    WindowFixture f;
    MainWindow& w = *f.window;
    bool okEnabled = true;
    bool optionsEnabled = true;
    CalculateWithInterruption(w, [&] {
        okEnabled = f.Button("Command3").isEnabled();
        optionsEnabled = w.findChild<QGroupBox*>("Frame2")->isEnabled();
        EXPECT_TRUE(w.Calculating());
        w.Calculate(); // as a queued click would
        f.Button("Command3").click();
    });
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(optionsEnabled);
    EXPECT_FALSE(w.Calculating());
    EXPECT_TRUE(f.Button("Command3").isEnabled());
    EXPECT_TRUE(w.findChild<QGroupBox*>("Frame2")->isEnabled());
    // One run: the 30 x 30 field halved once, one set of curves.
    EXPECT_EQ(w.State().Conditions.FieldX, 15.0);
    QImage once = EmptyChart();
    PlotDepthDose(once, w.State().DepthDoseResult, 30.0);
    EXPECT_EQ(w.Graph().Image(), once);
    EXPECT_TRUE(f.sink.Messages.empty());
}

} // namespace
