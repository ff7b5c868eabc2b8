#include "app/SideLayouts.h"

#include "app/ControlNames.h"
#include "core/Messages.h"

#include <span>
#include <vector>

namespace veltrim {
namespace {

using namespace colours;
namespace qc = qualitycontrols;
namespace dc = dosecontrols;
namespace mc = mapcontrols;
namespace ec = examcontrols;

// The faces of the windows' titles, captions, numbers and buttons.
struct WindowFaces {
    FontSpec Title, Caption, Number, Button;
};

WindowFaces Faces(Language edition) {
    if (edition == Language::Japanese)
        return {{Face::Meiryo, 14.25},
                {Face::Meiryo, 10.5},
                {Face::TimesNewRoman, 12.0},
                {Face::Meiryo, 10.5}};
    return {{Face::TimesNewRoman, 15.75},
            {Face::TimesNewRoman, 12.0},
            {Face::TimesNewRoman, 12.0},
            {Face::TimesNewRoman, 12.0}};
}

// The rows the three tables share, at x, y, w, h pixels.

// A plain caption.
ControlLayout Label(std::string_view name, int x, int y, int w, int h, FontSpec font,
                    std::string_view caption, std::string_view parent = "") {
    return ControlLayout{name,   ControlKind::Label, parent, Tw(x), Tw(y), Tw(w), Tw(h), font,
                         caption};
}

// A caption boxed on the panel colour, over the fields it names.
ControlLayout BoxedCaption(const WindowFaces& f, std::string_view name, int x, int y, int w,
                           std::string_view caption) {
    return ControlLayout{name,   ControlKind::Label, "",      Tw(x), Tw(y),     Tw(w),
                         Tw(26), f.Caption,          caption, Unset, LightCyan, Align::Centre,
                         true};
}

// A bordered panel of figures, and its title at the top.
ControlLayout Panel(const WindowFaces& f, std::string_view name, int x, int y, int w, int h) {
    return ControlLayout{name,  ControlKind::Label, "", Tw(x), Tw(y),     Tw(w),
                         Tw(h), f.Caption,          "", Unset, LightCyan, Align::Left,
                         true};
}
ControlLayout PanelTitle(const WindowFaces& f, std::string_view name, int x, int y, int w,
                         std::string_view caption) {
    return ControlLayout{
        name,    ControlKind::Label, "",    Tw(x),        Tw(y), Tw(w), Tw(32), f.Title,
        caption, DarkBlue,           Unset, Align::Centre};
}

// A number, typed or shown, centred in dark blue on `back`.
ControlLayout NumberField(const WindowFaces& f, std::string_view name, int x, int y, int w,
                          QRgb back, std::string_view parent = "") {
    return ControlLayout{
        name, ControlKind::TextField, parent, Tw(x), Tw(y), Tw(w), Tw(28), f.Number, "", DarkBlue,
        back, Align::Centre};
}

// A caption that ends 4 pixels before the white number field after it, and
// the field, 3 pixels higher.
void AddLabelledField(std::vector<ControlLayout>& c, const WindowFaces& f, std::string_view label,
                      int x, int y, int w, std::string_view caption, std::string_view field,
                      int fieldWidth, std::string_view parent = "") {
    c.push_back(ControlLayout{label, ControlKind::Label, parent, Tw(x), Tw(y), Tw(w), Tw(26),
                              f.Caption, caption, Unset, Unset, Align::Right});
    c.push_back(NumberField(f, field, x + w + 4, y - 3, fieldWidth, White, parent));
}

// The name a save writes under.
ControlLayout FileNameField(const WindowFaces& f, std::string_view name, int x, int y, int w) {
    return ControlLayout{
        name,  ControlKind::TextField, "", Tw(x), Tw(y), Tw(w), Tw(30), f.Caption, "", Unset,
        Unset, Align::Centre};
}

ControlLayout Button(const WindowFaces& f, std::string_view name, int x, int y, int w, int h,
                     std::string_view caption, std::string_view parent = "") {
    return ControlLayout{
        name,  ControlKind::Button, parent, Tw(x), Tw(y), Tw(w), Tw(h), f.Button, caption,
        Unset, LightYellow};
}

// A figure of a panel: its caption, its read-only field and, if it has one,
// its unit.
struct Figure {
    const char* LabelName;
    MessageId Caption;
    ControlName Field;
    const char* UnitName;
    const char* Unit; // "": none
};

// Where a panel's figures go: one every 38 pixels from `Top` down, in three
// columns.
struct FigureColumns {
    int Top;
    int LabelX, LabelWidth;
    int FieldX, FieldWidth;
    int UnitX, UnitWidth;
};

void AddFigures(std::vector<ControlLayout>& c, const WindowFaces& f, Language edition,
                const FigureColumns& at, std::span<const Figure> figures) {
    int y = at.Top;
    for (const Figure& figure : figures) {
        c.push_back(Label(figure.LabelName, at.LabelX, y + 3, at.LabelWidth, 26, f.Caption,
                          Wording(edition, figure.Caption)));
        c.push_back(NumberField(f, figure.Field, at.FieldX, y, at.FieldWidth, LightYellow));
        if (*figure.Unit != '\0')
            c.push_back(
                Label(figure.UnitName, at.UnitX, y + 3, at.UnitWidth, 26, f.Number, figure.Unit));
        y += 38;
    }
}

constexpr Figure QualityFigures[] = {
    {"MeanEnergyLabel", MessageId::QualityMeanEnergy, qc::MeanEnergy, "MeanEnergyUnit", "keV"},
    {"Hvl1Label", MessageId::QualityHvl1, qc::Hvl1, "Hvl1Unit", "mm Al"},
    {"Hvl2Label", MessageId::QualityHvl2, qc::Hvl2, "Hvl2Unit", "mm Al"},
    {"HomogeneityLabel", MessageId::QualityHomogeneity, qc::Homogeneity, "HomogeneityUnit", ""},
    {"EffectiveEnergyLabel", MessageId::QualityEffectiveEnergy, qc::EffectiveEnergy,
     "EffectiveEnergyUnit", "keV"},
};

std::vector<ControlLayout> QualityControls(Language edition) {
    const WindowFaces f = Faces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };

