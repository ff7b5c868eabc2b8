#pragma once

// The property of a reader paired with a writer, over arbitrary bytes: the
// reader either gives a value or stops with its own `Refusal`, and a value
// it gives, written again, reads back to the same bytes (nothing it accepts
// is lost or altered on the way). Anything else stops the fuzzer.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <type_traits>

namespace veltrim::fuzzing {

template <typename Refusal, typename Read, typename Write>
int CheckReadsBack(const std::uint8_t* data, std::size_t size, Read read, Write write) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<std::invoke_result_t<Read&, const std::string&, const std::string&>> value;
    try {
        value.emplace(read(text, "fuzz.json"));
    } catch (const Refusal&) {
        return 0;
    }
    const std::string written = write(*value);
    try {
        if (write(read(written, "again.json")) != written)
            std::abort();
    } catch (const Refusal&) {
        std::abort(); // what the writer writes must read
    }
    return 0;
}

} // namespace veltrim::fuzzing
