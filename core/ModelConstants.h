#pragma once

// The constants and units of the model, each defined here once.

#include "core/Conditions.h"

namespace veltrim {

// The model uses five decimals of pi, not pi: its results depend on them.
inline constexpr double ModelPi = 3.14159;

// The depth the tables reach, cm (60 layers of 0.5 cm).
inline constexpr double ModelMaxDepth = 30.0;

// Thicknesses are typed in mm and held in cm. The reading multiplies by 0.1
// (rather than dividing by 10): the last bit of a thickness depends on which.
inline constexpr double CmFromMm(double mm) {
    return mm * 0.1;
}
inline constexpr double MmFromCm(double cm) {
    return cm * 10;
}

// The beam a window, veltrim-calc and the Python module start from: 80 kV,
// 12 degrees, 2.5 mm Al inherent, no added filters, FSD 100 cm, 30 x 30 cm,
// constant potential (the texts of ConditionTexts read into the record).
IrradiationConditions DefaultConditions();

} // namespace veltrim