    std::vector<ControlLayout> c;
    c.push_back(Panel(f, "FiguresPanel", 636, 16, 328, 404));
    c.push_back(PanelTitle(f, "FiguresTitle", 648, 24, 304, words(MessageId::QualityFiguresTitle)));
    AddFigures(c, f, edition, {68, 648, 172, 822, 84, 910, 52}, QualityFigures);
    c.push_back(
        Label("AirPathLabel", 648, 261, 172, 26, f.Caption, words(MessageId::QualityAirPath)));
    c.push_back(NumberField(f, qc::AirPath, 822, 258, 84, White));
    c.push_back(Label("MeasuredHvl1Label", 648, 313, 172, 26, f.Caption,
                      words(MessageId::QualityMeasuredHvl1)));
    c.push_back(NumberField(f, qc::MeasuredHvl1, 822, 310, 84, White));
    c.push_back(
        Button(f, qc::FindAluminium, 700, 360, 200, 40, words(MessageId::QualityFindAluminium)));

    c.push_back(Label(qc::ShownBeam, 16, 426, 948, 26, f.Caption, ""));
    // The two saves side by side, the list of curves the full width below.
    c.push_back(
        BoxedCaption(f, "SaveCsvCaption", 16, 508, 216, words(MessageId::QualitySaveCsvCaption)));
    c.push_back(FileNameField(f, qc::CsvFileName, 236, 506, 172));
    c.push_back(Button(f, qc::SaveCsv, 412, 506, 68, 30, words(MessageId::QualitySave)));
    c.push_back(
        BoxedCaption(f, "SavePngCaption", 496, 508, 232, words(MessageId::QualitySavePngCaption)));
    c.push_back(FileNameField(f, qc::PngFileName, 732, 506, 164));
    c.push_back(Button(f, qc::SavePng, 900, 506, 64, 30, words(MessageId::QualitySave)));
    c.push_back(
        Label("CurveListLabel", 16, 550, 948, 26, f.Caption, words(MessageId::QualityCurveList)));
    return c;
}

constexpr Figure DoseFigures[] = {
    {"IncidentAirKermaLabel", MessageId::DoseIncidentAirKerma, dc::IncidentAirKerma,
     "IncidentAirKermaUnit", "mGy"},
    {"BackscatterLabel", MessageId::DoseBackscatter, dc::Backscatter, "", ""},
    {"EntranceKermaLabel", MessageId::DoseEntranceKerma, dc::EntranceKerma, "EntranceKermaUnit",
     "mGy"},
    {"SurfaceDoseLabel", MessageId::DoseSurface, dc::SurfaceDose, "SurfaceDoseUnit", "mGy"},
};

std::vector<ControlLayout> DoseControls(Language edition) {
    const WindowFaces f = Faces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };
    const auto option = [&f](std::string_view name, int y, std::string_view caption) {
        return ControlLayout{name,
                             ControlKind::OptionButton,
                             dc::ExposureFrame,
                             Tw(12),
                             Tw(y),
                             Tw(200),
                             Tw(26),
                             f.Caption,
                             caption,
                             Unset,
                             LightCyan};
    };

