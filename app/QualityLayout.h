#pragma once

#include "app/EditionLayout.h"

#include <QRect>

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

} // namespace veltrim
