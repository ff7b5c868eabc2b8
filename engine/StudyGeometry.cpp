#include "engine/StudyGeometry.h"

#include "core/CFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace veltrim {
namespace {

struct Direction {
    double Beam[2]; // (x, z)
    double Side[2];
};

// The beam's nominal direction from its entry side; the field's first side
// runs left-right for a beam from the front or back and front-back for one
// from either side.
Direction NominalDirection(BeamEntry entry) {
    switch (entry) {
    case BeamEntry::Posterior:
        return {{0.0, -1.0}, {1.0, 0.0}};
    case BeamEntry::Left:
        return {{-1.0, 0.0}, {0.0, 1.0}};
    case BeamEntry::Right:
        return {{1.0, 0.0}, {0.0, 1.0}};
    case BeamEntry::Anterior:
        break;
    }
    return {{0.0, 1.0}, {1.0, 0.0}};
}

// (a, b) turned by the angle about the long axis. At 0 degrees cos is 1 and
// sin 0 exactly, so the unturned beam keeps its coordinates bit for bit.
void Turn(double (&v)[2], double cosine, double sine) {
    const double a = v[0];
    const double b = v[1];
    v[0] = a * cosine - b * sine;
    v[1] = a * sine + b * cosine;
}

} // namespace

BeamFrame FrameOf(const StudyPatient& patient, const StudyExposure& exposure) {
    Direction dir = NominalDirection(exposure.Entry);
    if (exposure.AngleDeg != 0.0) {
        const double radians = exposure.AngleDeg * std::numbers::pi / 180.0;
        Turn(dir.Beam, std::cos(radians), std::sin(radians));
        Turn(dir.Side, std::cos(radians), std::sin(radians));
    }
    // The central ray passes through the field's centre: left of the
    // midline for a beam from the front or back, at its depth for one from
    // the side (half the AP thickness unless given).
    const double half = 0.5 * patient.LateralWidthCm;
    const double centre[2] = {exposure.CentreLeftCm,
                              exposure.CentreDepthCm.value_or(0.5 * patient.ApThicknessCm)};
    const double low[2] = {-half, 0.0};
    const double high[2] = {half, patient.ApThicknessCm};
    // The ray's entry and exit through the box, by its slabs.
    double enter = -std::numeric_limits<double>::infinity();
    double exit = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 2; ++k) {
        if (dir.Beam[k] == 0.0) {
            if (centre[k] < low[k] || centre[k] > high[k])
                enter = std::numeric_limits<double>::infinity();
            continue;
        }
        const double a = (low[k] - centre[k]) / dir.Beam[k];
        const double b = (high[k] - centre[k]) / dir.Beam[k];
        enter = std::max(enter, std::min(a, b));
        exit = std::min(exit, std::max(a, b));
    }
    if (!(enter < exit))
        throw StudyError(MessageId::StudyRayMisses,
                         {Arg(exposure.Name), Arg(ShortestText(exposure.CentreLeftCm)),
                          Arg(ShortestText(exposure.AngleDeg))});
    BeamFrame frame;
    frame.EntryX = centre[0] + enter * dir.Beam[0];
    frame.EntryZ = centre[1] + enter * dir.Beam[1];
    frame.DirectionX = dir.Beam[0];
    frame.DirectionZ = dir.Beam[1];
    frame.SideX = dir.Side[0];
    frame.SideZ = dir.Side[1];
    frame.ThicknessCm = exit - enter;
    frame.CentreHeadCm = exposure.CentreHeadCm;
    return frame;
}

PhantomPoint InBeam(const BeamFrame& frame, double leftCm, double headCm, double depthCm) {
    const double dx = leftCm - frame.EntryX;
    const double dz = depthCm - frame.EntryZ;
    return {dx * frame.SideX + dz * frame.SideZ, headCm - frame.CentreHeadCm,
            dx * frame.DirectionX + dz * frame.DirectionZ};
}

void CheckInsidePatient(const StudyPatient& patient, const StudyPoint& point) {
    if (!(point.DepthCm >= 0.0 && point.DepthCm <= patient.ApThicknessCm))
        throw StudyError(MessageId::StudyDepthOutside,
                         {Arg(point.Name), Arg(ShortestText(point.DepthCm)),
                          Arg(ShortestText(patient.ApThicknessCm))});
    const double half = 0.5 * patient.LateralWidthCm;
    if (!(std::fabs(point.LeftCm) <= half))
        throw StudyError(
            MessageId::StudyLeftOutside,
            {Arg(point.Name), Arg(ShortestText(point.LeftCm)), Arg(ShortestText(half))});
    if (!std::isfinite(point.HeadCm))
        throw StudyError(MessageId::StudyHeadNotFinite,
                         {Arg(point.Name), Arg("head_cm"), Arg(ShortestText(point.HeadCm))});
}

} // namespace veltrim
