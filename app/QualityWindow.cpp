#include "app/QualityWindow.h"

#include "app/MainWindow.h"
#include "app/ProgramFiles.h"
#include "app/QualityLayout.h"
#include "app/WindowBuilder.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "graph/SpectrumChart.h"
#include "readout/ResultsSaving.h"
#include "spectrum/HvlMatching.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <cmath>
#include <stdexcept>

namespace veltrim {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The most air a half-value layer is measured behind, cm.
constexpr double MaxAirPathCm = 1000.0;

} // namespace

QualityWindow::QualityWindow(MainWindow& main)
    : QWidget(&main, Qt::Window), main_(main), edition_(main.State().Edition) {
    BuildWindow(*this, QualityWindowLayout(edition_));
    const QFont textFont = DesignFont(QualityTextFont(edition_));

    pictureBox_ = new QLabel(this);
    pictureBox_->setObjectName(QStringLiteral("SpectrumPicture"));
    pictureBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureBox_->setLineWidth(2);
    pictureBox_->setGeometry(QualityPictureBox);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setFont(textFont);
    message_->setGeometry(QualityMessageBox);
    curves_ = new QListWidget(this);
    curves_->setObjectName(QStringLiteral("CurveList"));
    curves_->setFont(textFont);
    curves_->setGeometry(QualityCurveListBox);
    curves_->setSelectionMode(QAbstractItemView::NoSelection);

    shownBeam_ = Control<QLabel>("ShownBeam");
    for (std::size_t k = 0; k < figures_.size(); ++k) {
        figures_[k] = Control<QLineEdit>(QualityFigureNames[k]);
        figures_[k]->setReadOnly(true);
        figures_[k]->setFocusPolicy(Qt::ClickFocus);
    }
    airPath_ = Control<QLineEdit>("AirPath");
    airPath_->setText(QStringLiteral("0"));
    measuredHvl1_ = Control<QLineEdit>("MeasuredHvl1");
    csvName_ = Control<QLineEdit>("SpectrumCsvName");
    pngName_ = Control<QLineEdit>("SpectrumPngName");
    const QString name = FileNameDate(QDate::currentDate()) + QStringLiteral("-spectrum");
    csvName_->setText(name);
    pngName_->setText(name);
    saveCsv_ = Control<QPushButton>("SaveSpectrumCsv");
    savePng_ = Control<QPushButton>("SaveSpectrumPng");

    // A new air path gives new figures; an earlier complaint about it goes.
    connect(airPath_, &QLineEdit::editingFinished, this, [this] {
        ShowMessage({}, false);
        ShowFigures();
    });
    connect(measuredHvl1_, &QLineEdit::returnPressed, this, &QualityWindow::FindAddedAluminium);
    connect(Control<QPushButton>("FindAluminium"), &QPushButton::clicked, this,
            &QualityWindow::FindAddedAluminium);
    connect(saveCsv_, &QPushButton::clicked, this, &QualityWindow::SaveSpectrumCsv);
    connect(savePng_, &QPushButton::clicked, this, &QualityWindow::SaveSpectrumPng);
    connect(&main_, &MainWindow::BeamsChanged, this, &QualityWindow::ShowLastCalculation);
    ShowLastCalculation();
    // What the user types here first is the measured value.
    measuredHvl1_->setFocus();
}

template <typename T> T* QualityWindow::Control(const char* name) {
    T* control = findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr)
        throw std::logic_error(std::string("the quality window's layout lacks ") + name);
    return control;
}

void QualityWindow::ShowLastCalculation() {
    curves_->clear();
    int number = 0;
    for (const CalculatedBeam& beam : main_.DrawnBeams())
        curves_->addItem(Utf8(CurveEntry(++number, beam, edition_)));
    const CalculatedBeam* last = main_.LastBeam();
    ShowMessage({}, false);
    if (last == nullptr) {
        ShowBeam(nullptr, Text(edition_, MessageId::QualityNoBeam));
        return;
    }
    ShowBeam(&last->Spectrum,
             Text(edition_, MessageId::QualityShownBeam, {DescribeBeam(*last, edition_)}));
}

void QualityWindow::ShowBeam(const EnergyTable* spectrum, const std::string& heading) {
    shown_.reset();
    if (spectrum != nullptr)
        shown_ = *spectrum;
    shownBeam_->setText(Utf8(heading));
    const SpectrumAxes axes{Utf8(Text(edition_, MessageId::QualityEnergyAxis)),
                            Utf8(Text(edition_, MessageId::QualityFractionAxis)),
                            DesignFont(QualityTextFont(edition_))};
    picture_ = DrawSpectrumChart(spectrum, axes);
    pictureBox_->setPixmap(QPixmap::fromImage(picture_));
    saveCsv_->setEnabled(spectrum != nullptr);
    savePng_->setEnabled(spectrum != nullptr);
    ShowFigures();
}

