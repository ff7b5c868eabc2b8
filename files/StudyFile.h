#pragma once

// The study file: a versioned JSON document ("veltrim_study": 1) of the
// patient, the points and the exposures, read strictly (an unknown key, a
// value of the wrong kind or a later version is refused with its place)
// and written with every number in the shortest form that reads back to
// the same double, so that a study saved and opened computes the same bits.
// docs/study.schema.json publishes the layout.

#include "engine/Study.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace veltrim {

// No study of a few thousand exposures comes near this.
inline constexpr std::size_t MaxStudyFileBytes = std::size_t{64} << 20;

// What a caller puts in place of the file's own before the study is
// checked (the command line's patient and points): a file without points,
// or whose points lie beyond its own patient, is then judged as amended.
using StudyAmendment = std::function<void(Study&)>;

// The study of a document; `shownName` names it in messages. Throws
// StudyError naming the place (exposure, point, key) of what is wrong.
Study ParseStudy(std::string_view text, const std::string& shownName,
                 const StudyAmendment& amend = {});

// Reads a regular file (opened without blocking). Throws StudyError.
Study ReadStudyFile(const std::filesystem::path& path, const StudyAmendment& amend = {});

std::string StudyFileBytes(const Study& study);

// A JSON value as compact text, numbers in their shortest form.
std::string JsonText(const JsonValue& value);

} // namespace veltrim
