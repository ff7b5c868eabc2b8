#include "app/DoseLayout.h"

#include "app/ControlNames.h"
#include "app/QualityLayout.h"
#include "core/Messages.h"

#include <vector>

namespace veltrim {
namespace {

using namespace colours;
using K = ControlKind;
using A = Align;
namespace dc = dosecontrols;

// In the spectrum window's faces and colours, so that the two read as one
// program's.
std::vector<ControlLayout> Controls(Language edition) {
    const WindowFaces f = QualityFaces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };
    const auto field = [&f](std::string_view name, int x, int y, int w, QRgb back,
                            std::string_view parent = "") {
        return ControlLayout{name,   K::TextField, parent, Tw(x),    Tw(y), Tw(w),
                             Tw(28), f.Number,     "",     DarkBlue, back,  A::Centre};
    };
    const auto button = [&f](std::string_view name, int x, int y, int w, int h,
                             std::string_view caption, std::string_view parent = "") {
        return ControlLayout{name,  K::Button, parent,  Tw(x), Tw(y),      Tw(w),
                             Tw(h), f.Button,  caption, Unset, LightYellow};
    };
    const auto option = [&f](std::string_view name, int y, std::string_view caption) {
        return ControlLayout{name,   K::OptionButton, dc::ExposureFrame, Tw(12), Tw(y),    Tw(200),
                             Tw(26), f.Caption,       caption,           Unset,  LightCyan};
    };

    std::vector<ControlLayout> c;
    // The four ways of giving the exposure, each with its fields on its line.
    const std::string_view frame = dc::ExposureFrame;
    c.push_back({frame, K::GroupBox, "", Tw(16), Tw(16), Tw(468), Tw(290), f.Caption,
                 words(MessageId::DoseExposureTitle), DarkBlue, LightCyan});
    c.push_back(option(dc::GivenAirKerma, 32, words(MessageId::DoseGivenAirKerma)));
    c.push_back(field(dc::AirKerma, 216, 31, 96, White, frame));
    c.push_back(SideLabel("AirKermaUnit", 316, 34, 120, 26, f.Number, "mGy", frame));
    c.push_back(option(dc::GivenTubeOutput, 70, words(MessageId::DoseGivenTubeOutput)));
    c.push_back(field(dc::TubeOutput, 216, 69, 96, White, frame));
    c.push_back(SideLabel("TubeOutputUnit", 316, 72, 120, 26, f.Number, "uGy/mAs", frame));
    c.push_back(SideLabel("MasTimes", 186, 106, 26, 26, f.Number, "×", frame));
    c.push_back(field(dc::Mas, 216, 103, 96, White, frame));
    c.push_back(SideLabel("MasUnit", 316, 106, 120, 26, f.Number, "mAs", frame));
    c.push_back({"MeasuredAtLabel", K::Label, frame, Tw(36), Tw(140), Tw(176), Tw(26), f.Caption,
                 words(MessageId::DoseMeasuredAt), Unset, Unset, A::Right});
    c.push_back(field(dc::OutputDistance, 216, 137, 96, White, frame));
    c.push_back(SideLabel("OutputDistanceUnit", 316, 140, 120, 26, f.Number, "cm", frame));
    c.push_back(option(dc::GivenKap, 174, words(MessageId::DoseGivenKap)));
    c.push_back(field(dc::Kap, 216, 172, 96, White, frame));
    c.push_back(option(dc::GivenEsak, 212, words(MessageId::DoseGivenEsak)));
    c.push_back(field(dc::Esak, 216, 210, 96, White, frame));
    c.push_back(SideLabel("EsakUnit", 316, 213, 140, 26, f.Caption,
                          words(MessageId::DoseMeasuredMgy), frame));
    c.push_back(button(dc::Apply, 164, 246, 140, 34, words(MessageId::DoseApply), frame));

