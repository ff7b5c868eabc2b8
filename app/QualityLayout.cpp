#include "app/QualityLayout.h"

#include "app/ControlNames.h"
#include "core/Messages.h"

#include <vector>

namespace veltrim {
namespace {

using namespace colours;
using K = ControlKind;
using A = Align;
namespace qc = qualitycontrols;

std::vector<ControlLayout> Controls(Language edition) {
    const WindowFaces f = QualityFaces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };
    const auto field = [&f](std::string_view name, int x, int y, int w, int h, QRgb back,
                            bool number = true) {
        return ControlLayout{name,  K::TextField,
                             "",    Tw(x),
                             Tw(y), Tw(w),
                             Tw(h), number ? f.Number : f.Caption,
                             "",    number ? DarkBlue : Unset,
                             back,  A::Centre};
    };
    const auto button = [&f](std::string_view name, int x, int y, int w, int h,
                             std::string_view caption) {
        return ControlLayout{name,  K::Button, "",      Tw(x), Tw(y),      Tw(w),
                             Tw(h), f.Button,  caption, Unset, LightYellow};
    };

    std::vector<ControlLayout> c;
    c.push_back({"FiguresPanel", K::Label, "", Tw(636), Tw(16), Tw(328), Tw(404), f.Caption, "",
                 Unset, LightCyan, A::Left, true});
    c.push_back({"FiguresTitle", K::Label, "", Tw(648), Tw(24), Tw(304), Tw(32), f.Title,
                 words(MessageId::QualityFiguresTitle), DarkBlue, Unset, A::Centre});
    const MessageId captions[] = {MessageId::QualityMeanEnergy, MessageId::QualityHvl1,
                                  MessageId::QualityHvl2, MessageId::QualityHomogeneity,
                                  MessageId::QualityEffectiveEnergy};
    const char* labelNames[] = {"MeanEnergyLabel", "Hvl1Label", "Hvl2Label", "HomogeneityLabel",
                                "EffectiveEnergyLabel"};
    const char* unitNames[] = {"MeanEnergyUnit", "Hvl1Unit", "Hvl2Unit", "HomogeneityUnit",
                               "EffectiveEnergyUnit"};
    const char* units[] = {"keV", "mm Al", "mm Al", "", "keV"};
    for (int k = 0; k < 5; ++k) {
        const int y = 68 + 38 * k;
        c.push_back(SideLabel(labelNames[k], 648, y + 3, 172, 26, f.Caption, words(captions[k])));
        c.push_back(field(qc::Figures[k], 822, y, 84, 28, LightYellow));
        if (*units[k] != '\0')
            c.push_back(SideLabel(unitNames[k], 910, y + 3, 52, 26, f.Number, units[k]));
    }
    c.push_back(
        SideLabel("AirPathLabel", 648, 261, 172, 26, f.Caption, words(MessageId::QualityAirPath)));
    c.push_back(field(qc::AirPath, 822, 258, 84, 28, White));
    c.push_back(SideLabel("MeasuredHvl1Label", 648, 313, 172, 26, f.Caption,
                          words(MessageId::QualityMeasuredHvl1)));
    c.push_back(field(qc::MeasuredHvl1, 822, 310, 84, 28, White));
    c.push_back(
        button(qc::FindAluminium, 700, 360, 200, 40, words(MessageId::QualityFindAluminium)));

    c.push_back(SideLabel(qc::ShownBeam, 16, 426, 948, 26, f.Caption, ""));
    // The two saves side by side, the list of curves the full width below.
    c.push_back({"SaveCsvCaption", K::Label, "", Tw(16), Tw(508), Tw(216), Tw(26), f.Caption,
                 words(MessageId::QualitySaveCsvCaption), Unset, LightCyan, A::Centre, true});
    c.push_back(field(qc::CsvFileName, 236, 506, 172, 30, Unset, false));
    c.push_back(button(qc::SaveCsv, 412, 506, 68, 30, words(MessageId::QualitySave)));
    c.push_back({"SavePngCaption", K::Label, "", Tw(496), Tw(508), Tw(232), Tw(26), f.Caption,
                 words(MessageId::QualitySavePngCaption), Unset, LightCyan, A::Centre, true});
    c.push_back(field(qc::PngFileName, 732, 506, 164, 30, Unset, false));
    c.push_back(button(qc::SavePng, 900, 506, 64, 30, words(MessageId::QualitySave)));
    c.push_back(SideLabel("CurveListLabel", 16, 550, 948, 26, f.Caption,
                          words(MessageId::QualityCurveList)));
    return c;
}

} // namespace

WindowFaces QualityFaces(Language edition) {
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

const WindowLayout& QualityWindowLayout(Language edition) {
    return SideWindowLayout<Controls, MessageId::QualityWindowTitle>(edition);
}

FontSpec QualityTextFont(Language edition) {
    return QualityFaces(edition).Caption;
}

} // namespace veltrim
