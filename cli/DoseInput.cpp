#include "cli/DoseInput.h"

#include <vector>

namespace veltrim {

std::optional<PhantomPoint> ReadPoint(const std::string& text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    if (second == std::string::npos)
        return std::nullopt;
    const std::optional<double> x = ReadWholeNumber(text.substr(0, first));
    const std::optional<double> y = ReadWholeNumber(text.substr(first + 1, second - first - 1));
    const std::optional<double> z = ReadWholeNumber(text.substr(second + 1));
    if (!x || !y || !z)
        return std::nullopt;
    return PhantomPoint{*x, *y, *z};
}

} // namespace veltrim
