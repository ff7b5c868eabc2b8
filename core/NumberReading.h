#pragma once

#include <string_view>

namespace veltrim {

// Reads a number from a typed text by the one lenient rule every field uses:
// blanks, tabs and line feeds anywhere are ignored; an optional sign, digits
// with at most one period, an optional exponent (E, sign, digits); &H and &O
// introduce a hexadecimal or octal integer. Reading stops at the first
// character that does not fit, and a text that does not begin with a number
// gives 0. Never fails and never throws; the period is the only decimal
// separator whatever the locale.
double ReadNumber(std::string_view text) noexcept;

// Whether ReadNumber reads the whole text: false when it stops before the
// end ("9O", "1,5", "80 kV") or finds no number at all (an empty text), so
// that a front end can say that characters were ignored.
bool ReadsWhole(std::string_view text) noexcept;

} // namespace veltrim
