#pragma once

// Comma-separated text as RFC 4180 writes it and spreadsheets save it: CR LF
// or LF line ends, cells in double quotes that may hold commas, doubled
// quotes and line ends, and a UTF-8 byte order mark before the first line.
// One reader for every CSV the program takes, fed a line at a time so that
// a file of any length is read in the memory of one record.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrim {

struct CsvRecord {
    std::vector<std::string> Cells; // unquoted; blanks around an unquoted cell kept
    bool Blank = false;             // nothing but blanks and tabs on its line
    // Why the record cannot be read as cells (text after a closing quote, a
    // quote left open at the end); its cells are then not to be used.
    std::optional<std::string> Problem;
};

class CsvReader {
  public:
    // Takes one line without its LF (a CR before it is part of the line
    // end). Gives the record once it is whole; none while a quoted cell runs
    // on over the line end.
    std::optional<CsvRecord> Line(std::string_view line);
    // At the end of the text: the record a quote left open, if any.
    std::optional<CsvRecord> Finish();

  private:
    std::string pending_; // the record so far, while a quote is open
    bool open_ = false;
    bool first_ = true;
};

// The records of a whole text, in order, blank ones included.
std::vector<CsvRecord> CsvRecords(std::string_view text);

// What a reader fed a line at a time makes of a whole text: each line
// (without its LF; the last may have none) to `line`, then `finish`, and
// every record they give, in order.
template <class Reader, class Record>
std::vector<Record> RecordsOfLines(std::string_view text, Reader& reader,
                                   std::optional<Record> (Reader::*line)(std::string_view),
                                   std::optional<Record> (Reader::*finish)()) {
    std::vector<Record> records;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        if (std::optional<Record> record = (reader.*line)(text.substr(0, lf)))
            records.push_back(std::move(*record));
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    }
    if (std::optional<Record> record = (reader.*finish)())
        records.push_back(std::move(*record));
    return records;
}

} // namespace veltrim
