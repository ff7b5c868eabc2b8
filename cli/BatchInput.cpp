#include "cli/BatchInput.h"

#include "core/LookUp.h"

#include <cctype>
#include <utility>

namespace veltrim {
namespace {

// A column of the file: a condition text, or (empty) the rectification.
using Column = std::optional<std::string ConditionTexts::*>;

std::optional<Column> ColumnNamed(const std::string& name) {
    if (name == "rectification")
        return Column{};
    static const std::pair<const char*, std::string ConditionTexts::*> columns[] = {
        {"kv", &ConditionTexts::TubeVoltage},
        {"angle", &ConditionTexts::TargetAngle},
        {"inherent", &ConditionTexts::InherentFiltration},
        {"al", &ConditionTexts::AlFilter},
        {"cu", &ConditionTexts::CuFilter},
        {"fsd", &ConditionTexts::Fsd},
        {"field_x", &ConditionTexts::FieldX},
        {"field_y", &ConditionTexts::FieldY},
    };
    if (const auto field = LookUp(columns, name))
        return Column{*field};
    return std::nullopt;
}

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string Trimmed(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> Cells(std::string_view line) {
    std::vector<std::string> cells;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        cells.emplace_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return cells;
        start = comma + 1;
    }
}

// The lines of the text without their ends; a CR before the LF (or at the
// very end) belongs to the line end.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    }
    return lines;
}

std::vector<Column> Header(std::string_view line) {
    std::vector<Column> columns;
    std::vector<std::string> seen;
    for (const std::string& cell : Cells(line)) {
        std::string name = Trimmed(cell);
        for (char& ch : name)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const std::optional<Column> column = ColumnNamed(name);
        if (!column)
            throw BatchInputError("unknown column \"" + Trimmed(cell) +
                                  "\" in the header (known: kv, angle, inherent, al, cu, fsd, "
                                  "field_x, field_y, rectification)");
        for (const std::string& earlier : seen)
            if (earlier == name)
                throw BatchInputError("column \"" + name + "\" named twice in the header");
        seen.push_back(name);
        columns.push_back(*column);
    }
    return columns;
}

BatchRow Row(int number, std::string_view line, const std::vector<Column>& columns) {
    BatchRow row;
    row.Number = number;
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() != columns.size()) {
        row.Problem = "the row has " + std::to_string(cells.size()) +
                      " cells where the header names " + std::to_string(columns.size()) +
                      " columns";
        return row;
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (columns[i]) {
            row.Texts.*(*columns[i]) = cells[i];
            continue;
        }
        const std::string method = Trimmed(cells[i]);
        if (method != "1" && method != "2" && method != "3")
            row.Problem = "rectification must be 1, 2 or 3, not \"" + cells[i] + "\"";
        else
            row.Rectification = method[0] - '0';
    }
    return row;
}

} // namespace

std::vector<BatchRow> ReadBatchRows(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::optional<std::vector<Column>> columns;
    std::vector<BatchRow> rows;
    for (const std::string_view line : Lines(text)) {
        if (Trimmed(line).empty())
            continue;
        if (!columns)
            columns = Header(line);
        else
            rows.push_back(Row(static_cast<int>(rows.size()) + 1, line, *columns));
    }
    if (!columns)
        throw BatchInputError("the file has no header line");
    return rows;
}

} // namespace veltrim
