#pragma once

#include <QImage>

namespace veltrim {

// The program's pictures, drawn here rather than shipped as files: the icon
// (a beam entering a tissue block, with its depth-dose curve) and the start
// window's title picture.
QImage ProgramIcon(int size = 32);
QImage TitlePicture(int size = 417);

} // namespace veltrim
