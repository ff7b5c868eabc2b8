#pragma once

#include "app/EditionLayout.h"

#include <QRect>

namespace veltrim {

// The absolute-dose window, laid out as the spectrum window is: a table per
// edition, its captions the edition's wordings. The unit choice of the
// kerma-area product, the message line and the table of doses are not in
// the table (BuildWindow makes no such controls); they go where these boxes
// say, in pixels (the unit choice inside the exposure frame).
const WindowLayout& DoseWindowLayout(Language edition);

inline constexpr QRect DoseKapUnitBox{316, 172, 120, 28};
// The phantom's material of the following calculations, in the title row of
// the results, right of the centred title.
inline constexpr QRect DoseMediumChoiceBox{776, 26, 176, 28};
inline constexpr QRect DoseMessageBox{16, 384, 948, 46};
inline constexpr QRect DoseTableBox{16, 462, 620, 222};
// A finite phantom's exit, under the save of the table.
inline constexpr QRect DoseExitBox{652, 548, 312, 60};

// The face of the table and the message line.
FontSpec DoseTextFont(Language edition);

} // namespace veltrim
