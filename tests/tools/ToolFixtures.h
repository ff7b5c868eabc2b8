#pragma once

// What the Monte Carlo tests share: the tissue model and an axis estimator
// of 30 rows, tabulated once per test program since that takes a moment.

#include "tools/mc/AxisEstimator.h"
#include "tools/mc/TissueModel.h"
#include "tools/xrl/XrayLib.h"

namespace veltrim::mc {

inline const TissueModel& Tissue() {
    static const TissueModel tissue(xrl::IcruSoftTissue());
    return tissue;
}

inline const AxisEstimator& Estimator() {
    static const AxisEstimator estimator(Tissue(), 30);
    return estimator;
}

} // namespace veltrim::mc
