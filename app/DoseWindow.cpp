#include "app/DoseWindow.h"

#include "app/BeamHistory.h"
#include "app/DoseTexts.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "app/WindowBuilder.h"
#include "calculation/SharedState.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "readout/ResultsSaving.h"

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

namespace veltrim {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

namespace dc = dosecontrols;

// Where the controls the layout does not make go, in pixels: the unit
// choice of the kerma-area product inside the exposure frame; the phantom's
// material of the following calculations in the title row of the results,
// right of the centred title; the message line; the table; and a finite
// phantom's exit, under the save of the table.
constexpr QRect KapUnitBox{316, 172, 120, 28};
constexpr QRect MediumChoiceBox{776, 26, 176, 28};
constexpr QRect MessageBox{16, 384, 948, 46};
constexpr QRect TableBox{16, 462, 620, 222};
constexpr QRect ExitBox{652, 548, 312, 60};

// The kerma-area product's units as offered, and what one of each is in the
// Gy cm2 the library takes.
struct KapUnit {
    const char* Name;
    double GyCm2;
};
constexpr KapUnit KapUnits[] = {
    {"Gy cm2", 1.0}, {"mGy cm2", 1e-3}, {"uGy m2", 1e-2}, {"dGy cm2", 0.1}};

// The columns of the dose table, left to right.
constexpr MessageId Columns[] = {MessageId::DoseDepthColumn, MessageId::DosePrimaryColumn,
                                 MessageId::DoseScatterColumn, MessageId::DoseTotalColumn};

} // namespace

