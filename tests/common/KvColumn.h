#pragma once

#include <string>

namespace veltrim::testing {

// A batch of the tube voltage alone: its header, then `count` rows, the i-th
// kv(i).
template <class Kv> std::string KvColumn(int count, Kv kv) {
    std::string rows = "kv\n";
    for (int i = 0; i < count; ++i)
        rows += kv(i) + "\n";
    return rows;
}

} // namespace veltrim::testing
