#include "cli/BatchInput.h"

#include "core/CalculationError.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace veltrim {
namespace {

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

// A row keeps the first problem it meets.
void Refuse(BatchRow& row, std::string problem) {
    if (!row.Problem)
        row.Problem = std::move(problem);
}

// What a cell of its column gives the row.
using CellReader = void (*)(BatchRow& row, const char* column, const std::string& cell);

// An empty cell leaves the window's default, as a column left out does.
template <std::string ConditionTexts::*Text>
void ConditionCell(BatchRow& row, const char*, const std::string& cell) {
    if (!Trimmed(cell).empty())
        row.Texts.*Text = cell;
}

void Warn(BatchRow& row, const std::string& note) {
    row.Warning = row.Warning ? *row.Warning + "; " + note : note;
}

// A condition must be a number as a whole; a tube voltage outside 30-150 kV
// is held to the limit with a warning, or under --strict is the row's problem.
void CheckNumbers(BatchRow& row, bool strict) {
    for (const ConditionTextField& field : ConditionTextFields) {
        const std::string& text = row.Texts.*field.Text;
        if (!ReadWholeNumber(text))
            Refuse(row, NotANumberText(field.Name, text));
    }
    if (row.Problem)
        return;
    IrradiationConditions read;
    if (const auto held = ReadConditions(row.Texts, read)) {
        const std::string note =
            "kv \"" + row.Texts.TubeVoltage + "\" was held to " + *held + " kV";
        strict ? Refuse(row, note) : Warn(row, note);
    }
}

void RectificationCell(BatchRow& row, const char*, const std::string& cell) {
    const std::string method = Trimmed(cell);
    if (method != "1" && method != "2" && method != "3")
        Refuse(row, "rectification must be 1, 2 or 3, not \"" + cell + "\"");
    else
        row.Rectification = method[0] - '0';
}

// A number of the dose, read strictly; an empty cell leaves the row without.
std::optional<double> NumberCell(BatchRow& row, const char* column, const std::string& cell) {
    const std::string text = Trimmed(cell);
    if (text.empty())
        return std::nullopt;
    const std::optional<double> number = ReadWholeNumber(text);
    if (!number)
        Refuse(row, NotANumberText(column, cell));
    return number;
}

template <std::optional<double> ExposureParts::*Part>
void ExposureCell(BatchRow& row, const char* column, const std::string& cell) {
    row.ExposureTyped.*Part = NumberCell(row, column, cell);
}

template <std::optional<double> BatchRow::*Field>
void NumberField(BatchRow& row, const char* column, const std::string& cell) {
    row.*Field = NumberCell(row, column, cell);
}

void ScatterModelCell(BatchRow& row, const char*, const std::string& cell) {
    const std::string model = Trimmed(cell);
    if (model == "classic")
        row.Model = ScatterModel::Classic;
    else if (model == "divergent")
        row.Model = ScatterModel::Divergent;
    else if (!model.empty())
        Refuse(row, "scatter_model must be classic or divergent, not \"" + cell + "\"");
}

void MediumCell(BatchRow& row, const char*, const std::string& cell) {
    const std::string key = Trimmed(cell);
    if (const std::optional<Medium> medium = MediumFromKey(key))
        row.PhantomMedium = medium;
    else if (!key.empty())
        Refuse(row, "medium must be icru-4, icru-44, water or pmma, not \"" + cell + "\"");
}

// What a column adds to the output: the dose's columns, those of dose_at or
// those of the point.
enum class Adds { Nothing, Dose, DoseAt, Point };

} // namespace

struct BatchColumn {
    const char* Name;
    CellReader Read;
    Adds Output = Adds::Nothing;
};

