#pragma once

#include <optional>

namespace veltrim {

// Share of ring r (radii 0.5r - 0.5 to 0.5r cm) that lies inside a rectangular
// field centred on the beam axis, with half sides hx >= hy > 0 (cm) in the
// plane of the ring. Worked out on one quadrant, in closed form, with the
// model's pi (3.14159) in the ring area. Gives nothing when the share cannot be
// formed: hy not above 0, hx below hy, or arithmetic that would not be finite.
// Where the ring passes the corner, the parts beyond the two sides overlap;
// `cornerAddedBack` false leaves that overlap subtracted twice, as the rule
// was first written (for studies of what the correction changes).
std::optional<double> RingCoverage(int r, double hx, double hy, double pi,
                                   bool cornerAddedBack = true);

} // namespace veltrim
