// The examination window's exposures: made from the main window's beam,
// listed, edited, duplicated and removed.
#include "app/ExamWindow.h"

#include "app/BeamHistory.h"
#include "app/SideLayouts.h"
#include "core/NumberReading.h"
#include "window/SharedState.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace veltrim {
namespace {

namespace ec = examcontrols;

// In the order of BeamEntry.
constexpr MessageId EntryNames[] = {MessageId::ExamAnterior, MessageId::ExamPosterior,
                                    MessageId::ExamLeftSide, MessageId::ExamRightSide};

constexpr MessageId ExposureColumns[] = {
    MessageId::ExamName,        MessageId::ExamEntry,      MessageId::ExamFsd,
    MessageId::ExamFieldColumn, MessageId::ExamCentreLeft, MessageId::ExamCentreHead,
    MessageId::ExamExposure,    MessageId::ExamRepeats,    MessageId::ExamTable};

// The one figure of an exposure's form the window edits, and its unit: the
// air kerma, the mAs of a tube output, the KAP, the ESAK or a dose record's
// reference air kerma.
struct FormFigure {
    std::optional<double>* Value;
    const char* Unit;
};
FormFigure EditedFigure(StudyExposure& e) {
    ExposureParts& p = e.Form.Parts;
    if (p.TubeOutput)
        return {&p.Mas, "mAs"};
    if (p.KapGyCm2)
        return {&p.KapGyCm2, "Gy cm2 (KAP)"};
    if (p.EsakMgy)
        return {&p.EsakMgy, "mGy (ESAK)"};
    if (e.Form.ReferenceAirKermaMgy)
        return {&e.Form.ReferenceAirKermaMgy, "mGy (ref.)"};
    return {&p.AirKermaMgy, "mGy (Ka,i)"};
}

QString Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A figure as the exposures' table shows it: five digits, enough to tell
// exposures apart, where a record's converted distances would show sixteen.
// The fields below the table hold every digit.
QString Rounded(const std::optional<double>& value) {
    return value ? QString::number(*value, 'g', 5) : QString();
}

// A value the user typed over is theirs: it is no longer marked as assumed.
void ForgetTypedOver(const StudyExposure& before, StudyExposure& after) {
    const std::pair<const char*, bool> changed[] = {
        {"entry", before.Entry != after.Entry},
        {"fsd_cm", before.FsdCm != after.FsdCm},
        {"field_x_cm", before.FieldXCm != after.FieldXCm},
        {"field_y_cm", before.FieldYCm != after.FieldYCm},
        {"centre_left_cm", before.CentreLeftCm != after.CentreLeftCm},
        {"centre_head_cm", before.CentreHeadCm != after.CentreHeadCm},
        {"table_transmission", before.TableTransmission != after.TableTransmission}};
    for (const auto& [field, differs] : changed)
        if (differs)
            std::erase_if(after.Assumed, [&](const AssumedValue& a) { return a.Field == field; });
}

QString Number(const std::optional<double>& value) {
    return value ? Number(*value) : QString();
}

QTableWidget* MakeTable(QWidget* parent, const QFont& font, const QRect& box) {
    auto* table = new QTableWidget(parent);
    table->setFont(font);
    table->setGeometry(box);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

void SetHeadings(QTableWidget& table, Language edition, std::initializer_list<MessageId> ids) {
    QStringList headings;
    for (const MessageId id : ids)
        headings << QString::fromStdString(Text(edition, id));
    table.setColumnCount(static_cast<int>(headings.size()));
    table.setHorizontalHeaderLabels(headings);
}

} // namespace

ExamWindow::ExamWindow(const SharedState& run, const BeamHistory& beams,
                       std::function<std::optional<Exposure>()> exposed, QWidget* parent)
    : SideWindow(run, beams, ExamWindowLayout(run.Edition), parent), exposed_(std::move(exposed)) {
    const QFont numberFont = DesignFont({Face::TimesNewRoman, 12.0});
    medium_ = AddControl<QComboBox>(ec::Medium, this);
    medium_->setFont(numberFont);
    medium_->setGeometry(648, 5, 316, 28);
    for (const auto& entry : MediumKeys) {
        medium_->addItem(Utf8(Text(edition_, MediumName(entry.second))));
        if (entry.second == run_.PhantomMedium)
            medium_->setCurrentIndex(medium_->count() - 1);
    }
    entry_ = AddControl<QComboBox>(ec::Entry, this);
    entry_->setFont(TextFont());
    entry_->setGeometry(16, 318, 130, 28);
    for (const MessageId name : EntryNames)
        entry_->addItem(Utf8(Text(edition_, name)));

    exposures_ = MakeTable(this, TextFont(), {16, 70, 948, 180});
    exposures_->setObjectName(QString::fromLatin1(ec::Exposures.Design));
    exposures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    exposures_->setSelectionBehavior(QAbstractItemView::SelectRows);
    exposures_->setSelectionMode(QAbstractItemView::SingleSelection);
    exposures_->setColumnCount(static_cast<int>(std::size(ExposureColumns)));
    QStringList headings;
    for (const MessageId id : ExposureColumns)
        headings << Utf8(Text(edition_, id));
    exposures_->setHorizontalHeaderLabels(headings);
    // Each column as wide as its heading or its widest figure; the name takes the rest.
    exposures_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    exposures_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    points_ = MakeTable(this, TextFont(), {16, 444, 948, 110});
    points_->setObjectName(QString::fromLatin1(ec::Points.Design));
    SetHeadings(*points_, edition_,
                {MessageId::ExamName, MessageId::ExamDepth, MessageId::ExamLeft,
                 MessageId::ExamHead, MessageId::ExamDepthRange, MessageId::ExamLeftRange,
                 MessageId::ExamHeadRange});
    totals_ = MakeTable(this, TextFont(), {16, 586, 620, 104});
    totals_->setObjectName(QString::fromLatin1(ec::Totals.Design));
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SetHeadings(*totals_, edition_,
                {MessageId::ExamName, MessageId::ExamDoseColumn, MessageId::ExamLowColumn,
                 MessageId::ExamHighColumn});
    AddMessageLine(696);

    study_.Patient = {22.0, 34.0, run_.PhantomMedium};
    ShowPatientAndPoints();
    Field(ec::Exposure).setText(QStringLiteral("1"));
    Field(ec::Repeats).setText(QStringLiteral("1"));

    OnClick(*this, ec::AddBeam, &ExamWindow::AddBeam);
    OnClick(*this, ec::Duplicate, &ExamWindow::DuplicateExposure);
    OnClick(*this, ec::Remove, &ExamWindow::RemoveExposure);
    OnClick(*this, ec::Apply, &ExamWindow::ApplyToExposure);
    OnClick(*this, ec::AddPoint, &ExamWindow::AddPoint);
    OnClick(*this, ec::RemovePoint, &ExamWindow::RemovePoint);
    OnClick(*this, ec::Compute, &ExamWindow::Compute);
    OnClick(*this, ec::Open, &ExamWindow::ChooseAndOpen);
    OnClick(*this, ec::Save, &ExamWindow::ChooseAndSave);
    OnClick(*this, ec::Report, &ExamWindow::ChooseAndReport);
    OnClick(*this, ec::ImportRecord, &ExamWindow::ChooseAndImport);
    connect(new QShortcut(Qt::CTRL | Qt::Key_P, this), &QShortcut::activated, this,
            &ExamWindow::ChooseAndReport);
    connect(exposures_, &QTableWidget::itemSelectionChanged, this, &ExamWindow::ShowSelected);
    // Any change of the patient or the points makes the totals shown stale.
    connect(points_, &QTableWidget::itemChanged, this, &ExamWindow::Forget);
    for (const ControlName field : {ec::ApThickness, ec::LateralWidth})
        connect(&Field(field), &QLineEdit::textEdited, this, &ExamWindow::Forget);
    connect(medium_, &QComboBox::currentIndexChanged, this, &ExamWindow::Forget);
    ShowExposures();
}

std::string ExamWindow::NextName() const {
    // "exposure N" with the first N no exposure of the list is named with,
    // so that the library's messages point at one exposure.
    for (std::size_t n = study_.Exposures.size() + 1;; ++n) {
        const std::string name = Text(edition_, MessageId::ExamExposureName, {std::to_string(n)});
        if (std::none_of(study_.Exposures.begin(), study_.Exposures.end(),
                         [&name](const StudyExposure& e) { return e.Name == name; }))
            return name;
    }
}

int ExamWindow::SelectedExposure() const {
    const int row = exposures_->currentRow();
    return row >= 0 && row < static_cast<int>(study_.Exposures.size()) ? row : -1;
}

void ExamWindow::SelectExposure(int row) {
    exposures_->selectRow(row);
    exposures_->setCurrentCell(row, 0);
    ShowSelected();
}

void ExamWindow::AddBeam() {
    ShowMessage({}, false);
    const CalculatedBeam* beam = beams_.Last();
    if (beam == nullptr) {
        ShowMessage(Text(edition_, MessageId::QualityNoBeam), true);
        return;
    }
    // The beam's figures as typed on the main window, each wholly a number:
    // a text the lenient reading takes only in part would be a guess here.
    double figures[std::size(ConditionTextFields)] = {};
    for (std::size_t i = 0; i < std::size(ConditionTextFields); ++i) {
        const std::string& text = beam->Typed.*ConditionTextFields[i].Text;
        const std::optional<double> value = ReadWholeNumber(text);
        if (!value) {
            ShowMessage(Text(edition_, MessageId::NotANumber,
                             {Text(edition_, ConditionTextFields[i].Caption), text}),
                        true);
            return;
        }
        figures[i] = *value;
    }
    StudyExposure e;
    if (const std::optional<Exposure> given = exposed_ ? exposed_() : std::nullopt) {
        e.Form.Parts = PartsOf(*given);
    } else {
        const std::optional<double> kerma =
            TypedNumber(ec::Exposure, Text(edition_, MessageId::ExamExposure));
        if (!kerma)
            return;
        e.Form.Parts.AirKermaMgy = *kerma;
    }
    e.Entry = static_cast<BeamEntry>(std::max(0, entry_->currentIndex()));
    e.Name = NextName();
    e.TubeVoltage = figures[0];
    e.TargetAngleDeg = figures[1];
    e.InherentAlMm = figures[2];
    e.AlMm = figures[3];
    e.CuMm = figures[4];
    e.FsdCm = figures[5];
    e.FieldXCm = figures[6];
    e.FieldYCm = figures[7];
    e.Rectification = beam->Rectification;
    e.Model = beam->Model;
    study_.Exposures.push_back(std::move(e));
    ShowExposures();
    SelectExposure(static_cast<int>(study_.Exposures.size()) - 1);
}

void ExamWindow::DuplicateExposure() {
    const int row = SelectedExposure();
    if (row < 0) {
        ShowMessage(Text(edition_, MessageId::ExamNoExposure), true);
        return;
    }
    StudyExposure copy = study_.Exposures[static_cast<std::size_t>(row)];
    copy.Name = NextName();
    study_.Exposures.insert(study_.Exposures.begin() + row + 1, std::move(copy));
    ShowExposures();
    SelectExposure(row + 1);
}

void ExamWindow::RemoveExposure() {
    const int row = SelectedExposure();
    if (row < 0) {
        ShowMessage(Text(edition_, MessageId::ExamNoExposure), true);
        return;
    }
    study_.Exposures.erase(study_.Exposures.begin() + row);
    ShowExposures();
    if (!study_.Exposures.empty())
        SelectExposure(std::min(row, static_cast<int>(study_.Exposures.size()) - 1));
}

void ExamWindow::ApplyToExposure() {
    ShowMessage({}, false);
    const int row = SelectedExposure();
    if (row < 0) {
        ShowMessage(Text(edition_, MessageId::ExamNoExposure), true);
        return;
    }
    // Every field is read before anything changes, so that a refusal leaves
    // the exposure whole.
    constexpr ControlName fields[] = {ec::Fsd,        ec::FieldX,     ec::FieldY,
                                      ec::CentreLeft, ec::CentreHead, ec::Exposure};
    constexpr MessageId captions[] = {MessageId::ExamFsd,        MessageId::ExamFieldX,
                                      MessageId::ExamFieldY,     MessageId::ExamCentreLeft,
                                      MessageId::ExamCentreHead, MessageId::ExamExposure};
    double read[std::size(fields)] = {};
    static_assert(std::size(read) == std::size(captions));
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const std::optional<double> value = TypedNumber(fields[i], Text(edition_, captions[i]));
        if (!value)
            return;
        read[i] = *value;
    }
    const std::optional<double> repeats =
        TypedNumber(ec::Repeats, Text(edition_, MessageId::ExamRepeats));
    if (!repeats)
        return;
    if (!(*repeats >= 1.0 && *repeats <= static_cast<double>(std::numeric_limits<int>::max()) &&
          std::floor(*repeats) == *repeats)) {
        ShowMessage(
            Text(edition_, MessageId::ExamRepeatsCount,
                 {Text(edition_, MessageId::ExamRepeats), Field(ec::Repeats).text().toStdString()}),
            true);
        return;
    }
    std::optional<double> table;
    if (!Field(ec::Table).text().trimmed().isEmpty()) {
        table = TypedNumber(ec::Table, Text(edition_, MessageId::ExamTable));
        if (!table)
            return;
    }
    StudyExposure& e = study_.Exposures[static_cast<std::size_t>(row)];
    const StudyExposure before = e;
    e.Entry = static_cast<BeamEntry>(std::max(0, entry_->currentIndex()));
    e.FsdCm = read[0];
    e.FieldXCm = read[1];
    e.FieldYCm = read[2];
    e.CentreLeftCm = read[3];
    e.CentreHeadCm = read[4];
    *EditedFigure(e).Value = read[5];
    e.Repeats = static_cast<int>(*repeats);
    e.TableTransmission = table;
    // A factor typed replaces the aluminium equivalent of an opened study.
    if (table)
        e.TableAlMm.reset();
    ForgetTypedOver(before, e);
    ShowExposures();
    SelectExposure(row);
}

