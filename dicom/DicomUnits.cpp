#include "dicom/DicomUnits.h"

#include <charconv>
#include <cmath>
#include <string>

namespace veltrim {
namespace {

// The SI prefix of a unit, as UCUM writes it; none for another letter.
std::optional<double> Prefix(std::string_view p) {
    if (p.empty())
        return 1.0;
    if (p == "k")
        return 1e3;
    if (p == "d")
        return 1e-1;
    if (p == "c")
        return 1e-2;
    if (p == "m")
        return 1e-3;
    if (p == "u" || p == "\xC2\xB5") // UCUM's u, or the micro sign in UTF-8
        return 1e-6;
    if (p == "n")
        return 1e-9;
    return std::nullopt;
}

// The prefix's factor of `unit` when it ends with `base` ("mGy" with "Gy").
std::optional<double> PrefixedBy(std::string_view unit, std::string_view base) {
    if (unit.size() < base.size() || unit.substr(unit.size() - base.size()) != base)
        return std::nullopt;
    return Prefix(unit.substr(0, unit.size() - base.size()));
}

// A length's factor to metres: "cm" gives 0.01.
std::optional<double> Metres(std::string_view unit) {
    return PrefixedBy(unit, "m");
}

// "Gy.m2" and "Gym2" alike: UCUM's separators and exponent marks dropped.
std::string Compact(std::string_view unit) {
    std::string compact;
    for (char c : unit)
        if (c != '.' && c != '^' && c != ' ' && c != '*')
            compact += c;
    return compact;
}

} // namespace

std::optional<double> ReadDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ReadDecimal(std::string_view text, double factor) {
    const double exponent = std::log10(factor);
    const std::optional<double> plain = ReadDecimal(text);
    if (!plain || exponent != std::round(exponent) || std::abs(exponent) > 20.0)
        return plain ? std::optional<double>(*plain * factor) : std::nullopt;
    // The number's own exponent, if any, plus the factor's.
    std::string shifted(text);
    int own = 0;
    if (const std::size_t e = shifted.find_first_of("eE"); e != std::string::npos) {
        own = std::stoi(shifted.substr(e + 1));
        shifted.erase(e);
    }
    shifted += "e" + std::to_string(own + static_cast<int>(exponent));
    return ReadDecimal(shifted);
}

std::optional<double> UnitFactor(std::string_view unitText, Quantity quantity) {
    const std::string unit = Compact(unitText);
    const std::string_view u = unit;
    switch (quantity) {
    case Quantity::KermaAreaProduct: { // to Gy cm^2
        const std::size_t gy = u.find("Gy");
        if (gy == std::string_view::npos || u.size() < gy + 3 || u.back() != '2')
            return std::nullopt;
        const auto kerma = Prefix(u.substr(0, gy));
        const auto length = Metres(u.substr(gy + 2, u.size() - gy - 3));
        if (!kerma || !length)
            return std::nullopt;
        return *kerma * (*length * 100.0) * (*length * 100.0);
    }
    case Quantity::AirKerma: // to mGy
        if (const auto p = PrefixedBy(u, "Gy"))
            return *p * 1e3;
        return std::nullopt;
    case Quantity::Length: // to cm
        if (const auto p = Metres(u))
            return *p * 100.0;
        return std::nullopt;
    case Quantity::Area: // to cm^2
        if (u.size() >= 2 && u.back() == '2')
            if (const auto p = Metres(u.substr(0, u.size() - 1)))
                return (*p * 100.0) * (*p * 100.0);
        return std::nullopt;
    case Quantity::Time: // to ms
        if (u == "min")
            return 60000.0;
        if (const auto p = PrefixedBy(u, "s"))
            return *p * 1e3;
        return std::nullopt;
    case Quantity::Charge: // to mAs
        if (const auto p = PrefixedBy(u, "As"))
            return *p * 1e3;
        return std::nullopt;
    case Quantity::Current: // to mA
        if (const auto p = PrefixedBy(u, "A"))
            return *p * 1e3;
        return std::nullopt;
    case Quantity::Voltage: // to kV
        if (const auto p = PrefixedBy(u, "V"))
            return *p * 1e-3;
        return std::nullopt;
    case Quantity::Angle:
        if (u == "deg" || u == "\xC2\xB0")
            return 1.0;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace veltrim
