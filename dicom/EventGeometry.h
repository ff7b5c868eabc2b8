#pragma once

// The geometry of one event in the box patient: where the beam enters, how
// far the focus is from the skin, whether it passes the table, and the
// distance of the reference point from the focus.

#include "dicom/EventExposure.h"

namespace veltrim {

// Fills Entry, AngleDeg, FsdCm and TableTransmission of `exposure`, adding
// an Assumption for each default taken.
void PlaceBeam(const IrradiationEvent& event, const RecordPatient& patient,
               EventExposure& exposure);

// The patient's thickness along the central ray of an exposure placed by
// PlaceBeam, cm: the thickness of the entry side's axis over the cosine of
// the obliquity.
double ThicknessAlongBeam(const EventExposure& exposure, const RecordPatient& patient);

// Distances outside these bounds are not of X-ray equipment (a recorded
// 11.5 mm source-detector distance is a unit slip): ignored and named.
inline constexpr double ShortestDistanceCm = 20.0;
inline constexpr double LongestDistanceCm = 500.0;

} // namespace veltrim
