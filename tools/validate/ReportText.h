#pragma once

#include "tools/validate/Checks.h"
#include "tools/validate/Report.h"
#include "tools/validate/Studies.h"

#include <string>

namespace veltrim::validate {

// docs/validation.md: the template filled from the findings (the surface
// study included) and the checks; writes the figures' files into `report`.
std::string ReportText(const Findings& findings, const std::vector<Check>& checks,
                       const Report& report);

} // namespace veltrim::validate
