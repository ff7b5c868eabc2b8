#include "engine/Study.h"

#include "core/LookUp.h"

#include <utility>

namespace veltrim {
namespace {

constexpr std::pair<const char*, BeamEntry> EntryKeys[] = {
    {"anterior", BeamEntry::Anterior},
    {"posterior", BeamEntry::Posterior},
    {"left", BeamEntry::Left},
    {"right", BeamEntry::Right},
};

} // namespace

const char* EntryKey(BeamEntry entry) {
    for (const auto& [key, value] : EntryKeys)
        if (value == entry)
            return key;
    return "";
}

std::optional<BeamEntry> EntryFromKey(std::string_view key) {
    return LookUp(EntryKeys, key);
}

} // namespace veltrim