void QualityWindow::ShowMessage(const std::string& text, bool failure) {
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText, failure ? Qt::red : QColor::fromRgb(colours::DarkBlue));
    message_->setPalette(palette);
    message_->setText(Utf8(text));
}

void QualityWindow::ClearFigures() {
    for (QLineEdit* figure : figures_)
        figure->clear();
}

std::optional<double> QualityWindow::TypedAirPath() {
    const std::string typed = airPath_->text().toStdString();
    const double cm = ReadNumber(typed);
    if (!(cm >= 0.0 && cm <= MaxAirPathCm)) {
        ShowMessage(Message(MessageId::AirPathInvalid, {Arg(typed)}).In(edition_), true);
        return std::nullopt;
    }
    return cm;
}

void QualityWindow::ShowFigures() {
    ClearFigures();
    if (!shown_)
        return;
    const AirData& air = main_.Air();
    if (!air.Tables) {
        ShowMessage(Text(edition_, MessageId::QualityAirTablesMissing, {air.Problem.In(edition_)}),
                    true);
        return;
    }
    const std::optional<double> airCm = TypedAirPath();
    if (!airCm)
        return;
    const BeamQualityResult result =
        AssessBeamQuality(*shown_, main_.State().Attenuation.MuAluminium, *air.Tables, *airCm);
    if (!result.Quality) {
        ShowMessage(Text(edition_, MessageId::BeamQualityMissing, {result.Problem}), true);
        return;
    }
    const BeamQuality& q = *result.Quality;
    figures_[0]->setText(Utf8(FormatC("%.2f", q.MeanEnergyKeV)));
    figures_[1]->setText(Utf8(FormatC("%.3f", q.Hvl1MmAl)));
    figures_[2]->setText(Utf8(FormatC("%.3f", q.Hvl2MmAl)));
    figures_[3]->setText(Utf8(FormatC("%.3f", q.Homogeneity)));
    figures_[4]->setText(q.EffectiveEnergyKeV
                             ? Utf8(FormatC("%.1f", *q.EffectiveEnergyKeV))
                             : Utf8(Text(edition_, MessageId::QualityEffectiveAbove)));
}

void QualityWindow::FindAddedAluminium() {
    const SharedState& state = main_.State();
    const AirData& air = main_.Air();
    if (!air.Tables) {
        ShowMessage(Text(edition_, MessageId::QualityAirTablesMissing, {air.Problem.In(edition_)}),
                    true);
        return;
    }
    if (!state.AttenuationLoaded) {
        ShowMessage(Text(edition_, MessageId::AttenuationNotLoaded), true);
        return;
    }
    const std::string typedHvl1 = measuredHvl1_->text().toStdString();
    const double hvl1 = ReadNumber(typedHvl1);
    if (!(hvl1 > 0.0) || !std::isfinite(hvl1)) {
        ShowMessage(Message(MessageId::Hvl1NotPositive, {Arg(typedHvl1)}).In(edition_), true);
        return;
    }
    const std::optional<double> airCm = TypedAirPath();
    if (!airCm)
        return;
    // The conditions read as OK reads them, into a copy: the state's own are
    // those of the last calculation, halved fields and all, and a calculation
    // may be under way.
    IrradiationConditions conditions;
    ReadConditions(main_.TypedConditions(), conditions);
    conditions.Rectification = main_.TypedRectification();
    Hvl1Match match;
    EnergyTable spectrum{};
    try {
        match = MatchHvl1(conditions, state.Attenuation, *air.Tables, state.Pi, hvl1,
                          MatchFilter::Aluminium, *airCm);
        spectrum = SynthesizeSpectrum(match.Conditions, state.Attenuation, state.Pi).Spectrum;
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
        return;
    }
    const std::string mm = FormatC("%.3f", match.AddedMm);
    main_.SetTypedAluminium(Utf8(mm));
    const Message found(
        MessageId::Hvl1MatchedFilter,
        {Arg(mm), Arg(Message(MessageId::FilterAluminium)), Arg(FormatC("%.3f", hvl1))});
    // The found beam in place of the last one, until the next calculation:
    // its spectrum, and its figures for the air path it was matched behind.
    CalculatedBeam beam;
    beam.Typed = main_.TypedConditions();
    beam.Rectification = conditions.Rectification;
    ShowBeam(&spectrum,
             Text(edition_, MessageId::QualityMatchedBeam, {DescribeBeam(beam, edition_)}));
    ShowMessage(Text(edition_, MessageId::QualityFoundBeam, {found.In(edition_)}), false);
}

void QualityWindow::SaveSpectrumCsv() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumCsvAs(*shown_, csvName_->text(), main_.State().WorkFolder, edition_);
    main_.State().Messages.Show(report.Message);
}

void QualityWindow::SaveSpectrumPng() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumPngAs(picture_, pngName_->text(), main_.State().WorkFolder, edition_);
    main_.State().Messages.Show(report.Message);
}

} // namespace veltrim
