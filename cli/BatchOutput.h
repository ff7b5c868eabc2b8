#pragma once

#include "cli/BatchEngine.h"

#include <string>
#include <vector>

namespace veltrim {

// How the numbers are written: the decimals of the results file (two for
// the table, four for the half-value layer as --quality prints it), or every
// digit ("%.17g") for comparison with other runs.
enum class BatchDigits { Rounded, Precise };

// The results as CSV: a header line, then one line per depth layer of each
// row, the row's number, conditions and HVL1 repeated on each, so that the
// file filters and sorts as one table:
//   row,kv,angle,inherent,al,cu,fsd,field_x,field_y,rectification,
//   hvl1_mm_al,depth_cm,primary,scatter,total,error
// A row that failed is one line with its number and its error (in double
// quotes, a quote doubled), the other fields empty. Thicknesses in mm.
std::string BatchCsv(const std::vector<BatchResult>& results, BatchDigits digits);

// The results as a JSON list: {"row", "conditions", "hvl1_mm_al",
// "depth_cm", "primary", "scatter", "total"} for a row that computed,
// {"row", "error"} for one that failed.
std::string BatchJson(const std::vector<BatchResult>& results, BatchDigits digits);

// The output written a row at a time, as the rows come: each call gives
// the text of one more row (after the header, for the first), End the text
// that closes the output. Together they are BatchCsv's or BatchJson's.
class BatchWriter {
  public:
    BatchWriter(BatchDigits digits, bool json);
    std::string Row(const BatchResult& result);
    std::string End() const;

  private:
    BatchDigits digits_;
    bool json_;
    std::size_t rows_ = 0;
    std::string doseNames_, doseAtNames_, pointNames_;
};

// A text as a JSON string, with its quotes.
std::string JsonString(const std::string& text);

} // namespace veltrim
