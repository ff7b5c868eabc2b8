// The examination window against the study library it drives: opened by
// its key and by the graph's menu, a study of three exposures made from
// the main window's beam, saved, opened again and computed to the same
// totals as the library computes from the file, and a mistyped number
// refused by the field's name with nothing changed; a dose record's events
// imported as exposures.
#include "app/ExamWindow.h"

#include "app/DoseWindow.h"
#include "dicom/RecordBuilder.h"
#include "engine/ModelData.h"
#include "files/StudyFile.h"
#include "gui/QualityFixture.h"

#include <QComboBox>
#include <QMenu>
#include <QTableWidget>
#include <fstream>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace ec = examcontrols;

class ExamTest : public SideWindowTest<ExamWindow, &MainWindow::Exam> {
  protected:
    ExamTest() : SideWindowTest(UseSlabData) {}

    ExamWindow& Open() {
        Ok();
        return OpenBy(Qt::Key_F6);
    }
    void Choose(ControlName combo, int index) {
        FindControl<QComboBox>(*w.Exam(), combo).setCurrentIndex(index);
    }
    // The selected exposure from the side `entry`, its table's factor typed.
    void Edit(int row, BeamEntry entry, const char* table) {
        w.Exam()->SelectExposure(row);
        Choose(ec::Entry, static_cast<int>(entry));
        Type(ec::Table, table);
        Click(ec::Apply);
    }
    QString Cell(ControlName table, int row, int column) const {
        const QTableWidgetItem* item =
            FindControl<QTableWidget>(*w.Exam(), table).item(row, column);
        return item != nullptr ? item->text() : QString();
    }
};

// The key and the menu reach one window, titled in the edition's words; the
// menu's other items keep their places; the dose window's exposure comes across.
TEST_P(ExamTest, F6AndTheMenuOpenOneWindow) {
    ExamWindow& exam = Open();
    EXPECT_TRUE(exam.isVisible());
    EXPECT_EQ(exam.windowTitle(),
              QString::fromUtf8(Wording(GetParam(), MessageId::ExamWindowTitle)));
    QAction* item = w.GraphMenu()->actions()[4];
    ASSERT_TRUE(item->text().endsWith(QStringLiteral("\tF6")));
    item->trigger();
    EXPECT_EQ(w.Exam(), &exam);

    // A new exposure takes the dose window's exposure over the one typed here.
    w.OpenDoseWindow();
    FindControl<QLineEdit>(*w.Dose(), dosecontrols::AirKerma).setText(QStringLiteral("2.5"));
    FindControl<QAbstractButton>(*w.Dose(), dosecontrols::Apply).click();
    Type(ec::Exposure, "1.25");
    Click(ec::AddBeam);
    ASSERT_EQ(exam.CurrentStudy().Exposures.size(), 1u) << Said();
    EXPECT_EQ(exam.CurrentStudy().Exposures[0].Form.Parts.AirKermaMgy, 2.5);
    // Named in the edition's words.
    EXPECT_EQ(exam.CurrentStudy().Exposures[0].Name,
              GetParam() == Language::Japanese ? "照射 1" : "exposure 1");
}