void ExamWindow::ShowExposures() {
    Forget();
    const QSignalBlocker quiet(exposures_);
    exposures_->setRowCount(static_cast<int>(study_.Exposures.size()));
    for (std::size_t r = 0; r < study_.Exposures.size(); ++r) {
        StudyExposure& e = study_.Exposures[r];
        const FormFigure figure = EditedFigure(e);
        const QString table = e.TableTransmission ? Rounded(e.TableTransmission)
                              : e.TableAlMm       ? Rounded(e.TableAlMm) + QStringLiteral(" mm Al")
                                                  : QString();
        // An exposure with values a dose record did not give is marked, the
        // values and their reasons in the row's tip, so that they are checked.
        QString assumed;
        for (const AssumedValue& a : e.Assumed)
            assumed += Utf8(a.Field + " = " + a.Value + ": " + a.Why) + QChar(u'\n');
        const QString cells[] = {
            Utf8(e.Name) + (assumed.isEmpty() ? QString() : QStringLiteral(" *")),
            Utf8(Text(edition_, EntryNames[static_cast<int>(e.Entry)])),
            Rounded(e.FsdCm),
            Rounded(e.FieldXCm) + QStringLiteral(" x ") + Rounded(e.FieldYCm),
            Rounded(e.CentreLeftCm),
            Rounded(e.CentreHeadCm),
            Rounded(*figure.Value) + QChar(u' ') + QString::fromLatin1(figure.Unit),
            QString::number(e.Repeats),
            table};
        const QString tip = assumed.isEmpty() ? QString()
                                              : Utf8(Text(edition_, MessageId::ExamAssumedTip,
                                                          {assumed.trimmed().toStdString()}));
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(tip);
            exposures_->setItem(static_cast<int>(r), c, item);
        }
    }
}

