#include "cli/BatchOutput.h"

#include "core/CFormat.h"
#include "core/Grids.h"
#include "core/ModelConstants.h"
#include "files/ResultsFile.h"

#include <algorithm>
#include <cmath>

namespace veltrim {
namespace {

// One number as it is written. Rounded numbers take the results file's
// pattern; JSON allows no leading zeros, so it asks for one integer digit.
// A value that is not finite (never in a result that computed) is written
// as an empty CSV field or a JSON null rather than as text that would not parse.
class Numbers {
  public:
    Numbers(BatchDigits digits, bool json)
        : precise_(digits == BatchDigits::Precise), json_(json) {}

    std::string operator()(double value, int integerDigits, int decimals) const {
        if (!std::isfinite(value))
            return json_ ? "null" : "";
        if (precise_)
            return FormatC("%.17g", value);
        return FormatNumber(value, json_ ? 1 : integerDigits, decimals);
    }
    // A dose, a depth of dose_at or the backscatter factor: six significant
    // digits, as veltrim-calc --dose prints them.
    std::string Dose(double value) const {
        if (!std::isfinite(value))
            return json_ ? "null" : "";
        return FormatC(precise_ ? "%.17g" : "%.6g", value);
    }
    std::string Hvl1(double mm) const {
        if (!std::isfinite(mm))
            return json_ ? "null" : "";
        return FormatC(precise_ ? "%.17g" : "%.4f", mm);
    }

  private:
    bool precise_;
    bool json_;
};

// The conditions in the units they are typed in, each with the results
// file's pattern: kV, degrees, mm, mm, mm, cm, cm, cm.
struct ConditionValue {
    const char* Name;
    double Value;
    int IntegerDigits;
    int Decimals;
};

std::vector<ConditionValue> ConditionValues(const IrradiationConditions& c) {
    return {{"kv", c.TubeVoltage, 2, 1},
            {"angle", c.TargetAngle, 2, 1},
            {"inherent", MmFromCm(c.InherentFiltration), 1, 2},
            {"al", MmFromCm(c.AlFilter), 1, 2},
            {"cu", MmFromCm(c.CuFilter), 1, 2},
            {"fsd", c.Fsd, 2, 1},
            {"field_x", c.FieldX, 2, 1},
            {"field_y", c.FieldY, 2, 1}};
}

int RectificationNumber(const IrradiationConditions& c) {
    return static_cast<int>(c.Rectification);
}

std::string CsvQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char ch : text) {
        quoted += ch;
        if (ch == '"')
            quoted += '"';
    }
    return quoted + '"';
}

// The dose's columns of a row's line d: the row's own figures, then the
// layer's; and those of dose_at.
struct DoseFigure {
    const char* Name;
    double Value;
};
constexpr std::size_t RowFigures = 4;

std::vector<DoseFigure> DoseFigures(const BatchDose& dose, int d) {
    return {{"incident_air_kerma_mGy", dose.IncidentAirKermaMgy},
            {"backscatter_factor", dose.Backscatter},
            {"esak_mGy", dose.EsakMgy},
            {"surface_dose_mGy", dose.SurfaceMgy},
            {"primary_mGy", dose.Primary[d]},
            {"scatter_mGy", dose.Scatter[d]},
            {"total_mGy", dose.Total[d]}};
}

std::vector<DoseFigure> DoseAtFigures(const BatchDoseAt& at) {
    return {{"dose_at_from_cm", at.FromCm},
            {"dose_at_to_cm", at.ToCm},
            {"dose_at_least_mGy", at.LeastMgy},
            {"dose_at_most_mGy", at.MostMgy}};
}

// The dose at the row's point, in per cent, and the total in mGy.
std::vector<DoseFigure> PointFigures(const BatchPoint& p) {
    return {{"point_x_cm", p.X},
            {"point_y_cm", p.Y},
            {"point_z_cm", p.Z},
            {"point_primary", p.Primary},
            {"point_scatter", p.Scatter},
            {"point_total", p.Total},
            {"point_total_mGy", p.TotalMgy}};
}

// The columns' names, or (with `number`) their values, each after a comma.
std::string CsvFields(const std::vector<DoseFigure>& figures, const Numbers* number = nullptr) {
    std::string text;
    for (const DoseFigure& f : figures)
        text += ',' + (number ? number->Dose(f.Value) : std::string(f.Name));
    return text;
}

std::string JsonFields(const std::vector<DoseFigure>& figures, const Numbers& number) {
    std::string text;
    for (const DoseFigure& f : figures)
        text += ", \"" + std::string(f.Name) + "\": " + number.Dose(f.Value);
    return text;
}

} // namespace

