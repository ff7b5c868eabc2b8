#pragma once

// The share of a ring around a point that lies inside a field, for a point
// anywhere in the plane: the field need not be centred on the ring, so the
// closed forms of the centred field (RingCoverage) do not hold, and the area
// is formed from the disc's intersections with half planes and with a disc.

#include <cmath>

namespace veltrim {

// Area (cm2) of the part of the disc of radius rho around (px, py) that lies
// inside the rectangle |x| <= hx, |y| <= hy (cm; hx, hy >= 0).
double DiscInRectangle(double rho, double px, double py, double hx, double hy);

// Area (cm2) of the part of the disc of radius rho around a point at the
// distance d from the centre of a disc of radius R that lies inside the latter.
double DiscInDisc(double rho, double d, double R);

// Share of ring r (radii 0.5r - 0.5 to 0.5r cm) around (px, py) inside the
// rectangle |x| <= hx, |y| <= hy: the area inside over the ring's area, with
// pi exact.
double OffCentreRectangleShare(int r, double px, double py, double hx, double hy);

// The same for a circular field of radius R centred at the distance d from the point.
double OffCentreCircleShare(int r, double d, double R);

// The shares of rings 1..rings around (px, py) at once, into share[1..rings]:
// each disc is formed once, as the outer edge of one ring and the inner edge
// of the next. A circle has radius hx around the origin (hy not used).
void OffCentreShares(int rings, double px, double py, double hx, double hy, bool circle,
                     double* share);

// The fluence of an isotropic point focus in a plane, relative to the
// axis's, at a point whose squared distance from the axis is `tan2` times
// the plane's squared distance from the focus: cos^3 of the ray's angle.
inline double FocusFalloff(double tan2) {
    return 1 / ((1 + tan2) * std::sqrt(1 + tan2));
}

// How the field's photons in ring r around (px, py) are seen from that point
// when they come from a point focus `focus` cm above the plane, over the
// part of the ring (at its middle radius) inside the field: Tilt, the mean
// of the rays' outward tilt along the direction away from the point, in
// units of the tilt the same ring has around the axis (1 for a whole ring,
// and everywhere on the axis); Fluence, the focus's relative fluence there
// (cos^3 of the ray's angle, at the mean squared distance from the axis).
struct RingView {
    double Tilt = 1.0;
    double Fluence = 1.0;
};
RingView FocusRingView(int r, double px, double py, double hx, double hy, bool circle,
                       double focus);

} // namespace veltrim
