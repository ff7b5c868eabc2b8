// The data-file tokenizer over arbitrary bytes: it either gives finite
// numbers or stops with a DataFileError, never reads past the text, and
// every number it gives is bit for bit what std::from_chars makes of its
// field, however the reader converted it.
#include "core/DataFile.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Separators(", \t\r\n\f\v", 7);

// The field after `pos`, which is moved past it.
std::string_view NextField(std::string_view text, std::size_t& pos) {
    pos = std::min(text.find_first_not_of(Separators, pos), text.size());
    const std::size_t end = std::min(text.find_first_of(Separators, pos), text.size());
    const std::string_view field = text.substr(pos, end - pos);
    pos = end;
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    veltrim::NumberFile file("fuzz.dat", std::string(text));
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    try {
        for (std::size_t i = 0; i <= size; ++i) {
            const double value = file.Next();
            if (!std::isfinite(value))
                std::abort();
            std::string_view field = NextField(text, pos);
            if (field.starts_with('+'))
                field.remove_prefix(1);
            double expected = 0.0;
            std::from_chars(field.data(), field.data() + field.size(), expected);
            if (std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected))
                std::abort();
        }
        std::abort(); // more numbers than bytes
    } catch (const veltrim::DataFileError&) {
    }
    return 0;
}