namespace {

using Column = BatchColumn;

constexpr Column Columns[] = {
    {"kv", ConditionCell<&ConditionTexts::TubeVoltage>},
    {"angle", ConditionCell<&ConditionTexts::TargetAngle>},
    {"inherent", ConditionCell<&ConditionTexts::InherentFiltration>},
    {"al", ConditionCell<&ConditionTexts::AlFilter>},
    {"cu", ConditionCell<&ConditionTexts::CuFilter>},
    {"fsd", ConditionCell<&ConditionTexts::Fsd>},
    {"field_x", ConditionCell<&ConditionTexts::FieldX>},
    {"field_y", ConditionCell<&ConditionTexts::FieldY>},
    {"rectification", RectificationCell},
    {"hvl1", NumberField<&BatchRow::Hvl1MmAl>},
    {"scatter_model", ScatterModelCell},
    {"medium", MediumCell},
    {"thickness", NumberField<&BatchRow::ThicknessCm>},
    {"air_kerma", ExposureCell<&ExposureParts::AirKermaMgy>, Adds::Dose},
    {"tube_output", ExposureCell<&ExposureParts::TubeOutput>, Adds::Dose},
    {"mas", ExposureCell<&ExposureParts::Mas>, Adds::Dose},
    {"output_distance", ExposureCell<&ExposureParts::OutputDistanceCm>, Adds::Dose},
    {"kap", ExposureCell<&ExposureParts::KapGyCm2>, Adds::Dose},
    {"esak", ExposureCell<&ExposureParts::EsakMgy>, Adds::Dose},
    {"dose_at", NumberField<&BatchRow::DoseAtCm>, Adds::DoseAt},
    {"dose_at_to", NumberField<&BatchRow::DoseAtToCm>, Adds::DoseAt},
    {"point_x", NumberField<&BatchRow::PointX>, Adds::Point},
    {"point_y", NumberField<&BatchRow::PointY>, Adds::Point},
    {"point_z", NumberField<&BatchRow::PointZ>, Adds::Point},
};

std::vector<const Column*> Header(const std::vector<std::string>& cells) {
    std::vector<const Column*> columns;
    for (const std::string& cell : cells) {
        std::string name = Trimmed(cell);
        for (char& ch : name)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const auto named = std::find_if(std::begin(Columns), std::end(Columns),
                                        [&](const Column& c) { return name == c.Name; });
        if (named == std::end(Columns)) {
            std::string known;
            for (const Column& c : Columns)
                known += std::string(known.empty() ? "" : ", ") + c.Name;
            throw BatchInputError("unknown column \"" + Trimmed(cell) +
                                  "\" in the header (known: " + known + ")");
        }
        if (std::find(columns.begin(), columns.end(), &*named) != columns.end())
            throw BatchInputError("column \"" + name + "\" named twice in the header");
        columns.push_back(&*named);
    }
    return columns;
}

// The exposure of a row put together from its cells, and what goes with it.
void CheckDose(BatchRow& row) {
    if (row.ExposureTyped.StrayTubeOutputParts())
        Refuse(row, "mas and output_distance go with tube_output only");
    try {
        row.Given = ExposureOf(row.ExposureTyped);
    } catch (const CalculationError& e) {
        Refuse(row, e.what());
    }
    if (row.DoseAtToCm && !row.DoseAtCm)
        Refuse(row, "dose_at_to goes with dose_at");
    if (row.DoseAtCm && !row.Given)
        Refuse(row, "dose_at needs an exposure in its row");
    if ((row.PointX || row.PointY) && !row.PointZ)
        Refuse(row, "point_x and point_y go with point_z");
}

BatchRow Row(int number, const CsvRecord& record, const std::vector<const Column*>& columns,
             bool strict) {
    BatchRow row;
    row.Number = number;
    for (const Column* column : columns) {
        row.DoseColumns = row.DoseColumns || column->Output == Adds::Dose;
        row.DoseAtColumns = row.DoseAtColumns || column->Output == Adds::DoseAt;
        row.PointColumns = row.PointColumns || column->Output == Adds::Point;
    }
    const std::vector<std::string>& cells = record.Cells;
    if (record.Problem) {
        row.Problem = *record.Problem;
        return row;
    }
    if (cells.size() != columns.size()) {
        row.Problem = "the row has " + std::to_string(cells.size()) +
                      " cells where the header names " + std::to_string(columns.size()) +
                      " columns";
        return row;
    }
    for (std::size_t i = 0; i < cells.size(); ++i)
        columns[i]->Read(row, columns[i]->Name, cells[i]);
    CheckDose(row);
    CheckNumbers(row, strict);
    return row;
}

} // namespace

std::optional<BatchRow> BatchRowReader::Read(std::string_view line) {
    return Take(csv_.Line(line));
}

std::optional<BatchRow> BatchRowReader::Finish() {
    return Take(csv_.Finish());
}

std::optional<BatchRow> BatchRowReader::Take(const std::optional<CsvRecord>& record) {
    if (!record || record->Blank)
        return std::nullopt;
    if (!header_) {
        if (record->Problem)
            throw BatchInputError("the header cannot be read: " + *record->Problem);
        columns_ = Header(record->Cells);
        header_ = true;
        return std::nullopt;
    }
    return Row(++rows_, *record, columns_, strict_);
}

bool BatchRowReader::NeedsAir() const {
    return std::any_of(columns_.begin(), columns_.end(),
                       [](const Column* c) { return c->Read == NumberField<&BatchRow::Hvl1MmAl>; });
}

bool BatchRowReader::NeedsSurfaceKernels() const {
    return std::any_of(columns_.begin(), columns_.end(), [](const Column* c) {
        return c->Output == Adds::Dose || c->Output == Adds::DoseAt;
    });
}

std::vector<BatchRow> ReadBatchRows(std::string_view text, bool strict) {
    BatchRowReader reader(strict);
    std::vector<BatchRow> rows =
        RecordsOfLines(text, reader, &BatchRowReader::Read, &BatchRowReader::Finish);
    if (!reader.HasHeader())
        throw BatchInputError("the file has no header line");
    return rows;
}

} // namespace veltrim