namespace {

std::string CsvHeader(const std::string& doseNames, const std::string& doseAtNames,
                      const std::string& pointNames) {
    return "row,kv,angle,inherent,al,cu,fsd,field_x,field_y,rectification,"
           "hvl1_mm_al,depth_cm,primary,scatter,total" +
           doseNames + doseAtNames + pointNames + ",error\n";
}

std::string CsvRow(const BatchResult& r, const Numbers& number, const std::string& doseNames,
                   const std::string& doseAtNames, const std::string& pointNames) {
    const auto blank = [](const std::string& names) {
        return std::string(static_cast<std::size_t>(std::count(names.begin(), names.end(), ',')),
                           ',');
    };
    if (r.Error)
        return std::to_string(r.Row) + ",,,,,,,,,,,,,," + blank(doseNames) + blank(doseAtNames) +
               blank(pointNames) + ',' + CsvQuoted(*r.Error) + '\n';
    std::string head = std::to_string(r.Row);
    for (const ConditionValue& c : ConditionValues(r.Conditions))
        head += ',' + number(c.Value, c.IntegerDigits, c.Decimals);
    head += ',' + std::to_string(RectificationNumber(r.Conditions));
    head += ',' + number.Hvl1(r.Hvl1MmAl);
    std::string text;
    for (int d = 1; d <= r.DepthRows; ++d) {
        const auto& row = r.Table[d];
        text += head + ',' + number(LayerMiddle(d), 2, 2) + ',' + number(row[PrimaryPdd], 3, 2) +
                ',' + number(row[ScatterPdd], 3, 2) + ',' + number(row[TotalPdd], 3, 2);
        if (!doseNames.empty())
            text += r.Dose ? CsvFields(DoseFigures(*r.Dose, d), &number) : blank(doseNames);
        if (!doseAtNames.empty())
            text += r.DoseAt ? CsvFields(DoseAtFigures(*r.DoseAt), &number) : blank(doseAtNames);
        if (!pointNames.empty())
            text += r.Point ? CsvFields(PointFigures(*r.Point), &number) : blank(pointNames);
        text += ",\n";
    }
    return text;
}

std::string JsonRow(const BatchResult& r, const Numbers& number) {
    std::string text = "  {\"row\": " + std::to_string(r.Row);
    const std::string warning = r.Warning ? ", \"warning\": " + JsonString(*r.Warning) : "";
    if (r.Error)
        return text + ", \"error\": " + JsonString(*r.Error) + warning + "}";
    text += ", \"conditions\": {";
    for (const ConditionValue& c : ConditionValues(r.Conditions))
        text += '"' + std::string(c.Name) + "\": " + number(c.Value, c.IntegerDigits, c.Decimals) +
                ", ";
    text += "\"rectification\": " + std::to_string(RectificationNumber(r.Conditions)) + "}";
    text += ", \"hvl1_mm_al\": " + number.Hvl1(r.Hvl1MmAl);
    auto column = [&](const char* name, auto value) {
        text += ", \"" + std::string(name) + "\": [";
        for (int d = 1; d <= r.DepthRows; ++d)
            text += (d > 1 ? ", " : "") + value(d);
        text += ']';
    };
    column("depth_cm", [&](int d) { return number(LayerMiddle(d), 2, 2); });
    column("primary", [&](int d) { return number(r.Table[d][PrimaryPdd], 3, 2); });
    column("scatter", [&](int d) { return number(r.Table[d][ScatterPdd], 3, 2); });
    column("total", [&](int d) { return number(r.Table[d][TotalPdd], 3, 2); });
    if (r.Dose) {
        const std::vector<DoseFigure> names = DoseFigures(*r.Dose, 1);
        text += JsonFields({names.begin(), names.begin() + std::ptrdiff_t{RowFigures}}, number);
        for (std::size_t i = RowFigures; i < names.size(); ++i)
            column(names[i].Name,
                   [&](int d) { return number.Dose(DoseFigures(*r.Dose, d)[i].Value); });
    }
    if (r.DoseAt)
        text += JsonFields(DoseAtFigures(*r.DoseAt), number);
    if (r.Point)
        text += JsonFields(PointFigures(*r.Point), number);
    return text + warning + '}';
}

} // namespace

BatchWriter::BatchWriter(BatchDigits digits, bool json) : digits_(digits), json_(json) {}

std::string BatchWriter::Row(const BatchResult& result) {
    const Numbers number(digits_, json_);
    std::string text;
    if (rows_++ == 0) {
        // Every row carries its header's columns: the first tells them.
        doseNames_ = result.DoseColumns ? CsvFields(DoseFigures({}, 1)) : "";
        doseAtNames_ = result.DoseAtColumns ? CsvFields(DoseAtFigures({})) : "";
        pointNames_ = result.PointColumns ? CsvFields(PointFigures({})) : "";
        text = json_ ? "[\n" : CsvHeader(doseNames_, doseAtNames_, pointNames_);
    } else if (json_) {
        text = ",\n";
    }
    return text + (json_ ? JsonRow(result, number)
                         : CsvRow(result, number, doseNames_, doseAtNames_, pointNames_));
}

std::string BatchWriter::End() const {
    if (json_)
        return rows_ == 0 ? "[]\n" : "\n]\n";
    return rows_ == 0 ? CsvHeader("", "", "") : "";
}

namespace {

std::string BatchText(const std::vector<BatchResult>& results, BatchDigits digits, bool json) {
    BatchWriter writer(digits, json);
    std::string text;
    for (const BatchResult& r : results)
        text += writer.Row(r);
    return text + writer.End();
}

} // namespace

std::string BatchCsv(const std::vector<BatchResult>& results, BatchDigits digits) {
    return BatchText(results, digits, false);
}

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when its bytes are not one
// (a cell in Latin-1 or Shift_JIS): JSON must be UTF-8 throughout.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char ch = text[at];
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80) {
            const std::size_t length = Utf8Length(text, at);
            if (length == 0) {
                quoted += "\\ufffd"; // the replacement character for a byte that is no text
                continue;
            }
            quoted.append(text, at, length);
            at += length - 1;
            continue;
        }
        if (ch == '"' || ch == '\\')
            quoted += std::string("\\") + ch;
        else if (ch == '\n')
            quoted += "\\n";
        else if (ch == '\r')
            quoted += "\\r";
        else if (ch == '\t')
            quoted += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            quoted += FormatC("\\u%04x", static_cast<unsigned>(byte));
        else
            quoted += ch;
    }
    return quoted + '"';
}

std::string BatchJson(const std::vector<BatchResult>& results, BatchDigits digits) {
    return BatchText(results, digits, true);
}

} // namespace veltrim
