#include "files/ResultsFile.h"

#include "core/DataFile.h"
#include "core/FileReplacing.h"
#include "core/ModelConstants.h"
#include "engine/CalculateBeam.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <limits>

namespace veltrim {
namespace {

// Digits of |value| with `decimals` decimals, the exact binary value rounded
// to nearest (the library rounds an exact tie to even; the caller moves ties).
std::string FixedDigits(double magnitude, int decimals) {
    char buffer[512]; // 309 integer digits of the largest double and the decimals
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// Whether |value| lies exactly halfway between two numbers of `decimals`
// decimals. A double at or above 1/8 is at least 2^-55 away from such a tie
// unless it is one, so thirty more decimals tell the two apart.
bool IsTie(double magnitude, int decimals) {
    const std::string digits = FixedDigits(magnitude, decimals + 30);
    const std::size_t point = digits.find('.');
    if (point == std::string::npos)
        return false;
    const std::string_view rest = std::string_view(digits).substr(point + 1 + decimals);
    return rest.size() > 1 && rest[0] == '5' &&
           rest.find_first_not_of('0', 1) == std::string_view::npos;
}

std::string Convert(std::string_view text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw ResultsFileError(Message(MessageId::ResultsFileEncoding,
                                       {Arg(std::string("no converter from ") + from + " to " + to +
                                            ": " + std::strerror(errno))}));
    std::string in(text);
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        throw ResultsFileError(Message(MessageId::ResultsFileEncoding,
                                       {Arg(std::string("text cannot be converted from ") + from +
                                            " to " + to + ": " + std::strerror(error))}));
    out.resize(out.size() - outLeft);
    return out;
}

std::string RectificationLabel(RectificationMethod method) {
    switch (method) {
    case RectificationMethod::ConstantPotential:
        return "定電圧";
    case RectificationMethod::ThreePhase12Peak:
        return "三相12ピーク";
    default:
        return "単相全波";
    }
}

} // namespace

std::string FormatNumber(double value, int minIntegerDigits, int decimals) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    double magnitude = std::fabs(value);
    if (IsTie(magnitude, decimals))
        magnitude = std::nextafter(magnitude, std::numeric_limits<double>::infinity());
    std::string digits = FixedDigits(magnitude, decimals);
    const std::size_t point = digits.find('.');
    const std::size_t integerDigits = point == std::string::npos ? digits.size() : point;
    if (integerDigits < static_cast<std::size_t>(minIntegerDigits))
        digits.insert(0, static_cast<std::size_t>(minIntegerDigits) - integerDigits, '0');
    const bool nonZero = digits.find_first_not_of("0.") != std::string::npos;
    return (value < 0 && nonZero ? "-" : "") + digits;
}

std::string EncodeShiftJis(std::string_view utf8) {
    return Convert(utf8, "SHIFT_JIS", "UTF-8");
}

std::string DecodeShiftJis(std::string_view shiftJis) {
    return Convert(shiftJis, "UTF-8", "SHIFT_JIS");
}

std::string ResultsFileBytes(const DepthDoseTable& table, int rows, const IrradiationConditions& c,
                             ScatterModel model, Medium medium, std::optional<double> thicknessCm) {
    constexpr const char* eol = "\r\n";
    std::string text;
    text.reserve(4096);
    for (int d = 1; d <= rows; ++d) {
        const auto& row = table[d];
        text += " " + FormatNumber(LayerMiddle(d), 2, 2);
        text += ",  " + FormatNumber(row[PrimaryPdd], 3, 2);
        text += ",  " + FormatNumber(row[ScatterPdd], 3, 2);
        text += ",  " + FormatNumber(row[TotalPdd], 3, 2);
        text += eol;
    }
    // The labels are Japanese in both editions, in Shift_JIS whatever the
    // locale, so the file is the same as on the systems it is made for.
    const auto label = [](const char* utf8) { return EncodeShiftJis(utf8); };
    text += eol;
    text += label("照射条件") + eol;
    text += label("整流方式, ") + EncodeShiftJis(RectificationLabel(c.Rectification)) + eol;
    text += label("Ｘ線管電圧, ") + FormatNumber(c.TubeVoltage, 2, 1) + ", kV" + eol;
    text += label("ターゲット角度, ") + FormatNumber(c.TargetAngle, 2, 1) + label(", 度") + eol;
    text += label("固有ろ過, ") + FormatNumber(MmFromCm(c.InherentFiltration), 1, 2) +
            label(", mm Al当量") + eol;
    text += label("Al付加フィルタ, ") + FormatNumber(MmFromCm(c.AlFilter), 1, 2) + ", mm" + eol;
    text += label("Cu付加フィルタ, ") + FormatNumber(MmFromCm(c.CuFilter), 1, 2) + ", mm" + eol;
    text += "FSD, " + FormatNumber(c.Fsd, 2, 1) + ", cm" + eol;
    // The sides as the calculation took them: the larger first, each twice
    // the half side it used.
    const FieldHalfSides field = HalveField(c);
    text += label("照射野 at FSD, ") + FormatNumber(field.X * 2, 2, 1) + ", cm" + eol;
    text += label("照射野 at FSD, ") + FormatNumber(field.Y * 2, 2, 1) + ", cm" + eol;
    if (model == ScatterModel::Divergent)
        text += label("散乱モデル, 発散ビーム") + eol;
    if (medium != Medium::IcruFourComponent)
        text += label("被照射体, ") +
                EncodeShiftJis(Message(MediumName(medium)).In(Language::Japanese)) + eol;
    if (thicknessCm)
        text += label("ファントムの厚さ, ") + FormatNumber(*thicknessCm, 2, 1) + ", cm" + eol;
    return text;
}

std::string ResultsFileBytes(const BeamResult& beam) {
    return ResultsFileBytes(beam.DepthDose->Table, beam.DepthDose->Rows, beam.Conditions,
                            beam.Model, beam.PhantomMedium, beam.ThicknessCm);
}

void ReplaceFile(const std::filesystem::path& target, std::string_view bytes) {
    const ReplaceOutcome outcome = ReplaceFileContents(target, bytes, Durability::Complete);
    const std::string name = PrintableText(target.generic_string(), 4096);
    switch (outcome.Step) {
    case ReplaceStep::Done:
        return;
    case ReplaceStep::NotRegular:
        throw ResultsFileError(
            Message(MessageId::ResultsFileNotRegular, {Arg(name), Arg(Message(outcome.Kind))}));
    case ReplaceStep::Protected:
        throw ResultsFileError(Message(MessageId::ResultsFileProtected,
                                       {Arg(name), Arg(std::strerror(outcome.Error))}));
    case ReplaceStep::CreateTemporary:
        if (outcome.Error == EACCES || outcome.Error == EPERM || outcome.Error == EROFS)
            throw ResultsFileError(
                Message(MessageId::ResultsFolderNotWritable,
                        {Arg(name), Arg(PrintableText(outcome.Folder.generic_string(), 4096)),
                         Arg(std::strerror(outcome.Error))}));
        [[fallthrough]];
    default:
        throw ResultsFileError(Message(MessageId::ResultsFileNotWritten,
                                       {Arg(name), Arg(std::strerror(outcome.Error))}));
    }
}

} // namespace veltrim
