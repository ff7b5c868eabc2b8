// Report sections on the physical data and on the spectra.
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"
#include "tools/datagen/NistTable.h"
#include "tools/validate/References.h"
#include "tools/validate/Sections.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace veltrim::validate {
namespace {

int Bin(double energyKeV) {
    return static_cast<int>(std::lround(2.0 * energyKeV));
}

double NistAt(const datagen::NistTable& table, double keV, bool muEn) {
    for (const auto& row : table.Rows)
        if (std::fabs(row.EnergyKeV - keV) < 1e-9)
            return muEn ? row.MuEnOverRho : row.MuOverRho;
    throw std::runtime_error("no NIST row at " + std::to_string(keV) + " keV");
}

const char* RectificationName(int r) {
    return r == 1   ? "constant potential"
           : r == 2 ? "three-phase 12-peak"
                    : "single-phase full-wave";
}

// The spectrum after an air path and a beryllium window, xraylib
// attenuation at each bin's energy.
EnergyTable ThroughAirAndWindow(const EnergyTable& spectrum, double airCm, double berylliumMm) {
    static const xrl::Material air = xrl::DryAir();
    static const xrl::Material beryllium = xrl::Element("Be", 4, 1.848);
    EnergyTable out = spectrum;
    for (int i = 1; i < EnergyBinCount; ++i) {
        if (out[i] == 0)
            continue;
        const double E = 0.5 * i;
        out[i] *= std::exp(-xrl::LinearAttenuation(air, E) * airCm -
                           xrl::LinearAttenuation(beryllium, E) * berylliumMm / 10);
    }
    return out;
}

BeamQuality Quality(Engine& calc, const EnergyTable& spectrum) {
    static EnergyTable air{};
    static bool loaded = false;
    if (!loaded) {
        air = ReadAttenuationFile(calc.DataFolder() / AirKermaFile);
        loaded = true;
    }
    const auto q = ComputeBeamQuality(spectrum, calc.Attenuation().MuAluminium, air);
    if (!q)
        throw std::runtime_error("beam quality cannot be computed");
    return *q;
}

} // namespace

