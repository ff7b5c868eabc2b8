#include "app/DoseWindow.h"

#include "app/BeamHistory.h"
#include "app/DoseTexts.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/Inputs.h"
#include "core/NumberReading.h"
#include "readout/ResultsSaving.h"
#include "window/SharedState.h"

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

namespace veltrim {
namespace {

namespace dc = dosecontrols;

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
    : SideWindow(run, beams, DoseWindowLayout(run.Edition), parent) {
    auto& frame = Control<QWidget>(dc::ExposureFrame);
    kapUnit_ = AddControl<QComboBox>(dc::KapUnit, &frame);
    kapUnit_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    // Right of the product's field, where the other ways have their unit.
    kapUnit_->setGeometry(316, 172, 120, 28);
    for (const KapUnit& unit : KapUnits)
        kapUnit_->addItem(QString::fromLatin1(unit.Name));
    mediumChoice_ = AddControl<QComboBox>(dc::MediumChoice, this);
    mediumChoice_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    // The phantom's material of the following calculations, in the title
    // row of the results, right of the centred title.
    mediumChoice_->setGeometry(776, 26, 176, 28);
    mediumChoice_->setToolTip(Utf8(Text(edition_, MessageId::DoseMediumChoiceTip)));
    for (const auto& entry : MediumKeys) {
        mediumChoice_->addItem(Utf8(Text(edition_, MediumName(entry.second))));
        if (entry.second == run_.PhantomMedium)
            mediumChoice_->setCurrentIndex(mediumChoice_->count() - 1);
    }
    connect(mediumChoice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(std::size(MediumKeys))) {
            emit PhantomMediumChosen(MediumKeys[index].second);
            ShowMessage({}, false);
            ShowStaleness();
        }
    });
    QLineEdit& thickness = Field(dc::Thickness);
    thickness.setPlaceholderText(Utf8(Text(edition_, MessageId::DoseSemiInfinite)));
    thickness.setToolTip(Utf8(Text(edition_, MessageId::DoseThicknessTip)));
    thicknessChosen_ = run_.ThicknessCm;
    if (thicknessChosen_)
        thickness.setText(Utf8(FormatC("%g", *thicknessChosen_)));
    connect(&thickness, &QLineEdit::editingFinished, this, &DoseWindow::ApplyThickness);
    // One mGy of Ka,i to begin with: the figures read as per mGy until the
    // user gives the exposure of an examination.
    Field(dc::AirKerma).setText(QStringLiteral("1"));
    Field(dc::OutputDistance).setText(QString::fromLatin1(inputs::OutputDistance.Default));
    Way(ExposureKind::IncidentAirKerma).setChecked(true);

    for (const ControlName shown : {dc::IncidentAirKerma, dc::Backscatter, dc::EntranceKerma,
                                    dc::SurfaceDose, dc::DoseAtDepth}) {
        Field(shown).setReadOnly(true);
        Field(shown).setFocusPolicy(Qt::ClickFocus);
    }
    Field(dc::CsvFileName).setText(FileNameDate(QDate::currentDate()) + QStringLiteral("-dose"));

    AddMessageLine(384);
    // A finite phantom's exit, under the save of the table.
    exit_ = &veltrim::AddMessageLine(*this, dc::ExitFigures, {652, 548, 312, 60}, TextFont());
    table_ = AddControl<QTableWidget>(dc::Table, 0, 4, this);
    table_->setFont(TextFont());
    table_->setGeometry(16, 462, 620, 222);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QStringList headings;
    for (const MessageId column : Columns)
        headings << Utf8(Text(edition_, column));
    table_->setHorizontalHeaderLabels(headings);
    for (const ControlName way : dc::ExposureWays)
        connect(&Control<QRadioButton>(way), &QRadioButton::toggled, this,
                &DoseWindow::EnableWayFields);
    for (const ControlName field :
         {dc::AirKerma, dc::TubeOutput, dc::Mas, dc::OutputDistance, dc::Kap, dc::Esak})
        connect(&Field(field), &QLineEdit::returnPressed, this, &DoseWindow::ApplyExposure);
    OnClick(*this, dc::Apply, &DoseWindow::ApplyExposure);
    for (const ControlName field : {dc::DepthFrom, dc::DepthTo})
        connect(&Field(field), &QLineEdit::returnPressed, this, &DoseWindow::ShowDoseAtDepth);
    OnClick(*this, dc::FindDose, &DoseWindow::ShowDoseAtDepth);
    OnClick(*this, dc::SaveCsv, &DoseWindow::SaveDoseCsv);
    connect(&beams_, &BeamHistory::Changed, this, &DoseWindow::ShowLastCalculation);
    connect(&beams_, &BeamHistory::CursorMoved, this, &DoseWindow::MarkCursorRow);
    EnableWayFields();
    accepted_ = TypedExposure();
    ShowLastCalculation();
}

