#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace veltrim {

// The value a name stands for in a small fixed table (command-line options
// and the fields they fill), or nothing.
template <typename Value, std::size_t N>
std::optional<Value> LookUp(const std::pair<const char*, Value> (&table)[N],
                            std::string_view name) {
    for (const auto& [key, value] : table)
        if (name == key)
            return value;
    return std::nullopt;
}

} // namespace veltrim
