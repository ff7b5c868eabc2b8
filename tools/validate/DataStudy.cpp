// The shipped attenuation and energy-absorption tables against NIST.
#include "tools/datagen/NistTable.h"
#include "tools/validate/References.h"
#include "tools/validate/Studies.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace veltrim::validate {
namespace {

double NistAt(const datagen::NistTable& table, double keV, bool muEn) {
    for (const auto& row : table.Rows)
        if (std::fabs(row.EnergyKeV - keV) < 1e-9)
            return muEn ? row.MuEnOverRho : row.MuOverRho;
    throw std::runtime_error("no NIST row at " + std::to_string(keV) + " keV");
}

} // namespace

DataStudy StudyData(const Engine& calc) {
    const std::filesystem::path nist = calc.DataFolder() / ".." / "tools" / "datagen" / "nist";
    const auto tissue = datagen::ReadNistTable(nist / "nist-tissue-icru4.csv");
    const auto airNist = datagen::ReadNistTable(nist / "nist-air-dry.csv");
    const EnergyTable& airMuEn = calc.AirMuEn();
    const AttenuationTables& metals = calc.Attenuation();

    DataStudy out;
    for (const refs::NistMetalsRow& reference : refs::NistMetalsMu) {
        const double E = reference.EnergyKeV;
        const int bin = static_cast<int>(std::lround(2.0 * E));
        DataStudy::Row row{};
        row.EnergyKeV = E;
        row.TissueMu = 100 * (calc.TissueMu(E) / 1.00 / NistAt(tissue, E, false) - 1);
        row.TissueMuEn = 100 * (calc.Tissue().PrimaryDoseNodes[static_cast<int>(E / 5)] / E /
                                    NistAt(tissue, E, true) -
                                1);
        row.AirMuEn = 100 * (airMuEn[bin] / NistAt(airNist, E, true) - 1);
        row.Tungsten = 100 * (metals.MuTungsten[bin] / 19.3 / reference.Tungsten - 1);
        row.Aluminium = 100 * (metals.MuAluminium[bin] / 2.699 / reference.Aluminium - 1);
        row.Copper = 100 * (metals.MuCopper[bin] / 8.96 / reference.Copper - 1);
        out.WorstTissueMu = std::max(out.WorstTissueMu, std::fabs(row.TissueMu));
        out.WorstTissueMuEn = std::max(out.WorstTissueMuEn, std::fabs(row.TissueMuEn));
        out.WorstAirMuEn = std::max(out.WorstAirMuEn, std::fabs(row.AirMuEn));
        out.WorstMetal = std::max({out.WorstMetal, std::fabs(row.Tungsten),
                                   std::fabs(row.Aluminium), std::fabs(row.Copper)});
        out.Rows.push_back(row);
    }

    // Interpolation error of the tissue table on every bin the program uses.
    const xrl::Material icru = xrl::IcruSoftTissue();
    std::ostringstream data;
    for (int i = 21; i <= 300; ++i) {
        const double E = 0.5 * i;
        const double reference = xrl::LinearAttenuation(icru, E);
        const double error = 100 * (calc.TissueMu(E) / reference - 1);
        data << E << ' ' << error << '\n';
        if (std::fabs(error) > std::fabs(out.WorstInterpolation)) {
            out.WorstInterpolation = error;
            out.WorstInterpolationAt = E;
        }
    }
    out.Interpolation = {"tissue-interpolation.dat", data.str()};
    return out;
}

} // namespace veltrim::validate
