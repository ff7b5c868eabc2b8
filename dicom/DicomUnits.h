#pragma once

// The numbers and units of DICOM text: decimal strings and the UCUM codes
// of measurement units, with the spellings vendors use beside the standard
// ones ("Gym2" for "Gy.m2", "uA.s" for "uAs", "m^2" for "m2").

#include <optional>
#include <string_view>

namespace veltrim {

// A decimal string (DS, or a NUM item's value): blanks around it allowed,
// nothing else. None for an empty, partly numeric or non-finite text.
std::optional<double> ReadDecimal(std::string_view text);

// A decimal string in another unit: the text times `factor`. A power of
// ten moves the decimal exponent before the text is read, so that "0.00014"
// Gy reads as the double nearest 0.14 mGy, not 0.13999999999999999.
std::optional<double> ReadDecimal(std::string_view text, double factor);

enum class Quantity {
    KermaAreaProduct, // Gy cm^2
    AirKerma,         // mGy
    Length,           // cm
    Area,             // cm^2
    Time,             // ms
    Charge,           // mAs
    Current,          // mA
    Voltage,          // kV
    Angle,            // degrees
};

// The factor that turns a value in `unit` into Veltrim's unit of the
// quantity (in the comment beside each); none for a unit that is not one
// of that quantity.
std::optional<double> UnitFactor(std::string_view unit, Quantity quantity);

} // namespace veltrim
