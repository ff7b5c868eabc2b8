#include "app/MapLayout.h"

#include "app/ControlNames.h"
#include "app/QualityLayout.h"
#include "core/Messages.h"

#include <vector>

namespace veltrim {
namespace {

using namespace colours;
using K = ControlKind;
using A = Align;
namespace mc = mapcontrols;

// In the faces and colours of the spectrum and dose windows.
std::vector<ControlLayout> Controls(Language edition) {
    const WindowFaces f = QualityFaces(edition);
    const auto words = [edition](MessageId id) { return Wording(edition, id); };
    const auto caption = [&f](std::string_view name, int y, std::string_view text) {
        return ControlLayout{name,      K::Label, "",    Tw(768),   Tw(y),     Tw(196), Tw(26),
                             f.Caption, text,     Unset, LightCyan, A::Centre, true};
    };
    const auto field = [&f](std::string_view name, int x, int y, int w, QRgb back) {
        return ControlLayout{name,   K::TextField, "", Tw(x),    Tw(y), Tw(w),
                             Tw(28), f.Number,     "", DarkBlue, back,  A::Centre};
    };
    const auto button = [&f](std::string_view name, int x, int y, int w, std::string_view text) {
        return ControlLayout{name,   K::Button, "",   Tw(x), Tw(y),      Tw(w),
                             Tw(32), f.Button,  text, Unset, LightYellow};
    };

    std::vector<ControlLayout> c;
    c.push_back(SideLabel("MapCaption", 16, 8, 948, 24, f.Caption, words(MessageId::MapCaption)));
    c.push_back(caption("ProfileCaption", 80, words(MessageId::MapProfileCaption)));
    c.push_back(field(mc::ProfileDepth, 768, 112, 90, White));
    c.push_back(SideLabel("ProfileDepthUnit", 862, 115, 30, 26, f.Number, "cm"));
    c.push_back(button(mc::ShowProfile, 894, 110, 70, words(MessageId::MapShowButton)));

    c.push_back(caption("PointCaption", 164, words(MessageId::MapPointCaption)));
    c.push_back(field(mc::PointX, 768, 196, 60, White));
    c.push_back(field(mc::PointY, 836, 196, 60, White));
    c.push_back(field(mc::PointDepth, 904, 196, 60, White));
    c.push_back(
        SideLabel("PointUnit", 768, 228, 196, 22, f.Caption, words(MessageId::MapPointUnit)));
    c.push_back(button(mc::ShowPoint, 768, 252, 70, words(MessageId::MapShowButton)));
    c.push_back(field(mc::PointDose, 768, 290, 196, LightYellow));

    c.push_back(caption("SaveCaption", 344, words(MessageId::MapSaveCaption)));
    c.push_back({mc::FileName, K::TextField, "", Tw(768), Tw(376), Tw(196), Tw(30), f.Caption, "",
                 Unset, Unset, A::Centre});
    c.push_back(button(mc::SaveCsv, 768, 412, 94, "CSV"));
    c.push_back(button(mc::SavePng, 870, 412, 94, "PNG"));

    c.push_back(SideLabel(mc::ShownBeam, 16, 630, 948, 22, f.Caption, ""));
    c.push_back(SideLabel(mc::Pointer, 16, 656, 948, 22, f.Caption, ""));
    return c;
}

} // namespace

const WindowLayout& MapWindowLayout(Language edition) {
    return SideWindowLayout<Controls, MessageId::MapWindowTitle, 740>(edition);
}

} // namespace veltrim