void DataSection(Context& c) {
    Report& r = c.Out;
    Engine& calc = c.Calc;
    const auto tissue = datagen::ReadNistTable(calc.DataFolder() / ".." / "tools" / "datagen" /
                                               "nist" / "nist-tissue-icru4.csv");
    const auto airNist = datagen::ReadNistTable(calc.DataFolder() / ".." / "tools" / "datagen" /
                                                "nist" / "nist-air-dry.csv");
    const EnergyTable airMuEn = ReadAttenuationFile(calc.DataFolder() / AirKermaFile);

    r.Text << "## 1. Data\n\n"
           << "The shipped tables against the NIST Hubbell-Seltzer tables (NIST SRD 126, "
              "NISTIR 5632) at the NIST energies that fall on the program's grid. Tissue "
              "mu/rho is formed as the program forms it (three partials of `ICRUSoft.dat`, "
              "log-log between rows, summed; density 1.00 g/cm3); tissue mu_en/rho is "
              "`Primary.dat` / E; air mu_en/rho is `AirKerma.dat`; the metals are the "
              "attenuation files divided by the densities of data/README.md (W 19.3, Al "
              "2.699, Cu 8.96 g/cm3). NIST values: `tools/datagen/nist/` (tissue, air) and "
              "NIST SRD 126 Table 3 (W, Al, Cu). Differences in per cent, program/NIST - 1.\n\n"
           << "| E keV | tissue mu/rho | tissue mu_en/rho | air mu_en/rho | W mu/rho | Al mu/rho | "
              "Cu mu/rho |\n|---:|---:|---:|---:|---:|---:|---:|\n";
    double worstTissueMu = 0, worstMuEn = 0, worstAir = 0, worstMetal = 0;
    for (std::size_t k = 0; k < refs::AluminiumMu.size(); ++k) {
        const double E = refs::AluminiumMu[k].EnergyKeV;
        const int bin = Bin(E);
        const double dMu = 100 * (calc.TissueMu(E) / 1.00 / NistAt(tissue, E, false) - 1);
        const double dMuEn =
            100 * (calc.Tissue().PrimaryDoseNodes[static_cast<int>(E / 5)] / E / NistAt(tissue, E, true) - 1);
        const double dAir = 100 * (airMuEn[bin] / NistAt(airNist, E, true) - 1);
        const double dW =
            100 * (calc.Attenuation().MuTungsten[bin] / 19.3 / refs::TungstenMu[k].Value - 1);
        const double dAl =
            100 * (calc.Attenuation().MuAluminium[bin] / 2.699 / refs::AluminiumMu[k].Value - 1);
        const double dCu = 100 * (calc.Attenuation().MuCopper[bin] / 8.96 / refs::CopperMu[k].Value - 1);
        worstTissueMu = std::max(worstTissueMu, std::fabs(dMu));
        worstMuEn = std::max(worstMuEn, std::fabs(dMuEn));
        worstAir = std::max(worstAir, std::fabs(dAir));
        worstMetal = std::max({worstMetal, std::fabs(dW), std::fabs(dAl), std::fabs(dCu)});
        r.Text << "| " << Fixed(E, 0) << " | " << Signed(dMu, 3) << " | " << Signed(dMuEn, 3)
               << " | " << Signed(dAir, 3) << " | " << Signed(dW, 2) << " | " << Signed(dAl, 2)
               << " | " << Signed(dCu, 2) << " |\n";
    }
    r.Text << "\nThe mu_en/rho columns are 0 by construction: the generator ties its computed "
              "values to NIST at the NIST energies (data/README.md); between those energies "
              "they follow xraylib's cross sections, which data/README.md compares with NIST "
              "(within 0.10 % for the tissue, 0.56 % for air).\n\n";

    // Interpolation error of the tissue table on every bin the program uses.
    const xrl::Material icru = xrl::IcruSoftTissue();
    std::ostringstream data;
    double worst = 0, worstAt = 0;
    for (int i = 21; i <= 300; ++i) {
        const double E = 0.5 * i;
        const double reference = xrl::LinearAttenuation(icru, E);
        const double error = 100 * (calc.TissueMu(E) / reference - 1);
        data << E << ' ' << error << '\n';
        if (std::fabs(error) > std::fabs(worst)) {
            worst = error;
            worstAt = E;
        }
    }
    r.WriteData("tissue-interpolation.dat", data.str());
    r.Text << "Interpolation error of the tissue table: on every 0.5-keV bin from 10.5 to 150 "
              "keV, the program's log-log interpolation of `ICRUSoft.dat` against xraylib's "
              "total attenuation of the same tissue (the source of the rows) is at most "
           << Signed(worst, 4) << " % (at " << Fixed(worstAt, 1) << " keV).\n\n";
    r.Figure("tissue-interpolation",
             "set xlabel 'photon energy (keV)'\nset ylabel 'interpolated / xraylib - 1 (%)'\n"
             "set grid\nplot 'tissue-interpolation.dat' using 1:2 with linespoints pt 7 ps 0.4 "
             "title 'ICRUSoft.dat, log-log between rows'\n",
             "Tissue attenuation as the program interpolates it, against xraylib, 10.5-150 keV");

    const bool ok = worstTissueMu < 0.1 && worstMuEn < 0.15 && worstAir < 0.6 && worstMetal < 1.0 &&
                    std::fabs(worst) < 0.05;
    r.Text << "**Verdict:** " << (ok ? "pass" : "FAIL")
           << " - largest differences from NIST: tissue mu/rho " << Fixed(worstTissueMu, 3)
           << " %, tissue mu_en/rho " << Fixed(worstMuEn, 3) << " %, air mu_en/rho "
           << Fixed(worstAir, 3) << " %, metals " << Fixed(worstMetal, 2)
           << " %; tissue interpolation " << Fixed(std::fabs(worst), 4) << " %.\n\n";
    r.Summary.push_back(std::string("Data: ") + (ok ? "pass" : "FAIL") +
                        " - attenuation and energy-absorption tables within " +
                        Fixed(std::max({worstTissueMu, worstMuEn, worstAir, worstMetal}), 2) +
                        " % of NIST at its energies; tissue interpolation error " +
                        Fixed(std::fabs(worst), 3) + " %.");
    r.Check(worstTissueMu < 0.1, "tissue mu/rho within 0.1 % of NIST",
            Fixed(worstTissueMu, 3) + " %");
    r.Check(worstMuEn < 0.15, "tissue mu_en/rho within 0.15 % of NIST", Fixed(worstMuEn, 3) + " %");
    r.Check(worstAir < 0.6, "air mu_en/rho within 0.6 % of NIST", Fixed(worstAir, 3) + " %");
    r.Check(worstMetal < 1.0, "W, Al, Cu mu/rho within 1 % of NIST", Fixed(worstMetal, 2) + " %");
    r.Check(std::fabs(worst) < 0.05, "tissue interpolation within 0.05 % of xraylib",
            Fixed(std::fabs(worst), 4) + " %");
}

