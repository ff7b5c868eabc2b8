// The lenient number reading of typed texts never fails: any bytes give a
// number, never NaN, and the conditions read from such texts keep the tube
// voltage inside its limits.
#include "app/Conditions.h"
#include "app/NumberReading.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = veltrim::ReadNumber(text);
    if (std::isnan(value))
        std::abort();

    veltrim::ConditionTexts texts;
    texts.TubeVoltage = std::string(text);
    texts.Fsd = std::string(text.substr(0, size / 2));
    veltrim::IrradiationConditions conditions;
    veltrim::ReadConditions(texts, conditions);
    if (!(conditions.TubeVoltage >= 30.0 && conditions.TubeVoltage <= 150.0))
        std::abort();
    return 0;
}
