#pragma once

#include "dose/ScatterKernels.h"
#include "tools/mc/FocusSource.h"
#include "tools/mc/FocusTally.h"

#include <string>

namespace veltrim::mc {

// The ratio of the axis fluence at the middle of row a (from 1) to that at
// the entrance face: f^2 / (f + z)^2, 1 for a parallel beam.
double InverseSquareAtRow(const Focus& focus, int row);

// The scatter kernel of a focus run, [ring][row] from 1 as the program reads
// it: the scatter dose on the axis in row a from the photons of the focus
// that cross the plane of the row's middle within ring c, per unit fluence
// on the axis in that plane (keV cm2/g).
ScatterKernelTable FocusKernel(const FocusTally& tally, const Focus& focus);

// runs.csv of a focus set: histories, energy balance per unit axis fluence
// at the entrance face (keV cm2) and the worst row uncertainty.
std::string FocusRunHeader();
std::string FocusRunLine(double energy, const FocusTally& tally, double scatterFloor);

// statistics.csv: per row, the primary in the axis tube and the scatter row
// sum, both per unit axis fluence in the plane of the row (keV cm2/g), with
// their 1-sigma.
std::string FocusRowHeader();
std::string FocusRowLines(double energy, const FocusTally& tally, const Focus& focus);

} // namespace veltrim::mc
