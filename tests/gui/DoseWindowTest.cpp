// The absolute-dose window against the library it shows: the figures of a
// typed exposure, a refusal that keeps them, the table's CSV, and the window
// following the main window's calculations, Reset and depth cursor.
#include "app/DoseWindow.h"

#include "app/DoseTexts.h"
#include "common/ProgramRun.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "dose/SyntheticData.h"
#include "engine/CalculateBeam.h"
#include "engine/CalculatedBeam.h"
#include "gui/QualityFixture.h"
#include "readout/DepthCursor.h"

#include <QComboBox>
#include <QTableWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace dc = dosecontrols;

class DoseTest : public SideWindowTest<DoseWindow, &MainWindow::Dose> {
  protected:
    explicit DoseTest(bool slabs = false) : SideWindowTest(slabs ? UseSlabData : UseDoseData) {}

    DoseWindow& Open() { return OpenBy(Qt::Key_F3); }
    // The library's dose of the main window's last calculation.
    AbsoluteDose Library(const std::optional<Exposure>& given) const {
        const SharedState& s = w.State();
        return *BeamAbsoluteDose(s.ResultConditions, s.Spectrum,
                                 {s.DepthRowCount, s.PrimaryDose, s.ScatterDose}, s.Tissue,
                                 *ModelData::Load(f.dir.Path()), given);
    }
    QTableWidget& Table() const { return FindControl<QTableWidget>(*w.Dose(), dc::Table); }
};

const Exposure TubeOutput{ExposureKind::TubeOutput, 52.5, 20, 100};

TEST_P(DoseTest, F3OpensItAndAnExposureGivesTheLibrarysFiguresForTheLastCalculation) {
    DoseWindow& dose = Open();
    EXPECT_TRUE(dose.isVisible());
    EXPECT_EQ(dose.windowTitle(),
              QString::fromUtf8(Wording(GetParam(), MessageId::DoseWindowTitle)));
    // What it starts from: 1 mGy of Ka,i, a tube output measured at 1 m.
    EXPECT_EQ(Field(dc::AirKerma), "1");
    EXPECT_EQ(Field(dc::OutputDistance), "100");
    Ok();
    Click(dc::GivenTubeOutput);
    Type(dc::TubeOutput, "52.5");
    Type(dc::Mas, "20");
    Click(dc::Apply);
    ASSERT_EQ(Said(), "");

    const AbsoluteDose lib = Library(TubeOutput);
    const auto mgy = [](double value) { return QString::fromStdString(FormatC("%.4g", value)); };
    EXPECT_EQ(Field(dc::IncidentAirKerma), mgy(lib.IncidentAirKermaMgy));
    EXPECT_EQ(Field(dc::Backscatter),
              QString::fromStdString(FormatC("%.3f", lib.PerKerma.Backscatter)));
    EXPECT_EQ(Field(dc::EntranceKerma), mgy(lib.EntranceSurfaceAirKermaMgy()));
    EXPECT_EQ(Field(dc::SurfaceDose), mgy(lib.Mgy(lib.PerKerma.Surface)));
    ASSERT_EQ(Table().rowCount(), lib.PerKerma.Rows + 1);
    EXPECT_EQ(Table().item(7, 3)->text(), mgy(lib.Mgy(lib.PerKerma.Total[7])));
    Type(dc::DepthFrom, "2.1");
    Click(dc::FindDose);
    EXPECT_EQ(Field(dc::DoseAtDepth), mgy(lib.Mgy(DoseAtDepth(lib.PerKerma, 2.1))));

    // The row under the main window's depth cursor is marked as it moves.
    w.PlaceCursor(7, KeyPercentPattern);
    EXPECT_EQ(Table().item(7, 0)->background().color(), QColor::fromRgb(colours::Yellow));
    w.PlaceCursor(8, KeyPercentPattern);
    EXPECT_EQ(Table().item(7, 0)->background().style(), Qt::NoBrush);

    f.Button(maincontrols::Reset).click();
    EXPECT_EQ(FindControl<QLabel>(dose, dc::ShownBeam).text().toStdString(),
              Text(GetParam(), MessageId::QualityNoBeam));
    EXPECT_EQ(Table().rowCount(), 0);
    EXPECT_EQ(Field(dc::IncidentAirKerma), "");
}

