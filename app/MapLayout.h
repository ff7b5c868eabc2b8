#pragma once

#include "app/EditionLayout.h"

#include <QRect>

namespace veltrim {

// The dose-map window, laid out as the absolute-dose window is: a table per
// edition, its captions the edition's wordings. The plane's choice, the two
// pictures and the message line are not in the table (BuildWindow makes no
// such controls); they go where these boxes say, in pixels.
const WindowLayout& MapWindowLayout(Language edition);

inline constexpr QRect MapPlaneBox{768, 36, 196, 28};
inline constexpr QRect MapPictureBox{16, 36, 736, 380};
inline constexpr QRect MapProfileBox{16, 424, 736, 200};
inline constexpr QRect MapMessageBox{16, 682, 948, 46};

} // namespace veltrim
