#include "readout/NumberPattern.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace veltrim {

namespace {

struct Pattern {
    int MinimumIntegerDigits = 0; // the '0's before the point
    int Decimals = 0;
    bool Percent = false;
    std::string_view Suffix;
};

Pattern ParsePattern(std::string_view text) {
    Pattern pattern;
    std::size_t i = 0;
    bool seenZero = false;
    for (; i < text.size() && (text[i] == '#' || text[i] == '0'); ++i) {
        if (text[i] == '0') {
            seenZero = true;
            ++pattern.MinimumIntegerDigits;
        } else if (seenZero) {
            throw std::invalid_argument("a '#' after a '0' before the point: " + std::string(text));
        }
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] == '0'; ++i)
            ++pattern.Decimals;
    }
    if (i == 0)
        throw std::invalid_argument("a pattern begins with its digits: " + std::string(text));
    pattern.Suffix = text.substr(i);
    if (pattern.Suffix.find_first_of("#0.") != std::string_view::npos)
        throw std::invalid_argument("digits after the pattern's text: " + std::string(text));
    pattern.Percent = pattern.Suffix.find('%') != std::string_view::npos;
    return pattern;
}

// The shortest decimal that reads back as |value|: its significant digits
// and the power of ten of the first of them.
struct ShortestDecimal {
    std::string Digits;
    int Exponent = 0; // the place of Digits[0]: it stands for Digits[0] x 10^Exponent
};

ShortestDecimal Shortest(double magnitude) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    if (error != std::errc())
        throw std::logic_error("a double does not fit its shortest form");
    // d[.ddd]e±xx
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    ShortestDecimal decimal;
    for (const char c : text.substr(0, e))
        if (c != '.')
            decimal.Digits.push_back(c);
    int exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+')
        exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    decimal.Exponent = exponent;
    return decimal;
}

} // namespace

std::string FormatNumber(double value, std::string_view patternText) {
    const Pattern pattern = ParsePattern(patternText);
    if (std::isnan(value))
        return "NaN" + std::string(pattern.Suffix);
    if (std::isinf(value))
        return (value < 0 ? "-Infinity" : "Infinity") + std::string(pattern.Suffix);

    // Digits of the value at places 10^(integerPlaces-1) .. 10^-Decimals,
    // plus the one below, which decides the rounding.
    ShortestDecimal decimal = Shortest(std::fabs(value));
    if (value == 0.0)
        decimal = {"0", 0};
    const int exponent = decimal.Exponent + (pattern.Percent ? 2 : 0);
    const int integerPlaces = exponent >= 0 ? exponent + 1 : 1;
    const int places = integerPlaces + pattern.Decimals;
    std::string digits(static_cast<std::size_t>(places), '0');
    // Place of Digits[k] counted from the left of `digits`.
    const int firstPlace = integerPlaces - 1 - exponent;
    bool roundUp = false;
    for (std::size_t k = 0; k < decimal.Digits.size(); ++k) {
        const int place = firstPlace + static_cast<int>(k);
        if (place < places)
            digits[static_cast<std::size_t>(place)] = decimal.Digits[k];
        else if (place == places)
            roundUp = decimal.Digits[k] >= '5';
    }
    if (roundUp) {
        int i = places - 1;
        for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i)
            digits[static_cast<std::size_t>(i)] = '0';
        if (i >= 0)
            ++digits[static_cast<std::size_t>(i)];
        else
            digits.insert(digits.begin(), '1');
    }

    const std::size_t pointAt = digits.size() - static_cast<std::size_t>(pattern.Decimals);
    std::string integerPart = digits.substr(0, pointAt);
    const std::string fraction = digits.substr(pointAt);
    // Leading zeros go, down to the digits the pattern always shows.
    std::size_t drop = 0;
    while (drop < integerPart.size() && integerPart[drop] == '0' &&
           static_cast<int>(integerPart.size() - drop) > pattern.MinimumIntegerDigits)
        ++drop;
    integerPart.erase(0, drop);
    if (static_cast<int>(integerPart.size()) < pattern.MinimumIntegerDigits)
        integerPart.insert(
            0, static_cast<std::size_t>(pattern.MinimumIntegerDigits) - integerPart.size(), '0');

    const bool allZero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = value < 0 && !allZero ? "-" : "";
    text += integerPart;
    if (pattern.Decimals > 0)
        text += "." + fraction;
    text += pattern.Suffix;
    return text;
}

} // namespace veltrim