DoseWindow::DoseWindow(const SharedState& run, const BeamHistory& beams, QWidget* parent)
    : QWidget(parent, Qt::Window), run_(run), beams_(beams), edition_(run.Edition) {
    BuildWindow(*this, DoseWindowLayout(edition_));
    const QFont textFont = DesignFont(SideTextFont(edition_));

    auto& frame = FindControl<QWidget>(*this, dc::ExposureFrame);
    for (std::size_t k = 0; k < ways_.size(); ++k)
        ways_[k] = &FindControl<QRadioButton>(*this, dc::ExposureWays[k]);
    airKerma_ = &FindControl<QLineEdit>(*this, dc::AirKerma);
    tubeOutput_ = &FindControl<QLineEdit>(*this, dc::TubeOutput);
    mas_ = &FindControl<QLineEdit>(*this, dc::Mas);
    outputDistance_ = &FindControl<QLineEdit>(*this, dc::OutputDistance);
    kap_ = &FindControl<QLineEdit>(*this, dc::Kap);
    esak_ = &FindControl<QLineEdit>(*this, dc::Esak);
    kapUnit_ = new QComboBox(&frame);
    kapUnit_->setObjectName(QString::fromLatin1(dc::KapUnit.Design));
    kapUnit_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    kapUnit_->setGeometry(KapUnitBox);
    for (const KapUnit& unit : KapUnits)
        kapUnit_->addItem(QString::fromLatin1(unit.Name));
    mediumChoice_ = new QComboBox(this);
    mediumChoice_->setObjectName(QString::fromLatin1(dc::MediumChoice.Design));
    mediumChoice_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    mediumChoice_->setGeometry(MediumChoiceBox);
    mediumChoice_->setToolTip(Utf8(Text(edition_, MessageId::DoseMediumChoiceTip)));
    for (const auto& entry : MediumKeys) {
        mediumChoice_->addItem(Utf8(Text(edition_, MediumName(entry.second))));
        if (entry.second == run_.PhantomMedium)
            mediumChoice_->setCurrentIndex(mediumChoice_->count() - 1);
    }
    connect(mediumChoice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(std::size(MediumKeys))) {
            emit PhantomMediumChosen(MediumKeys[index].second);
            CheckPhantom();
        }
    });
    thickness_ = &FindControl<QLineEdit>(*this, dc::Thickness);
    thickness_->setPlaceholderText(Utf8(Text(edition_, MessageId::DoseSemiInfinite)));
    thickness_->setToolTip(Utf8(Text(edition_, MessageId::DoseThicknessTip)));
    thicknessChosen_ = run_.ThicknessCm;
    if (thicknessChosen_)
        thickness_->setText(Utf8(FormatC("%g", *thicknessChosen_)));
    connect(thickness_, &QLineEdit::editingFinished, this, &DoseWindow::ApplyThickness);
    // One mGy of Ka,i to begin with: the figures read as per mGy until the
    // user gives the exposure of an examination.
    airKerma_->setText(QStringLiteral("1"));
    outputDistance_->setText(QStringLiteral("100"));
    ways_[0]->setChecked(true);

    for (std::size_t k = 0; k < results_.size(); ++k) {
        results_[k] = &FindControl<QLineEdit>(*this, dc::Results[k]);
        results_[k]->setReadOnly(true);
        results_[k]->setFocusPolicy(Qt::ClickFocus);
    }
    medium_ = &FindControl<QLabel>(*this, dc::Medium);
    model_ = &FindControl<QLabel>(*this, dc::Model);
    depthFrom_ = &FindControl<QLineEdit>(*this, dc::DepthFrom);
    depthTo_ = &FindControl<QLineEdit>(*this, dc::DepthTo);
    doseAtDepth_ = &FindControl<QLineEdit>(*this, dc::DoseAtDepth);
    doseAtDepth_->setReadOnly(true);
    doseAtDepth_->setFocusPolicy(Qt::ClickFocus);
    shownBeam_ = &FindControl<QLabel>(*this, dc::ShownBeam);
    csvName_ = &FindControl<QLineEdit>(*this, dc::CsvFileName);
    csvName_->setText(FileNameDate(QDate::currentDate()) + QStringLiteral("-dose"));
    saveCsv_ = &FindControl<QPushButton>(*this, dc::SaveCsv);

    message_ = &AddMessageLine(*this, dc::MessageLine, MessageBox, textFont);
    exit_ = &AddMessageLine(*this, dc::ExitFigures, ExitBox, textFont);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QString::fromLatin1(dc::Table.Design));
    table_->setFont(textFont);
    table_->setGeometry(TableBox);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QStringList headings;
    for (const MessageId column : Columns)
        headings << Utf8(Text(edition_, column));
    table_->setHorizontalHeaderLabels(headings);

    for (QRadioButton* way : ways_)
        connect(way, &QRadioButton::toggled, this, &DoseWindow::EnableWayFields);
    for (QLineEdit* field : {airKerma_, tubeOutput_, mas_, outputDistance_, kap_, esak_})
        connect(field, &QLineEdit::returnPressed, this, &DoseWindow::ApplyExposure);
    connect(&FindControl<QPushButton>(*this, dc::Apply), &QPushButton::clicked, this,
            &DoseWindow::ApplyExposure);
    for (QLineEdit* field : {depthFrom_, depthTo_})
        connect(field, &QLineEdit::returnPressed, this, &DoseWindow::ShowDoseAtDepth);
    connect(&FindControl<QPushButton>(*this, dc::FindDose), &QPushButton::clicked, this,
            &DoseWindow::ShowDoseAtDepth);
    connect(saveCsv_, &QPushButton::clicked, this, &DoseWindow::SaveDoseCsv);
    connect(&beams_, &BeamHistory::Changed, this, &DoseWindow::ShowLastCalculation);
    connect(&beams_, &BeamHistory::CursorMoved, this, &DoseWindow::MarkCursorRow);
    EnableWayFields();
    accepted_ = TypedExposure();
    ShowLastCalculation();
}

void DoseWindow::EnableWayFields() {
    // Only the chosen way's fields take a value, so that an exposure is
    // never given two ways at once.
    airKerma_->setEnabled(ways_[0]->isChecked());
    for (QWidget* field : std::initializer_list<QWidget*>{tubeOutput_, mas_, outputDistance_})
        field->setEnabled(ways_[1]->isChecked());
    kap_->setEnabled(ways_[2]->isChecked());
    kapUnit_->setEnabled(ways_[2]->isChecked());
    esak_->setEnabled(ways_[3]->isChecked());
}