    std::vector<ControlLayout> c;
    // The four ways of giving the exposure, each with its fields on its line.
    const std::string_view frame = dc::ExposureFrame;
    c.push_back({frame, ControlKind::GroupBox, "", Tw(16), Tw(16), Tw(468), Tw(290), f.Caption,
                 words(MessageId::DoseExposureTitle), DarkBlue, LightCyan});
    c.push_back(option(dc::GivenAirKerma, 32, words(MessageId::DoseGivenAirKerma)));
    c.push_back(NumberField(f, dc::AirKerma, 216, 31, 96, White, frame));
    c.push_back(Label("AirKermaUnit", 316, 34, 120, 26, f.Number, "mGy", frame));
    c.push_back(option(dc::GivenTubeOutput, 70, words(MessageId::DoseGivenTubeOutput)));
    c.push_back(NumberField(f, dc::TubeOutput, 216, 69, 96, White, frame));
    c.push_back(Label("TubeOutputUnit", 316, 72, 120, 26, f.Number, "uGy/mAs", frame));
    c.push_back(Label("MasTimes", 186, 106, 26, 26, f.Number, "×", frame));
    c.push_back(NumberField(f, dc::Mas, 216, 103, 96, White, frame));
    c.push_back(Label("MasUnit", 316, 106, 120, 26, f.Number, "mAs", frame));
    AddLabelledField(c, f, "MeasuredAtLabel", 36, 140, 176, words(MessageId::DoseMeasuredAt),
                     dc::OutputDistance, 96, frame);
    c.push_back(Label("OutputDistanceUnit", 316, 140, 120, 26, f.Number, "cm", frame));
    c.push_back(option(dc::GivenKap, 174, words(MessageId::DoseGivenKap)));
    c.push_back(NumberField(f, dc::Kap, 216, 172, 96, White, frame));
    c.push_back(option(dc::GivenEsak, 212, words(MessageId::DoseGivenEsak)));
    c.push_back(NumberField(f, dc::Esak, 216, 210, 96, White, frame));
    c.push_back(
        Label("EsakUnit", 316, 213, 140, 26, f.Caption, words(MessageId::DoseMeasuredMgy), frame));
    c.push_back(Button(f, dc::Apply, 164, 246, 140, 34, words(MessageId::DoseApply), frame));

    // What the exposure gives.
    c.push_back(Panel(f, "ResultsPanel", 500, 16, 464, 290));
    c.push_back(PanelTitle(f, "ResultsTitle", 512, 24, 440, words(MessageId::DoseResultsTitle)));
    // The patient's thickness of the following calculations, left of the
    // title as the medium's choice is right of it.
    c.push_back(
        Label("ThicknessLabel", 510, 29, 64, 26, f.Caption, words(MessageId::DoseThickness)));
    c.push_back(NumberField(f, dc::Thickness, 576, 26, 92, White));
    c.push_back(Label("ThicknessUnit", 670, 29, 24, 26, f.Number, "cm"));
    AddFigures(c, f, edition, {66, 512, 250, 766, 120, 890, 66}, DoseFigures);
    c.push_back(Label(dc::Medium, 512, 226, 440, 26, f.Caption, ""));
    c.push_back(Label(dc::Model, 512, 260, 440, 26, f.Caption, ""));

    // The dose at a depth, or its least and most over a range of depths.
    c.push_back(
        BoxedCaption(f, "DepthDoseCaption", 16, 320, 180, words(MessageId::DoseAtDepthCaption)));
    AddLabelledField(c, f, "DepthFromLabel", 198, 320, 44, words(MessageId::DoseFrom),
                     dc::DepthFrom, 64);
    AddLabelledField(c, f, "DepthToLabel", 312, 320, 40, words(MessageId::DoseTo), dc::DepthTo, 64);
    c.push_back(Label("DepthUnit", 424, 320, 30, 26, f.Number, "cm"));
    c.push_back(Button(f, dc::FindDose, 460, 315, 100, 32, words(MessageId::DoseAtDepthButton)));
    c.push_back(NumberField(f, dc::DoseAtDepth, 566, 317, 320, LightYellow));
    c.push_back(Label("DoseAtDepthUnit", 890, 320, 66, 26, f.Number, "mGy"));

