#include "common/FailureMessages.h"
#include "dose/SyntheticData.h"
#include "gui/GuiFixture.h"

#include <QGroupBox>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;

TEST(Calculate, ClampShowsLimitInFieldBeforeTheSpectrum) {
    for (const auto& [typed, shown] : {std::pair{"200", "150"}, std::pair{"10 kV", "30"}}) {
        WindowFixture f;
        f.Field(mc::TubeVoltage).setText(typed);
        QString seen;
        bool spectrumDone = true;
        CalculateWithInterruption(*f.window, [&] {
            seen = f.Field(mc::TubeVoltage).text();
            spectrumDone = f.window->State().Spectrum[40] != 0.0;
        });
        EXPECT_EQ(seen, shown);
        EXPECT_FALSE(spectrumDone);
        EXPECT_EQ(f.Field(mc::TubeVoltage).text(), shown);
    }
    WindowFixture unclamped;
    unclamped.Field(mc::TubeVoltage).setText("95.5");
    unclamped.window->Calculate();
    EXPECT_EQ(unclamped.Field(mc::TubeVoltage).text(), "95.5");
}

TEST(Calculate, BothEditionsTurnTheSameTextsIntoTheSameConditionsAndCurves) {
    WindowFixture english(Language::English);
    WindowFixture japanese(Language::Japanese);
    const char* typed[] = {"120kV", "16", "1.5", "2", "0.1", "75", "10", "x"};
    for (WindowFixture* f : {&english, &japanese}) {
        for (int i = 0; i < 8; ++i)
            f->Field(mc::ConditionFields[i]).setText(typed[i]);
        FindControl<QRadioButton>(*f->window, mc::SinglePhaseFullWave).click();
        f->window->Calculate();
        EXPECT_TRUE(f->sink.Messages.empty());
    }
    const auto read = [](const WindowFixture& f) {
        const IrradiationConditions& c = f.window->State().Conditions;
        return std::tuple{c.TubeVoltage, c.TargetAngle, c.InherentFiltration,
                          c.AlFilter,    c.CuFilter,    c.Fsd,
                          c.FieldX,      c.FieldY,      c.Rectification};
    };
    EXPECT_EQ(english.window->State().Conditions.TubeVoltage, 120.0);
    EXPECT_EQ(english.window->State().Conditions.Rectification,
              RectificationMethod::SinglePhaseFullWave);
    EXPECT_EQ(read(english), read(japanese));
    EXPECT_EQ(english.window->State().DepthDoseResult, japanese.window->State().DepthDoseResult);
    EXPECT_EQ(english.window->Graph().Image(), japanese.window->Graph().Image());
}

TEST(Calculate, FailingDepthDoseStillReachesThePlotAndArmsTheButtons) {
    WindowFixture f;
    MainWindow& w = *f.window;
    std::filesystem::remove(f.dir / KernelFolder / KernelFile(150));

    // Before any success the table holds nothing: the legend, but no curve.
    w.Calculate();
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_TRUE(IsDepthDoseFailure(f.sink.Messages[0])) << f.sink.Messages[0];
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(w.State().CursorPlaced, 0);
    EXPECT_TRUE(f.Button(mc::SaveNumbers).isEnabled());
    EXPECT_TRUE(f.Button(mc::SavePicture).isEnabled());
    EXPECT_EQ(w.Graph().Image(), ChartWith({DepthDoseTable{}}));

    // After a success, a failure draws the last good curves once more.
    WriteSyntheticData(f.dir.Path());
    w.Calculate();
    QImage again = w.Graph().Image();
    PlotDepthDose(again, w.State().DepthDoseResult, 30.0);
    std::filesystem::remove(f.dir / KernelFolder / KernelFile(150));
    w.Calculate();
    EXPECT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_EQ(w.Graph().Image(), again);
}

TEST(Calculate, ASecondOkDuringTheYieldsStartsNothing) {
    WindowFixture f;
    MainWindow& w = *f.window;
    const auto options = [&] {
        return FindControl<QGroupBox>(w, mc::RectificationFrame).isEnabled();
    };
    bool okEnabled = true;
    bool optionsEnabled = true;
    CalculateWithInterruption(w, [&] {
        okEnabled = f.Button(mc::Ok).isEnabled();
        optionsEnabled = options();
        EXPECT_TRUE(w.Calculating());
        w.Calculate(); // as a queued click would
        f.Button(mc::Ok).click();
    });
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(optionsEnabled);
    EXPECT_FALSE(w.Calculating());
    EXPECT_TRUE(f.Button(mc::Ok).isEnabled());
    EXPECT_TRUE(options());
    // One run, one set of curves.
    EXPECT_EQ(w.Graph().Image(), ChartWith({w.State().DepthDoseResult}));
    EXPECT_TRUE(f.sink.Messages.empty());
}

} // namespace
