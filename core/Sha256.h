#pragma once

// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hex digits: the
// identity of a source file written into what was made of it, so that a
// study can be traced to the exact record it was read from.

#include <string>
#include <string_view>

namespace veltrim {

std::string Sha256Hex(std::string_view bytes);

} // namespace veltrim
