#pragma once

#include "app/EditionLayout.h"
#include "core/Messages.h"

#include <QRect>
#include <vector>

namespace veltrim {

// The spectrum and beam-quality window, laid out as the main window is: a
// table per edition, its captions the edition's wordings. The picture, the
// list of curves and the message line are not in the table (BuildWindow
// makes no such controls); they go where these boxes say, in pixels.
const WindowLayout& QualityWindowLayout(Language edition);

inline constexpr QRect QualityPictureBox{16, 16, 604, 404};
inline constexpr QRect QualityMessageBox{16, 452, 948, 46};
inline constexpr QRect QualityCurveListBox{16, 576, 948, 108};

// The face of the list and the message line.
FontSpec QualityTextFont(Language edition);

// The faces of the window's titles, captions, numbers and buttons, which the
// absolute-dose window wears too.
struct WindowFaces {
    FontSpec Title, Caption, Number, Button;
};
WindowFaces QualityFaces(Language edition);

// A plain caption of the side windows, at x, y, w, h pixels.
inline ControlLayout SideLabel(std::string_view name, int x, int y, int w, int h, FontSpec font,
                               std::string_view caption, std::string_view parent = "") {
    return ControlLayout{name,   ControlKind::Label, parent, Tw(x), Tw(y), Tw(w), Tw(h), font,
                         caption};
}

// The layout of a window of the spectrum window's width and caption face,
// `heightPx` high, whose table `Controls` gives, built once per edition.
template <std::vector<ControlLayout> (*Controls)(Language), MessageId Title, int heightPx = 700>
const WindowLayout& SideWindowLayout(Language edition) {
    struct Built {
        explicit Built(Language language)
            : controls(Controls(language)), layout{Wording(language, Title), Tw(980), Tw(heightPx),
                                                   QualityFaces(language).Caption, controls} {}
        std::vector<ControlLayout> controls;
        WindowLayout layout;
    };
    static const Built english(Language::English);
    static const Built japanese(Language::Japanese);
    return edition == Language::Japanese ? japanese.layout : english.layout;
}

} // namespace veltrim
