#pragma once

#include <cstdint>

namespace veltrim {

// Edition of the main window: 1 Japanese (Form1), 2 English (Form3).
enum class Language : std::int16_t {
    Japanese = 1,
    English = 2,
};

} // namespace veltrim
