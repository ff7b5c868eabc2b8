#include "core/CsvReading.h"

namespace veltrim {
namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

// No record of a CSV the program reads comes near this; a quote left open
// must not take the rest of a long file into one cell.
constexpr std::size_t LongestRecord = 1 << 20;

// Whether the line leaves a quoted cell open. Only a quote that begins a
// cell opens one; inside it a doubled quote stands for one quote.
bool EndsInsideQuotes(std::string_view text, bool open) {
    enum { CellStart, Unquoted, Quoted, QuoteSeen } state = open ? Quoted : CellStart;
    for (const char ch : text) {
        switch (state) {
        case CellStart:
            state = ch == '"' ? Quoted : ch == ',' || IsBlank(ch) ? CellStart : Unquoted;
            break;
        case Unquoted:
            state = ch == ',' ? CellStart : Unquoted;
            break;
        case Quoted:
            state = ch == '"' ? QuoteSeen : Quoted;
            break;
        case QuoteSeen:
            state = ch == '"' ? Quoted : ch == ',' ? CellStart : Unquoted;
            break;
        }
    }
    return state == Quoted;
}

// The cells of one whole record.
CsvRecord Split(std::string_view text) {
    CsvRecord record;
    record.Blank = text.find_first_not_of(" \t") == std::string_view::npos;
    std::size_t i = 0;
    for (;;) {
        std::string cell;
        std::size_t start = i;
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == '"') {
            // A quoted cell: blanks around the quotes are not part of it.
            for (++i;; ++i) {
                if (i >= text.size()) {
                    record.Problem = "a quoted cell is not closed";
                    break;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i];
            }
            while (i < text.size() && IsBlank(text[i]))
                ++i;
            if (i < text.size() && text[i] != ',' && !record.Problem)
                record.Problem = "text after the closing quote of cell " +
                                 std::to_string(record.Cells.size() + 1);
            while (i < text.size() && text[i] != ',')
                ++i;
        } else {
            i = start;
            while (i < text.size() && text[i] != ',')
                cell += text[i++];
        }
        record.Cells.push_back(std::move(cell));
        if (i >= text.size())
            return record;
        ++i; // the comma
    }
}

} // namespace

std::optional<CsvRecord> CsvReader::Line(std::string_view line) {
    if (first_ && line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    first_ = false;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (open_)
        pending_ += '\n';
    pending_ += line;
    open_ = EndsInsideQuotes(line, open_);
    if (open_ && pending_.size() <= LongestRecord)
        return std::nullopt;
    open_ = false;
    CsvRecord record = Split(pending_);
    pending_.clear();
    return record;
}

std::optional<CsvRecord> CsvReader::Finish() {
    if (!open_)
        return std::nullopt;
    open_ = false;
    CsvRecord record = Split(pending_);
    pending_.clear();
    return record;
}

std::vector<CsvRecord> CsvRecords(std::string_view text) {
    CsvReader reader;
    return RecordsOfLines(text, reader, &CsvReader::Line, &CsvReader::Finish);
}

} // namespace veltrim
