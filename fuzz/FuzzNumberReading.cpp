// The lenient number reading of typed texts never fails: any bytes give a
// number, never NaN; its magnitude agrees with the order of magnitude of the
// exact decimal the text writes (found here by a slow reader of our own that
// only counts digits); and the conditions read from such texts keep the tube
// voltage inside its limits.
#include "core/Conditions.h"
#include "core/NumberReading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The decimal a text writes by the reading rule, as its order of magnitude:
// the value lies in [10^(order-1), 10^order). Nothing for a text that writes
// zero or uses a radix prefix.
std::optional<long long> DecimalOrder(std::string_view text) {
    std::string s;
    for (const char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\n')
            s += ch;
    if (!s.empty() && s[0] == '&')
        return std::nullopt;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    long long order = 0;
    bool period = false, found = false;
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch == '.' && !period) {
            period = true;
        } else if (ch >= '0' && ch <= '9') {
            if (!found && ch != '0')
                found = true;
            if (found && !period)
                ++order;
            if (!found && period)
                --order;
        } else {
            break;
        }
    }
    if (!found)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            negative = s[j++] == '-';
        long long exponent = 0;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j)
            exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1'000'000'000'000'000LL);
        order += negative ? -exponent : exponent;
    }
    return order;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = veltrim::ReadNumber(text);
    Check(!std::isnan(value), "a text never reads as NaN");

    if (const std::optional<long long> order = DecimalOrder(text)) {
        const double magnitude = std::fabs(value);
        // Below 0.1 the value cannot round up to 1; up to 10^308 it is finite.
        if (*order <= -1)
            Check(magnitude < 1.0, "a value below 1 never reads as 1 or more");
        if (*order <= 308)
            Check(std::isfinite(value), "a finite value never reads as infinite");
        if (*order >= 310)
            Check(std::isinf(value), "a value beyond the largest double reads as infinite");
        if (*order >= -300 && *order <= 300)
            Check(magnitude >= std::pow(10.0, static_cast<double>(*order - 2)) &&
                      magnitude <= std::pow(10.0, static_cast<double>(*order)),
                  "the value has the order of magnitude its digits write");
    }

    veltrim::ConditionTexts texts;
    texts.TubeVoltage = std::string(text);
    texts.Fsd = std::string(text.substr(0, size / 2));
    veltrim::IrradiationConditions conditions;
    veltrim::ReadConditions(texts, conditions);
    Check(conditions.TubeVoltage >= 30.0 && conditions.TubeVoltage <= 150.0,
          "the tube voltage is held within 30..150 kV");
    return 0;
}
