#pragma once

#include "cli/DoseInput.h"
#include "core/Conditions.h"
#include "core/CsvReading.h"
#include "dose/FocusKernels.h"
#include "dose/Medium.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim {

// A batch file that cannot be used at all (no header, an unknown or repeated
// column); the message names what is wrong.
class BatchInputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One data row of a batch file: the texts of its cells in the fields of its
// columns, the window's defaults elsewhere.
struct BatchRow {
    int Number = 0; // 1 for the first data row; blank lines are not counted
    ConditionTexts Texts;
    int Rectification = 1;
    std::optional<std::string> Problem; // why the row cannot be computed
    std::optional<std::string> Warning; // characters of a number not read, a clamp
    // The optional columns; an empty cell leaves the row without.
    std::optional<double> Hvl1MmAl;      // measured: the added filter is found
    std::optional<ScatterModel> Model;   // none: the batch's
    std::optional<Medium> PhantomMedium; // none: the batch's
    std::optional<double> ThicknessCm;   // none: the batch's
    ExposureParts ExposureTyped;
    std::optional<Exposure> Given;
    std::optional<double> DoseAtCm, DoseAtToCm; // a depth, or a range from it
    // A point off the axis: point_z, with point_x and point_y (0 when empty).
    std::optional<double> PointX, PointY, PointZ;
    // Whether the header names an exposure column, or dose_at: the output
    // then has the dose's columns for every row.
    bool DoseColumns = false;
    bool DoseAtColumns = false;
    bool PointColumns = false;
};

struct BatchColumn;

// The rows of a batch file read one line at a time, so that a file of any
// length is read in the memory of one line; the rules are ReadBatchRows'.
class BatchRowReader {
  public:
    // `strict`: a tube voltage outside 30-150 kV is the row's problem rather
    // than its warning. A number not read whole always is.
    explicit BatchRowReader(bool strict = false) : strict_(strict) {}
    // The row of the line, or none for the header or a blank line. Throws
    // BatchInputError for a header that cannot be used.
    // `line` comes without its LF; a quoted cell may run on to the next.
    std::optional<BatchRow> Read(std::string_view line);
    // At the end of the file: the row a quote left open, if any.
    std::optional<BatchRow> Finish();
    // Whether the header has been read, and what its columns ask of the
    // data: the air tables (hvl1) and the surface kernels (an exposure).
    bool HasHeader() const { return header_; }
    bool NeedsAir() const;
    bool NeedsSurfaceKernels() const;

  private:
    std::optional<BatchRow> Take(const std::optional<CsvRecord>& record);

    CsvReader csv_;
    std::vector<const BatchColumn*> columns_;
    bool header_ = false;
    bool strict_;
    int rows_ = 0;
};

// The data rows of a batch file, in file order, read as BatchRowReader reads
// a file's lines. The first non-blank record is the header; cells are CSV
// (core/CsvReading.h: quoted cells, LF or CR LF, a byte order mark), and
// header names are taken without surrounding blanks and in any case; blank
// lines are skipped. A quoted number is that number. A row with more or fewer cells than the
// header, a rectification other than 1, 2 or 3, a number cell that is not
// one number, an exposure given two ways or without its parts, or a
// dose_at without an exposure, carries its problem.
// Throws BatchInputError when there is no header or a column is unknown or
// named twice.
// `strict` as BatchRowReader's.
std::vector<BatchRow> ReadBatchRows(std::string_view text, bool strict = false);

} // namespace veltrim
