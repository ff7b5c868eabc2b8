#pragma once

#include "dose/DepthDose.h"

#include <string>
#include <vector>

namespace veltrim::testing {

// The depth-dose failure as the window shows it: the fixed first line, then a
// line that names the cause.
inline bool IsDepthDoseFailure(const std::string& message) {
    const std::string firstLine = std::string(DepthDoseFailureMessage) + "\n";
    return message.starts_with(firstLine) && message.size() > firstLine.size() &&
           message.find('\n', firstLine.size()) == std::string::npos;
}

inline bool IsOneDepthDoseFailure(const std::vector<std::string>& messages) {
    return messages.size() == 1 && IsDepthDoseFailure(messages[0]);
}

} // namespace veltrim::testing
