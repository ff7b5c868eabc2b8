#include "dose/TissueTables.h"

#include "app/DataFile.h"
#include "dose/PreloadedData.h"

#include <cmath>

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
        row.EnergyKeV = file.Next();
        row.MuPart1 = file.Next();
        row.MuPart2 = file.Next();
        row.MuPart3 = file.Next();
        row.EnergyKeV = row.EnergyKeV * 1000; // MeV in the file
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
    for (int j = 2; j <= 30; ++j) {
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
    table[300] = nodes[30]; // 150 keV, the last node, taken over as it is
    return table;
}

bool SharedState::LoadTissueTables() {
    try {
        // Both files are read into fresh tables and published together, so a
        // failure never leaves a half-read table behind.
        TissueRows rows = TissueTable;
        int count = 0;
        PrimaryDoseNodeTable nodes{};
        if (Preloaded) {
            rows = Preloaded->Tissue;
            count = Preloaded->TissueRowCount;
            nodes = Preloaded->PrimaryDoseNodes;
        } else {
            count = ReadTissueFile(DataFolder / TissueFile, rows);
            nodes = ReadPrimaryDoseFile(DataFolder / PrimaryDoseFile);
        }
        PrimaryDoseTable = BuildPrimaryDoseTable(nodes);
        PrimaryDoseNodes = nodes;
        TissueTable = rows;
        TissueRowCount = count;
        TissueTablesLoaded = true;
        return true;
    } catch (const DataFileError& e) {
        TissueTablesLoaded = false;
        Messages.Show(Message(MessageId::TissueLoadFailed, {Arg(e.Problem())}).In(Edition));
        return false;
    }
}

} // namespace veltrim
