#pragma once

// The range of a dose: relative half-widths of independent sources combined
// in quadrature about the central value, each end on its own side, and
// the totals of several exposures summed end by end (docs/study.md).

#include "dose/FocusKernels.h"
#include "dose/PointDose.h"
#include "engine/Study.h"

#include <span>

namespace veltrim {

// The stated uncertainty of each way of giving the exposure, per cent, when
// the study gives none (docs/study.md gives the reasons).
inline constexpr double MeasuredAirKermaPct = 5.0; // a calibrated dosemeter at the skin plane
inline constexpr double TubeOutputPct = 10.0;      // output per mAs measured once, used at any mA
inline constexpr double KapPct = 25.0;             // a KAP meter within its acceptance limit
inline constexpr double EsakPct = 10.0;            // a measured Ka,e, with backscatter
inline constexpr double ReferenceKermaPct = 35.0;  // a displayed reference air kerma
// What a default taken for a missing beam figure adds, per cent.
inline constexpr double AssumedFigurePct = 10.0;

// The stated uncertainty of the exposure's form, per cent.
double DefaultExposurePct(const StudyExposureForm& form);

// Where a point lies for the model's validated accuracy (RegionKey's table
// follows this order).
enum class ModelRegion { InField, BesideNear, BesideFar, BeyondValidated };
const char* RegionKey(ModelRegion region);

// The region of a point of the slab phantom for a field of sides
// (fieldX, fieldY) at the skin (fieldY 0: a circle) at FSD `fsd`.
ModelRegion RegionOf(const PhantomPoint& p, double fsd, double fieldX, double fieldY);

// The model's validated accuracy there, per cent (docs/validation.md).
double ModelAccuracyPct(ScatterModel model, ModelRegion region);

// A dose and its range, mGy.
struct DoseRange {
    double Dose = 0.0;
    double Low = 0.0;
    double High = 0.0;
};

// The relative half-widths, per cent, of the sources that scale the dose,
// and the doses across the point's place (its ends and its centre).
struct DoseSources {
    double ExposurePct = 0.0;
    double ModelPct = 0.0;
    double AssumedPct = 0.0; // already combined
    std::span<const double> AcrossPlace;
};

// The range of `dose`: each side's relative deviation across the place
// combined in quadrature with the others; never below 0, and always
// low <= dose <= high.
DoseRange RangeOf(double dose, const DoseSources& sources);

} // namespace veltrim
