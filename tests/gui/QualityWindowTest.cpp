// The spectrum and beam-quality window as the user meets it: opened from the
// main window by F2 or the graph's menu, following every OK and Reset, and
// finding the added aluminium of a measured HVL1.
#include "core/CFormat.h"
#include "dose/FocusKernels.h"
#include "dose/ScatterKernels.h"
#include "graph/SpectrumChart.h"
#include "gui/QualityFixture.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QRegularExpression>
#include <climits>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace qc = qualitycontrols;
namespace mc = maincontrols;

QString Figure(QualityWindow& quality, ControlName name) {
    return FindControl<QLineEdit>(quality, name).text();
}

std::string Shown(QualityWindow& quality, ControlName label) {
    return FindControl<QLabel>(quality, label).text().toStdString();
}

using QualityWindowTest = QualityTest;

TEST_F(QualityWindowTest, F2AfterOkShowsTheSpectrumAndItsFigures) {
    Ok();
    QualityWindow& quality = Open();
    EXPECT_TRUE(quality.isVisible());
    EXPECT_EQ(quality.windowTitle(), "Spectrum and beam quality");
    EXPECT_EQ(FindControl<QLineEdit>(quality, qc::AirPath).text(), "0");

    const QImage shown = FindControl<QLabel>(quality, qc::Picture)
                             .pixmap()
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, quality.Picture());
    // The spectrum's own shape is the spectrum tests'; its saved numbers, the save test's.
    EXPECT_NE(BarTop(shown, 0.0, 150.0), INT_MAX) << "no spectrum shown";

    const BeamQuality library = LibraryFigures();
    EXPECT_EQ(Figure(quality, qc::Hvl1).toStdString(), FormatC("%.3f", library.Hvl1MmAl));
    EXPECT_EQ(Figure(quality, qc::Hvl2).toStdString(), FormatC("%.3f", library.Hvl2MmAl));
    EXPECT_EQ(Figure(quality, qc::MeanEnergy).toStdString(),
              FormatC("%.2f", library.MeanEnergyKeV));

    // The air path changes the window's figures, not the beam's record.
    FindControl<QLineEdit>(quality, qc::AirPath).setText("100");
    emit FindControl<QLineEdit>(quality, qc::AirPath).editingFinished();
    EXPECT_GT(Figure(quality, qc::Hvl1).toDouble(), library.Hvl1MmAl);
    EXPECT_EQ(w.Beams().Drawn().back().Quality->Hvl1MmAl, library.Hvl1MmAl);

    // One window to a main window: F2 again raises the same one.
    EXPECT_EQ(&Open(), &quality);
}

TEST_F(QualityWindowTest, BeforeOkTheGraphsMenuOpensAWindowSayingThereIsNoBeamYet) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 100),
                            w.Graph().mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(&w.Graph(), &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "the graph has no menu";
    // Items are found by their text: a new item must not make this test
    // read another one.
    const auto item = [menu](const QString& text) -> QAction* {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "the graph's menu lacks " << text.toStdString();
        static QAction missing;
        return &missing;
    };
    EXPECT_EQ(menu->actions()[0]->text(), "Spectrum and beam quality...\tF2");
    EXPECT_EQ(menu->actions()[1]->text(), "Divergent-beam scatter");
    EXPECT_EQ(menu->actions()[2]->text(), "Absolute dose...\tF3");
    EXPECT_EQ(menu->actions()[3]->text(), "Dose map...\tF4");
    for (const char* saving : {"Export table as CSV...", "Save graph as PNG...",
                               "Save graph as SVG...", "Save report as PDF...\tCtrl+P"})
        EXPECT_FALSE(item(saving)->isEnabled()) << saving << ": nothing to save before OK";
    EXPECT_TRUE(item("Save beam...\tCtrl+S")->isEnabled());
    EXPECT_TRUE(item("Open beam...\tCtrl+O")->isEnabled()) << "a beam opens at any time";
    EXPECT_TRUE(menu->actions()[1]->isCheckable());
    EXPECT_FALSE(menu->actions()[1]->isChecked());
    menu->actions()[0]->trigger();
    menu->close();

    ASSERT_NE(w.Quality(), nullptr);
    QualityWindow& quality = *w.Quality();
    EXPECT_EQ(Shown(quality, qc::ShownBeam), "No calculation yet: press OK in the main window.");
    EXPECT_TRUE(Figure(quality, qc::Hvl1).isEmpty());
    EXPECT_TRUE(Curves(quality).isEmpty());
    EXPECT_EQ(BarTop(quality.Picture(), 0.0, 150.0), INT_MAX);
    EXPECT_FALSE(FindControl<QPushButton>(quality, qc::SaveCsv).isEnabled());
    EXPECT_FALSE(FindControl<QPushButton>(quality, qc::SavePng).isEnabled());
}

