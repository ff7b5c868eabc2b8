#include "readout/DepthCursor.h"

#include "graph/GraphMapping.h"
#include "readout/NumberPattern.h"

#include <cmath>
#include <stdexcept>

namespace veltrim {

bool InsidePlotArea(float x, float y, double maxDepth) {
    return x > PlotFrame.left() && x < 30.0 * maxDepth && y > PlotFrame.top() &&
           y < PlotFrame.bottom();
}

int RowUnderPointer(float x) {
    int row = 1;
    while (x > 15.0 * row && row < DepthRowCapacity)
        ++row;
    return row;
}

double CursorLevelY(double percent) {
    const double y = PddToY(percent);
    // Written so that NaN lands on the edge too.
    return y <= PlotFrame.bottom() ? y : PlotFrame.bottom();
}

CursorPlacement PlaceCursorOnRow(const DepthDoseTable& result, int row,
                                 std::string_view percentPattern) {
    if (row < 1 || row >= DepthRowCapacity)
        throw std::out_of_range("the depth-dose table has no row " + std::to_string(row));
    const auto& values = result[static_cast<std::size_t>(row)];
    CursorPlacement placement;
    placement.DepthX = RowToX(row);
    placement.TotalY = CursorLevelY(values[TotalPdd]);
    placement.PrimaryY = CursorLevelY(values[PrimaryPdd]);
    placement.ScatterY = CursorLevelY(values[ScatterPdd]);
    placement.ShallowDepth = FormatNumber(0.5 * row - 0.5, DepthPattern);
    placement.DeepDepth = FormatNumber(0.5 * row, DepthPattern);
    placement.Total = FormatNumber(values[TotalPdd] / 100.0, percentPattern);
    placement.Primary = FormatNumber(values[PrimaryPdd] / 100.0, percentPattern);
    placement.Scatter = FormatNumber(values[ScatterPdd] / 100.0, percentPattern);
    return placement;
}

} // namespace veltrim
