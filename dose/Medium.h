#pragma once

// The material of the phantom. ICRU four-component soft tissue is the
// model's own phantom and reads its tables from the top of the data folder;
// every other medium has a folder of its own under `media/` holding the same
// tables under the same names, so one reader serves them all.

#include "core/LookUp.h"
#include "core/Messages.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace veltrim {

enum class Medium { IcruFourComponent, Icru44, Water, Pmma };

// The names the front ends take and write.
inline constexpr std::pair<const char*, Medium> MediumKeys[] = {
    {"icru-4", Medium::IcruFourComponent},
    {"icru-44", Medium::Icru44},
    {"water", Medium::Water},
    {"pmma", Medium::Pmma},
};

inline std::optional<Medium> MediumFromKey(std::string_view key) {
    return LookUp(MediumKeys, key);
}

inline const char* MediumKey(Medium medium) {
    for (const auto& [key, value] : MediumKeys)
        if (value == medium)
            return key;
    return "";
}

// The medium's name in the edition's words.
inline MessageId MediumName(Medium medium) {
    switch (medium) {
    case Medium::Icru44:
        return MessageId::MediumIcru44;
    case Medium::Water:
        return MessageId::MediumWater;
    case Medium::Pmma:
        return MessageId::MediumPmma;
    case Medium::IcruFourComponent:
        break;
    }
    return MessageId::MediumIcruFourComponent;
}

// The medium's tables relative to the data folder: empty for the default.
inline std::filesystem::path MediumFolder(Medium medium) {
    if (medium == Medium::IcruFourComponent)
        return {};
    return std::filesystem::path("media") / MediumKey(medium);
}

} // namespace veltrim
