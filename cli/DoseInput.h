#pragma once

// A dose request as veltrim-calc and its batch take it: each quantity of the
// exposure typed on its own (an option or a column), read strictly, then put
// together into the one Exposure the calculation takes.

#include "core/NumberReading.h"
#include "dose/Exposure.h"
#include "dose/PointDose.h"

#include <optional>
#include <string>

namespace veltrim {

// The depths of --dose-at: one, or a range from the shallower.
struct DoseDepths {
    double FromCm = 0.0;
    std::optional<double> ToCm;
};

// A point typed as "X,Y,Z": three strict numbers joined by commas.
std::optional<PhantomPoint> ReadPoint(const std::string& text);

} // namespace veltrim
