#include "cli/DoseInput.h"

#include "core/CalculationError.h"

#include <cmath>
#include <exception>
#include <vector>

namespace veltrim {

std::optional<double> StrictNumber(const std::string& text) {
    std::size_t used = 0;
    try {
        const double value = std::stod(text, &used);
        if (used == text.size() && std::isfinite(value))
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace veltrim
