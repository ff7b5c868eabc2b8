#pragma once

// The checks of an exposure's figures and the beam it is computed with:
// the conditions as the window would read them, the added filter a
// measured HVL1 gives, the table's aluminium in the path, and the incident
// air kerma at the skin.

#include "engine/ModelData.h"
#include "engine/Study.h"

#include <map>
#include <string>
#include <vector>

namespace veltrim {

// Refuses (StudyError naming the exposure and the field) figures that are
// missing, out of range or contradictory: no way or two ways of giving the
// exposure, a transmission outside (0, 1] or given beside the table's Al,
// repeats below 1, a field or FSD that is not positive.
void CheckExposure(const StudyExposure& exposure);

// Refuses a patient without thickness or width, a study without exposures
// or points, a point outside the patient, and an exposure as CheckExposure
// does or whose central ray misses the patient.
void CheckStudy(const Study& study);

// The conditions' figures as bytes, for telling beams apart exactly.
std::string ConditionsKey(const IrradiationConditions& conditions);

// The conditions of the exposure's beam before the table: the filters as
// given, or the added Al found for its measured HVL1 (matched once per
// beam, `matched` holds those found). Defaults taken are added to
// `assumed`. Throws StudyError.
IrradiationConditions ExposureConditions(const StudyExposure& exposure, const ModelData& data,
                                         std::map<std::string, double>& matched,
                                         std::vector<AssumedValue>& assumed);

// The share of the air kerma the table's aluminium lets through, for the
// beam of `conditions` (before the table).
double TableAlTransmission(const IrradiationConditions& conditions, double tableAlMm,
                           const ModelData& data);

// The incident air kerma at the skin before the table, mGy, from the
// exposure's form (the backscatter `b` converts an entrance surface
// kerma). Throws StudyError naming the field.
double ExposureAirKermaMgy(const StudyExposure& exposure, const IrradiationConditions& conditions,
                           double b);

} // namespace veltrim
