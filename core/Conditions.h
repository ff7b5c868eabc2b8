#pragma once

#include "core/Inputs.h"
#include "core/Language.h"
#include "core/Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

// Waveform of the tube voltage, as the option buttons Option7..Option9 choose it.
enum class RectificationMethod : std::int16_t {
    ConstantPotential = 1,
    ThreePhase12Peak = 2,
    SinglePhaseFullWave = 3,
};

// A waveform's names: the fixed English words of records and reports, and
// the wording the edition shows.
struct WaveformNames {
    const char* Record;
    MessageId Wording;
};
WaveformNames WaveformNamesOf(RectificationMethod method);

// The conditions of a calculation, as the user gave them. Thicknesses are
// held in cm (typed in mm), the voltage in kV, the angle in degrees,
// distances and field sides in cm at the focus-to-surface distance, the
// field's sides in the order typed (what the depth dose derives from them,
// such as the ordered half sides, it keeps in its own result).
struct IrradiationConditions {
    double TubeVoltage = 0.0;
    double TargetAngle = 0.0;
    double InherentFiltration = 0.0;
    double AlFilter = 0.0;
    double CuFilter = 0.0;
    double Fsd = 0.0;
    double FieldX = 0.0;
    double FieldY = 0.0; // 0: a circle of diameter FieldX
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
};

// The eight texts the user typed, named by what they hold (the window's fields
// Text1, Text5, Text8, Text3, Text4, Text9, Text10 and Text11).
struct ConditionTexts {
    std::string TubeVoltage = inputs::TubeVoltage.Default;
    std::string TargetAngle = inputs::TargetAngle.Default;
    std::string InherentFiltration = inputs::InherentFiltration.Default;
    std::string AlFilter = inputs::AlFilter.Default;
    std::string CuFilter = inputs::CuFilter.Default;
    std::string Fsd = inputs::Fsd.Default;
    std::string FieldX = inputs::FieldX.Default;
    std::string FieldY = inputs::FieldY.Default;

    bool operator==(const ConditionTexts&) const = default;
};

// The texts of the conditions by the names the front ends give them (an
// option is the name with dashes, "--field-x"), in the window's order.
struct ConditionTextField {
    const char* Name;
    std::string ConditionTexts::*Text;
    MessageId Caption; // the window's name of the field, in the edition's words
};
inline constexpr ConditionTextField ConditionTextFields[] = {
    {inputs::TubeVoltage.Keyword, &ConditionTexts::TubeVoltage, MessageId::FieldTubeVoltage},
    {inputs::TargetAngle.Keyword, &ConditionTexts::TargetAngle, MessageId::FieldTargetAngle},
    {inputs::InherentFiltration.Keyword, &ConditionTexts::InherentFiltration,
     MessageId::FieldInherent},
    {inputs::AlFilter.Keyword, &ConditionTexts::AlFilter, MessageId::FieldAlFilter},
    {inputs::CuFilter.Keyword, &ConditionTexts::CuFilter, MessageId::FieldCuFilter},
    {inputs::Fsd.Keyword, &ConditionTexts::Fsd, MessageId::FieldFsd},
    {inputs::FieldX.Keyword, &ConditionTexts::FieldX, MessageId::FieldX},
    {inputs::FieldY.Keyword, &ConditionTexts::FieldY, MessageId::FieldY},
};

// The fields whose text the lenient reading does not read whole, each named
// with its text and the number the calculation uses (the tube voltage as
// held to 30..150 kV, thicknesses in the mm typed): what the window tells
// beside the reading it keeps. Empty when every text is a number.
std::vector<Message> MisreadFields(const ConditionTexts& texts);

// What the front ends tell of a text the lenient reading does not read
// whole: `name "text" was read as value` (value as ReadNumber gives it);
// nothing when the text reads whole.
std::optional<std::string> MistypedNumber(const std::string& name, const std::string& text);

// Lowest and highest tube voltage the system computes, in kV.
inline constexpr double MinTubeVoltage = inputs::TubeVoltage.Least;
inline constexpr double MaxTubeVoltage = inputs::TubeVoltage.Most;

// Reads the eight texts into the record, in the order of the fields, clamping
// the tube voltage to 30..150 kV. Gives back the text Text1 must show when the
// voltage was clamped ("150" or "30"), nothing otherwise. Rectification is
// left as it is.
std::optional<std::string> ReadConditions(const ConditionTexts& texts,
                                          IrradiationConditions& conditions);

// Reasons why the spectrum cannot be computed for these conditions, or an
// nothing when it can: a target angle outside 0 < angle <= 90 degrees
// (at 0 no photon leaves the anode; beyond 90 degrees, or below 0, the path
// out of the anode turns negative and the anode would amplify the beam), and
// numbers too large to compute with. Thicknesses so negative that their
// exponentials overflow are caught on the result.
std::optional<Message> SpectrumInputProblem(const IrradiationConditions& conditions, double pi);

// The geometry the depth dose cannot be computed for, or nothing: a
// negative focus-to-surface distance (the field would shrink with depth and
// the inverse square grow, a plausible-looking but meaningless table). A
// distance of 0 is left to the depth-dose computation, which reports it.
std::optional<Message> GeometryProblem(const IrradiationConditions& conditions);

} // namespace veltrim
