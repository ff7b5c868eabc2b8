#pragma once

// A beam given by its measured first half-value layer: the added filter that
// makes the model's beam match it.

#include "core/CalculationError.h"
#include "core/Conditions.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"

#include <string>

namespace veltrim {

// The filter a match changes: an added one, or the tube's inherent
// filtration (mm Al equivalent) with the added filters kept as typed, for a
// measured HVL1 below what the typed beam gives with no added filter.
enum class MatchFilter { Aluminium, Copper, Inherent };

// The most of each filter a match may add, mm (the inherent filtration as
// aluminium).
inline constexpr double MaxMatchAluminiumMm = 50.0;
inline constexpr double MaxMatchCopperMm = 5.0;
// How closely the found beam gives the measured HVL1, mm Al.
inline constexpr double Hvl1MatchTolerance = 0.001;

struct Hvl1Match {
    // The added thickness of the chosen filter, mm, rounded to 0.001 mm of
    // aluminium or 0.0001 mm of copper, so that typed into the window it
    // gives the same beam; to a finer step where that rounding would move
    // the HVL1 beyond the tolerance (a thin copper filter near a steep HVL1).
    double AddedMm = 0.0;
    int Decimals = 3; // of AddedMm
    // The conditions with that thickness in place of the typed one (cm).
    IrradiationConditions Conditions;
    // The figures of the found beam, with the same air path.
    BeamQuality Quality;
};

// A measured HVL1 the filter cannot reach: below the beam with none of it,
// or above the beam with its maximum.
class Hvl1OutOfReachError : public CalculationError {
  public:
    Hvl1OutOfReachError(Message cause, bool below)
        : CalculationError(std::move(cause)), below_(below) {}
    // Below the lowest HVL1: the beam needs less filtration than it has
    // with none of this filter added.
    bool Below() const { return below_; }

  private:
    bool below_;
};

// Finds the thickness t >= 0 of added aluminium (or copper), in place of the
// typed one, for which the beam of `conditions` has the measured HVL1 (mm Al)
// at the end of `airCm` of air, within Hvl1MatchTolerance. The HVL1 grows
// with the filter, so the search halves [0, the filter's maximum] until the
// HVL1 is within a tenth of the tolerance or the interval is below 1e-7 cm.
// Throws CalculationError when the spectrum cannot be formed, and
// Hvl1OutOfReachError when the measured value lies outside what the filter
// can reach (the message gives the range).
// The thickness found, with its decimals, as it is typed into a field.
std::string AddedFilterText(const Hvl1Match& match);

Hvl1Match MatchHvl1(const IrradiationConditions& conditions, const AttenuationTables& attenuation,
                    const AirTables& air, double pi, double measuredHvl1Mm, MatchFilter filter,
                    double airCm);

} // namespace veltrim
