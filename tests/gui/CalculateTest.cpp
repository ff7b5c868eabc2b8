#include "common/FailureMessages.h"
#include "dose/SyntheticData.h"
#include "gui/GuiFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;

// The clamp itself is ReadConditions' test; here, that the field shows it
// before the spectrum is formed.
TEST(Calculate, ClampShowsLimitInFieldBeforeTheSpectrum) {
    WindowFixture f;
    f.Field(mc::TubeVoltage).setText("200");
    QString seen;
    bool spectrumDone = true;
    CalculateWithInterruption(*f.window, [&] {
        seen = f.Field(mc::TubeVoltage).text();
        spectrumDone = f.window->State().Spectrum[40] != 0.0;
    });
    EXPECT_EQ(seen, "150");
    EXPECT_FALSE(spectrumDone);
    f.Field(mc::TubeVoltage).setText("95.5");
    f.window->Calculate();
    EXPECT_EQ(f.Field(mc::TubeVoltage).text(), "95.5");
}

// The window keeps its lenient reading but its message line names each field
// not read whole with the number used, in the edition's words; once every
// text is a number the line tells the next calculation again.
TEST(Calculate, TheMessageLineNamesEachMisreadFieldAndTheNumberUsed) {
    for (const Language edition : {Language::English, Language::Japanese}) {
        WindowFixture f(edition);
        const QLabel& line = FindControl<QLabel>(*f.window, mc::NextCalculation);
        const QString next = line.text();
        f.Field(mc::TubeVoltage).setText("8O");
        f.Field(mc::AlFilter).setText("1,5");
        f.window->Calculate();
        EXPECT_EQ(f.window->State().Conditions.TubeVoltage, 30.0);
        EXPECT_EQ(f.window->State().Conditions.AlFilter, 0.1);
        EXPECT_EQ(f.Field(mc::AlFilter).text(), "1,5") << "the field shows what was typed";
        const auto misread = [edition](MessageId field, const char* typed, const char* used) {
            return Text(edition, MessageId::MisreadField, {Text(edition, field), typed, used});
        };
        EXPECT_EQ(line.text().toStdString(), misread(MessageId::FieldTubeVoltage, "8O", "30") +
                                                 " " +
                                                 misread(MessageId::FieldAlFilter, "1,5", "1"));
        f.Field(mc::TubeVoltage).setText("80");
        f.Field(mc::AlFilter).setText("1.5");
        f.window->Calculate();
        EXPECT_EQ(line.text(), next);
    }
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

// During the yields the state already holds parts of the next beam (its
// conditions, then its spectrum) beside the last one's table: a report or
// an export asked for then, by its handler or the graph's menu, is refused
// with a message before any name is asked, and nothing is written.
TEST(Calculate, ReportsAndExportsDuringTheYieldsAreRefused) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.Calculate();
    f.Field(mc::TubeVoltage).setText("120");
    const auto file = [&](const char* name) { return Utf8((f.dir / name).string()); };
    const std::string refused = Text(Language::English, MessageId::RecordDuringCalculation);
    f.sink.Messages.clear();
    CalculateWithInterruption(w, [&] {
        w.SaveReportPdf(file("report.pdf"));
        w.ExportTableCsv(file("table.csv"));
        w.ExportGraphPng(file("graph.png"));
        w.ExportGraphSvg(file("graph.svg"));
        // The menu's item would ask for a name in a dialog, which the
        // fixture's watch fails.
        for (QAction* action : w.GraphMenu()->actions())
            if (action->text() == Utf8(Wording(Language::English, MessageId::ExportTableMenuItem)))
                action->trigger();
    });
    for (const char* name : {"report.pdf", "table.csv", "graph.png", "graph.svg"})
        EXPECT_FALSE(std::filesystem::exists(f.dir / name)) << name;
    EXPECT_EQ(f.sink.Messages, std::vector<std::string>(5, refused));
    // Once the calculation is over they are answered.
    w.SaveReportPdf(file("report.pdf"));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "report.pdf"));
}

} // namespace
