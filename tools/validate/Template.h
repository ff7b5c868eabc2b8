#pragma once

// Text with named placeholders, {{name}}, filled from a table of values. A
// placeholder without a value, and a value that no placeholder asks for, are
// errors: a renamed result must not leave a gap or a stale number behind.

#include <map>
#include <string>
#include <string_view>

namespace veltrim::validate {

using Placeholders = std::map<std::string, std::string, std::less<>>;

// The text with every {{name}} replaced by its value. Throws
// std::runtime_error naming the first placeholder without a value, or the
// values that were not used.
std::string FillTemplate(std::string_view text, const Placeholders& values);

// The report's template, tools/validate/validation.md.in, built into the program.
std::string_view ReportTemplate();

} // namespace veltrim::validate