void DoseWindow::ShowLastCalculation() {
    ShowMessage({}, false);
    // The state's depth dose is that of the last drawn curve: a failed depth
    // dose keeps the previous table, and during a calculation the history
    // still names the previous beam while the state already changes; what
    // is shown waits for the history's next change.
    if (run_.CalculationUnderWay)
        return;
    shown_.reset();
    if (beams_.Drawn().empty()) {
        shownBeam_->setText(Utf8(Text(edition_, MessageId::QualityNoBeam)));
        ShowFigures();
        return;
    }
    const CalculatedBeam& beam = beams_.Drawn().back();
    shownBeam_->setText(
        Utf8(Text(edition_, MessageId::QualityShownBeam, {DescribeBeam(beam, edition_)})));
    try {
        if (!data_)
            data_ = ModelData::Load(run_.DataFolder);
        const DoseProfiles depthDose{run_.DepthRowCount, run_.PrimaryDose, run_.ScatterDose};
        const std::unique_ptr<AbsoluteDose> dose =
            BeamAbsoluteDose(run_.ResultConditions, beam.Spectrum, depthDose, run_.Tissue, *data_,
                             std::nullopt, beam.PhantomMedium);
        shown_ = Shown{beam, run_.ResultConditions, *dose, std::nullopt};
        if (beam.ThicknessCm)
            shown_->Exit = ExitDoseOf(*beam.ThicknessCm, run_.DepthDoseResult, run_.DepthRowCount,
                                      &shown_->Dose.PerKerma);
    } catch (const BeamError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    } catch (const DataFileError& e) {
        ShowMessage(e.Problem().In(edition_), true);
    }
    if (shown_ && accepted_)
        Expose(*accepted_);
    ShowFigures();
}

std::optional<Exposure> DoseWindow::TypedExposure() {
    const auto number = [](const QLineEdit* field) {
        return ReadNumber(field->text().toStdString());
    };
    Exposure given;
    if (ways_[1]->isChecked()) {
        if (mas_->text().trimmed().isEmpty()) {
            ShowMessage(Text(edition_, MessageId::ExposureNeedsMas), true);
            return std::nullopt;
        }
        given = {ExposureKind::TubeOutput, number(tubeOutput_), number(mas_),
                 number(outputDistance_)};
    } else if (ways_[2]->isChecked()) {
        const KapUnit& unit = KapUnits[std::max(0, kapUnit_->currentIndex())];
        given = {ExposureKind::KermaAreaProduct, number(kap_) * unit.GyCm2};
    } else if (ways_[3]->isChecked()) {
        given = {ExposureKind::EntranceSurfaceKerma, number(esak_)};
    } else {
        given = {ExposureKind::IncidentAirKerma, number(airKerma_)};
    }
    return given;
}

bool DoseWindow::Expose(const Exposure& given) {
    AbsoluteDose& dose = shown_->Dose;
    try {
        dose.IncidentAirKermaMgy =
            IncidentAirKerma(given, shown_->Conditions, dose.PerKerma.Backscatter);
        dose.Given = given;
        return true;
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
        return false;
    }
}

void DoseWindow::ApplyExposure() {
    ShowMessage({}, false);
    const std::optional<Exposure> given = TypedExposure();
    if (!given)
        return;
    if (!shown_) {
        ShowMessage(Text(edition_, MessageId::QualityNoBeam), true);
        return;
    }
    // A refused exposure leaves the figures of the last accepted one.
    if (!Expose(*given))
        return;
    accepted_ = given;
    ShowFigures();
}

void DoseWindow::ShowFigures() {
    for (QLineEdit* result : results_)
        result->clear();
    doseAtDepth_->clear();
    exit_->clear();
    medium_->setText(
        shown_ ? Utf8(MediumLine(shown_->Beam.PhantomMedium, shown_->Beam.ThicknessCm, edition_))
               : QString());
    model_->setText(shown_ ? Utf8(ModelLine(shown_->Beam.Model, edition_)) : QString());
    if (shown_)
        results_[1]->setText(Utf8(FactorText(shown_->Dose.PerKerma.Backscatter)));
    if (Exposed()) {
        const AbsoluteDose& dose = shown_->Dose;
        results_[0]->setText(Utf8(MgyText(dose.IncidentAirKermaMgy)));
        results_[2]->setText(Utf8(MgyText(dose.EntranceSurfaceAirKermaMgy())));
        results_[3]->setText(Utf8(MgyText(dose.Mgy(dose.PerKerma.Surface))));
        if (shown_->Exit)
            ShowOnMessageLine(*exit_, ExitLine(*shown_->Exit, dose, edition_), false);
    }
    ShowTable();
    saveCsv_->setEnabled(Exposed());
    if (Exposed() && !depthFrom_->text().trimmed().isEmpty())
        ShowDoseAtDepth();
}

