#pragma once

// Shared by the tests of the command line, the dose records and the study.

#include <string>

namespace veltrim::testing {

// The message of the exception of type E that `call` throws; empty when it
// throws none.
template <class E, class F> std::string MessageOf(const F& call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

} // namespace veltrim::testing
