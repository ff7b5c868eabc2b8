#pragma once

// The setters of veltrim-calc's options that read their value: each throws
// std::invalid_argument, for the user, on a value the option refuses.

#include "cli/CalcOptions.h"

#include <cstddef>
#include <initializer_list>
#include <string>

namespace veltrim {

// The place of `value` among the words an option takes, which the refusal
// lists ("1, 2 or 3").
std::size_t Choice(const char* option, const std::string& value,
                   std::initializer_list<const char*> words);

// A quantity of the exposure or a depth: the whole text must be a number.
double Number(const char* option, const std::string& value);

void SetJobs(CalcOptions& options, const std::string& value);
void SetDoseAt(CalcOptions& options, const std::string& value);
void SetMedium(CalcOptions& options, const std::string& value);
void SetThickness(CalcOptions& options, const std::string& value);
// A condition's text, which must be a number as a whole ("80", not "80 kV").
void SetConditionText(CalcOptions& options, std::string ConditionTexts::*text,
                      const std::string& value);

} // namespace veltrim