void DoseWindow::ShowTable() {
    markedRow_ = -1;
    if (!Exposed()) {
        table_->setRowCount(0);
        return;
    }
    const AbsoluteDose& dose = shown_->Dose;
    const DosePerAirKerma& k = dose.PerKerma;
    table_->setRowCount(k.Rows + 1);
    for (int d = 0; d <= k.Rows; ++d) {
        const double values[] = {d == 0 ? k.SurfacePrimary : k.Primary[d],
                                 d == 0 ? k.SurfaceScatter : k.Scatter[d],
                                 d == 0 ? k.Surface : k.Total[d]};
        table_->setItem(d, 0, new QTableWidgetItem(Utf8(FormatC("%.2f", RowDepthCm(d)))));
        for (int c = 0; c < 3; ++c)
            table_->setItem(d, c + 1, new QTableWidgetItem(Utf8(MgyText(dose.Mgy(values[c])))));
        for (int c = 0; c < 4; ++c)
            table_->item(d, c)->setTextAlignment(Qt::AlignCenter);
    }
    MarkCursorRow();
}

void DoseWindow::MarkCursorRow() {
    // The table's row 0 is the surface, so a layer's row is the cursor's.
    const int row = beams_.CursorRow();
    const auto paint = [this](int r, const QBrush& brush) {
        if (r < 0 || r >= table_->rowCount())
            return;
        for (int c = 0; c < table_->columnCount(); ++c)
            table_->item(r, c)->setBackground(brush);
    };
    paint(markedRow_, QBrush());
    markedRow_ = row >= 1 && row < table_->rowCount() ? row : -1;
    if (markedRow_ < 0)
        return;
    paint(markedRow_, QColor::fromRgb(colours::Yellow));
    table_->scrollToItem(table_->item(markedRow_, 0), QAbstractItemView::PositionAtCenter);
}

void DoseWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (markedRow_ >= 0)
        table_->scrollToItem(table_->item(markedRow_, 0), QAbstractItemView::PositionAtCenter);
}

void DoseWindow::ShowDoseAtDepth() {
    doseAtDepth_->clear();
    if (!Exposed())
        return;
    ShowMessage({}, false);
    const AbsoluteDose& dose = shown_->Dose;
    const double from = ReadNumber(depthFrom_->text().toStdString());
    try {
        if (depthTo_->text().trimmed().isEmpty()) {
            doseAtDepth_->setText(Utf8(MgyText(dose.Mgy(DoseAtDepth(dose.PerKerma, from)))));
        } else {
            const double to = ReadNumber(depthTo_->text().toStdString());
            const auto [least, most] = DoseOverDepths(dose.PerKerma, from, to);
            doseAtDepth_->setText(Utf8(Text(edition_, MessageId::DoseOverRange,
                                            {MgyText(dose.Mgy(least)), MgyText(dose.Mgy(most))})));
        }
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    }
}

std::pair<std::optional<double>, std::optional<double>> DoseWindow::TypedTubeOutput() const {
    const auto positive = [](const QLineEdit* field) -> std::optional<double> {
        const double value = ReadNumber(field->text().toStdString());
        if (value > 0.0 && std::isfinite(value))
            return value;
        return std::nullopt;
    };
    const std::optional<double> output = positive(tubeOutput_);
    return {output, output ? positive(outputDistance_) : std::nullopt};
}

void DoseWindow::SetTubeOutput(double output, std::optional<double> distanceCm) {
    const auto text = [](double value) {
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    };
    tubeOutput_->setText(text(output));
    if (distanceCm)
        outputDistance_->setText(text(*distanceCm));
    ways_[1]->setChecked(true);
}

void DoseWindow::ShowMessage(const std::string& text, bool failure) {
    ShowOnMessageLine(*message_, text, failure);
}

void DoseWindow::SaveDoseCsv() {
    if (!Exposed())
        return;
    const SaveReport report =
        SaveDoseCsvAs(DoseCsvBytes(shown_->Beam, shown_->Dose, edition_, shown_->Exit),
                      csvName_->text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void DoseWindow::ApplyThickness() {
    const TypedThickness typed = ReadThickness(thickness_->text().trimmed().toStdString());
    if (typed.Problem) {
        ShowMessage(typed.Problem->In(edition_), true);
        thickness_->setText(thicknessChosen_ ? Utf8(FormatC("%g", *thicknessChosen_)) : QString());
        return;
    }
    ShowMessage({}, false);
    if (typed.Cm == thicknessChosen_)
        return;
    thicknessChosen_ = typed.Cm;
    emit PhantomThicknessChosen(typed.Cm);
}

void DoseWindow::CheckPhantom() {
    ShowMessage({}, false);
    if (thicknessChosen_)
        if (const std::optional<Message> problem = ThicknessProblem(*thicknessChosen_))
            ShowMessage(problem->In(edition_), true);
}

} // namespace veltrim