void ExamWindow::ShowSelected() {
    const int row = SelectedExposure();
    if (row < 0)
        return;
    StudyExposure& e = study_.Exposures[static_cast<std::size_t>(row)];
    entry_->setCurrentIndex(static_cast<int>(e.Entry));
    Field(ec::Fsd).setText(Number(e.FsdCm));
    Field(ec::FieldX).setText(Number(e.FieldXCm));
    Field(ec::FieldY).setText(Number(e.FieldYCm));
    Field(ec::CentreLeft).setText(Number(e.CentreLeftCm));
    Field(ec::CentreHead).setText(Number(e.CentreHeadCm));
    const FormFigure figure = EditedFigure(e);
    Field(ec::Exposure).setText(Number(*figure.Value));
    Control<QLabel>(ec::ExposureUnit).setText(QString::fromLatin1(figure.Unit));
    Field(ec::Repeats).setText(QString::number(e.Repeats));
    Field(ec::Table).setText(Number(e.TableTransmission));
    // A figure longer than its field shows from its first digit.
    for (const ControlName& name :
         {ec::Fsd, ec::FieldX, ec::FieldY, ec::CentreLeft, ec::CentreHead, ec::Exposure, ec::Table})
        Field(name).setCursorPosition(0);
}

} // namespace veltrim
