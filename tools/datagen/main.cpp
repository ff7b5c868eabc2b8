// veltrim-datagen: writes Veltrim's attenuation, tissue, primary-dose and
// air-kerma tables from xraylib and the NIST Hubbell-Seltzer tables, and
// prints where every number comes from. Same library, same output, byte for
// byte: fixed printf formats in the "C" locale.
//
//   veltrim-datagen --out DIR [--nist DIR]

#include "core/DataFile.h"
#include "core/FileReplacing.h"
#include "dose/Medium.h"
#include "dose/TissueTables.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"
#include "tools/datagen/EnergyAbsorption.h"
#include "tools/datagen/NistTable.h"
#include "tools/datagen/TissueRows.h"
#include "tools/xrl/XrayLib.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#ifndef VELTRIM_NIST_DIR
#define VELTRIM_NIST_DIR "."
#endif

namespace fs = std::filesystem;
using namespace veltrim;

namespace {

constexpr int BinCount = 300; // bins 1..300, 0.5..150 keV
constexpr double LastTissueKeV = 160.0;

void WriteFile(const fs::path& path, const std::string& text) {
    ReplaceFileOrThrow(path, text);
    std::printf("wrote %s\n", path.string().c_str());
}

// A coefficient on the bins 1..300 of the energy grid.
template <typename Coefficient> EnergyTable OnBins(Coefficient coefficient) {
    EnergyTable table{};
    for (int bin = 1; bin <= BinCount; ++bin)
        table[bin] = coefficient(0.5 * bin);
    return table;
}

std::string AttenuationFile(const xrl::Material& material) {
    return BinTableText(OnBins([&](double E) { return xrl::LinearAttenuation(material, E); }));
}

void PrintMaterial(const xrl::Material& m) {
    std::printf("  %s, %.6g g/cm3:", m.Name.c_str(), m.Density);
    for (const xrl::Constituent& c : m.Elements) {
        std::printf(" Z=%d %.4f%%", c.Z, 100.0 * c.MassFraction);
    }
    std::printf("\n");
}

// Reads the written tissue rows back with the program's reader, so the error
// is measured on the numbers the program will use.
std::vector<datagen::TissueRow> ParseTissueRows(const std::string& text) {
    TissueRows read{};
    NumberFile file(TissueFile, text);
    const int n = ReadTissueFile(file, read);
    std::vector<datagen::TissueRow> rows;
    for (int r = 1; r <= n; ++r)
        rows.push_back({read[r].EnergyKeV, read[r].MuPart1, read[r].MuPart2, read[r].MuPart3});
    return rows;
}

void PrintNistComparison(const char* what, const datagen::NistTiedMuEn& muEn) {
    std::printf("%s: mu/rho of xraylib and mu_en/rho computed from it, against NIST (cm2/g)\n",
                what);
    std::printf("  %9s %11s %11s %9s %11s %11s %9s\n", "E keV", "mu NIST", "xraylib", "NIST/xrl",
                "mu_en NIST", "computed", "NIST/comp");
    double worstMu = 0.0;
    double worst = 0.0;
    const auto& rows = muEn.Table().Rows;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const double E = rows[k].EnergyKeV;
        if (E < 10.0 || E > 150.0) {
            continue;
        }
        const double ratio = muEn.Ratios()[k];
        const double mu = xrl::CS_Total(muEn.Material(), E);
        std::printf("  %9.3f %11.4e %11.4e %9.4f %11.4e %11.4e %9.4f\n", E, rows[k].MuOverRho, mu,
                    rows[k].MuOverRho / mu, rows[k].MuEnOverRho, rows[k].MuEnOverRho / ratio,
                    ratio);
        worst = std::max(worst, std::fabs(ratio - 1.0));
        worstMu = std::max(worstMu, std::fabs(rows[k].MuOverRho / mu - 1.0));
    }
    std::printf("  largest deviation from NIST, 10 to 150 keV: mu/rho %.2f %%, computed mu_en/rho "
                "%.2f %%\n",
                100.0 * worstMu, 100.0 * worst);
}