QRadioButton& DoseWindow::Way(ExposureKind kind) const {
    return Control<QRadioButton>(dc::ExposureWays[static_cast<int>(kind)]);
}

void DoseWindow::EnableWayFields() {
    // Only the chosen way's fields take a value, so that an exposure is
    // never given two ways at once.
    Field(dc::AirKerma).setEnabled(Way(ExposureKind::IncidentAirKerma).isChecked());
    for (const ControlName field : {dc::TubeOutput, dc::Mas, dc::OutputDistance})
        Field(field).setEnabled(Way(ExposureKind::TubeOutput).isChecked());
    Field(dc::Kap).setEnabled(Way(ExposureKind::KermaAreaProduct).isChecked());
    kapUnit_->setEnabled(Way(ExposureKind::KermaAreaProduct).isChecked());
    Field(dc::Esak).setEnabled(Way(ExposureKind::EntranceSurfaceKerma).isChecked());
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
    const CalculatedBeam* drawn = ShowLastDrawnBeam();
    if (drawn == nullptr) {
        ShowFigures();
        return;
    }
    const CalculatedBeam& beam = *drawn;
    try {
        const std::unique_ptr<AbsoluteDose> dose =
            BeamAbsoluteDose(run_.ResultConditions, beam.Spectrum,
                             {run_.DepthRowCount, run_.PrimaryDose, run_.ExactScatterDose},
                             run_.Tissue, Data(), std::nullopt, beam.PhantomMedium);
        shown_ = Shown{beam, run_.ResultConditions, *dose, std::nullopt};
        if (beam.ThicknessCm)
            shown_->Exit =
                ExitDoseOf(*beam.ThicknessCm, run_.DepthRowCount, &shown_->Dose.PerKerma);
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
    // Each quantity named as the exposure's refusals name it.
    const auto number = [this](ControlName field, MessageId quantity) {
        return TypedNumber(field, Text(edition_, quantity));
    };
    if (Way(ExposureKind::TubeOutput).isChecked()) {
        if (Field(dc::Mas).text().trimmed().isEmpty()) {
            ShowMessage(Text(edition_, MessageId::ExposureNeedsMas), true);
            return std::nullopt;
        }
        const auto output = number(dc::TubeOutput, MessageId::ExposureTubeOutput);
        const auto mas = output ? number(dc::Mas, MessageId::ExposureMas) : std::nullopt;
        const auto distance =
            mas ? number(dc::OutputDistance, MessageId::ExposureOutputDistance) : std::nullopt;
        if (!distance)
            return std::nullopt;
        return Exposure{ExposureKind::TubeOutput, *output, *mas, *distance};
    }
    if (Way(ExposureKind::KermaAreaProduct).isChecked()) {
        const KapUnit& unit = KapUnits[std::max(0, kapUnit_->currentIndex())];
        const auto kap = number(dc::Kap, MessageId::ExposureKap);
        if (!kap)
            return std::nullopt;
        return Exposure{ExposureKind::KermaAreaProduct, *kap * unit.GyCm2};
    }
    if (Way(ExposureKind::EntranceSurfaceKerma).isChecked()) {
        const auto esak = number(dc::Esak, MessageId::ExposureEsak);
        if (!esak)
            return std::nullopt;
        return Exposure{ExposureKind::EntranceSurfaceKerma, *esak};
    }
    const auto kerma = number(dc::AirKerma, MessageId::ExposureAirKerma);
    if (!kerma)
        return std::nullopt;
    return Exposure{ExposureKind::IncidentAirKerma, *kerma};
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
    for (const ControlName result : dc::Results)
        Field(result).clear();
    Field(dc::DoseAtDepth).clear();
    exit_->clear();
    Control<QLabel>(dc::Medium)
        .setText(shown_ ? Utf8(MediumLine(shown_->Beam.PhantomMedium, shown_->Beam.ThicknessCm,
                                          edition_))
                        : QString());
    Control<QLabel>(dc::Model).setText(shown_ ? Utf8(ModelLine(shown_->Beam.Model, edition_))
                                              : QString());
    if (shown_)
        Field(dc::Backscatter).setText(Utf8(FactorText(shown_->Dose.PerKerma.Backscatter)));
    if (Exposed()) {
        const AbsoluteDose& dose = shown_->Dose;
        Field(dc::IncidentAirKerma).setText(Utf8(MgyText(dose.IncidentAirKermaMgy)));
        Field(dc::EntranceKerma).setText(Utf8(MgyText(dose.EntranceSurfaceAirKermaMgy())));
        Field(dc::SurfaceDose).setText(Utf8(MgyText(dose.Mgy(dose.PerKerma.Surface))));
        if (shown_->Exit)
            ShowOnMessageLine(*exit_, ExitLine(*shown_->Exit, dose, edition_), false);
    }
    ShowTable();
    Control<QPushButton>(dc::SaveCsv).setEnabled(Exposed());
    if (Exposed() && !Field(dc::DepthFrom).text().trimmed().isEmpty())
        ShowDoseAtDepth();
    ShowStaleness();
}

std::pair<std::optional<double>, std::optional<double>> DoseWindow::ShownDoseDepths() const {
    if (!Exposed() || Field(dc::DoseAtDepth).text().isEmpty())
        return {};
    const QString to = Field(dc::DepthTo).text().trimmed();
    return {ReadWholeNumber(Field(dc::DepthFrom).text().toStdString()),
            to.isEmpty() ? std::nullopt : ReadWholeNumber(to.toStdString())};
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
    QLineEdit& shown = Field(dc::DoseAtDepth);
    shown.clear();
    if (!Exposed())
        return;
    ShowMessage({}, false);
    const AbsoluteDose& dose = shown_->Dose;
    // "Dose at depth (from)": the caption of the row and of the field.
    const auto caption = [this](MessageId end) {
        return Text(edition_, MessageId::DoseAtDepthCaption) + " (" + Text(edition_, end) + ")";
    };
    const std::optional<double> from = TypedNumber(dc::DepthFrom, caption(MessageId::DoseFrom));
    if (!from)
        return;
    try {
        if (Field(dc::DepthTo).text().trimmed().isEmpty()) {
            shown.setText(Utf8(MgyText(dose.Mgy(DoseAtDepth(dose.PerKerma, *from)))));
        } else {
            const std::optional<double> to = TypedNumber(dc::DepthTo, caption(MessageId::DoseTo));
            if (!to)
                return;
            const auto [least, most] = DoseOverDepths(dose.PerKerma, *from, *to);
            shown.setText(Utf8(Text(edition_, MessageId::DoseOverRange,
                                    {MgyText(dose.Mgy(least)), MgyText(dose.Mgy(most))})));
        }
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    }
    ShowStaleness();
}

void DoseWindow::SaveDoseCsv() {
    if (!Exposed())
        return;
    const SaveReport report =
        SaveDoseCsvAs(DoseCsvBytes(shown_->Beam, shown_->Dose, edition_, shown_->Exit),
                      Field(dc::CsvFileName).text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void DoseWindow::ApplyThickness() {
    QLineEdit& thickness = Field(dc::Thickness);
    const TypedThickness typed = ReadThickness(thickness.text().trimmed().toStdString());
    if (typed.Problem) {
        ShowMessage(typed.Problem->In(edition_), true);
        thickness.setText(thicknessChosen_ ? Utf8(FormatC("%g", *thicknessChosen_)) : QString());
        return;
    }
    ShowMessage({}, false);
    if (typed.Cm == thicknessChosen_)
        return;
    thicknessChosen_ = typed.Cm;
    emit PhantomThicknessChosen(typed.Cm);
    ShowStaleness();
}

void DoseWindow::ShowStaleness() {
    if (!shown_ || !Control<QLabel>(sidecontrols::MessageLine).text().isEmpty())
        return;
    const Medium medium = MediumKeys[std::max(0, mediumChoice_->currentIndex())].second;
    const CalculatedBeam& beam = shown_->Beam;
    if (medium == beam.PhantomMedium && thicknessChosen_ == beam.ThicknessCm)
        return;
    ShowMessage(Text(edition_, MessageId::DoseFiguresStale,
                     {PhantomText(beam.PhantomMedium, beam.ThicknessCm, edition_),
                      PhantomText(medium, thicknessChosen_, edition_)}),
                false);
}

} // namespace veltrim