TEST_P(DoseTest, ARefusedValueOrDepthIsToldInTheEditionsWordsAndTheFiguresStay) {
    Open();
    Ok();
    Click(dc::Apply); // the 1 mGy the window begins with
    const QString kerma = Field(dc::IncidentAirKerma);
    ASSERT_NE(kerma, "");

    Type(dc::AirKerma, "-3");
    Click(dc::Apply);
    Exposure refused{ExposureKind::IncidentAirKerma, -3};
    try {
        IncidentAirKerma(refused, w.State().ResultConditions, 1.0);
        FAIL() << "the library took -3 mGy";
    } catch (const CalculationError& e) {
        EXPECT_EQ(Said(), e.Cause().In(GetParam()));
    }
    EXPECT_EQ(Field(dc::IncidentAirKerma), kerma);
    EXPECT_EQ(Table().rowCount(), w.State().DepthRowCount + 1);

    // A quantity or depth is a number as a whole or it is refused, naming the
    // field and the text, and the figures of the last accepted exposure stay:
    // "5O" is not 5, "2,5" not 2, an empty depth not the surface (which texts
    // are numbers is ReadWholeNumber's test).
    const auto notANumber = [this](const std::string& field, const char* typed) {
        return Text(GetParam(), MessageId::NotANumber, {field, typed});
    };
    for (const char* typed : {"2,5", ""}) {
        Type(dc::AirKerma, typed);
        Click(dc::Apply);
        EXPECT_EQ(Said(), notANumber(Text(GetParam(), MessageId::ExposureAirKerma), typed));
        EXPECT_EQ(Field(dc::IncidentAirKerma), kerma) << typed;
    }
    Click(dc::GivenTubeOutput);
    Type(dc::TubeOutput, "5O");
    Type(dc::Mas, "20");
    Click(dc::Apply);
    EXPECT_EQ(Said(), notANumber(Text(GetParam(), MessageId::ExposureTubeOutput), "5O"));
    EXPECT_EQ(Field(dc::IncidentAirKerma), kerma);
    Type(dc::TubeOutput, " 50 ");
    Click(dc::Apply);
    EXPECT_EQ(Said(), "") << "blanks around a number are no part of it";

    const std::string from = Text(GetParam(), MessageId::DoseAtDepthCaption) + " (" +
                             Text(GetParam(), MessageId::DoseFrom) + ")";
    for (const char* typed : {"5,5", ""}) {
        Type(dc::DepthFrom, typed);
        Type(dc::DepthTo, "");
        Click(dc::FindDose);
        EXPECT_EQ(Said(), notANumber(from, typed));
        EXPECT_EQ(Field(dc::DoseAtDepth), "");
    }
    Type(dc::DepthFrom, "1e-310");
    Click(dc::FindDose);
    EXPECT_EQ(Said(), "");
    EXPECT_NE(Field(dc::DoseAtDepth), "");

    Type(dc::DepthFrom, "5");
    Type(dc::DepthTo, "2");
    Click(dc::FindDose);
    EXPECT_EQ(Said(), Message(MessageId::DoseRangeBackwards, {Arg(5.0), Arg(2.0)}).In(GetParam()));
    EXPECT_EQ(Field(dc::DoseAtDepth), "");
    // Still usable: the range the right way round.
    Type(dc::DepthFrom, "2");
    Type(dc::DepthTo, "5");
    Click(dc::FindDose);
    EXPECT_EQ(Said(), "");
    EXPECT_NE(Field(dc::DoseAtDepth), "");
}