// The attenuation table of a phantom medium: three partials at energies
// chosen for the reader's interpolation, in 1/cm at the medium's density.
std::string MediumAttenuationText(const xrl::Material& medium, const char* fileName) {
    const std::vector<double> energies =
        datagen::ChooseTissueEnergies(medium, TissueRowCapacity, LastTissueKeV);
    if (energies.size() > static_cast<std::size_t>(TissueRowCapacity))
        throw std::runtime_error("more tissue rows than the reader holds");
    TissueRows rows{};
    int count = 0;
    for (double E : energies) {
        const datagen::TissueRow row = datagen::PartialCoefficients(medium, E);
        rows[++count] = {row.Coherent, row.Incoherent, row.Photoelectric, E};
    }
    const std::string text = TissueFileText(rows, count, medium.Density);
    const datagen::InterpolationError error =
        datagen::MeasureInterpolationError(ParseTissueRows(text), medium);
    std::printf("%s: %zu rows, %.1f to %.1f keV; log-log interpolation of the written "
                "partials against "
                "xraylib's total on 10.5..150 keV: largest error %.4f %% at %.1f keV\n",
                fileName, energies.size(), energies.front(), energies.back(),
                100.0 * error.MaxRelative, error.AtKeV);
    return text;
}

// E x mu_en/rho at the kernels' node energies 10, 15, ..., 150 keV.
template <typename MuEn> std::string PrimaryDoseText(const MuEn& muEn) {
    PrimaryDoseNodeTable primary{};
    for (int j = FirstPrimaryDoseNode; j <= LastPrimaryDoseNode; ++j) {
        const int E = 5 * j;
        primary[j] = E * muEn(E);
    }
    return PrimaryDoseFileText(primary);
}

// mu/rho of xraylib against a NIST table without mu_en/rho.
void PrintNistAttenuation(const xrl::Material& material, const datagen::NistTable& table) {
    double worst = 0.0;
    for (const datagen::NistRow& row : table.Rows) {
        if (row.EnergyKeV >= 10.0 && row.EnergyKeV <= 150.0) {
            worst = std::max(worst,
                             std::fabs(row.MuOverRho / xrl::CS_Total(material, row.EnergyKeV) - 1));
        }
    }
    std::printf("%s: mu/rho of xraylib against NIST, 10 to 150 keV: largest deviation %.2f %%\n",
                material.Name.c_str(), 100.0 * worst);
}

// The phantom media beside the four-component tissue, each in its folder.
void WriteMedia(const fs::path& out, const fs::path& nistDir) {
    const datagen::NistTiedMuEn water(xrl::Water(),
                                      datagen::ReadNistTable(nistDir / "nist-water.csv"));
    const datagen::NistTiedMuEn icru44(xrl::IcruSoftTissue44(),
                                       datagen::ReadNistTable(nistDir / "nist-tissue-icru44.csv"));
    const xrl::Material pmma = xrl::Pmma();
    std::printf("phantom media:\n");
    for (const xrl::Material* m : {&water.Material(), &icru44.Material(), &pmma}) {
        PrintMaterial(*m);
    }
    PrintNistComparison("water", water);
    PrintNistComparison("ICRU-44 soft tissue", icru44);
    PrintNistAttenuation(pmma, datagen::ReadNistTable(nistDir / "nist-pmma-attenuation.csv"));
    // NIST's mu_en/rho of PMMA is not at hand. The computation departs from
    // NIST by the same few hundredths of a per cent for every H, C, O
    // medium, so PMMA takes water's NIST / computed ratio.
    const auto pmmaMuEn = [&](double E) {
        return datagen::ComputedMuEnOverRho(pmma, E) * water.NistOverComputed(E);
    };
    std::printf("PMMA: mu_en/rho computed x water's NIST/computed (cm2/g), beside water's\n"
                "  %9s %11s %9s %11s\n",
                "E keV", "mu_en", "ratio", "PMMA/water");
    for (const double E : {10.0, 20.0, 30.0, 50.0, 80.0, 100.0, 150.0}) {
        std::printf("  %9.3f %11.4e %9.4f %11.4f\n", E, pmmaMuEn(E), water.NistOverComputed(E),
                    pmmaMuEn(E) / water(E));
    }
    const auto write = [&](Medium medium, const xrl::Material& material, auto muEn) {
        const fs::path folder = out / MediumFolder(medium);
        fs::create_directories(folder);
        const std::string name = (MediumFolder(medium) / TissueFile).string();
        WriteFile(folder / TissueFile, MediumAttenuationText(material, name.c_str()));
        WriteFile(folder / PrimaryDoseFile, PrimaryDoseText(muEn));
    };
    write(Medium::Water, water.Material(), water);
    write(Medium::Icru44, icru44.Material(), icru44);
    write(Medium::Pmma, pmma, pmmaMuEn);
}

