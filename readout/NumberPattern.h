#pragma once

#include <string>
#include <string_view>

namespace veltrim {

// Formats a number by a picture pattern of the kind the readouts use: "##0.0",
// "##0.00 %", "##0.00%". Before the point, each '0' is a digit always shown
// and each '#' a digit shown only when the number needs it (no grouping);
// after the point, each '0' is a decimal always shown. The text after the
// digits is copied as it stands; a '%' in it shows the number times 100.
//
// The same in every locale: the point is always '.', the minus sign '-'.
// Rounding is half away from zero, judged on the shortest decimal that reads
// back as the same double, so 45.675 shows as 45.68 and 0.125 as 0.13 even
// though neither is a tie in binary; the factor 100 of '%' shifts that
// decimal, so no binary rounding enters between the value and its digits. A
// value that rounds to zero shows no minus sign. NaN and infinities show as
// "NaN", "Infinity" and "-Infinity" with the pattern's text after them.
//
// Throws std::invalid_argument for a pattern outside this form.
std::string FormatNumber(double value, std::string_view pattern);

} // namespace veltrim
