#include "graph/GraphMapping.h"

#include <cmath>

namespace veltrim {

QTransform GraphToPixel() {
    const double sx = GraphImageSize / GraphWorld.width();
    const double sy = GraphImageSize / GraphWorld.height();
    return QTransform(sx, 0.0, 0.0, sy, -GraphWorld.left() * sx, -GraphWorld.top() * sy);
}

double PddToY(double percent) {
    return 800.0 - 100.0 * std::log(10.0 * percent);
}

double RowToX(int row) {
    return 15.0 * row - 7.0;
}

} // namespace veltrim
