// The examination window's patient and points, and the study as a whole:
// computed, saved, opened and reported.
#include "app/ExamWindow.h"
#include "app/ProgramFiles.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "core/NumberReading.h"
#include "dicom/DoseRecordLoader.h"
#include "engine/DataLocation.h"
#include "files/StudyFile.h"
#include "readout/ResultsSaving.h"
#include "report/ReportPdf.h"
#include "report/StudyReport.h"
#include "window/SharedState.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

namespace veltrim {
namespace {

namespace ec = examcontrols;

// The points' columns after the name, in the order of the table.
constexpr MessageId PointColumns[] = {MessageId::ExamDepth,     MessageId::ExamLeft,
                                      MessageId::ExamHead,      MessageId::ExamDepthRange,
                                      MessageId::ExamLeftRange, MessageId::ExamHeadRange};
constexpr double StudyPoint::*PointFields[] = {&StudyPoint::DepthCm,
                                               &StudyPoint::LeftCm,
                                               &StudyPoint::HeadCm,
                                               &StudyPoint::DepthUncertaintyCm,
                                               &StudyPoint::LeftUncertaintyCm,
                                               &StudyPoint::HeadUncertaintyCm};

QString Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Dose(double mgy) {
    return QString::fromStdString(FormatC("%.4g", mgy));
}

std::filesystem::path LocalPath(const std::filesystem::path& folder, const QString& name) {
    const QByteArray encoded = QFile::encodeName(name);
    return folder / std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

} // namespace

void ExamWindow::Forget() {
    result_.reset();
    if (totals_ != nullptr)
        totals_->setRowCount(0);
}

void ExamWindow::ShowPatientAndPoints() {
    Field(ec::ApThickness).setText(Number(study_.Patient.ApThicknessCm));
    Field(ec::LateralWidth).setText(Number(study_.Patient.LateralWidthCm));
    for (int i = 0; i < medium_->count(); ++i)
        if (MediumKeys[i].second == study_.Patient.PatientMedium)
            medium_->setCurrentIndex(i);
    const QSignalBlocker quiet(points_);
    points_->setRowCount(static_cast<int>(study_.Points.size()));
    for (std::size_t r = 0; r < study_.Points.size(); ++r) {
        const StudyPoint& p = study_.Points[r];
        const int row = static_cast<int>(r);
        points_->setItem(row, 0, new QTableWidgetItem(Utf8(p.Name)));
        for (std::size_t c = 0; c < std::size(PointFields); ++c)
            points_->setItem(row, static_cast<int>(c) + 1,
                             new QTableWidgetItem(Number(p.*PointFields[c])));
    }
    Forget();
}

void ExamWindow::AddPoint() {
    const int row = points_->rowCount();
    points_->setRowCount(row + 1);
    // A point halfway through the patient, on the midline, until typed.
    const double thickness =
        ReadWholeNumber(Field(ec::ApThickness).text().toStdString()).value_or(20.0);
    const QString start[] = {QStringLiteral("P%1").arg(row + 1),
                             Number(thickness / 2.0),
                             QStringLiteral("0"),
                             QStringLiteral("0"),
                             QStringLiteral("0"),
                             QStringLiteral("0"),
                             QStringLiteral("0")};
    for (int c = 0; c < static_cast<int>(std::size(start)); ++c)
        points_->setItem(row, c, new QTableWidgetItem(start[c]));
    points_->setCurrentCell(row, 0);
}

void ExamWindow::RemovePoint() {
    const int row = points_->currentRow();
    if (row >= 0)
        points_->removeRow(row);
    Forget();
}

std::optional<double> ExamWindow::CellNumber(int row, int column, bool blankIsZero) {
    const QTableWidgetItem* item = points_->item(row, column);
    const std::string text = item != nullptr ? item->text().trimmed().toStdString() : std::string();
    if (text.empty() && blankIsZero)
        return 0.0;
    const std::optional<double> value = ReadWholeNumber(text);
    if (!value) {
        const QTableWidgetItem* name = points_->item(row, 0);
        const std::string point = name != nullptr && !name->text().trimmed().isEmpty()
                                      ? name->text().trimmed().toStdString()
                                      : std::to_string(row + 1);
        const std::string caption = Text(edition_, MessageId::ExamPointCell,
                                         {point, Text(edition_, PointColumns[column - 1])});
        ShowMessage(Text(edition_, MessageId::NotANumber, {caption, text}), true);
    }
    return value;
}

bool ExamWindow::ReadPatientAndPoints() {
    const std::optional<double> thickness =
        TypedNumber(ec::ApThickness, Text(edition_, MessageId::ExamApThickness));
    if (!thickness)
        return false;
    const std::optional<double> width =
        TypedNumber(ec::LateralWidth, Text(edition_, MessageId::ExamLateralWidth));
    if (!width)
        return false;
    std::vector<StudyPoint> points;
    for (int row = 0; row < points_->rowCount(); ++row) {
        StudyPoint p;
        const QTableWidgetItem* name = points_->item(row, 0);
        p.Name = name != nullptr ? name->text().trimmed().toStdString() : std::string();
        if (p.Name.empty()) {
            ShowMessage(Text(edition_, MessageId::ExamPointNeedsName, {std::to_string(row + 1)}),
                        true);
            return false;
        }
        for (std::size_t c = 0; c < std::size(PointFields); ++c) {
            // The place is required; a range left blank is none.
            const std::optional<double> value = CellNumber(row, static_cast<int>(c) + 1, c >= 3);
            if (!value)
                return false;
            p.*PointFields[c] = *value;
        }
        points.push_back(std::move(p));
    }
    study_.Patient.ApThicknessCm = *thickness;
    study_.Patient.LateralWidthCm = *width;
    study_.Patient.PatientMedium = MediumKeys[std::max(0, medium_->currentIndex())].second;
    study_.Points = std::move(points);
    return true;
}

bool ExamWindow::ComputeTyped() {
    ShowMessage({}, false);
    if (!ReadPatientAndPoints())
        return false;
    // Computed on this thread with the window busy: a study of a thousand
    // pulses of one beam takes some tens of milliseconds once the data are
    // read; each distinct beam adds some tens more.
    ShowMessage(Text(edition_, MessageId::ExamComputing, {std::to_string(study_.Exposures.size())}),
                false);
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::string failure;
    result_.reset();
    try {
        result_ = ComputeStudy(study_, Data());
    } catch (const StudyError& e) {
        failure = Text(edition_, MessageId::ExamNotComputedBecause, {e.Problem().In(edition_)});
    } catch (const CalculationError& e) {
        failure = e.Cause().In(edition_);
    } catch (const MessageError& e) {
        failure = e.Problem().In(edition_);
    } catch (const std::exception& e) {
        failure = Text(edition_, MessageId::ExamNotComputedBecause, {e.what()});
    }
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (!result_) {
        totals_->setRowCount(0);
        ShowMessage(failure, true);
        return false;
    }
    ShowTotals();
    ShowMessage(Text(edition_, MessageId::ExamComputed,
                     {std::to_string(study_.Exposures.size()), std::to_string(study_.Points.size()),
                      std::to_string(result_->BeamsComputed)}),
                false);
    return true;
}

void ExamWindow::Compute() {
    ComputeTyped();
}

void ExamWindow::ShowTotals() {
    totals_->setRowCount(static_cast<int>(result_->Totals.size()));
    for (std::size_t r = 0; r < result_->Totals.size(); ++r) {
        const DoseRange& total = result_->Totals[r];
        const QString cells[] = {Utf8(study_.Points[r].Name), Dose(total.Dose), Dose(total.Low),
                                 Dose(total.High)};
        for (int c = 0; c < 4; ++c)
            totals_->setItem(static_cast<int>(r), c, new QTableWidgetItem(cells[c]));
    }
}

void ExamWindow::SaveStudy(const QString& fileName) {
    if (fileName.isNull() || !ReadPatientAndPoints())
        return;
    const SaveReport report = ExportBytesAs(SavedFile::Study, StudyFileBytes(study_), fileName,
                                            run_.WorkFolder, edition_);
    ShowMessage(report.Message, !report.Saved);
}

bool ExamWindow::OpenStudy(const QString& fileName) {
    if (fileName.isNull())
        return false;
    try {
        study_ = ReadStudyFile(LocalPath(run_.WorkFolder, fileName));
    } catch (const StudyError& e) {
        ShowMessage(Text(edition_, MessageId::ExamNotOpened, {e.Problem().In(edition_)}), true);
        return false;
    }
    ShowPatientAndPoints();
    ShowExposures();
    if (!study_.Exposures.empty())
        SelectExposure(0);
    ShowMessage(
        Text(edition_, MessageId::ExamOpened,
             {QFileInfo(fileName).fileName().toStdString(), std::to_string(study_.Exposures.size()),
              std::to_string(study_.Points.size())}),
        false);
    return true;
}

bool ExamWindow::ImportRecord(const QString& fileName) {
    if (fileName.isNull())
        return false;
    ShowMessage({}, false);
    // A record has no patient or points of its own: the events are placed
    // on the patient typed here, at its points.
    if (Field(ec::ApThickness).text().trimmed().isEmpty() ||
        Field(ec::LateralWidth).text().trimmed().isEmpty() || points_->rowCount() == 0) {
        ShowMessage(Text(edition_, MessageId::ExamImportNeedsPatient), true);
        return false;
    }
    const Study before = study_;
    if (!ReadPatientAndPoints()) {
        study_ = before;
        return false;
    }
    const RecordPatient patient{study_.Patient.ApThicknessCm, study_.Patient.LateralWidthCm,
                                MediumKey(study_.Patient.PatientMedium)};
    std::vector<RecordPoint> points;
    for (const StudyPoint& p : study_.Points)
        points.push_back({p.Name, p.DepthCm, p.LeftCm, p.HeadCm});
    const std::filesystem::path file = LocalPath(run_.WorkFolder, fileName);
    Study imported;
    try {
        imported = ParseStudy(LoadedRecordStudy(file, patient, points),
                              PrintableText(file.string(), 4096));
    } catch (const MessageError& e) { // DoseRecordError, StudyError
        study_ = before;
        ShowMessage(Text(edition_, MessageId::ExamNotImported, {e.Problem().In(edition_)}), true);
        return false;
    }
    const int first = static_cast<int>(study_.Exposures.size());
    int flagged = 0;
    for (StudyExposure& e : imported.Exposures) {
        flagged += e.Assumed.empty() ? 0 : 1;
        // Names stay unique in the list, so that messages point at one exposure.
        for (const StudyExposure& known : study_.Exposures)
            if (known.Name == e.Name)
                e.Name = NextName();
        study_.Exposures.push_back(std::move(e));
    }
    // The first record read stays the study's source.
    if (!study_.Record)
        study_.Record = imported.Record;
    if (!study_.Identifiers)
        study_.Identifiers = imported.Identifiers;
    ShowExposures();
    SelectExposure(first);
    ShowMessage(Text(edition_, MessageId::ExamImported,
                     {QFileInfo(fileName).fileName().toStdString(),
                      std::to_string(imported.Exposures.size()), std::to_string(flagged)}),
                false);
    return true;
}

void ExamWindow::SaveReportPdf(const QString& fileName) {
    if (fileName.isNull() || !ComputeTyped())
        return;
    ReportHeader request;
    request.Physicist = Field(ec::Physicist).text().trimmed().toStdString();
    request.ReportTime = ReportTimeNow();
    request.DataIdentity = DataIdentity(run_.DataFolder);
    const SaveReport report = ExportBytesAs(
        SavedFile::ReportPdf, ReportPdfBytes(StudyReportOf(study_, *result_, request)), fileName,
        run_.WorkFolder, edition_);
    ShowMessage(report.Message, !report.Saved);
}

QString ExamWindow::ChooseFileName(bool save, const QString& suggested, const QString& filter) {
    const QString folder = QString::fromStdString(run_.WorkFolder.string());
    return save ? QFileDialog::getSaveFileName(this, {}, folder + QChar(u'/') + suggested, filter)
                : QFileDialog::getOpenFileName(this, {}, folder, filter);
}

void ExamWindow::ChooseAndOpen() {
    OpenStudy(ChooseFileName(false, {}, QStringLiteral("JSON (*.json)")));
}

void ExamWindow::ChooseAndSave() {
    SaveStudy(ChooseFileName(true,
                             FileNameDate(QDate::currentDate()) + QStringLiteral("-study.json"),
                             QStringLiteral("JSON (*.json)")));
}

void ExamWindow::ChooseAndImport() {
    ImportRecord(ChooseFileName(false, {}, {}));
}

void ExamWindow::ChooseAndReport() {
    SaveReportPdf(ChooseFileName(true,
                                 FileNameDate(QDate::currentDate()) + QStringLiteral("-study.pdf"),
                                 QStringLiteral("PDF (*.pdf)")));
}

} // namespace veltrim
