#pragma once

// The dose-record reader for the front ends (veltrim-calc, the Python
// module, the window). Reading DICOM takes DCMTK, some 25 libraries that a
// run without a record would map and resolve at every start: the reader
// lives in a module of its own, libveltrim-dicom.so, which this loader
// (free of DCMTK and Qt) opens the first time a record is read. The module
// is looked for beside the program (or the Python module) that asks, in the
// build tree's dicom/ folder, then in the installed library folder
// (<prefix>/lib/veltrim).

#include "dicom/EventExposure.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrim {

// The module could not be found, opened or used: the message says why. A
// DoseRecordError, so that callers refuse the record with this reason.
class DoseRecordUnavailable : public DoseRecordError {
  public:
    using DoseRecordError::DoseRecordError;
};

// The study document (StudyJson) of the dose record in `file` with the
// patient and points given. Throws DoseRecordError with the reader's
// reason for a file it refuses, DoseRecordUnavailable when the module is
// missing or belongs to another build.
std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points);

// The same through the first usable module among `candidates`, opened for
// this call alone.
std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points,
                              const std::vector<std::string>& candidates);

// Where the module is looked for, in order.
std::vector<std::string> DoseRecordModuleCandidates();

// --- between the loader and the module ---

inline constexpr const char* DoseRecordInterfaceSymbol = "VeltrimDoseRecordInterface";
inline constexpr const char* DoseRecordStudySymbol = "VeltrimDoseRecordStudy";
// What both sides must agree on: a module of another build, whose patient,
// point or messages differ, is refused rather than handed records it would
// misread or answered in messages read as others. Raised whenever the call
// below changes.
inline constexpr std::uint64_t DoseRecordInterface =
    (2ull << 48) | (std::uint64_t{static_cast<std::uint32_t>(MessageId::Count)} << 32) |
    (std::uint64_t{sizeof(RecordPatient)} << 24) | sizeof(RecordPoint);
// Receives the study document, or the reason the record was refused.
using DoseRecordSink = void (*)(void* context, const char* text, std::size_t size);
// The file's path (zero-terminated), a const RecordPatient* and a const
// std::vector<RecordPoint>*. 0 with the study document handed to the sink,
// else the reason handed to it.
using DoseRecordStudyCall = int (*)(const char* file, const void* patient, const void* points,
                                    DoseRecordSink sink, void* context);
using DoseRecordInterfaceCall = std::uint64_t (*)();

} // namespace veltrim
