#pragma once

#include "dose/DepthDose.h"

#include <QByteArray>
#include <vector>

namespace veltrim {

// One depth-dose table as it was plotted, with the depth it was drawn to.
struct PlottedDepthDose {
    DepthDoseTable Table{};
    double MaxDepth = 0.0;
};

// The graph as an SVG document: the frame and then each plot in the order
// drawn, through the same drawing as the picture's image, in its pixels.
QByteArray GraphSvg(const std::vector<PlottedDepthDose>& plots);

} // namespace veltrim