int Run(const fs::path& out, const fs::path& nistDir) {
    fs::create_directories(out);
    const xrl::Material tungsten = xrl::Tungsten();
    const xrl::Material aluminium = xrl::Aluminium();
    const xrl::Material copper = xrl::Copper();
    const xrl::Material tissue = xrl::IcruSoftTissue();
    const xrl::Material air = xrl::DryAir();

    std::printf(
        "veltrim-datagen: cross sections from xraylib %s (CS_Total, CS_Rayl, CS_Compt, CS_Photo, "
        "DCS_Compt; cm2/g)\n",
        xrl::Version().c_str());
    std::printf("materials:\n");
    for (const xrl::Material* m : {&tungsten, &aluminium, &copper, &tissue, &air}) {
        PrintMaterial(*m);
    }
    std::printf("  (tissue checked against xraylib's NIST compound \"Tissue, Soft (ICRU "
                "four-component)\")\n");

    // Attenuation of the anode and filter materials, coherent included.
    WriteFile(out / TungstenFile, AttenuationFile(tungsten));
    WriteFile(out / AluminiumFile, AttenuationFile(aluminium));
    WriteFile(out / CopperFile, AttenuationFile(copper));
    std::printf("tungsten 1/cm: 69.5 keV (bin 139, below K edge 69.525) %.4f, 70.0 keV (bin 140, "
                "above) %.4f\n",
                xrl::LinearAttenuation(tungsten, 69.5), xrl::LinearAttenuation(tungsten, 70.0));

    // Tissue attenuation: three partials at chosen energies.
    WriteFile(out / TissueFile, MediumAttenuationText(tissue, TissueFile));

    // Energy absorption, tied to NIST.
    const datagen::NistTiedMuEn tissueMuEn(
        tissue, datagen::ReadNistTable(nistDir / "nist-tissue-icru4.csv"));
    const datagen::NistTiedMuEn airMuEn(air, datagen::ReadNistTable(nistDir / "nist-air-dry.csv"));
    std::printf("mass energy-absorption coefficients tied to these NIST tables:\n%s\n%s\n",
                tissueMuEn.Table().Citation.c_str(), airMuEn.Table().Citation.c_str());
    PrintNistComparison("tissue", tissueMuEn);
    PrintNistComparison("air", airMuEn);

    WriteFile(out / PrimaryDoseFile, PrimaryDoseText(tissueMuEn));
    WriteFile(out / AirKermaFile, BinTableText(OnBins([&](double E) { return airMuEn(E); })));
    WriteFile(out / AirAttenuationFile, AttenuationFile(air));
    WriteMedia(out, nistDir);
    std::printf(
        "files (regenerate all with: veltrim-datagen --out DIR):\n"
        "  Tungsten.dat, Aluminum.atc, Copper.dat: energy_keV,mu in 1/cm (CS_Total x density, "
        "coherent "
        "included), bins 0.5..150 keV\n"
        "  ICRUSoft.dat: N, density g/cm3, then N rows E_MeV,coherent,incoherent,photoelectric in "
        "1/cm\n"
        "  Primary.dat: energy_keV,E x mu_en/rho of the tissue in keV cm2/g, 10..150 keV by 5\n"
        "  AirKerma.dat: energy_keV,mu_en/rho of dry air in cm2/g, bins 0.5..150 keV\n"
        "  AirAttenuation.dat: energy_keV,mu of dry air in 1/cm (CS_Total x density, coherent "
        "included), bins 0.5..150 keV\n"
        "  media/<medium>/ICRUSoft.dat and Primary.dat: the same two tables of water, ICRU-44 "
        "soft tissue and PMMA\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    fs::path out;
    fs::path nistDir = VELTRIM_NIST_DIR;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--out" && k + 1 < argc) {
            out = argv[++k];
        } else if (arg == "--nist" && k + 1 < argc) {
            nistDir = argv[++k];
        } else {
            std::fprintf(stderr, "usage: veltrim-datagen --out DIR [--nist DIR]\n");
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: veltrim-datagen --out DIR [--nist DIR]\n");
        return 2;
    }
    try {
        return Run(out, nistDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-datagen: %s\n", e.what());
        return 1;
    }
}
