#include "engine/StudyUncertainty.h"

#include <algorithm>
#include <cmath>

namespace veltrim {

double DefaultExposurePct(const StudyExposureForm& form) {
    if (form.ReferenceAirKermaMgy)
        return ReferenceKermaPct;
    if (form.Parts.KapGyCm2)
        return KapPct;
    if (form.Parts.TubeOutput)
        return TubeOutputPct;
    if (form.Parts.EsakMgy)
        return EsakPct;
    return MeasuredAirKermaPct;
}

const char* RegionKey(ModelRegion region) {
    // In the order of ModelRegion.
    static constexpr const char* Keys[] = {"in the field", "beside the field",
                                           "far beside the field", "beyond validation"};
    return Keys[static_cast<std::size_t>(region)];
}

// The validation covered depths to 20 cm and lines to 20 cm beyond the
// field's edge; the edge diverges from the focus.
ModelRegion RegionOf(const PhantomPoint& p, double fsd, double fieldX, double fieldY) {
    const double spread = (fsd + p.Z) / fsd;
    double beyond = 0.0;
    if (fieldY == 0.0) {
        beyond = std::hypot(p.X, p.Y) - 0.5 * fieldX * spread;
    } else {
        beyond = std::max(std::fabs(p.X) - 0.5 * fieldX * spread,
                          std::fabs(p.Y) - 0.5 * fieldY * spread);
    }
    if (p.Z > 20.0 || beyond > 20.0)
        return ModelRegion::BeyondValidated;
    if (beyond <= 0.0)
        return ModelRegion::InField;
    return beyond <= 10.0 ? ModelRegion::BesideNear : ModelRegion::BesideFar;
}

double ModelAccuracyPct(ScatterModel model, ModelRegion region) {
    if (region == ModelRegion::BeyondValidated)
        return 25.0;
    if (model == ScatterModel::Classic)
        return 10.5; // its deep dose on the axis, up to 10.23 % low at 20 cm
    switch (region) {
    case ModelRegion::BesideNear:
        return 5.0;
    case ModelRegion::BesideFar:
        return 10.0;
    default:
        break;
    }
    return 2.0; // the dose per unit Ka,i within 1.69 %, off the axis inside 0.0 %
}

DoseRange RangeOf(double dose, const DoseSources& sources) {
    double lowest = dose;
    double highest = dose;
    for (const double d : sources.AcrossPlace) {
        lowest = std::min(lowest, d);
        highest = std::max(highest, d);
    }
    const double below = dose > 0.0 ? (dose - lowest) / dose : 0.0;
    const double above = dose > 0.0 ? (highest - dose) / dose : 0.0;
    const double e = sources.ExposurePct / 100.0;
    const double m = sources.ModelPct / 100.0;
    const double a = sources.AssumedPct / 100.0;
    const double shared = e * e + m * m + a * a;
    DoseRange range;
    range.Dose = dose;
    range.Low = std::clamp(dose * (1.0 - std::sqrt(shared + below * below)), 0.0, dose);
    range.High = std::max(dose, dose * (1.0 + std::sqrt(shared + above * above)));
    return range;
}

} // namespace veltrim
