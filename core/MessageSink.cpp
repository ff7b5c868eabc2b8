#include "core/MessageSink.h"

#include <iostream>

namespace veltrim {

void StderrSink::Show(const std::string& text) {
    std::cerr << text << '\n';
}

} // namespace veltrim
