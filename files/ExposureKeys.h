#pragma once

// The quantities of an exposure under the name each front end and file gives
// them: the input's keyword (Python's, and its option's word), the beam
// file's key and the study file's key, in the order the files write them.

#include "core/Inputs.h"
#include "dose/Exposure.h"

#include <optional>

namespace veltrim {

struct ExposureKey {
    std::optional<double> ExposureParts::*Part;
    const char* Keyword;
    const char* BeamFileKey;
    const char* StudyFileKey;
};
inline constexpr ExposureKey ExposureKeys[] = {
    {&ExposureParts::AirKermaMgy, inputs::AirKerma.Keyword, "air_kerma_mgy", "air_kerma_mGy"},
    {&ExposureParts::TubeOutput, inputs::TubeOutput.Keyword, "tube_output_ugy_per_mas",
     "tube_output_uGy_per_mAs"},
    {&ExposureParts::Mas, inputs::Mas.Keyword, "mas", "mas"},
    {&ExposureParts::OutputDistanceCm, inputs::OutputDistance.Keyword, "output_distance_cm",
     "output_distance_cm"},
    {&ExposureParts::KapGyCm2, inputs::Kap.Keyword, "kap_gy_cm2", "kap_Gycm2"},
    {&ExposureParts::EsakMgy, inputs::Esak.Keyword, "esak_mgy", "esak_mGy"},
};

} // namespace veltrim
