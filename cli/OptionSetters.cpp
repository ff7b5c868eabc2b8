#include "cli/OptionSetters.h"

#include "core/Inputs.h"
#include "core/NumberReading.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace veltrim {

// The place of `value` among the words an option takes, which the refusal
// lists ("1, 2 or 3").
std::size_t Choice(const char* option, const std::string& value,
                   std::initializer_list<const char*> words) {
    const auto found = std::find(words.begin(), words.end(), value);
    if (found != words.end())
        return static_cast<std::size_t>(found - words.begin());
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += std::string(i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words.begin()[i];
    throw std::invalid_argument(std::string(option) + " takes " + list + ", not \"" + value + "\"");
}

// The worker count of --jobs: a whole number from 1 to 256.
void SetJobs(CalcOptions& options, const std::string& value) {
    int jobs = 0;
    for (const char ch : value) {
        if (ch < '0' || ch > '9' || jobs > 256)
            jobs = 257;
        else
            jobs = jobs * 10 + (ch - '0');
    }
    if (value.empty() || jobs < 1 || jobs > 256)
        throw std::invalid_argument("--jobs takes a whole number from 1 to 256, not \"" + value +
                                    "\"");
    options.Jobs = jobs;
}

// A quantity of the exposure or a depth: the whole text must be a number.
double Number(const char* option, const std::string& value) {
    if (const std::optional<double> number = ReadWholeNumber(value))
        return *number;
    throw std::invalid_argument(NotANumberText(option, value));
}

namespace {

// Digits alone, as both halves of "1,5" are.
bool BareDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

} // namespace

// --dose-at: one depth, or two joined by a comma for a range. Two bare
// whole numbers ("1,5") are as likely a depth written with a decimal comma
// as a range, and the two differ by centimetres: the range must show a
// period in one of its depths ("1,5.0"), the depth is written 1.5.
void SetDoseAt(CalcOptions& options, const std::string& value) {
    const std::size_t comma = value.find(',');
    const std::optional<double> from = ReadWholeNumber(value.substr(0, comma));
    const std::optional<double> to =
        comma == std::string::npos ? std::nullopt : ReadWholeNumber(value.substr(comma + 1));
    if (!from || (comma != std::string::npos && !to))
        throw std::invalid_argument("--dose-at takes a depth in cm, or two joined by a comma, "
                                    "not \"" +
                                    value + "\"");
    if (comma != std::string::npos && BareDigits(value.substr(0, comma)) &&
        BareDigits(value.substr(comma + 1)))
        throw std::invalid_argument(
            "--dose-at \"" + value +
            "\" could be one depth with a decimal comma or a range: write " +
            value.substr(0, comma) + "." + value.substr(comma + 1) +
            " for the depth, or the range with a period in a depth (\"" + value + ".0\")");
    options.DoseAt = DoseDepths{*from, to};
}

void SetMedium(CalcOptions& options, const std::string& value) {
    Choice(inputs::Medium.Option, value, {"icru-4", "icru-44", "water", "pmma"});
    options.PhantomMedium = *MediumFromKey(value);
}

void SetThickness(CalcOptions& options, const std::string& value) {
    options.ThicknessCm = Number(inputs::Thickness.Option, value);
}

void SetConditionText(CalcOptions& options, std::string ConditionTexts::*text,
                      const std::string& value) {
    for (const ConditionTextField& field : ConditionTextFields)
        if (field.Text == text && !ReadWholeNumber(value))
            throw std::invalid_argument(NotANumberText(OptionOf(field), value));
    options.Texts.*text = value;
}

} // namespace veltrim
