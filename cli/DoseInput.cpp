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

std::optional<PhantomPoint> ReadPoint(const std::string& text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    if (second == std::string::npos)
        return std::nullopt;
    const std::optional<double> x = StrictNumber(text.substr(0, first));
    const std::optional<double> y = StrictNumber(text.substr(first + 1, second - first - 1));
    const std::optional<double> z = StrictNumber(text.substr(second + 1));
    if (!x || !y || !z)
        return std::nullopt;
    return PhantomPoint{*x, *y, *z};
}

} // namespace veltrim