TEST_F(QualityWindowTest, ListsEveryDrawnCurveInOrderUntilReset) {
    QualityWindow& quality = Open(); // open before the first OK: it follows them
    Ok();
    f.Field(mc::TubeVoltage).setText("200"); // clamped to 150 kV, and listed so
    f.Field(mc::CuFilter).setText("0.1");
    Ok();
    ASSERT_EQ(Curves(quality).size(), 2);
    // How an entry describes its beam is CalculatedBeam's test.
    EXPECT_TRUE(Begins(Curves(quality)[0].toStdString(), "1.  80 kV, constant potential, "));
    EXPECT_TRUE(
        Begins(Curves(quality)[1].toStdString(),
               "2.  150 kV, constant potential, filters 2.5 mm Al eq. + 0 mm Al + 0.1 mm Cu"));
    EXPECT_TRUE(Ends(Curves(quality)[1].toStdString(),
                     FormatC("HVL1 %.3f mm Al,  classic scatter", LibraryFigures().Hvl1MmAl)));

    // A field too wide for the scatter data: the spectrum is formed and shown,
    // the depth dose fails and draws no new curve, so the list keeps two.
    f.Field(mc::TubeVoltage).setText("60");
    f.Field(mc::FieldX).setText("70");
    f.Field(mc::FieldY).setText("70");
    Ok();
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_EQ(Curves(quality).size(), 2);
    EXPECT_TRUE(Holds(Shown(quality, qc::ShownBeam), "Last calculation: 60 kV"));

    f.Button(mc::Reset).click();
    EXPECT_TRUE(Curves(quality).isEmpty());
    EXPECT_EQ(Shown(quality, qc::ShownBeam), "No calculation yet: press OK in the main window.");
    EXPECT_TRUE(Figure(quality, qc::Hvl1).isEmpty());
}

// A measured HVL1 out of reach, or no number, is told and changes no field;
// one in reach writes the aluminium that gives it and says what it replaced.
// One below the bare beam's offers the inherent filtration instead.
TEST_F(QualityWindowTest, FindAddedAluminiumWritesTheThicknessThatGivesTheMeasuredHvl1) {
    QualityWindow& quality = Open();
    const ConditionTexts before = w.TypedConditions();
    const auto find = [&](const char* measured) {
        FindControl<QLineEdit>(quality, qc::MeasuredHvl1).setText(measured);
        FindControl<QPushButton>(quality, qc::FindAluminium).click();
        return Shown(quality, qc::MessageLine);
    };
    // The reachable range in the message is the matching's test.
    EXPECT_EQ(find("1.0").rfind("A measured HVL1 of 1.000 mm Al cannot be reached", 0), 0u);
    ASSERT_EQ(f.sink.Questions.size(), 1u) << "declined, the offer changes nothing";
    EXPECT_TRUE(Holds(f.sink.Questions[0], "Match the inherent filtration"));
    EXPECT_EQ(find("40").rfind("A measured HVL1 of 40.000 mm Al cannot be reached", 0), 0u);
    EXPECT_EQ(f.sink.Questions.size(), 1u) << "no offer above the reach";
    // Read whole, or refused: "3,0" is not 3 mm Al, nor an air path "1,5" 1 cm.
    EXPECT_EQ(find("3,0"), "The measured HVL1 \"3,0\" is not a positive number of mm Al.");
    FindControl<QLineEdit>(quality, qc::AirPath).setText("1,5");
    EXPECT_EQ(find("3.00").rfind("The air path \"1,5\" is not a distance", 0), 0u);
    FindControl<QLineEdit>(quality, qc::AirPath).setText("0");
    EXPECT_EQ(w.TypedConditions().AlFilter, before.AlFilter);

    const std::string said = find("3.00");
    const QString aluminium = f.Field(mc::AlFilter).text();
    EXPECT_TRUE(aluminium.contains(QRegularExpression("^[0-9]+\\.[0-9]{3}$")))
        << aluminium.toStdString();
    EXPECT_GT(aluminium.toDouble(), 0.0);
    EXPECT_EQ(w.TypedConditions().CuFilter, before.CuFilter);
    EXPECT_NEAR(Figure(quality, qc::Hvl1).toDouble(), 3.00, 0.0015) << "the found beam's figures";
    EXPECT_TRUE(Begins(Shown(quality, qc::ShownBeam), "Found beam, not yet calculated: 80 kV"));
    EXPECT_TRUE(
        Holds(said, "The added aluminium changed from 0 mm to " + aluminium.toStdString() + " mm"));
    EXPECT_EQ(w.TypedConditions().InherentFiltration, before.InherentFiltration);

    f.sink.Answer = true;
    const std::string inherent = find("2.0");
    const QString found = f.Field(mc::InherentFiltration).text();
    EXPECT_LT(found.toDouble(), 2.5);
    EXPECT_TRUE(
        Holds(inherent, "The inherent filtration changed from 2.5 mm to " + found.toStdString()));
    EXPECT_EQ(f.Field(mc::AlFilter).text(), aluminium) << "the added filters stay as typed";
    EXPECT_NEAR(Figure(quality, qc::Hvl1).toDouble(), 2.00, 0.0015);

    // The match goes with the calculation of the conditions it left typed
    // (for its report, whatever the spectrum window then holds), not with others.
    Ok();
    ASSERT_EQ(w.Beams().Drawn().size(), 1u);
    EXPECT_NEAR(w.Beams().Drawn().back().Quality->Hvl1MmAl, 2.00, 0.005);
    EXPECT_TRUE(f.sink.Messages.empty());
    const std::optional<MeasuredMatch> matched = w.Beams().Drawn().back().Matched;
    ASSERT_TRUE(matched);
    EXPECT_EQ(matched->MeasuredHvl1MmAl, 2.0);
    EXPECT_EQ(matched->Filter, MatchFilter::Inherent);
    EXPECT_EQ(matched->FoundMm, found.toStdString());
    f.Field(mc::CuFilter).setText("0.1");
    Ok();
    EXPECT_FALSE(w.Beams().Drawn().back().Matched);
}

