#pragma once

// A dose request as veltrim-calc and its batch take it: each quantity of the
// exposure typed on its own (an option or a column), read strictly, then put
// together into the one Exposure the calculation takes.

#include "dose/Exposure.h"

#include <optional>
#include <string>

namespace veltrim {

// A number typed where a wrong one would silently change a dose: the whole
// text must be one finite number ("3 mm" is refused, not read as 3).
std::optional<double> StrictNumber(const std::string& text);

// The quantities of an exposure, each as typed, none when left out.
struct ExposureParts {
    std::optional<double> AirKermaMgy;
    std::optional<double> TubeOutput; // uGy/mAs
    std::optional<double> Mas;
    std::optional<double> OutputDistanceCm;
    std::optional<double> KapGyCm2;
    std::optional<double> EsakMgy;

    // An mAs or an output distance makes an exposure only with a tube output.
    bool StrayTubeOutputParts() const { return !TubeOutput && (Mas || OutputDistanceCm); }
};

// The exposure the parts make, or none. Throws CalculationError
// (ExposureGivenTwice naming the first two ways given, ExposureNeedsMas). The
// values themselves are checked by the calculation, which knows the beam.
std::optional<Exposure> ExposureOf(const ExposureParts& parts);

// The way an exposure was given, as the options name it: "air-kerma",
// "tube-output", "kap" or "esak".
const char* ExposureWay(ExposureKind kind);

// The depths of --dose-at: one, or a range from the shallower.
struct DoseDepths {
    double FromCm = 0.0;
    std::optional<double> ToCm;
};

} // namespace veltrim
