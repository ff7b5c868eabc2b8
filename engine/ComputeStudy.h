#pragma once

// The dose of every exposure of a study at every named point, with its
// range, and the totals per point. Exposures whose beam and geometry are
// the same (the pulses of a fluoroscopy run) are computed once.

#include "engine/ModelData.h"
#include "engine/Study.h"
#include "engine/StudyUncertainty.h"

#include <vector>

namespace veltrim {

// The dose of one exposure (all its repeats) at one point.
struct StudyDose {
    std::size_t Exposure = 0;
    std::size_t Point = 0;
    double DepthCm = 0.0;   // along the central ray below the entry
    double OffAxisCm = 0.0; // from the central ray
    DoseRange Mgy;
    ModelRegion Region = ModelRegion::InField;
};

struct StudyExposureResult {
    double IncidentAirKermaMgy = 0.0; // at the skin, before the table, one repeat
    double Transmission = 1.0;        // of the table
    double ExposurePct = 0.0;         // stated or the form's default
    double ThicknessCm = 0.0;         // of the patient along the central ray
    // The record's defaults and those the computation took.
    std::vector<AssumedValue> Assumed;
};

struct StudyResult {
    std::vector<StudyDose> Doses; // exposure by exposure, the points in order
    std::vector<StudyExposureResult> Exposures;
    std::vector<DoseRange> Totals; // per point
    std::size_t BeamsComputed = 0;
};

// Throws StudyError naming the exposure, the point and the field.
StudyResult ComputeStudy(const Study& study, const ModelData& data);

// The one place a point beyond the scatter kernels' reach is refused.
void CheckKernelReach(const StudyExposure& exposure, const StudyPoint& point,
                      const IrradiationConditions& conditions, int rows, const PhantomPoint& at);

} // namespace veltrim