// Anterior, posterior through a table and left: saved, opened in a window of
// its own and computed, the totals are the library's from the saved file to
// the bit, and the file holds the sides and the table as edited.
TEST_P(ExamTest, AThreeExposureStudySavesReopensAndTotalsAsTheLibrary) {
    ExamWindow& exam = Open();
    Type(ec::Exposure, "1.25");
    for (int i = 0; i < 3; ++i)
        Click(ec::AddBeam);
    ASSERT_EQ(exam.CurrentStudy().Exposures.size(), 3u) << Said();
    Edit(1, BeamEntry::Posterior, "0.8");
    Edit(2, BeamEntry::Left, "");
    Click(ec::AddPoint);
    auto& points = FindControl<QTableWidget>(exam, ec::Points);
    points.item(0, 0)->setText(QStringLiteral("conceptus"));
    points.item(0, 1)->setText(QStringLiteral("8"));
    points.item(0, 4)->setText(QStringLiteral("2"));
    Click(ec::Compute);
    ASSERT_NE(exam.Result(), nullptr) << Said();

    const std::filesystem::path file = f.dir.Path() / "three.json";
    exam.SaveStudy(QString::fromStdString(file.string()));
    ASSERT_TRUE(std::filesystem::exists(file)) << Said();
    const Study saved = ReadStudyFile(file);
    ASSERT_EQ(saved.Exposures.size(), 3u);
    EXPECT_EQ(saved.Exposures[1].Entry, BeamEntry::Posterior);
    EXPECT_EQ(saved.Exposures[1].TableTransmission, 0.8);
    EXPECT_EQ(saved.Exposures[2].Entry, BeamEntry::Left);
    EXPECT_FALSE(saved.Exposures[2].TableTransmission);
    EXPECT_EQ(saved.Exposures[0].Form.Parts.AirKermaMgy, 1.25);
    EXPECT_EQ(saved.Points[0].DepthUncertaintyCm, 2.0);

    ExamWindow again(w.State(), w.Beams(), {});
    ASSERT_TRUE(again.OpenStudy(QString::fromStdString(file.string())));
    again.Compute();
    ASSERT_NE(again.Result(), nullptr);
    const StudyResult library = ComputeStudy(saved, *ModelData::Load(f.dir.Path()));
    ASSERT_EQ(again.Result()->Totals.size(), 1u);
    const auto range = [](const DoseRange& r) { return std::tuple(r.Dose, r.Low, r.High); };
    for (const StudyResult* shown : {exam.Result(), again.Result()})
        EXPECT_EQ(range(shown->Totals[0]), range(library.Totals[0]));
    EXPECT_GT(library.Totals[0].High, library.Totals[0].Low);
    EXPECT_EQ(Cell(ec::Totals, 0, 0), QStringLiteral("conceptus"));
    EXPECT_FALSE(Cell(ec::Totals, 0, 1).isEmpty());

    const std::filesystem::path pdf = f.dir.Path() / "three.pdf";
    exam.SaveReportPdf(QString::fromStdString(pdf.string()));
    std::ifstream report(pdf, std::ios::binary);
    std::string head(5, '\0');
    report.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-") << Said();
}

// A number read only in part is refused by its field's name, as typed, and
// the exposure keeps what it had; so is a point's cell, by point and column.
TEST_P(ExamTest, AMistypedNumberIsRefusedByItsFieldsName) {
    ExamWindow& exam = Open();
    Click(ec::AddBeam);
    ASSERT_EQ(exam.CurrentStudy().Exposures.size(), 1u) << Said();
    const double fsd = exam.CurrentStudy().Exposures[0].FsdCm;
    Type(ec::Fsd, "8O");
    Click(ec::Apply);
    const Language e = GetParam();
    EXPECT_EQ(Said(), Text(e, MessageId::NotANumber, {Text(e, MessageId::ExamFsd), "8O"}));
    EXPECT_EQ(exam.CurrentStudy().Exposures[0].FsdCm, fsd);

    Click(ec::AddPoint);
    FindControl<QTableWidget>(exam, ec::Points).item(0, 2)->setText(QStringLiteral("1,5"));
    Click(ec::Compute);
    EXPECT_EQ(exam.Result(), nullptr);
    const std::string cell =
        Text(e, MessageId::ExamPointCell, {"P1", Text(e, MessageId::ExamLeft)});
    EXPECT_EQ(Said(), Text(e, MessageId::NotANumber, {cell, "1,5"}));

    // A damaged study file is refused with the library's reason and the
    // window keeps its study.
    const std::filesystem::path damaged = f.dir.Path() / "damaged.json";
    std::ofstream(damaged) << "{\"veltrim_study\": 1, \"patient\": {";
    EXPECT_FALSE(exam.OpenStudy(QString::fromStdString(damaged.string())));
    EXPECT_TRUE(Begins(Said(), Text(e, MessageId::ExamNotOpened, {""})));
    EXPECT_GT(Said().size(), Text(e, MessageId::ExamNotOpened, {""}).size()) << "no reason given";
    EXPECT_EQ(exam.CurrentStudy().Exposures.size(), 1u);
}

