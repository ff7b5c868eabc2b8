#pragma once

// The exposure of a calculation, given any of the four ways a physicist may
// have it, and the incident air kerma Ka,i (mGy, free in air on the axis at
// the skin plane, no backscatter) it makes.

#include "core/Conditions.h"

#include <optional>

namespace veltrim {

enum class ExposureKind {
    IncidentAirKerma,     // Ka,i itself, mGy
    TubeOutput,           // Y (uGy/mAs at OutputDistanceCm) x mAs, to the FSD by the inverse square
    KermaAreaProduct,     // Gy cm2, over the field's area at the skin
    EntranceSurfaceKerma, // a measured Ka,e (with backscatter), mGy, over B
};

struct Exposure {
    ExposureKind Kind = ExposureKind::IncidentAirKerma;
    double Value = 0.0; // mGy, uGy/mAs, Gy cm2 or mGy, as Kind says
    double Mas = 0.0;   // with TubeOutput
    double OutputDistanceCm = *DefaultNumber(inputs::OutputDistance); // with TubeOutput
};

// The quantities of an exposure, each as given (an option, a column, a
// keyword argument), none when left out.
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

// The parts that give this exposure back (ExposureOf(PartsOf(e)) == e).
ExposureParts PartsOf(const Exposure& exposure);

// The way an exposure was given, as the options name it: "air-kerma",
// "tube-output", "kap" or "esak".
const char* ExposureWay(ExposureKind kind);

// The limits beyond which a value is taken for a mistake.
inline constexpr double MaxIncidentAirKermaMgy = inputs::AirKerma.Most; // 10 Gy

// The field's area at the skin, cm2: the typed sides (a circle of diameter
// FieldX when FieldY is 0), with the true pi, not the model's.
double FieldAreaAtSkin(const IrradiationConditions& conditions);

// Ka,i in mGy. `backscatter` is B of the beam (used only for an entrance
// surface kerma). Throws CalculationError naming the value and its range
// for a value that is not positive, not finite or beyond its limit, and for
// a Ka,i beyond 10 Gy.
double IncidentAirKerma(const Exposure& exposure, const IrradiationConditions& conditions,
                        double backscatter);

} // namespace veltrim
