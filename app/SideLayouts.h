#pragma once

#include "app/EditionLayout.h"

namespace veltrim {

// The windows beside the main window, laid out as it is: a table per window
// and edition, their captions the edition's wordings, all three in the
// spectrum window's faces and colours so that they read as one program's.
// What BuildWindow makes no control for (pictures, lists, choices, message
// lines, the dose table) each window makes and places itself, in pixels.
const WindowLayout& QualityWindowLayout(Language edition);
const WindowLayout& DoseWindowLayout(Language edition);
const WindowLayout& MapWindowLayout(Language edition);
const WindowLayout& ExamWindowLayout(Language edition);

// The face of the side windows' message lines, lists and tables.
FontSpec SideTextFont(Language edition);

} // namespace veltrim
