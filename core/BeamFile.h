#pragma once

// A saved beam: the conditions of the window (or of a command line) under a
// name, with what was measured of the beam, as a small JSON file. A folder
// of them is a department's library of beams.

#include "core/Conditions.h"
#include "core/Messages.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltrim {

// The layout written; a file of a later one is refused, not guessed at.
inline constexpr int BeamFileFormat = 1;
// No beam file comes near this; anything larger is not one.
inline constexpr std::size_t MaxBeamFileBytes = 1 << 16;

struct SavedBeam {
    std::string Name;
    // As typed, so that a beam opened computes the bits it computed when saved.
    ConditionTexts Texts;
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
    bool DivergentScatter = false;
    std::optional<double> MeasuredHvl1MmAl;
    // The tube output, uGy/mAs, and the distance it was measured at, cm.
    std::optional<double> TubeOutputUgyPerMas;
    std::optional<double> OutputDistanceCm;
};

// A beam file that cannot be used: missing, not a regular file, unreadable,
// of a later format, or damaged. The message names the file.
class BeamFileError : public MessageError {
  public:
    using MessageError::MessageError;
};

std::string BeamFileBytes(const SavedBeam& beam);

// The beam of a file's bytes; `shownName` names it in messages. Throws
// BeamFileError.
SavedBeam ParseBeamFile(std::string_view bytes, const std::string& shownName);

// Reads and parses the file, opened without blocking and only when it is a
// regular file. Throws BeamFileError.
SavedBeam ReadBeamFile(const std::filesystem::path& path);

} // namespace veltrim