class JapaneseQualityWindow : public QualityTest {
  protected:
    JapaneseQualityWindow() : QualityTest(Language::Japanese) {}
};

TEST_F(JapaneseQualityWindow, SpeaksJapanese) {
    QualityWindow& quality = Open();
    EXPECT_EQ(quality.windowTitle(), "スペクトルと線質");
    EXPECT_EQ(Shown(quality, qc::ShownBeam),
              "まだ計算していません: メインウィンドウで OK を押してください。");
    FindControl<QLineEdit>(quality, qc::MeasuredHvl1).setText("1.0");
    FindControl<QPushButton>(quality, qc::FindAluminium).click();
    EXPECT_TRUE(Begins(Shown(quality, qc::MessageLine), "測定した第 1 半価層 1.000 mm Al は"));
    Ok();
    EXPECT_TRUE(Begins(Curves(quality)[0].toStdString(), "1.  80 kV、定電圧、"));
}

} // namespace

TEST_F(QualityWindowTest, DivergentScatterFromTheGraphsMenuMarksTheFollowingCurvesAndTheirFile) {
    // A point-focus set for FSD 100 cm: the folder's kernels with 20 % more
    // scatter, enough to tell the models apart.
    const auto parallel = ReadKernelSet(f.dir.Path());
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5) {
        ScatterKernelTable more = parallel->Kernel(e);
        for (auto& ring : more)
            for (double& value : ring)
                value *= 1.2;
        f.dir.Write((FocusSetFolder(100) / KernelFile(e)).string(), KernelFileText(more));
    }
    QualityWindow& quality = Open();
    Ok();
    const double classicAt10 = w.State().DepthDoseResult[21][TotalPdd];
    QAction* divergent = w.GraphMenu()->actions()[1];
    divergent->trigger();
    EXPECT_TRUE(w.DivergentScatter());
    EXPECT_EQ(FindControl<QLabel>(w, mc::NextCalculation).text(),
              "Next OK: divergent-beam scatter, ICRU four-component soft tissue");
    ASSERT_EQ(f.sink.Questions.size(), 1u) << "a change after a calculation offers it again";
    EXPECT_EQ(Curves(quality).size(), 1) << "declined";
    Ok();
    ASSERT_EQ(Curves(quality).size(), 2);
    EXPECT_TRUE(Ends(Curves(quality)[0].toStdString(), "classic scatter"));
    EXPECT_TRUE(Ends(Curves(quality)[1].toStdString(), "divergent-beam scatter"));
    // The divergent beam's deep dose is higher (80 kV, 30 x 30 cm, FSD 100).
    EXPECT_GT(w.State().DepthDoseResult[21][TotalPdd], classicAt10 * 1.02);

    // Unticked and the offer taken, the calculation is classic again, to the bit.
    f.sink.Answer = true;
    divergent->trigger();
    EXPECT_EQ(Curves(quality).size(), 3);
    EXPECT_EQ(w.State().DepthDoseResult[21][TotalPdd], classicAt10);
}
