#pragma once

#include <optional>
#include <string>
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

// A number typed where a misread one would silently change a result: the
// text, without the blanks and tabs around it, must be exactly one decimal
// number (sign, digits with at most one period, exponent E, sign, digits)
// whose value is finite. A number too small for a double is that small
// number (subnormal) or 0. "8O", "2,5", "1,5e3", "0x10", "&H10", "1e", ""
// and "1e400" give nothing.
std::optional<double> ReadWholeNumber(std::string_view text) noexcept;

// The refusal of a text that is not wholly a number, naming the field (an
// option, a column, a keyword, a window's caption) and the text as typed.
std::string NotANumberText(std::string_view field, std::string_view text);

// The shortest text that reads back as exactly this double ("10000.0000001",
// not the "10000" of six significant digits), for a message that must show
// why a value was refused.
std::string ExactNumberText(double value);

} // namespace veltrim