    c.push_back(Label(dc::ShownBeam, 16, 356, 948, 26, f.Caption, ""));
    c.push_back(
        Label("TableCaption", 16, 436, 948, 26, f.Caption, words(MessageId::DoseTableCaption)));
    c.push_back(
        BoxedCaption(f, "SaveCsvCaption", 652, 470, 312, words(MessageId::DoseSaveCsvCaption)));
    c.push_back(FileNameField(f, dc::CsvFileName, 652, 504, 220));
    c.push_back(Button(f, dc::SaveCsv, 876, 504, 88, 30, words(MessageId::QualitySave)));
    return c;
}

std::vector<ControlLayout> MapControls(Language edition) {
    const WindowFaces f = Faces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };

    std::vector<ControlLayout> c;
    c.push_back(Label("MapCaption", 16, 8, 948, 24, f.Caption, words(MessageId::MapCaption)));
    c.push_back(
        BoxedCaption(f, "ProfileCaption", 768, 80, 196, words(MessageId::MapProfileCaption)));
    c.push_back(NumberField(f, mc::ProfileDepth, 768, 112, 90, White));
    c.push_back(Label("ProfileDepthUnit", 862, 115, 30, 26, f.Number, "cm"));
    c.push_back(Button(f, mc::ShowProfile, 894, 110, 70, 32, words(MessageId::MapShowButton)));

    c.push_back(BoxedCaption(f, "PointCaption", 768, 164, 196, words(MessageId::MapPointCaption)));
    c.push_back(NumberField(f, mc::PointX, 768, 196, 60, White));
    c.push_back(NumberField(f, mc::PointY, 836, 196, 60, White));
    c.push_back(NumberField(f, mc::PointDepth, 904, 196, 60, White));
    c.push_back(Label("PointUnit", 768, 228, 196, 22, f.Caption, words(MessageId::MapPointUnit)));
    c.push_back(Button(f, mc::ShowPoint, 768, 252, 70, 32, words(MessageId::MapShowButton)));
    c.push_back(NumberField(f, mc::PointDose, 768, 290, 196, LightYellow));

    c.push_back(BoxedCaption(f, "SaveCaption", 768, 344, 196, words(MessageId::MapSaveCaption)));
    c.push_back(FileNameField(f, mc::FileName, 768, 376, 196));
    c.push_back(Button(f, mc::SaveCsv, 768, 412, 94, 32, "CSV"));
    c.push_back(Button(f, mc::SavePng, 870, 412, 94, 32, "PNG"));

    c.push_back(Label(mc::ShownBeam, 16, 630, 948, 22, f.Caption, ""));
    c.push_back(Label(mc::Pointer, 16, 656, 948, 22, f.Caption, ""));
    return c;
}

