#pragma once

namespace veltrim {

// The model's pi has five decimals, and its results depend on them.
inline constexpr double ModelPi = 3.14159;

} // namespace veltrim
