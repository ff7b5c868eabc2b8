#pragma once

// The study file's plain numbers, each under its key, in the order they are
// written and read: the writer and the reader go by these same lists. The
// exposure's quantities are in files/ExposureKeys.h.

#include "engine/Study.h"

#include <optional>

namespace veltrim {

template <class Owner, class Value> struct StudyNumber {
    const char* Key;
    Value Owner::*Member;
};

// A point's position on each axis, required, and the half-width of the range
// it may lie in, 0 or more, 0 when left out.
struct PointAxis {
    StudyNumber<StudyPoint, double> At;
    StudyNumber<StudyPoint, double> Uncertainty;
};
inline constexpr PointAxis PointAxes[] = {
    {{"depth_cm", &StudyPoint::DepthCm}, {"depth_uncertainty_cm", &StudyPoint::DepthUncertaintyCm}},
    {{"left_cm", &StudyPoint::LeftCm}, {"left_uncertainty_cm", &StudyPoint::LeftUncertaintyCm}},
    {{"head_cm", &StudyPoint::HeadCm}, {"head_uncertainty_cm", &StudyPoint::HeadUncertaintyCm}},
};

// An exposure's filters, target angle and measured HVL1, each optional.
inline constexpr StudyNumber<StudyExposure, std::optional<double>> BeamNumbers[] = {
    {"al_mm", &StudyExposure::AlMm},
    {"cu_mm", &StudyExposure::CuMm},
    {"target_angle_deg", &StudyExposure::TargetAngleDeg},
    {"inherent_al_mm", &StudyExposure::InherentAlMm},
    {"hvl1_mm_al", &StudyExposure::MeasuredHvl1MmAl},
};

// Where the beam falls: the focus-to-skin distance and the field, required.
inline constexpr StudyNumber<StudyExposure, double> FieldNumbers[] = {
    {"fsd_cm", &StudyExposure::FsdCm},
    {"field_x_cm", &StudyExposure::FieldXCm},
    {"field_y_cm", &StudyExposure::FieldYCm},
    {"centre_left_cm", &StudyExposure::CentreLeftCm},
    {"centre_head_cm", &StudyExposure::CentreHeadCm},
};

// A dose record's reference air kerma and the distance it stands at.
inline constexpr StudyNumber<StudyExposureForm, std::optional<double>> ReferenceNumbers[] = {
    {"reference_air_kerma_mGy", &StudyExposureForm::ReferenceAirKermaMgy},
    {"reference_distance_cm", &StudyExposureForm::ReferenceDistanceCm},
};

// The table the beam passes before the skin.
inline constexpr StudyNumber<StudyExposure, std::optional<double>> TableNumbers[] = {
    {"table_transmission", &StudyExposure::TableTransmission},
    {"table_al_mm", &StudyExposure::TableAlMm},
};

} // namespace veltrim