// A dose record's events join the list as exposures like any other, those
// with a value the record did not give marked with it; a record that cannot
// be placed (no point typed) or read (not DICOM) leaves the study as it was.
TEST_P(ExamTest, ImportsADoseRecordsEventsAsEditableExposures) {
    ExamWindow& exam = Open();
    const Language e = GetParam();
    ReportBuilder b;
    b.Event()
        .Num("113733", "KVP", "70", "kV")
        .Num("122130", "Dose Area Product", "2.3456789e-005", "Gy.m2")
        .Close();
    b.Event().Num("122130", "Dose Area Product", "3e-005", "Gy.m2").Close();
    const QString record = QString::fromStdString(b.Save(f.dir, "rf.dcm").string());

    EXPECT_FALSE(exam.ImportRecord(record));
    EXPECT_EQ(Said(), Text(e, MessageId::ExamImportNeedsPatient));
    EXPECT_TRUE(exam.CurrentStudy().Exposures.empty());

    Click(ec::AddPoint);
    ASSERT_TRUE(exam.ImportRecord(record)) << Said();
    const auto& list = FindControl<QTableWidget>(exam, ec::Exposures);
    ASSERT_EQ(exam.CurrentStudy().Exposures.size(), 2u);
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(exam.CurrentStudy().Exposures[0].TubeVoltage, 70.0);
    // The table shows a converted figure to five digits; the study keeps all.
    EXPECT_TRUE(Begins(list.item(0, 6)->text().toStdString(), "0.23457 "));
    EXPECT_FALSE(list.item(0, 0)->toolTip().contains(QStringLiteral("kv =")));
    EXPECT_TRUE(list.item(1, 0)->text().endsWith(QStringLiteral(" *")));
    EXPECT_TRUE(Holds(list.item(1, 0)->toolTip().toStdString(), "kv = 80"));
    EXPECT_TRUE(list.item(1, 0)->toolTip().contains(QStringLiteral("table_transmission =")));
    Edit(1, BeamEntry::Posterior, "0.75");
    EXPECT_EQ(exam.CurrentStudy().Exposures[1].Entry, BeamEntry::Posterior);
    EXPECT_EQ(exam.CurrentStudy().Exposures[1].TableTransmission, 0.75);
    // The factor typed over the assumed one is no longer marked; the rest are.
    EXPECT_FALSE(list.item(1, 0)->toolTip().contains(QStringLiteral("table_transmission")));
    EXPECT_TRUE(list.item(1, 0)->toolTip().contains(QStringLiteral("kv = 80")));
    Click(ec::Compute);
    EXPECT_NE(exam.Result(), nullptr) << Said();

    const Study before = exam.CurrentStudy();
    const std::filesystem::path json = f.dir.Write("s.json", std::string(300, ' '));
    EXPECT_FALSE(exam.ImportRecord(QString::fromStdString(json.string())));
    EXPECT_TRUE(Begins(Said(), Text(e, MessageId::ExamNotImported, {""})));
    // The reader's reason in the edition's words too.
    EXPECT_TRUE(Holds(Said(), e == Language::Japanese ? "DICOM ファイルではありません"
                                                      : "not a DICOM file"));
    EXPECT_EQ(StudyFileBytes(exam.CurrentStudy()), StudyFileBytes(before));
}

INSTANTIATE_TEST_SUITE_P(Editions, ExamTest, BothEditions, EditionName);

} // namespace
