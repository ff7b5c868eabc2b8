#include "spectrum/AttenuationTables.h"

#include "core/CFormat.h"
#include "core/DataFile.h"

namespace veltrim {

EnergyTable ReadAttenuationFile(const std::filesystem::path& path) {
    NumberFile file(path);
    return ReadAttenuationFile(file);
}

EnergyTable ReadAttenuationFile(NumberFile& file) {
    EnergyTable table{};
    for (int i = 1; i <= 300; ++i) {
        (void)file.Next(); // the record's energy: bin i is bin i whatever it says
        table[i] = file.Next();
    }
    return table;
}

std::string BinTableText(const EnergyTable& table) {
    std::string text;
    for (int bin = 1; bin <= 300; ++bin)
        text += FormatC("%.1f,%.6e\n", 0.5 * bin, table[bin]);
    return text;
}

AttenuationTables ReadAttenuationTables(const std::filesystem::path& folder) {
    AttenuationTables tables;
    tables.MuTungsten = ReadAttenuationFile(folder / TungstenFile);
    tables.MuAluminium = ReadAttenuationFile(folder / AluminiumFile);
    tables.MuCopper = ReadAttenuationFile(folder / CopperFile);
    return tables;
}

} // namespace veltrim