void SpectraSection(Context& c) {
    Report& r = c.Out;
    Engine& calc = c.Calc;
    r.Text << "## 2. Spectra\n\n"
           << "Spectra of the program (12 degree tungsten target, 2.5 mm Al total filtration, "
              "no added filter), fraction of photons per 0.5-keV bin, for the three "
              "rectifications.\n\n";
    std::string plot = "set multiplot layout 1,3\nset grid\nset xlabel 'photon energy (keV)'\n"
                       "set ylabel 'fraction of photons per 0.5 keV'\nset key top right\n";
    r.Text << "| kV | rectification | mean E keV | HVL1 mm Al | HVL2 mm Al | HVL1/HVL2 |\n"
              "|---:|---|---:|---:|---:|---:|\n";
    for (int kv : {50, 80, 120}) {
        plot += "set title '" + std::to_string(kv) + " kV'\nplot ";
        for (int rect = 1; rect <= 3; ++rect) {
            IrradiationConditions beam = ReferenceBeam();
            beam.TubeVoltage = kv;
            beam.Rectification = static_cast<RectificationMethod>(rect);
            const EnergyTable& spectrum = calc.Spectrum(beam);
            std::ostringstream data;
            for (int i = 2; i <= 2 * kv; ++i)
                data << 0.5 * i << ' ' << spectrum[i] << '\n';
            const std::string name =
                "spectrum-" + std::to_string(kv) + "kV-" + std::to_string(rect) + ".dat";
            r.WriteData(name, data.str());
            plot += std::string(rect > 1 ? ", " : "") + "'" + name +
                    "' using 1:2 with lines lw 1.5 title '" + RectificationName(rect) + "'";
            const BeamQuality q = Quality(calc, spectrum);
            r.Text << "| " << kv << " | " << RectificationName(rect) << " | "
                   << Fixed(q.MeanEnergyKeV, 2) << " | " << Fixed(q.Hvl1MmAl, 2) << " | "
                   << Fixed(q.Hvl2MmAl, 2) << " | " << Fixed(q.Hvl1MmAl / q.Hvl2MmAl, 3) << " |\n";
        }
        plot += "\n";
    }
    plot += "unset multiplot\n";
    r.Text << "\nHVLs are air-kerma weighted (`AirKerma.dat`), narrow beam, mean energy "
              "photon-fluence weighted (`spectrum/BeamQuality.h`); the program includes no air "
              "path.\n\n";
    r.Figure("spectra", plot,
             "Spectra at 50, 80 and 120 kV, 2.5 mm Al, 12 degrees, three rectifications");

    // PTB: measured, 20 degrees, 2.5 mm Al, 1 mm Be (7 mm at 150 kV), 950 mm air.
    r.Text << "### 2.1 Against the PTB measurements (RQR, 2.5 mm Al)\n\n"
           << "Reference: U. Ankerhold, *Catalogue of X-ray spectra and their characteristic "
              "data*, PTB-Dos-34 (2000), as transcribed in docs/references.md 1.2 (confidence B): "
              "tungsten 20 degrees, 1 mm Be (7 mm at 150 kV), 2.5 mm Al, 950 mm air, constant "
              "potential. Veltrim is run at 20 degrees, 2.5 mm Al, constant potential, first as "
              "the program computes (no air, no window), then with the PTB air path and Be "
              "window applied to its spectrum (xraylib attenuation of dry air and Be). The "
              "0.25 mm Kapton of the SpekPy authors' model of that set-up is not included.\n\n"
           << "| quality | kV | PTB HVL1 | Veltrim HVL1 | diff % | + air, Be | diff % | PTB HVL2 | "
              "Veltrim HVL2 | diff % | + air, Be | diff % |\n"
              "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    double worstPtb1 = 0, worstPtb2 = 0, airShift = 0, lowKvPtb = 0, highKvPtb = 0;
    for (const auto& ref : refs::Ptb) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 20;
        const EnergyTable spectrum = calc.Spectrum(beam);
        const BeamQuality bare = Quality(calc, spectrum);
        const BeamQuality air =
            Quality(calc, ThroughAirAndWindow(spectrum, 95.0, ref.Kv == 150 ? 7.0 : 1.0));
        worstPtb1 = std::max(worstPtb1, std::fabs(air.Hvl1MmAl / ref.Hvl1 - 1));
        worstPtb2 = std::max(worstPtb2, std::fabs(air.Hvl2MmAl / ref.Hvl2 - 1));
        airShift = std::max(airShift, air.Hvl1MmAl - bare.Hvl1MmAl);
        if (ref.Kv == 40)
            lowKvPtb = 100 * (air.Hvl1MmAl / ref.Hvl1 - 1);
        if (ref.Kv == 150)
            highKvPtb = 100 * (air.Hvl1MmAl / ref.Hvl1 - 1);
        r.Text << "| " << ref.Quality << " | " << ref.Kv << " | " << Fixed(ref.Hvl1, 2) << " | "
               << Fixed(bare.Hvl1MmAl, 2) << " | " << Percent(bare.Hvl1MmAl, ref.Hvl1, 1) << " | "
               << Fixed(air.Hvl1MmAl, 2) << " | " << Percent(air.Hvl1MmAl, ref.Hvl1, 1) << " | "
               << Fixed(ref.Hvl2, 2) << " | " << Fixed(bare.Hvl2MmAl, 2) << " | "
               << Percent(bare.Hvl2MmAl, ref.Hvl2, 1) << " | " << Fixed(air.Hvl2MmAl, 2) << " | "
               << Percent(air.Hvl2MmAl, ref.Hvl2, 1) << " |\n";
    }
    r.Text << "\n";

    // ENEA-INMRI and SpekCalc: 30 degrees, total Al, 1000 mm air.
    r.Text << "### 2.2 Against ENEA-INMRI's RQR beams and SpekCalc\n\n"
           << "Reference: ENEA-INMRI realisation of the RQR qualities (reference HVL1) and "
              "SpekCalc (G. Poludniowski and P. M. Evans, Med. Phys. 34 (2007) 2164; "
              "G. Poludniowski, Med. Phys. 34 (2007) 2175) for the same beams, docs/references.md "
              "1.3 (confidence B): tungsten 30 degrees, total Al as listed, 1000 mm air, no Be. "
              "Veltrim at 30 degrees with the listed Al as its inherent filtration, constant "
              "potential, with 1000 mm of air applied to its spectrum. Mean energy: fluence "
              "weighted for both, after the air.\n\n"
           << "| quality | kV | Al mm | ENEA HVL1 | SpekCalc HVL1 | Veltrim HVL1 | vs ENEA % | vs "
              "SpekCalc % | SpekCalc HVL2 | Veltrim HVL2 | diff % | SpekCalc mean E | Veltrim mean "
              "E | "
              "diff % |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    double worstEnea = 0, worstMean = 0, lowKvMean = 0, highKvMean = 0;
    for (const auto& ref : refs::Enea) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 30;
        beam.InherentFiltration = Mm(ref.TotalAlMm);
        const BeamQuality q = Quality(calc, ThroughAirAndWindow(calc.Spectrum(beam), 100.0, 0.0));
        worstEnea = std::max(worstEnea, std::fabs(q.Hvl1MmAl / ref.ReferenceHvl1 - 1));
        worstMean = std::max(worstMean, std::fabs(q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1));
        if (ref.Kv == 40)
            lowKvMean = 100 * (q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1);
        if (ref.Kv == 150)
            highKvMean = 100 * (q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1);
        r.Text << "| " << ref.Quality << " | " << ref.Kv << " | " << Fixed(ref.TotalAlMm, 2)
               << " | " << Fixed(ref.ReferenceHvl1, 2) << " | " << Fixed(ref.SpekCalcHvl1, 2)
               << " | " << Fixed(q.Hvl1MmAl, 2) << " | "
               << Percent(q.Hvl1MmAl, ref.ReferenceHvl1, 1) << " | "
               << Percent(q.Hvl1MmAl, ref.SpekCalcHvl1, 1) << " | " << Fixed(ref.SpekCalcHvl2, 2)
               << " | " << Fixed(q.Hvl2MmAl, 2) << " | " << Percent(q.Hvl2MmAl, ref.SpekCalcHvl2, 1)
               << " | " << Fixed(ref.SpekCalcMeanKeV, 1) << " | " << Fixed(q.MeanEnergyKeV, 1)
               << " | " << Percent(q.MeanEnergyKeV, ref.SpekCalcMeanKeV, 1) << " |\n";
    }
    r.Text << "\n";

    // Spectrum models at 12 degrees.
    r.Text
        << "### 2.3 Against spectrum models at 12 degrees and at 2.5 mm Al\n\n"
        << "Hernandez and Fernandez, Med. Phys. 43 (2016) 4655, Table III (model HVL1, 12 "
           "degrees, 1.2 mm Al, 100 cm air; docs/references.md 1.4(b), one decimal, "
           "confidence B). Veltrim at 12 degrees, 1.2 mm Al, constant potential, with 1000 mm "
           "air applied.\n\n| kV | model HVL1 | Veltrim HVL1 | diff % |\n|---:|---:|---:|---:|\n";
    for (const auto& ref : refs::HernandezFernandez) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.InherentFiltration = Mm(1.2);
        const BeamQuality q = Quality(calc, ThroughAirAndWindow(calc.Spectrum(beam), 100.0, 0.0));
        r.Text << "| " << ref.Kv << " | " << Fixed(ref.Hvl1, 2) << " | " << Fixed(q.Hvl1MmAl, 2)
               << " | " << Percent(q.Hvl1MmAl, ref.Hvl1, 1) << " |\n";
    }
    r.Text << "\nBenmakhlouf et al. (Phys. Med. Biol. 56 (2011) 7179), HVL1 of their 2.5 mm Al "
              "model spectra (anode angle and air path not recorded in the copy used; "
              "docs/references.md 1.4(a), confidence B). Veltrim at 12 degrees, 2.5 mm Al, "
              "constant potential, no air.\n\n| kV | model HVL1 | Veltrim HVL1 | diff % |\n"
              "|---:|---:|---:|---:|\n";
    for (const auto& ref : refs::Backscatter25Al) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        const BeamQuality q = Quality(calc, calc.Spectrum(beam));
        r.Text << "| " << ref.Kv << " | " << Fixed(ref.Hvl1, 2) << " | " << Fixed(q.Hvl1MmAl, 2)
               << " | " << Percent(q.Hvl1MmAl, ref.Hvl1, 1) << " |\n";
    }
    r.Text << "\n";

    // How much the geometry terms move the result, from runs.
    IrradiationConditions b80 = ReferenceBeam();
    b80.TubeVoltage = 80;
    const BeamQuality at12 = Quality(calc, calc.Spectrum(b80));
    const BeamQuality at12Air = Quality(calc, ThroughAirAndWindow(calc.Spectrum(b80), 100.0, 0.0));
    const BeamQuality at12Be = Quality(calc, ThroughAirAndWindow(calc.Spectrum(b80), 0.0, 1.0));
    b80.TargetAngle = 20;
    const BeamQuality at20 = Quality(calc, calc.Spectrum(b80));
    r.Text << "**Where the differences come from** (80 kV, 2.5 mm Al, constant potential, "
              "runs of this report): 1000 mm of air raises HVL1 from "
           << Fixed(at12.Hvl1MmAl, 3) << " to " << Fixed(at12Air.Hvl1MmAl, 3)
           << " mm Al; a 1 mm Be window to " << Fixed(at12Be.Hvl1MmAl, 3)
           << " mm Al; a 20 instead of 12 degree target lowers it to " << Fixed(at20.Hvl1MmAl, 3)
           << " mm Al. Causes, in order of size:\n\n"
           << "1. **The spectrum model** (a model limitation). At the reference's own anode "
              "angle and with its air path and window applied, Veltrim's HVL1 is below the PTB "
              "measurements by "
           << Fixed(-lowKvPtb, 1) << " % at 40 kV, growing steadily to " << Fixed(-highKvPtb, 1)
           << " % at 150 kV, and its fluence-mean energy below SpekCalc's by "
           << Fixed(-lowKvMean, 1) << " % at 40 kV to " << Fixed(-highKvMean, 1)
           << " % at 150 kV: the modelled spectra are too soft, increasingly so with the tube "
              "voltage. The attenuation data are not the cause (section 1: Al, W and air within "
              "0.1 % of NIST). At the default 12 degrees the model's stronger anode "
              "self-filtration hides much of this (data/README.md's comparison of 12-degree "
              "Veltrim beams with the 20-degree PTB beams looked close for that reason); the "
              "model's anode angle dependence is itself strong (12 to 20 degrees: "
           << Percent(at20.Hvl1MmAl, at12.Hvl1MmAl, 1)
           << " % in HVL1 at 80 kV), and no published value for it was found to check it.\n"
           << "2. **Air** (a geometry difference: the program has no air path). One metre "
              "raises HVL1 by "
           << Fixed(at12Air.Hvl1MmAl - at12.Hvl1MmAl, 3) << " mm Al at 80 kV, up to "
           << Fixed(airShift, 2) << " mm Al for the PTB set-up; applied in tables 2.1-2.3.\n"
           << "3. **Window**: 1 mm Be adds " << Fixed(at12Be.Hvl1MmAl - at12.Hvl1MmAl, 3)
           << " mm Al at 80 kV; the 0.25 mm Kapton of the PTB set-up (not applied) would add a "
              "little more.\n"
           << "4. **The references**: PTB values transcribed at second hand (confidence B); "
              "SpekCalc itself lies 1-3 % below the ENEA reference HVL1 (docs/references.md "
              "1.3); the Benmakhlouf model's anode angle and air path are not recorded.\n\n";
    r.Text << "**Verdict:** model limitation - at matched angle, air and window, HVL1 is "
           << Fixed(-lowKvPtb, 1) << "-" << Fixed(100 * worstPtb1, 1)
           << " % below the PTB measurements (40-150 kV) and HVL2 up to "
           << Fixed(100 * worstPtb2, 1) << " % below; HVL1 up to " << Fixed(100 * worstEnea, 1)
           << " % below the ENEA reference; mean energy up to " << Fixed(100 * worstMean, 1)
           << " % below SpekCalc. The deviation grows with kV. (Regression bound of the check: "
              "20 %.)\n\n";
    r.Numbers["hvl1-deficit-40kV"] = -lowKvPtb;
    r.Numbers["hvl1-deficit-150kV"] = -highKvPtb;
    r.Summary.push_back("Spectra: model limitation - Veltrim's spectra are softer than measured "
                        "ones: at matched anode angle, air and window, HVL1 is " +
                        Fixed(-lowKvPtb, 0) + " % (40 kV) to " + Fixed(-highKvPtb, 0) +
                        " % (150 kV) below the PTB measurements; the program itself includes no "
                        "air path (1 m of air adds " +
                        Fixed(at12Air.Hvl1MmAl - at12.Hvl1MmAl, 2) + " mm Al to HVL1 at 80 kV).");
    r.Check(worstPtb1 < 0.20, "HVL1 within 20 % of PTB (air and window applied)",
            Fixed(100 * worstPtb1, 1) + " %");
    r.Check(worstEnea < 0.20, "HVL1 within 20 % of ENEA (air applied)",
            Fixed(100 * worstEnea, 1) + " %");
}

} // namespace veltrim::validate
