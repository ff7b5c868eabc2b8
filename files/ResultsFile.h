#pragma once

#include "core/Conditions.h"
#include "core/Messages.h"
#include "dose/DepthDose.h"
#include "dose/FocusKernels.h"
#include "dose/Medium.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltrim {

// The working results file, rewritten by every successful calculation.
inline constexpr const char* ResultsFileName = "PDD_tempDATA.txt";

// A results file that could not be encoded or written; the message says why,
// what() in English.
class ResultsFileError : public MessageError {
  public:
    using MessageError::MessageError;
};

// A number written to a pattern of at least minIntegerDigits integer digits
// (leading zeros) and exactly `decimals` decimals, with a point whatever the
// locale. Rounds the exact value of the double to the nearest printable one,
// a value exactly halfway away from zero. A negative value is written with a
// minus sign in front of the digits ("-001.50"); one that rounds to zero is
// written without it. More integer digits than the pattern shows are all written.
std::string FormatNumber(double value, int minIntegerDigits, int decimals);

// Text between UTF-8 and Shift_JIS, through iconv. Throws ResultsFileError
// when a character has no counterpart or the converter is not available.
std::string EncodeShiftJis(std::string_view utf8);
std::string DecodeShiftJis(std::string_view shiftJis);

// The bytes of the results file of a calculation: the depth table (rows
// 1..rows), an empty line and the conditions block with Shift_JIS labels; CR LF
// after every line. The conditions are those typed; the field is written as
// the calculation took it, the larger side first. A divergent-beam
// calculation ends the conditions block with a line that says so, and a
// phantom of another medium than the four-component tissue with a line that
// names it, and a phantom of finite thickness with a line that gives it.
std::string ResultsFileBytes(const DepthDoseTable& table, int rows,
                             const IrradiationConditions& conditions,
                             ScatterModel model = ScatterModel::Classic,
                             Medium medium = Medium::IcruFourComponent,
                             std::optional<double> thicknessCm = std::nullopt);

struct BeamResult;
// The results file of a calculated beam.
std::string ResultsFileBytes(const BeamResult& beam);

// Writes the bytes to a new file beside `target` and renames it over the
// target only once it is complete, so a failure leaves the previous file as
// it was; only a regular file (or a link to one) is replaced. Throws
// ResultsFileError naming the file.
void ReplaceFile(const std::filesystem::path& target, std::string_view bytes);

} // namespace veltrim
