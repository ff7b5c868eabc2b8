#pragma once

// A saved beam: everything a calculation's numbers depend on (the conditions
// as typed, the scatter model, the phantom's medium and thickness, the
// exposure as it was given, the air path of the beam-quality figures) under
// a name, with what was measured of the beam, as a small JSON file. A folder
// of them is a department's library of beams. docs/beam-file.md describes
// the layout and docs/beam-file.schema.json holds it as a JSON Schema.

#include "core/Conditions.h"
#include "core/Messages.h"
#include "dose/Exposure.h"
#include "dose/Medium.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltrim {

// The layout written. Format 1 held the conditions, the scatter model, the
// measured HVL1 and the tube's output; it still reads, with the medium,
// thickness, exposure and air path it could not hold left at their
// defaults, which is what its numbers were computed with. A file of a later
// format is refused, not guessed at.
inline constexpr int BeamFileFormat = 2;
// No beam file comes near this; anything larger is not one.
inline constexpr std::size_t MaxBeamFileBytes = 1 << 16;

// A beam file that cannot be used: missing, not a regular file, unreadable,
// of a later format, or damaged. The message names the file.
class BeamFileError : public MessageError {
  public:
    using MessageError::MessageError;
};

struct SavedBeam {
    std::string Name;
    // As typed, so that a beam opened computes the bits it computed when saved.
    ConditionTexts Texts;
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
    bool DivergentScatter = false;
    Medium PhantomMedium = Medium::IcruFourComponent;
    std::optional<double> ThicknessCm; // none: the thick phantom
    // The exposure as it was given (none of it: the dose per unit Ka,i).
    ExposureParts Exposure;
    // Air between the focus and where the half-value layers are measured, cm.
    std::optional<double> AirCm;
    std::optional<double> MeasuredHvl1MmAl;
    // The tube's output, uGy/mAs, and the distance it was measured at, cm:
    // a property of the tube that an mAs alone turns into an exposure.
    std::optional<double> TubeOutputUgyPerMas;
    std::optional<double> OutputDistanceCm;
};

// The file's bytes. Throws BeamFileError (BeamTextNotUtf8, naming the
// condition) when a typed text is not UTF-8, which JSON cannot hold as it
// stands: a text that decides the numbers is not rewritten behind the
// user's back. A name that is not UTF-8 (one taken from a file name) is
// only a label: each byte that begins no character becomes U+FFFD.
std::string BeamFileBytes(const SavedBeam& beam);

// The beam of a file's bytes; `shownName` names it in messages. Throws
// BeamFileError.
SavedBeam ParseBeamFile(std::string_view bytes, const std::string& shownName);

// Reads and parses the file, opened without blocking and only when it is a
// regular file. Throws BeamFileError.
SavedBeam ReadBeamFile(const std::filesystem::path& path);

} // namespace veltrim
