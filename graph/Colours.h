#pragma once

#include <QColor>

// The colours of the windows and of the pictures in them, in one place so
// that a chart and the window around it are drawn in the same few colours.
namespace veltrim::colours {
inline constexpr QRgb Black = 0xff000000;
inline constexpr QRgb White = 0xffffffff;
inline constexpr QRgb Grey = 0xff808080;
inline constexpr QRgb LightGrey = 0xffc0c0c0; // the grids of the depth-dose graph and the spectrum
inline constexpr QRgb Red = 0xffff0000;
inline constexpr QRgb Blue = 0xff0000ff;
inline constexpr QRgb DarkBlue = 0xff0000c0;
inline constexpr QRgb Yellow = 0xffffff00;
inline constexpr QRgb LightCyan = 0xffc0ffff;   // the conditions panel and the save captions
inline constexpr QRgb LightYellow = 0xffffffc0; // every button face, the PDD readouts
} // namespace veltrim::colours
