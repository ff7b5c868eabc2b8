// What the main window keeps outside itself through the graph's menu: the
// table for other programs, the graph as PNG and SVG, the PDF report and saved beams.
#include "app/DoseWindow.h"
#include "app/MainWindow.h"
#include "app/ProgramFiles.h"
#include "app/QualityWindow.h"
#include "app/WindowBuilder.h"
#include "engine/DataLocation.h"
#include "files/BeamFile.h"
#include "files/TableExport.h"
#include "graph/GraphPicture.h"
#include "readout/ResultsSaving.h"
#include "report/ReportContent.h"
#include "report/ReportPdf.h"

#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <tuple>

namespace veltrim {

QString MainWindow::ChooseFileName(bool save, const QString& suggested, const QString& filter) {
    const QString folder = QString::fromStdString(state_.WorkFolder.string());
    const QString start = folder + QChar(u'/') + suggested;
    return save ? QFileDialog::getSaveFileName(this, {}, start, filter)
                : QFileDialog::getOpenFileName(this, {}, folder, filter);
}

// The last curve drawn as a calculation's result: the state holds its table,
// the dose window its exposure.
BeamResult MainWindow::DrawnResult() const {
    const CalculatedBeam& drawn = beams_.Drawn().back();
    BeamResult beam;
    beam.Conditions = state_.ResultConditions;
    beam.Model = drawn.Model;
    beam.PhantomMedium = drawn.PhantomMedium;
    beam.ThicknessCm = drawn.ThicknessCm;
    beam.Spectrum.Spectrum = drawn.Spectrum;
    beam.Quality = drawn.Quality;
    beam.DepthDose = std::make_unique<DepthDoseCalculation>();
    beam.DepthDose->Rows = state_.DepthRowCount;
    beam.DepthDose->Table = state_.DepthDoseResult;
    if (const AbsoluteDose* dose = doseWindow_ != nullptr ? doseWindow_->ExposedDose() : nullptr)
        beam.Absolute = std::make_unique<AbsoluteDose>(*dose);
    return beam;
}

bool MainWindow::RefuseRecordDuringCalculation() {
    if (!state_.CalculationUnderWay)
        return false;
    state_.Messages.Show(Text(state_.Edition, MessageId::RecordDuringCalculation));
    return true;
}

void MainWindow::ExportTableCsv(const QString& fileName) {
    // A cancelled choice (a null name) writes nothing and says nothing; an
    // empty one typed is refused with the reason, as the saves refuse names.
    if (fileName.isNull() || RefuseRecordDuringCalculation() || state_.ResultsReady != 1 ||
        beams_.Drawn().empty())
        return;
    const BeamResult beam = DrawnResult();
    state_.Messages.Show(ExportBytesAs(SavedFile::TableCsv,
                                       TableCsvBytes(RecordOf(beam, beams_.Drawn().back().Typed)),
                                       fileName, state_.WorkFolder, state_.Edition)
                             .Message);
}

void MainWindow::ExportGraphPng(const QString& fileName) {
    if (fileName.isNull() || RefuseRecordDuringCalculation() || state_.ResultsReady != 1)
        return;
    state_.Messages.Show(
        ExportGraphPngAs(graph_->Image(), fileName, state_.WorkFolder, state_.Edition).Message);
}

void MainWindow::ExportGraphSvg(const QString& fileName) {
    if (fileName.isNull() || RefuseRecordDuringCalculation() || state_.ResultsReady != 1)
        return;
    const QByteArray svg = graph_->SvgDrawing();
    state_.Messages.Show(
        ExportBytesAs(SavedFile::GraphSvg,
                      std::string_view(svg.constData(), static_cast<std::size_t>(svg.size())),
                      fileName, state_.WorkFolder, state_.Edition)
            .Message);
}

void MainWindow::ChooseAndSaveReportPdf() {
    if (RefuseRecordDuringCalculation() || state_.ResultsReady != 1 || beams_.Drawn().empty())
        return;
    SaveReportPdf(ChooseFileName(true, FileNameDate(QDate::currentDate()) + QStringLiteral(".pdf"),
                                 QStringLiteral("PDF (*.pdf)")));
}

void MainWindow::SaveReportPdf(const QString& fileName) {
    if (fileName.isNull() || RefuseRecordDuringCalculation() || state_.ResultsReady != 1 ||
        beams_.Drawn().empty())
        return;
    const CalculatedBeam& drawn = beams_.Drawn().back();
    const BeamResult beam = DrawnResult();
    ReportRequest request;
    request.Edition = state_.Edition;
    request.Typed = drawn.Typed;
    request.Header.ReportTime = ReportTimeNow();
    request.Header.DataIdentity = DataIdentity(state_.DataFolder);
    if (doseWindow_ != nullptr)
        std::tie(request.DoseFromCm, request.DoseToCm) = doseWindow_->ShownDoseDepths();
    if (drawn.Matched) {
        request.MeasuredHvl1 = drawn.Matched->MeasuredHvl1MmAl;
        request.MatchedCopper = drawn.Matched->Filter == MatchFilter::Copper;
        request.MatchedInherent = drawn.Matched->Filter == MatchFilter::Inherent;
        request.FoundFilter = drawn.Matched->FoundMm;
    }
    state_.Messages.Show(ExportBytesAs(SavedFile::ReportPdf,
                                       ReportPdfBytes(ReportOf(beam, request)), fileName,
                                       state_.WorkFolder, state_.Edition)
                             .Message);
}

void MainWindow::ChooseAndSaveBeam() {
    SaveBeam(ChooseFileName(true, QStringLiteral("beam.json"), QStringLiteral("JSON (*.json)")));
}

void MainWindow::ChooseAndOpenBeam() {
    OpenBeam(ChooseFileName(false, {}, QStringLiteral("JSON (*.json)")));
}

void MainWindow::SaveBeam(const QString& fileName) {
    if (fileName.isNull())
        return;
    SavedBeam beam;
    beam.Name = QFileInfo(fileName).completeBaseName().toStdString();
    beam.Texts = TypedConditions();
    beam.Rectification = TypedRectification();
    beam.DivergentScatter = DivergentScatter();
    // What the other windows hold as typed now, else what the last beam
    // opened brought with it.
    beam.MeasuredHvl1MmAl = qualityWindow_ != nullptr ? qualityWindow_->TypedMeasuredHvl1()
                                                      : beamExtras_.MeasuredHvl1MmAl;
    if (doseWindow_ != nullptr) {
        const auto [output, distance] = doseWindow_->TypedTubeOutput();
        beam.TubeOutputUgyPerMas = output;
        beam.OutputDistanceCm = distance;
    } else {
        beam.TubeOutputUgyPerMas = beamExtras_.TubeOutputUgyPerMas;
        beam.OutputDistanceCm = beamExtras_.OutputDistanceCm;
    }
    // What the next OK computes with, and the exposure the dose window
    // applies to it (else the one the last beam opened brought).
    beam.PhantomMedium = state_.PhantomMedium;
    beam.ThicknessCm = state_.ThicknessCm;
    beam.Exposure = beamExtras_.Exposure;
    if (doseWindow_ != nullptr)
        beam.Exposure = doseWindow_->AcceptedExposure() ? PartsOf(*doseWindow_->AcceptedExposure())
                                                        : ExposureParts{};
    beam.AirCm = beamExtras_.AirCm;
    state_.Messages.Show(ExportBytesAs(SavedFile::Beam, BeamFileBytes(beam), fileName,
                                       state_.WorkFolder, state_.Edition)
                             .Message);
}

bool MainWindow::OpenBeam(const QString& fileName) {
    // During a calculation the conditions it reads must not change under it.
    if (fileName.isNull() || state_.CalculationUnderWay || ended_)
        return false;
    const QByteArray encoded = QFile::encodeName(fileName);
    SavedBeam beam;
    try {
        beam =
            ReadBeamFile(state_.WorkFolder / std::string(encoded.constData(),
                                                         static_cast<std::size_t>(encoded.size())));
    } catch (const BeamFileError& e) {
        state_.Messages.Show(e.Problem().In(state_.Edition));
        return false;
    }
    const std::string* texts[] = {
        &beam.Texts.TubeVoltage, &beam.Texts.TargetAngle, &beam.Texts.InherentFiltration,
        &beam.Texts.AlFilter,    &beam.Texts.CuFilter,    &beam.Texts.Fsd,
        &beam.Texts.FieldX,      &beam.Texts.FieldY};
    for (std::size_t i = 0; i < conditionFields_.size(); ++i)
        conditionFields_[i]->setText(QString::fromStdString(*texts[i]));
    // As a click on the option would choose it.
    const int method = static_cast<int>(beam.Rectification);
    rectificationOptions_[static_cast<std::size_t>(method - 1)]->setChecked(true);
    state_.SelectRectification(method);
    ApplyScatterModel(beam.DivergentScatter);
    SetPhantomMedium(beam.PhantomMedium);
    SetPhantomThickness(beam.ThicknessCm);
    if (doseWindow_ != nullptr)
        doseWindow_->ShowPhantomChoice(beam.PhantomMedium, beam.ThicknessCm);
    beamExtras_ = beam;
    ShareBeamExtras(true, true);
    return true;
}

void MainWindow::ShareBeamExtras(bool quality, bool dose) {
    if (quality && qualityWindow_ != nullptr && beamExtras_.MeasuredHvl1MmAl)
        qualityWindow_->SetMeasuredHvl1(*beamExtras_.MeasuredHvl1MmAl);
    if (!dose || doseWindow_ == nullptr)
        return;
    if (beamExtras_.TubeOutputUgyPerMas)
        doseWindow_->SetTubeOutput(*beamExtras_.TubeOutputUgyPerMas, beamExtras_.OutputDistanceCm);
    if (const std::optional<Exposure> given = ExposureOf(beamExtras_.Exposure))
        doseWindow_->SetExposure(*given);
}

} // namespace veltrim