TEST_P(DoseTest, TheSavedCsvReadsBackWithTheTablesNumbers) {
    Open();
    Ok();
    // 2250 mGy cm2 over the 30 x 30 cm field: Ka,i 2.5 mGy.
    Click(dc::GivenKap);
    Type(dc::Kap, "2250");
    FindControl<QComboBox>(*w.Dose(), dc::KapUnit).setCurrentIndex(1);
    Click(dc::Apply);
    Type(dc::CsvFileName, "dose");
    Click(dc::SaveCsv);
    EXPECT_EQ(f.sink.Messages.back(), Text(GetParam(), MessageId::SavedDoseCsv));

    const AbsoluteDose lib = Library(Exposure{ExposureKind::KermaAreaProduct, 2.25});
    const std::vector<std::string> lines = Lines(ReadBytes(f.dir / "dose.csv"));
    std::size_t n = 0;
    while (n < lines.size() && lines[n].starts_with("# "))
        ++n;
    EXPECT_EQ(n, 6u) << "conditions, exposure, Ka,i, B, medium, model";
    ASSERT_EQ(lines.size(), n + 2 + static_cast<std::size_t>(lib.PerKerma.Rows));
    EXPECT_EQ(lines[n], "depth_cm,primary_mGy,scatter_mGy,total_mGy");
    const DosePerAirKerma& k = lib.PerKerma;
    for (int d = 0; d <= k.Rows; ++d) {
        SCOPED_TRACE(lines[n + 1 + static_cast<std::size_t>(d)]);
        const double expected[] = {d == 0 ? 0.0 : 0.5 * d - 0.25,
                                   lib.Mgy(d == 0 ? k.SurfacePrimary : k.Primary[d]),
                                   lib.Mgy(d == 0 ? k.SurfaceScatter : k.Scatter[d]),
                                   lib.Mgy(d == 0 ? k.Surface : k.Total[d])};
        const char* text = lines[n + 1 + static_cast<std::size_t>(d)].c_str();
        for (const double value : expected) {
            char* end = nullptr;
            EXPECT_NEAR(std::strtod(text, &end), value, 1e-5 * value);
            text = *end == ',' ? end + 1 : end;
        }
    }
}

// The choice goes to the state and the main window's caption only; a medium
// whose tables the folder lacks is refused by name at the next OK.
TEST_P(DoseTest, TheMediumChosenIsCaptionedAndTakenByTheNextCalculation) {
    Open();
    QLabel& caption = FindControl<QLabel>(w, maincontrols::PhantomMaterial);
    const QString designed = caption.text();
    FindControl<QComboBox>(*w.Dose(), dc::MediumChoice).setCurrentIndex(2);
    EXPECT_EQ(w.State().PhantomMedium, Medium::Water);
    const std::string water = Text(GetParam(), MessageId::MediumWater);
    EXPECT_EQ(caption.text().toStdString(), water);
    Ok();
    ASSERT_FALSE(f.sink.Messages.empty());
    EXPECT_TRUE(Holds(f.sink.Messages.back(), water));
    FindControl<QComboBox>(*w.Dose(), dc::MediumChoice).setCurrentIndex(0);
    EXPECT_EQ(caption.text(), designed);
    EXPECT_EQ(w.State().PhantomMedium, Medium::IcruFourComponent);
}

class ThicknessTest : public DoseTest {
  protected:
    ThicknessTest() : DoseTest(true) {}
    // The thickness typed and entered, as the user does.
    void Thickness(const char* cm) {
        QLineEdit& field = FindControl<QLineEdit>(*w.Dose(), dc::Thickness);
        field.setText(QString::fromUtf8(cm));
        QTest::keyClick(&field, Qt::Key_Return);
    }
};

// 20 cm: 40 layers in the state, the results file, the graph, the cursor,
// the dose table and the spectrum window's list; the exit in mGy.
TEST_P(ThicknessTest, AFinitePhantomsResultsEndAtItsExit) {
    Open();
    Thickness("20");
    ASSERT_EQ(Said(), "");
    EXPECT_EQ(w.State().ThicknessCm, 20.0);
    Ok();
    const SharedState& s = w.State();
    ASSERT_EQ(s.DepthRowCount, 40);
    EXPECT_EQ(s.DepthDoseResult[41][TotalPdd], 0.0);
    const std::vector<std::string> results = Lines(ReadBytes(f.dir / ResultsFileName));
    EXPECT_EQ(std::find(results.begin(), results.end(), "\r") - results.begin(), 40);

    const QImage& graph = w.Graph().Image();
    EXPECT_TRUE(ColourNear(graph, RowPoint(s.DepthDoseResult, 40, PrimaryPdd), colours::Red));
    EXPECT_EQ(CountColour(graph, {RowToX(40) + 8, PlotFrame.top()},
                          {PlotFrame.right() - 4, PlotFrame.bottom()}, colours::Red),
              0)
        << "a curve beyond the exit";
    PointerAt(w, {RowToX(50), 400});
    EXPECT_EQ(s.CursorRow, 40) << "the pointer beyond the exit";
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(s.CursorRow, 40);
    EXPECT_EQ(w.Beams().CursorRow(), 40);

    EXPECT_EQ(Table().rowCount(), 41);
    const AbsoluteDose lib = Library(Exposure{ExposureKind::IncidentAirKerma, 1});
    EXPECT_EQ(FindControl<QLabel>(*w.Dose(), dc::ExitFigures).text().toStdString(),
              ExitLine(*ExitDoseOf(20, 40, &lib.PerKerma), lib, GetParam()));
    w.OpenQualityWindow();
    EXPECT_TRUE(Ends(Curves(*w.Quality()).back().toStdString(),
                     Text(GetParam(), MessageId::DoseThicknessShown, {"20"})));
}

