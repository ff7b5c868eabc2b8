// A dose-record module of another build: its entry points are there, its
// interface is not the loader's.
#include <cstddef>
#include <cstdint>

extern "C" {
__attribute__((visibility("default"))) std::uint64_t VeltrimDoseRecordInterface() {
    return 1;
}
__attribute__((visibility("default"))) int VeltrimDoseRecordStudy(const char*, const void*,
                                                                  const void*, void*, void*) {
    return 0;
}
}