std::vector<ControlLayout> ExamControls(Language edition) {
    const WindowFaces f = Faces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };

    std::vector<ControlLayout> c;
    c.push_back(
        BoxedCaption(f, "PatientCaption", 16, 8, 110, words(MessageId::ExamPatientCaption)));
    AddLabelledField(c, f, "ApLabel", 130, 8, 176, words(MessageId::ExamApThickness),
                     ec::ApThickness, 70);
    AddLabelledField(c, f, "WidthLabel", 384, 8, 176, words(MessageId::ExamLateralWidth),
                     ec::LateralWidth, 70);

    c.push_back(Label("ExposuresCaption", 16, 44, 600, 24, f.Caption,
                      words(MessageId::ExamExposuresCaption)));
    c.push_back(Button(f, ec::AddBeam, 16, 256, 260, 32, words(MessageId::ExamAddBeam)));
    c.push_back(Button(f, ec::Duplicate, 284, 256, 130, 32, words(MessageId::ExamDuplicate)));
    c.push_back(Button(f, ec::Remove, 422, 256, 130, 32, words(MessageId::ExamRemove)));
    c.push_back(Button(f, ec::ImportRecord, 560, 256, 260, 32, words(MessageId::ExamImportRecord)));

    // The selected exposure's geometry and exposure, each caption over its field.
    struct Edited {
        const char* LabelName;
        MessageId Caption;
        ControlName Field;
        int X, Y, Width;
    };
    const Edited edited[] = {
        {"FsdLabel", MessageId::ExamFsd, ec::Fsd, 152, 296, 100},
        {"FieldXLabel", MessageId::ExamFieldX, ec::FieldX, 258, 296, 110},
        {"FieldYLabel", MessageId::ExamFieldY, ec::FieldY, 374, 296, 110},
        {"CentreLeftLabel", MessageId::ExamCentreLeft, ec::CentreLeft, 490, 296, 130},
        {"CentreHeadLabel", MessageId::ExamCentreHead, ec::CentreHead, 626, 296, 130},
        {"ExposureLabel", MessageId::ExamExposure, ec::Exposure, 16, 352, 110},
        {"RepeatsLabel", MessageId::ExamRepeats, ec::Repeats, 258, 352, 110},
        {"TableLabel", MessageId::ExamTable, ec::Table, 374, 352, 160},
    };
    c.push_back(Label("EntryLabel", 16, 296, 130, 22, f.Caption, words(MessageId::ExamEntry)));
    for (const Edited& e : edited) {
        c.push_back(Label(e.LabelName, e.X, e.Y, e.Width, 22, f.Caption, words(e.Caption)));
        c.push_back(NumberField(f, e.Field, e.X, e.Y + 22, e.Width, White));
    }
    c.push_back(Label(ec::ExposureUnit, 130, 378, 124, 22, f.Caption, ""));
    c.push_back(Button(f, ec::Apply, 626, 372, 220, 32, words(MessageId::ExamApply)));

    c.push_back(
        Label("PointsCaption", 16, 414, 600, 24, f.Caption, words(MessageId::ExamPointsCaption)));
    c.push_back(Button(f, ec::AddPoint, 670, 410, 144, 30, words(MessageId::ExamAddPoint)));
    c.push_back(Button(f, ec::RemovePoint, 820, 410, 144, 30, words(MessageId::ExamRemovePoint)));

    c.push_back(
        Label("TotalsCaption", 16, 562, 600, 24, f.Caption, words(MessageId::ExamTotalsCaption)));
    c.push_back(
        Label("PhysicistLabel", 652, 562, 312, 24, f.Caption, words(MessageId::ExamPhysicist)));
    c.push_back(FileNameField(f, ec::Physicist, 652, 586, 312));
    c.push_back(Button(f, ec::Compute, 652, 622, 150, 32, words(MessageId::ExamCompute)));
    c.push_back(Button(f, ec::Report, 814, 622, 150, 32, words(MessageId::ExamReport)));
    c.push_back(Button(f, ec::Open, 652, 658, 150, 32, words(MessageId::ExamOpen)));
    c.push_back(Button(f, ec::Save, 814, 658, 150, 32, words(MessageId::ExamSave)));
    return c;
}

// The layout of a window of the spectrum window's width and caption face,
// `heightPx` high, whose table `Controls` gives, built once per edition.
template <std::vector<ControlLayout> (*Controls)(Language), MessageId Title, int heightPx>
const WindowLayout& SideWindowLayout(Language edition) {
    struct Built {
        explicit Built(Language language)
            : controls(Controls(language)), layout{Wording(language, Title), Tw(980), Tw(heightPx),
                                                   Faces(language).Caption, controls} {}
        std::vector<ControlLayout> controls;
        WindowLayout layout;
    };
    static const Built english(Language::English);
    static const Built japanese(Language::Japanese);
    return edition == Language::Japanese ? japanese.layout : english.layout;
}

} // namespace

const WindowLayout& QualityWindowLayout(Language edition) {
    return SideWindowLayout<QualityControls, MessageId::QualityWindowTitle, 700>(edition);
}

const WindowLayout& DoseWindowLayout(Language edition) {
    return SideWindowLayout<DoseControls, MessageId::DoseWindowTitle, 700>(edition);
}

const WindowLayout& MapWindowLayout(Language edition) {
    return SideWindowLayout<MapControls, MessageId::MapWindowTitle, 740>(edition);
}

const WindowLayout& ExamWindowLayout(Language edition) {
    return SideWindowLayout<ExamControls, MessageId::ExamWindowTitle, 750>(edition);
}

FontSpec SideTextFont(Language edition) {
    return Faces(edition).Caption;
}

} // namespace veltrim
