#pragma once

#include "dose/Medium.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

namespace veltrim::mc {

// The value of a command-line option of the Monte Carlo tool: a finite,
// non-negative number written whole (nothing after it), or nothing.
inline std::optional<double> ReadNonNegative(const std::string& text) {
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != text.size() || !std::isfinite(value) || value < 0.0) {
        return std::nullopt;
    }
    return value;
}

// A count: a whole number from 1 to 10^15.
inline std::optional<std::uint64_t> ReadCount(const std::string& text) {
    const std::optional<double> value = ReadNonNegative(text);
    if (!value || *value != std::floor(*value) || *value < 1.0 || *value > 1e15) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

// The value of the option at argv[k], k moved on to it. "--help" prints the
// usage and ends the program; an option without a value is refused.
template <typename Refuse>
std::string OptionValue(int argc, char** argv, int& k, const char* usage, Refuse refuse) {
    const std::string option = argv[k];
    if (option == "--help") {
        std::fputs(usage, stdout);
        std::exit(0);
    }
    if (k + 1 >= argc) {
        refuse("missing value for " + option);
    }
    return argv[++k];
}

// An option's value by ReadNonNegative, or `refuse` (which does not return)
// given the words for a bad one.
template <typename Refuse>
double NumberOrRefuse(const std::string& text, const std::string& option, Refuse refuse) {
    const std::optional<double> value = ReadNonNegative(text);
    if (!value) {
        refuse("bad value for " + option + ": " + text);
    }
    return value.value_or(0.0);
}

// An option's value by ReadCount, or `refuse` given the words for a bad one.
template <typename Refuse>
std::uint64_t CountOrRefuse(const std::string& text, const std::string& option, Refuse refuse) {
    const std::optional<std::uint64_t> value = ReadCount(text);
    if (!value) {
        refuse("bad count for " + option + ": " + text);
    }
    return value.value_or(0);
}

// The phantom medium named by its key, or `refuse` given the keys.
template <typename Refuse> Medium MediumOrRefuse(const std::string& key, Refuse refuse) {
    const std::optional<Medium> medium = MediumFromKey(key);
    if (!medium) {
        refuse("the medium is icru-4, icru-44, water or pmma: " + key);
    }
    return medium.value_or(Medium::IcruFourComponent);
}

} // namespace veltrim::mc