    // What the exposure gives.
    c.push_back({"ResultsPanel", K::Label, "", Tw(500), Tw(16), Tw(464), Tw(290), f.Caption, "",
                 Unset, LightCyan, A::Left, true});
    c.push_back({"ResultsTitle", K::Label, "", Tw(512), Tw(24), Tw(440), Tw(32), f.Title,
                 words(MessageId::DoseResultsTitle), DarkBlue, Unset, A::Centre});
    // The patient's thickness of the following calculations, left of the
    // title as the medium's choice is right of it.
    c.push_back(
        SideLabel("ThicknessLabel", 510, 29, 64, 26, f.Caption, words(MessageId::DoseThickness)));
    c.push_back(field(dc::Thickness, 576, 26, 92, White));
    c.push_back(SideLabel("ThicknessUnit", 670, 29, 24, 26, f.Number, "cm"));
    const MessageId captions[] = {MessageId::DoseIncidentAirKerma, MessageId::DoseBackscatter,
                                  MessageId::DoseEntranceKerma, MessageId::DoseSurface};
    const char* labelNames[] = {"IncidentAirKermaLabel", "BackscatterLabel", "EntranceKermaLabel",
                                "SurfaceDoseLabel"};
    const char* unitNames[] = {"IncidentAirKermaUnit", "", "EntranceKermaUnit", "SurfaceDoseUnit"};
    for (int k = 0; k < 4; ++k) {
        const int y = 66 + 38 * k;
        c.push_back(SideLabel(labelNames[k], 512, y + 3, 250, 26, f.Caption, words(captions[k])));
        c.push_back(field(dc::Results[k], 766, y, 120, LightYellow));
        if (*unitNames[k] != '\0')
            c.push_back(SideLabel(unitNames[k], 890, y + 3, 66, 26, f.Number, "mGy"));
    }
    c.push_back(SideLabel(dc::Medium, 512, 226, 440, 26, f.Caption, ""));
    c.push_back(SideLabel(dc::Model, 512, 260, 440, 26, f.Caption, ""));

    // The dose at a depth, or its least and most over a range of depths.
    c.push_back({"DepthDoseCaption", K::Label, "", Tw(16), Tw(320), Tw(180), Tw(26), f.Caption,
                 words(MessageId::DoseAtDepthCaption), Unset, LightCyan, A::Centre, true});
    c.push_back({"DepthFromLabel", K::Label, "", Tw(198), Tw(320), Tw(44), Tw(26), f.Caption,
                 words(MessageId::DoseFrom), Unset, Unset, A::Right});
    c.push_back(field(dc::DepthFrom, 246, 317, 64, White));
    c.push_back({"DepthToLabel", K::Label, "", Tw(312), Tw(320), Tw(40), Tw(26), f.Caption,
                 words(MessageId::DoseTo), Unset, Unset, A::Right});
    c.push_back(field(dc::DepthTo, 356, 317, 64, White));
    c.push_back(SideLabel("DepthUnit", 424, 320, 30, 26, f.Number, "cm"));
    c.push_back(button(dc::FindDose, 460, 315, 100, 32, words(MessageId::DoseAtDepthButton)));
    c.push_back(field(dc::DoseAtDepth, 566, 317, 320, LightYellow));
    c.push_back(SideLabel("DoseAtDepthUnit", 890, 320, 66, 26, f.Number, "mGy"));

    c.push_back(SideLabel(dc::ShownBeam, 16, 356, 948, 26, f.Caption, ""));
    c.push_back(
        SideLabel("TableCaption", 16, 436, 948, 26, f.Caption, words(MessageId::DoseTableCaption)));
    c.push_back({"SaveCsvCaption", K::Label, "", Tw(652), Tw(470), Tw(312), Tw(26), f.Caption,
                 words(MessageId::DoseSaveCsvCaption), Unset, LightCyan, A::Centre, true});
    c.push_back({dc::CsvFileName, K::TextField, "", Tw(652), Tw(504), Tw(220), Tw(30), f.Caption,
                 "", Unset, Unset, A::Centre});
    c.push_back(button(dc::SaveCsv, 876, 504, 88, 30, words(MessageId::QualitySave)));
    return c;
}

} // namespace

const WindowLayout& DoseWindowLayout(Language edition) {
    return SideWindowLayout<Controls, MessageId::DoseWindowTitle>(edition);
}

FontSpec DoseTextFont(Language edition) {
    return QualityFaces(edition).Caption;
}

} // namespace veltrim
