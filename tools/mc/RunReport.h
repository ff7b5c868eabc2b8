#pragma once

#include "tools/mc/KernelTally.h"

#include <string>

namespace veltrim::mc {

// One line of runs.csv: the histories, energy balance and worst row
// uncertainty of a node energy. Fixed format, "C" locale.
std::string RunSummaryHeader();
std::string RunSummaryLine(double energy, const KernelTally& tally, double scatterFloor);

// The lines of statistics.csv for one node energy: per row, the primary and
// scatter summed over the rings with their 1-sigma uncertainties, keV cm2/g.
std::string RowStatisticsHeader();
std::string RowStatisticsLines(double energy, const KernelTally& tally);

} // namespace veltrim::mc
