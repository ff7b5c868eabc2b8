#pragma once

#include <optional>
#include <string>

namespace veltrim::testing {

// The E that `run` throws, or nothing when it runs through; any other
// exception goes on to fail the test.
template <class E, class Run> std::optional<E> ThrownBy(Run run) {
    try {
        run();
    } catch (const E& e) {
        return e;
    }
    return std::nullopt;
}

// What the E that `run` throws says; "" when it runs through.
template <class E, class Run> std::string RefusalOf(Run run) {
    const std::optional<E> thrown = ThrownBy<E>(run);
    return thrown ? thrown->what() : "";
}

} // namespace veltrim::testing
