#pragma once

// Where a point of a box patient lies in the beam of an exposure: the beam
// is computed in a slab phantom as thick as the patient is along its
// central ray, so a point's place is its depth along that ray below the
// entry and its lateral offsets from the ray (the phantom's X along the
// field's first side, Y toward the head).

#include "dose/PointDose.h"
#include "engine/Study.h"

namespace veltrim {

// The central ray of an exposure in the patient's transverse plane
// (x = left, z = depth below the anterior skin, cm).
struct BeamFrame {
    double EntryX = 0.0; // where the central ray enters the patient
    double EntryZ = 0.0;
    double DirectionX = 0.0; // along the ray, unit length
    double DirectionZ = 0.0;
    double SideX = 0.0; // along the field's first side, unit length
    double SideZ = 0.0;
    double ThicknessCm = 0.0; // of the patient along the central ray
    double CentreHeadCm = 0.0;
};

// The frame of an exposure in the patient. Throws StudyError naming the
// exposure when its central ray misses the patient.
BeamFrame FrameOf(const StudyPatient& patient, const StudyExposure& exposure);

// A point of the patient (left, head, depth) in the slab phantom of the
// beam: X and Y beside the central ray, Z along it below the entry.
PhantomPoint InBeam(const BeamFrame& frame, double leftCm, double headCm, double depthCm);

// Throws StudyError naming the point when it lies outside the patient.
void CheckInsidePatient(const StudyPatient& patient, const StudyPoint& point);

} // namespace veltrim
