#pragma once

// The depth-dose table as a file other programs read: UTF-8 CSV with one
// header row of column names with units, under `# name=value` lines that
// record everything the table depends on. The working results file stays
// as it is; this is the export beside it.

#include "core/Conditions.h"
#include "dose/DepthDose.h"
#include "engine/CalculateBeam.h"

#include <optional>
#include <string>

namespace veltrim {

// The program's version, as the build gives it.
const char* ProgramVersion();

// What an export records: the conditions as typed and as read (the clamped
// voltage), the model, the quality at no air path, the table in per cent
// and, with an exposure, the dose in mGy.
struct TableRecord {
    ConditionTexts Typed;
    IrradiationConditions Conditions;
    ScatterModel Model = ScatterModel::Classic;
    Medium PhantomMedium = Medium::IcruFourComponent;
    std::optional<double> ThicknessCm; // none: the thick phantom
    std::optional<double> Hvl1MmAl;
    int Rows = 0;
    const DepthDoseTable* Table = nullptr;
    const AbsoluteDose* Dose = nullptr; // only with an exposure given
};

// The record of a calculated beam (its quality, if computed, and its
// absolute dose when an exposure was given).
TableRecord RecordOf(const BeamResult& beam, const ConditionTexts& typed);

// The exposure as given, for people to read, in the edition's language:
// "tube output 50 uGy/mAs x 10 mAs at 100 cm" and the like.
std::string DescribeExposure(const Exposure& given, Language language);
// The exposure as given for the export: its way, value(s) and unit(s),
// numbers in `format`.
std::string ExposureText(const Exposure& given, const char* format = "%.6g");

// The export's bytes. Every number is written with the fewest digits that
// read back to the same double.
std::string TableCsvBytes(const TableRecord& record);

} // namespace veltrim
