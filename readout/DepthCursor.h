#pragma once

#include "dose/DepthDose.h"

#include <string>
#include <string_view>

namespace veltrim {

// The readout patterns: the two depths, and the three PDDs after a pointer
// move (blank before the sign) and after an arrow key (none).
inline constexpr std::string_view DepthPattern = "##0.0";
inline constexpr std::string_view PointerPercentPattern = "##0.00 %";
inline constexpr std::string_view KeyPercentPattern = "##0.00%";

// Virtual key codes of the two arrow keys the cursor answers to.
inline constexpr int LeftArrowKey = 37;
inline constexpr int RightArrowKey = 39;

// Whether a pointer position in graph units lies inside the plot area. The
// area is open: its four edges count as outside.
bool InsidePlotArea(float x, float y, double maxDepth);

// The depth row under a pointer inside the plot area: the smallest row r >= 1
// with 15 r >= x, so that x = 15 is row 1 and x = 15.01 row 2. Counting stops
// past the last row a table can hold.
int RowUnderPointer(float x);

// Where a cursor line stands for a PDD in percent: PddToY of the graph. A
// value below 0.1 % has no place inside the frame and stands on its bottom
// edge, y = 800; so do zero, negative and NaN values, whose logarithm has no
// place on the axis at all.
double CursorLevelY(double percent);

// Everything a placement of the cursor on one row shows: the x of the depth
// line (Line2), the y of the three level lines and the texts of the five
// readout boxes.
struct CursorPlacement {
    double DepthX = 0.0;      // Line2
    double TotalY = 0.0;      // Line1
    double PrimaryY = 0.0;    // Line3
    double ScatterY = 0.0;    // Line4
    std::string ShallowDepth; // Text12, cm
    std::string DeepDepth;    // Text6, cm
    std::string Total;        // Text7
    std::string Primary;      // Text13
    std::string Scatter;      // Text14
};

// The placement for a row of the depth-dose table; the PDDs are shown as a
// fraction of 100 through a percent pattern. Throws std::out_of_range for a
// row the table does not hold.
CursorPlacement PlaceCursorOnRow(const DepthDoseTable& result, int row,
                                 std::string_view percentPattern);

} // namespace veltrim
