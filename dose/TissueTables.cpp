#include "dose/TissueTables.h"

#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/DataFile.h"

#include <cmath>
#include <string>

namespace veltrim {

int ReadTissueFile(const std::filesystem::path& path, TissueRows& rows) {
    NumberFile file(path);
    return ReadTissueFile(file, rows);
}

int ReadTissueFile(NumberFile& file, TissueRows& rows) {
    const std::filesystem::path& path = file.Path();
    const double count = file.Next();
    file.Next(); // read and not used
    if (!(count >= 1) || count != std::floor(count))
        throw DataFileError(DataFileProblem(path, Message(MessageId::TissueRowCountInvalid)));
    if (count > TissueRowCapacity)
        throw DataFileError(DataFileProblem(path, Message(MessageId::TissueRowCountTooLarge,
                                                          {Arg(count), Arg(TissueRowCapacity)})));
    const int n = static_cast<int>(count);
    TissueRows fresh = rows;
    for (int r = 1; r <= n; ++r) {
        TissueRow& row = fresh[r];
        const double mev = file.Next();
        const std::size_t position = file.Count();
        row.MuPart1 = file.Next();
        row.MuPart2 = file.Next();
        row.MuPart3 = file.Next();
        row.EnergyKeV = mev * 1000; // MeV in the file
        // A finite number of MeV can still overflow in keV.
        if (!std::isfinite(row.EnergyKeV))
            throw DataFileError(
                DataFileProblem(path, Message(MessageId::DataFileOutOfRange,
                                              {Arg(static_cast<int>(position)), Arg(mev)})));
    }
    rows = fresh;
    return n;
}

PrimaryDoseNodeTable ReadPrimaryDoseFile(const std::filesystem::path& path) {
    NumberFile file(path);
    return ReadPrimaryDoseFile(file);
}

PrimaryDoseNodeTable ReadPrimaryDoseFile(NumberFile& file) {
    const std::filesystem::path& path = file.Path();
    PrimaryDoseNodeTable nodes{};
    for (int j = FirstPrimaryDoseNode; j <= LastPrimaryDoseNode; ++j) {
        file.Next(); // the node energy; the position gives it
        nodes[j] = file.Next();
        if (!(nodes[j] > 0))
            throw DataFileError(
                DataFileProblem(path, Message(MessageId::PrimaryFactorNotPositive, {Arg(5 * j)})));
    }
    return nodes;
}

EnergyTable BuildPrimaryDoseTable(const PrimaryDoseNodeTable& nodes) {
    EnergyTable table{};
    for (int i = 21; i <= 299; ++i) {
        const double E = 0.5 * i;
        const int k = static_cast<int>(std::floor(E / 5));
        const double upper = 5.0 * k + 5; // node above E; E itself is the node below on a node
        const double A = nodes[k];
        const double B = nodes[k + 1];
        table[i] = std::exp(std::log(B) - (std::log(B) - std::log(A)) * (upper - E) / 5);
    }
    table[300] = nodes[LastPrimaryDoseNode]; // 150 keV, taken over as it is
    return table;
}

std::string TissueFileText(const TissueRows& rows, int count, double density) {
    std::string text = FormatC("%d\n%.2f\n", count, density);
    for (int r = 1; r <= count; ++r) {
        const TissueRow& row = rows[r];
        text += FormatC("%.4f,%.6e,%.6e,%.6e\n", row.EnergyKeV / 1000.0, row.MuPart1, row.MuPart2,
                        row.MuPart3);
    }
    return text;
}

std::string PrimaryDoseFileText(const PrimaryDoseNodeTable& nodes) {
    std::string text;
    for (int j = FirstPrimaryDoseNode; j <= LastPrimaryDoseNode; ++j)
        text += FormatC("%d,%.6e\n", 5 * j, nodes[j]);
    return text;
}

TissueTables MakeTissueTables(const TissueRows& rows, int rowCount,
                              const PrimaryDoseNodeTable& nodes) {
    TissueTables tables;
    tables.Rows = rows;
    tables.RowCount = rowCount;
    tables.PrimaryDoseNodes = nodes;
    tables.PrimaryDose = BuildPrimaryDoseTable(nodes);
    return tables;
}

TissueTables ReadTissueTables(const std::filesystem::path& dataFolder) {
    TissueRows rows{};
    const int count = ReadTissueFile(dataFolder / TissueFile, rows);
    return MakeTissueTables(rows, count, ReadPrimaryDoseFile(dataFolder / PrimaryDoseFile));
}

TissueTables TissueTablesFromTexts(std::string_view tissueText, std::string_view primaryText) {
    TissueRows rows{};
    NumberFile tissue(TissueFile, std::string(tissueText));
    const int count = ReadTissueFile(tissue, rows);
    NumberFile primary(PrimaryDoseFile, std::string(primaryText));
    return MakeTissueTables(rows, count, ReadPrimaryDoseFile(primary));
}

namespace {

// Logarithm of a tabulated value that the log-log interpolation needs positive.
double TissueLog(double value, int row) {
    if (!(value > 0))
        FailCalculation(MessageId::CauseTissueNotPositive, {Arg(row), Arg(value)});
    return std::log(value);
}

// A partial attenuation coefficient interpolated linearly in log-log at the
// fraction t of the log-energy interval.
double LogLogInterpolate(double low, double high, double t, int row) {
    const double lnLow = TissueLog(low, row - 1);
    const double lnHigh = TissueLog(high, row);
    return std::exp(lnLow + t * (lnHigh - lnLow));
}

} // namespace

double TissueAttenuation(const TissueRows& rows, int rowCount, double E) {
    int k = 2;
    while (k <= rowCount && E >= rows[k].EnergyKeV)
        ++k;
    if (k > rowCount)
        FailCalculation(MessageId::CauseTissueAboveTable, {Arg(E)});
    const TissueRow& low = rows[k - 1];
    const TissueRow& high = rows[k];
    const double lnLow = TissueLog(low.EnergyKeV, k - 1);
    const double lnHigh = TissueLog(high.EnergyKeV, k);
    const double span = lnHigh - lnLow;
    if (span == 0)
        FailCalculation(MessageId::CauseTissueSameEnergy,
                        {Arg(k - 1), Arg(k), Arg(high.EnergyKeV)});
    const double t = (std::log(E) - lnLow) / span;
    const double mu = LogLogInterpolate(low.MuPart1, high.MuPart1, t, k) +
                      LogLogInterpolate(low.MuPart2, high.MuPart2, t, k) +
                      LogLogInterpolate(low.MuPart3, high.MuPart3, t, k);
    if (!std::isfinite(mu))
        FailCalculation(MessageId::CauseTissueNotFinite, {Arg(E)});
    return mu;
}

} // namespace veltrim