// Out of range or not a number: told by
// the value, the field back to the last one accepted, and the next OK
// refused with the last results kept.
TEST_P(ThicknessTest, ABadThicknessIsRefusedAndTheLastResultsStay) {
    Open();
    const auto refused = [this](const char* typed, const Message& why) {
        Thickness(typed);
        EXPECT_EQ(Said(), why.In(GetParam())) << typed;
        EXPECT_EQ(FindControl<QLineEdit>(*w.Dose(), dc::Thickness).text(), "20") << typed;
        EXPECT_EQ(w.State().ThicknessCm, 20.0) << typed;
    };
    Thickness("20");
    Ok();
    ASSERT_EQ(w.State().DepthRowCount, 40);
    refused("9.5", *ThicknessProblem(9.5)); // the range is SlabKernels' test
    refused("2,5",
            Message(MessageId::NotANumber, {Arg(Message(MessageId::DoseThickness)), Arg("2,5")}));
    Thickness("");
    EXPECT_EQ(w.State().ThicknessCm, std::nullopt) << "empty: the semi-infinite phantom";
    Thickness("20");
    EXPECT_EQ(Said(), "");

    // Every medium takes a thickness; one whose tables are missing (this
    // folder has no water) is refused by its name at OK.
    FindControl<QComboBox>(*w.Dose(), dc::MediumChoice).setCurrentIndex(2);
    EXPECT_EQ(Said(), Text(GetParam(), MessageId::DoseFiguresStale,
                           {PhantomText(Medium::IcruFourComponent, 20.0, GetParam()),
                            PhantomText(Medium::Water, 20.0, GetParam())}));
    const std::size_t drawn = w.Beams().Drawn().size();
    Ok();
    EXPECT_TRUE(Holds(f.sink.Messages.back(), Text(GetParam(), MessageId::MediumWater)));
    EXPECT_EQ(w.State().DepthRowCount, 40);
    EXPECT_EQ(w.Beams().Drawn().size(), drawn);
}

// The figures are the last calculation's until OK: a thickness chosen since
// is said to apply from the next OK, through an exposure applied meanwhile,
// and the note goes once OK has computed it.
TEST_P(ThicknessTest, FiguresOfTheLastPhantomSaySoUntilTheNextOk) {
    Open();
    Ok();
    QLabel& medium = FindControl<QLabel>(*w.Dose(), dc::Medium);
    const QString thick = medium.text();
    const int rows = Table().rowCount();
    Thickness("20");
    const std::string stale =
        Text(GetParam(), MessageId::DoseFiguresStale,
             {PhantomText(Medium::IcruFourComponent, std::nullopt, GetParam()),
              PhantomText(Medium::IcruFourComponent, 20.0, GetParam())});
    EXPECT_EQ(Said(), stale);
    EXPECT_EQ(medium.text(), thick);
    Click(dc::Apply);
    EXPECT_EQ(Said(), stale);
    EXPECT_EQ(Table().rowCount(), rows);
    Ok();
    EXPECT_EQ(Said(), "");
    EXPECT_NE(medium.text(), thick);
    EXPECT_EQ(Table().rowCount(), 41);
}

INSTANTIATE_TEST_SUITE_P(Editions, DoseTest, BothEditions, EditionName);
INSTANTIATE_TEST_SUITE_P(Editions, ThicknessTest, BothEditions, EditionName);

} // namespace
