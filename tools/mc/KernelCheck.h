#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::mc {

// The self-checks of a generated kernel set against the tissue tables the
// program reads, as plain functions of the data so that tests can feed them
// small inputs.

// The mean over a row from z0 to z1 (cm) of exp(-mu z), and its ratio to the
// value at the row's middle: sinh(mu dz / 2) / (mu dz / 2).
double RowAverageAttenuation(double mu, double z0, double z1);
double RowAverageOverMiddle(double mu, double dz);

// Share of the ring between radii rIn and rOut (cm) that lies inside the
// rectangle |x| <= hx, |y| <= hy: the exact area ratio, integrated over the
// radius by Gauss-Legendre quadrature on sub-intervals split where the circle
// meets the sides and the corner, of the angular share of a circle of radius
// r inside the rectangle.
double RectangleRingShare(double rIn, double rOut, double hx, double hy);

// One line of a CSV file the kernel tool wrote, split at commas.
std::vector<std::vector<std::string>> ReadCsv(const std::filesystem::path& path);

// Runs all checks on the data folder (the one holding Primary.dat,
// ICRUSoft.dat and PDS-data/) and returns the report text; `passed` tells
// whether every check passed.
std::string RunKernelChecks(const std::filesystem::path& dataFolder, bool& passed);

} // namespace veltrim::mc
