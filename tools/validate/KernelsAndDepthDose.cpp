// Report sections on the scatter kernels and on the depth dose.
#include "dose/RingCoverage.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"
#include "tools/mc/KernelCheck.h"
#include "tools/mc/TissueModel.h"
#include "tools/validate/References.h"
#include "tools/validate/Sections.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

namespace veltrim::validate {
namespace {

// Relative 1-sigma of the scatter row sums, [node k][row], from statistics.csv.
const std::vector<std::array<double, DepthRowCapacity>>& KernelRowSigma(const Engine& calc) {
    static std::vector<std::array<double, DepthRowCapacity>> sigma;
    if (!sigma.empty())
        return sigma;
    sigma.assign(29, {});
    const auto rows = mc::ReadCsv(calc.DataFolder() / "PDS-data" / "statistics.csv");
    for (std::size_t k = 1; k < rows.size(); ++k) { // line 0 is the header
        const auto& f = rows[k];
        if (f.size() < 6)
            continue;
        const int energy = std::stoi(f[0]);
        const int row = std::stoi(f[1]);
        const double value = std::stod(f[4]);
        const double s = std::stod(f[5]);
        if (row >= 1 && row <= 80 && energy >= 10 && energy <= 150)
            sigma[(energy - 10) / 5][row] = value > 0 ? s / value : 0.0;
    }
    return sigma;
}

// PDD at a depth on a row boundary (1, 5, 10, 20 cm): the mean of the two
// rows either side.
double AtDepth(const std::array<double, DepthRowCapacity>& rows, double depth) {
    const int below = static_cast<int>(std::lround(2 * depth)); // row ending at the depth
    return 0.5 * (rows[below] + rows[below + 1]);
}

BeamQuality QualityOf(Engine& calc, const IrradiationConditions& beam) {
    static const EnergyTable air = ReadAttenuationFile(calc.DataFolder() / AirKermaFile);
    return ComputeBeamQuality(calc.Spectrum(beam), calc.Attenuation().MuAluminium, air)
        .value();
}

std::string Label(const IrradiationConditions& b) {
    return Fixed(b.TubeVoltage, 0) + " kV, " + Fixed(b.FieldX, 0) + "x" + Fixed(b.FieldY, 0) +
           ", FSD " + Fixed(b.Fsd, 0);
}

} // namespace

std::vector<IrradiationConditions> TypicalBeams() {
    std::vector<IrradiationConditions> beams;
    for (double fsd : {60.0, 100.0})
        for (double kv : {60.0, 80.0, 100.0, 120.0})
            for (double side : {10.0, 20.0, 30.0}) {
                IrradiationConditions b = ReferenceBeam();
                b.TubeVoltage = kv;
                b.Fsd = fsd;
                b.FieldX = side;
                b.FieldY = side;
                beams.push_back(b);
            }
    return beams;
}

std::array<double, DepthRowCapacity> PddStatisticalSigma(Engine& calc, const IrradiationConditions& beam) {
    const auto& relative = KernelRowSigma(calc);
    const DepthDose dose = calc.Compute(beam, DepthDoseRules{});
    const EnergyTable spectrum = calc.Spectrum(beam);
    const int topBin = static_cast<int>(std::floor(2 * beam.TubeVoltage));
    std::array<double, DepthRowCapacity> absolute{}; // 1-sigma of the total dose of a row
    for (int d = 1; d <= dose.Rows; ++d) {
        // Sensitivity of the row's scatter dose to each node's value, times that
        // node's relative uncertainty; nodes are independent runs.
        std::array<double, 29> coefficient{};
        for (int i = 21; i <= topBin; ++i) {
            const double X = dose.ScatterByEnergy[i][d];
            if (i % 10 == 0) {
                coefficient[i / 10 - 2] += spectrum[i] * X;
                continue;
            }
            int j = 20;
            while (0.5 * i >= 0.5 * j)
                j += 10;
            const double t = (0.5 * j - 0.5 * i) / 5; // weight of the lower node
            const double H = dose.ScatterByEnergy[j][d];
            const double L = dose.ScatterByEnergy[j - 10][d];
            const bool logarithmic = H > 0 && L > 0;
            coefficient[j / 10 - 2] += spectrum[i] * (1 - t) * (logarithmic ? X : H);
            coefficient[j / 10 - 3] += spectrum[i] * t * (logarithmic ? X : L);
        }
        double variance = 0;
        for (int k = 0; k < 29; ++k) {
            const double s = coefficient[k] * relative[k][d];
            variance += s * s;
        }
        absolute[d] = std::sqrt(variance);
    }
    std::array<double, DepthRowCapacity> sigma{};
    const double total1 = dose.PrimaryDose[1] + dose.ScatterDose[1];
    for (int d = 2; d <= dose.Rows; ++d) {
        const double totalD = dose.PrimaryDose[d] + dose.ScatterDose[d];
        sigma[d] = std::sqrt(std::pow(absolute[d] / totalD, 2) + std::pow(absolute[1] / total1, 2));
    }
    return sigma;
}

void KernelSection(Context& c) {
    Report& r = c.Out;
    bool passed = false;
    const std::string checks = mc::RunKernelChecks(c.Calc.DataFolder(), passed);
    r.Text << "## 3. Kernels\n\n"
           << "The self-checks of the shipped Monte Carlo kernels, as `veltrim-kernel-check` "
              "prints them (run by this report on the shipped data): Monte Carlo primary "
              "against the NIST-based primary-dose table, energy balance per incident photon, "
              "and the broad-beam scatter-to-primary ratio. Method and statistics: "
              "data/PDS-data/README.md.\n\n```\n"
           << checks << "```\n\n";
    r.Check(passed, "kernel self-checks (MC primary vs NIST table, energy balance)",
            passed ? "all passed" : "a check failed");

    // Statistical uncertainty of the PDD.
    r.Text << "### 3.1 Statistical uncertainty of the PDD from the kernels\n\n"
           << "The kernels' per-row relative 1-sigma (`statistics.csv`, scatter summed over "
              "all rings) is carried through the program's interpolation between the nodes and "
              "the spectrum weighting to the total dose of each row, nodes being independent "
              "runs; the PDD's relative 1-sigma combines that of the row and of row 1 as if "
              "independent (rows of one run are positively correlated, which makes the true "
              "ratio uncertainty smaller). The per-row sigma of the whole row sum stands for "
              "the field's partial sum; per-ring uncertainties are not shipped, and a smaller "
              "field sums fewer rings with a somewhat larger relative uncertainty. Values at a "
              "depth on a row boundary are the mean of the two rows around it. FSD 100 cm, "
              "2.5 mm Al, 12 degrees, constant potential.\n\n"
           << "| beam | 1 cm | 5 cm | 10 cm | 20 cm |\n|---|---:|---:|---:|---:|\n";
    double worst = 0;
    for (const IrradiationConditions& b : TypicalBeams()) {
        if (b.Fsd != 100)
            continue;
        const auto sigma = PddStatisticalSigma(c.Calc, b);
        r.Text << "| " << Label(b);
        for (double depth : {1.0, 5.0, 10.0, 20.0}) {
            const double s = AtDepth(sigma, depth);
            worst = std::max(worst, s);
            r.Text << " | " << Fixed(100 * s, 3) << " %";
        }
        r.Text << " |\n";
    }
    r.Text << "\n**Verdict:** " << (passed && worst < 0.01 ? "pass" : "FAIL")
           << " - the kernel self-checks " << (passed ? "pass" : "fail")
           << "; the statistical 1-sigma of the PDD is at most " << Fixed(100 * worst, 2)
           << " % (relative) at 1-20 cm for these beams.\n\n";
    r.Summary.push_back(std::string("Kernels: ") + (passed ? "pass" : "FAIL") +
                        " - Monte Carlo primary agrees with the NIST-based primary table and "
                        "energy is conserved at every node energy; the kernels' statistics give "
                        "the PDD a 1-sigma of at most " +
                        Fixed(100 * worst, 2) + " % (relative) at 1-20 cm.");
    r.Check(worst < 0.01, "statistical 1-sigma of the PDD below 1 % at 1-20 cm",
            Fixed(100 * worst, 3) + " %");
}

void DepthDoseSection(Context& c) {
    Report& r = c.Out;
    Engine& calc = c.Calc;
    r.Text << "## 4. Depth dose\n\n"
           << "PDD of the program (library pipeline, shipped data) for typical beams: 2.5 mm Al, "
              "12 degrees, constant potential; square fields at the FSD. Normalised to row 1 "
              "(0-0.5 cm, 100 %).\n\n";
    std::map<double, std::string> plotOf; // per kV
    r.Text << "| beam | PDD 1 cm | 5 cm | 10 cm | 20 cm | scatter/primary row 1 |\n"
              "|---|---:|---:|---:|---:|---:|\n";
    bool allOk = true;
    for (const IrradiationConditions& b : TypicalBeams()) {
        const DepthDose dose = calc.Library(b);
        allOk = allOk && dose.Ok;
        if (!dose.Ok)
            continue;
        const auto sigma = PddStatisticalSigma(calc, b);
        std::ostringstream data;
        for (int d = 1; d <= dose.Rows; ++d)
            data << 0.5 * d - 0.25 << ' ' << dose.Total[d] << ' ' << dose.Primary[d] << ' '
                 << dose.Scatter[d] << '\n';
        const std::string name = "pdd-" + Fixed(b.TubeVoltage, 0) + "kV-" + Fixed(b.FieldX, 0) +
                                 "-fsd" + Fixed(b.Fsd, 0) + ".dat";
        r.WriteData(name, data.str());
        std::string& plot = plotOf[b.TubeVoltage];
        plot += std::string(plot.empty() ? "plot " : ", ") + "'" + name +
                "' using 1:2 with lines lw 1.5 dt " + (b.Fsd == 60 ? "2" : "1") + " title '" +
                Fixed(b.FieldX, 0) + "x" + Fixed(b.FieldY, 0) + " FSD " + Fixed(b.Fsd, 0) + "'";
        r.Text << "| " << Label(b);
        for (double depth : {1.0, 5.0, 10.0, 20.0})
            r.Text << " | " << Fixed(AtDepth(dose.Total, depth), 2) << " +/- "
                   << Fixed(AtDepth(dose.Total, depth) * AtDepth(sigma, depth), 2);
        r.Text << " | " << Fixed(dose.ScatterDose[1] / dose.PrimaryDose[1], 3) << " |\n";
    }
    r.Text << "\n(+/- is the statistical 1-sigma of section 3.1, in PDD points.)\n\n";
    std::string script =
        "set multiplot layout 2,2\nset grid\nset logscale y\nset yrange [0.1:110]\n"
        "set xrange [0:30]\nset xlabel 'depth (cm)'\nset ylabel 'PDD (%)'\n"
        "set key bottom left\n";
    for (const auto& [kv, plot] : plotOf)
        script += "set title '" + Fixed(kv, 0) + " kV, 2.5 mm Al'\n" + plot + "\n";
    script += "unset multiplot\n";
    r.Figure("pdd", script,
             "Total PDD, fields 10x10, 20x20, 30x30 cm at FSD 100 cm (solid) and 60 cm (dashed)");
    r.Check(allOk, "every typical beam computes", allOk ? "24 of 24" : "a calculation failed");

    // Surface scatter-to-primary against backscatter factors.
    r.Text << "### 4.1 Scatter-to-primary at the surface against published backscatter factors\n\n"
           << "Reference: H. Benmakhlouf, H. Bouchard, A. Fransson, P. Andreo, Phys. Med. Biol. "
              "56 (2011) 7179 and H. Benmakhlouf, A. Fransson, P. Andreo, Phys. Med. Biol. 58 "
              "(2013) 247: water-kerma backscatter factors B for square fields at the phantom "
              "surface (docs/references.md 2.1, confidence A for the values). B - 1 is the "
              "scatter-to-primary ratio of kerma at depth 0. Beams are matched on kV and HVL1: "
              "B is taken from the authors' 2013 fit at the kV and at Veltrim's own HVL1 "
              "(2.5 mm Al, 12 degrees, constant potential); 30x30 cm is the mean of the fit's "
              "25 and 35 cm values.\n\n"
              "Veltrim's row 1 is not the surface: its scatter is the kernels' average over "
              "0-0.5 cm and its primary is evaluated at 0.25 cm. The conversion to the surface "
              "uses the same Monte Carlo physics as the kernels (tools/mc sampling, the kernels' "
              "phantom, analog transport, parallel square field, written for this report in "
              "tools/validate/SurfaceScatter.cpp): the scatter dose in layers from the surface to "
              "0.02, 0.05, 0.1 and 0.5 cm, per node energy, weighted by the spectrum like the "
              "program, and the primary dose of the same layer from `Primary.dat`. Veltrim at "
              "the surface is its row-1 ratio times MC(surface)/MC(0-0.5 cm).\n\n";
    if (!c.Surface) {
        r.Text << "(Monte Carlo surface study skipped in this run.)\n\n";
        return;
    }
    const SurfaceTallySettings& settings = *c.Surface;
    const mc::TissueModel tissue(xrl::IcruSoftTissue());
    std::vector<SurfaceScatter> nodes;
    for (int k = 0; k < 29; ++k)
        nodes.push_back(RunSurfaceScatter(10 + 5 * k, tissue, settings));
    const std::size_t layerThin = 0, layerRow = settings.LayerDepths.size() - 1;

    // Consistency of this transport with the shipped kernels: row 1 of a
    // parallel 30x30 field.
    r.Text << "Consistency with the shipped kernels (parallel 30x30 cm, row 1, keV cm2/g): "
              "the kernels' ring sum with the program's ring shares against this transport's "
              "0-0.5 cm layer, "
           << settings.Histories << " histories per energy (seed " << settings.Seed
           << " plus twice the energy in keV).\n\n| E keV | kernels | this MC | 1-sigma | pull |\n"
              "|---:|---:|---:|---:|---:|\n";
    const std::size_t field30 = 3;
    double worstPull = 0;
    for (int k = 0; k < 29; ++k) {
        double kernel = 0;
        for (int ring = 1; ring <= 43; ++ring)
            kernel += calc.Kernels().Tables[k][ring][1] * RingCoverage(ring, 15.0, 15.0, 3.14159).value();
        const double mc = nodes[k].Dose[layerRow][field30];
        const double sigma = std::hypot(nodes[k].Sigma[layerRow][field30], 0.0025 * kernel);
        const double pull = (mc - kernel) / sigma;
        worstPull = std::max(worstPull, std::fabs(pull));
        if (k % 2 == 0 || k == 28)
            r.Text << "| " << 10 + 5 * k << " | " << Fixed(kernel, 4) << " | " << Fixed(mc, 4)
                   << " | " << Fixed(nodes[k].Sigma[layerRow][field30], 4) << " | "
                   << Signed(pull, 1) << " |\n";
    }
    r.Text << "\n(every second energy shown; largest |pull| over all 29: " << Fixed(worstPull, 1)
           << "; the kernels' sigma is taken as 0.25 % of the value.)\n\n";
    r.Check(worstPull < 4.5, "thin-layer MC reproduces kernel row 1 (30x30 parallel)",
            "largest |pull| " + Fixed(worstPull, 1));

    // Spectrum-weighted ratios, with the Monte Carlo's 1-sigma carried
    // through the interpolation between nodes (nodes are independent).
    struct Weighted {
        double Ratio = 0, RelativeSigma = 0, Primary = 0;
    };
    auto weighted = [&](const EnergyTable& spectrum, int topBin, std::size_t layer,
                        std::size_t field, bool divergent) {
        std::array<double, EnergyBinCount> node{}, nodeSigma{};
        for (int k = 0; k < 29; ++k) {
            node[20 + 10 * k] =
                divergent ? nodes[k].DivergentDose[layer][field] : nodes[k].Dose[layer][field];
            nodeSigma[20 + 10 * k] = nodes[k].Sigma[layer][field];
        }
        std::array<double, 29> coefficient{};
        double scatter = 0, primary = 0, primaryAtSurface = 0;
        const double depth = settings.LayerDepths[layer];
        for (int i = 21; i <= topBin; ++i) {
            double S = node[i];
            if (i % 10 != 0) {
                int j = 20;
                while (0.5 * i >= 0.5 * j)
                    j += 10;
                const double H = node[j], L = node[j - 10], t = (0.5 * j - 0.5 * i) / 5;
                const bool logarithmic = H > 0 && L > 0;
                S = logarithmic ? std::exp(std::log(H) - (std::log(H) - std::log(L)) * t)
                                : H - (H - L) * t;
                coefficient[j / 10 - 2] +=
                    spectrum[i] * (1 - t) * (logarithmic ? S / H : 1.0) * nodeSigma[j];
                coefficient[j / 10 - 3] +=
                    spectrum[i] * t * (logarithmic ? S / L : 1.0) * nodeSigma[j - 10];
            } else {
                coefficient[i / 10 - 2] += spectrum[i] * nodeSigma[i];
            }
            const double mu = calc.TissueMu(0.5 * i);
            const double P =
                calc.Tissue().PrimaryDose[i] * (1 - std::exp(-mu * depth)) / (mu * depth);
            scatter += spectrum[i] * S;
            primary += spectrum[i] * P;
            primaryAtSurface += spectrum[i] * calc.Tissue().PrimaryDose[i];
        }
        double variance = 0;
        for (double a : coefficient)
            variance += a * a;
        return Weighted{scatter / primary, std::sqrt(variance) / scatter, primaryAtSurface};
    };

    // How the scatter of the first layer depends on its thickness (80 kV, 30x30).
    {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = 80;
        const EnergyTable spectrum = calc.Spectrum(b);
        r.Text << "Scatter-to-primary of a layer from the surface down to a depth, same Monte "
                  "Carlo physics, 80 kV, 2.5 mm Al, parallel 30x30 cm field:\n\n| layer | S/P | "
                  "1-sigma |\n|---|---:|---:|\n";
        for (std::size_t l = 0; l < settings.LayerDepths.size(); ++l) {
            const Weighted w = weighted(spectrum, 160, l, 3, false);
            r.Text << "| 0-" << Fixed(settings.LayerDepths[l], 2) << " cm | " << Fixed(w.Ratio, 3)
                   << " | " << Fixed(w.Ratio * w.RelativeSigma, 3) << " |\n";
        }
        r.Text << "\n";
    }

    // The surface value: the two thinnest layers' ratios, taken at their
    // middles, extrapolated linearly to depth 0.
    const double middle0 = 0.5 * settings.LayerDepths[layerThin];
    const double middle1 = 0.5 * settings.LayerDepths[layerThin + 1];
    const double reach = middle0 / (middle1 - middle0);
    auto AtSurface = [reach](const Weighted& thin, const Weighted& thicker) {
        Weighted out = thin;
        out.Ratio = thin.Ratio - (thicker.Ratio - thin.Ratio) * reach;
        out.RelativeSigma = std::hypot((1 + reach) * thin.Ratio * thin.RelativeSigma,
                                       reach * thicker.Ratio * thicker.RelativeSigma) /
                            out.Ratio;
        return out;
    };
    r.Text << "The surface value is taken from the two thinnest layers, extrapolated linearly "
              "in the layer's middle depth to 0 (for the table above: "
           << Fixed(middle0, 3) << " and " << Fixed(middle1, 3) << " cm to 0).\n\n";

    r.Text << "Columns: B - 1 from the fit; Veltrim's row-1 ratio (program, FSD 100 cm); Veltrim "
              "converted to the surface (row 1 x MC(surface)/MC(0-0.5 cm), parallel beam, as "
              "the kernels are); the same physics for a point focus at 100 cm (each history's "
              "scatter weighted by the inverse square at the depth of its first interaction, "
              "which the kernels, made for a parallel beam, cannot represent); the total dose "
              "of row 1 over the surface dose of the same beam (program's primary at the "
              "surface and Veltrim's surface ratio).\n\n"
              "| kV | Veltrim HVL1 mm Al | field cm | B - 1 | Veltrim row 1 | Veltrim at the "
              "surface (1-sigma) | vs B - 1 | divergent, FSD 100 | vs B - 1 | row 1 / surface "
              "dose |\n|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    std::ostringstream plotData;
    double low = 1e9, high = 0, divLow = 1e9, divHigh = 0, totalLow = 1e9, totalHigh = 0;
    double row1Low = 1e9, row1High = 0, worstSigma = 0;
    for (double kv = 50; kv <= 150; kv += 10) {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = kv;
        const double hvl = QualityOf(calc, b).Hvl1MmAl;
        const EnergyTable spectrum = calc.Spectrum(b);
        const int topBin = static_cast<int>(std::floor(2 * kv));
        plotData << kv;
        for (double side : {10.0, 20.0, 30.0}) {
            b.FieldX = b.FieldY = side;
            const DepthDose dose = calc.Library(b);
            const double veltrimRow1 = dose.ScatterDose[1] / dose.PrimaryDose[1];
            const std::size_t field = side == 10 ? 0 : side == 20 ? 1 : 3;
            const Weighted mcRow = weighted(spectrum, topBin, layerRow, field, false);
            const Weighted mcSurface =
                AtSurface(weighted(spectrum, topBin, layerThin, field, false),
                          weighted(spectrum, topBin, layerThin + 1, field, false));
            const Weighted mcDivergent =
                AtSurface(weighted(spectrum, topBin, layerThin, field, true),
                          weighted(spectrum, topBin, layerThin + 1, field, true));
            const double surface = veltrimRow1 * mcSurface.Ratio / mcRow.Ratio;
            const double sigma = surface * std::hypot(mcSurface.RelativeSigma, mcRow.RelativeSigma);
            const double B = side == 30 ? 0.5 * (refs::BackscatterFromFit(3, kv, hvl) +
                                                 refs::BackscatterFromFit(4, kv, hvl))
                                        : refs::BackscatterFromFit(side == 10 ? 1 : 2, kv, hvl);
            const double ratio = surface / (B - 1);
            const double divRatio = mcDivergent.Ratio / (B - 1);
            const double total = (1 + surface) / B;
            const double row1OverSurface =
                (dose.PrimaryDose[1] + dose.ScatterDose[1]) / (mcSurface.Primary * (1 + surface));
            low = std::min(low, ratio);
            high = std::max(high, ratio);
            divLow = std::min(divLow, divRatio);
            divHigh = std::max(divHigh, divRatio);
            worstSigma = std::max(worstSigma, sigma / surface);
            totalLow = std::min(totalLow, total);
            totalHigh = std::max(totalHigh, total);
            row1Low = std::min(row1Low, row1OverSurface);
            row1High = std::max(row1High, row1OverSurface);
            plotData << ' ' << B - 1 << ' ' << veltrimRow1 << ' ' << surface << ' '
                     << mcDivergent.Ratio;
            r.Text << "| " << Fixed(kv, 0) << " | " << Fixed(hvl, 2) << " | " << Fixed(side, 0)
                   << "x" << Fixed(side, 0) << " | " << Fixed(B - 1, 3) << " | "
                   << Fixed(veltrimRow1, 3) << " | " << Fixed(surface, 3) << " (" << Fixed(sigma, 3)
                   << ") | " << Percent(surface, B - 1, 1) << " % | " << Fixed(mcDivergent.Ratio, 3)
                   << " | " << Percent(mcDivergent.Ratio, B - 1, 1) << " % | "
                   << Fixed(row1OverSurface, 3) << " |\n";
        }
        plotData << '\n';
    }
    r.WriteData("backscatter.dat", plotData.str());
    r.Text << "\n";
    r.Figure(
        "backscatter",
        "set grid\nset xlabel 'tube voltage (kV), 2.5 mm Al'\nset ylabel 'scatter / primary'\n"
        "set key outside right\nplot for [f=0:2] 'backscatter.dat' using 1:(column(2+4*f)) with "
        "linespoints pt 7 lc f+1 title sprintf('B - 1, %d cm', f==0?10:f==1?20:30), "
        "for [f=0:2] 'backscatter.dat' using 1:(column(3+4*f)) with linespoints pt 5 dt 2 lc f+1 "
        "title sprintf('Veltrim row 1, %d cm', f==0?10:f==1?20:30), for [f=0:2] "
        "'backscatter.dat' using 1:(column(4+4*f)) with linespoints pt 9 dt 3 lc f+1 "
        "title sprintf('Veltrim at surface, %d cm', f==0?10:f==1?20:30), for [f=0:2] "
        "'backscatter.dat' using 1:(column(5+4*f)) with points pt 6 lc f+1 "
        "title sprintf('divergent FSD 100, %d cm', f==0?10:f==1?20:30)\n",
        "Scatter-to-primary: published B - 1, Veltrim's row 1, Veltrim converted to the "
        "surface, and the same physics for a divergent beam");
    r.Text << "Reading the table: Veltrim's row-1 scatter-to-primary ratio is not a backscatter "
              "factor; it lies well above B - 1 because scatter grows quickly in the first "
              "half centimetre (layer table above). Converted to the surface, Veltrim lies "
           << Signed(100 * (low - 1), 1) << " to " << Signed(100 * (high - 1), 1)
           << " % from the published B - 1 (Monte Carlo 1-sigma of the converted value at most "
           << Fixed(100 * worstSigma, 1)
           << " %); in total surface dose, (1 + S/P) / B - 1, that is "
           << Signed(100 * (totalLow - 1), 1) << " to " << Signed(100 * (totalHigh - 1), 1)
           << " %. For a point focus at 100 cm the same physics gives "
           << Signed(100 * (divLow - 1), 1) << " to " << Signed(100 * (divHigh - 1), 1)
           << " % from B - 1: the backscatter reaching the surface starts at depth, where a "
              "divergent beam is weaker by the inverse square. Veltrim's kernels are computed "
              "for a parallel beam and the program applies the inverse square only at the depth "
              "of the receiving row, so its surface scatter is that of a parallel beam (a model "
              "limitation). What remains after that (the reference's phantom size and "
              "thickness and SSD are not recorded in the copy used; ICRU tissue is expected "
              "about 1 % below water, docs/references.md 2.3) is within the uncertainty of the "
              "comparison. No data or code error was found: the thin-layer transport reproduces "
              "the shipped kernels' row 1 within statistics.\n\n"
           << "Because row 1 is the 0-0.5 cm mean, Veltrim's 100 % is "
           << Signed(100 * (row1Low - 1), 1) << " to " << Signed(100 * (row1High - 1), 1)
           << " % from the surface dose of the same beam (last column): a PDD normalised to the "
              "surface, as kilovoltage depth-dose tables usually are, is converted to Veltrim's "
              "by dividing by its own value at 0.25 cm.\n\n";
    const bool agrees = low > 0.85 && high < 1.15;
    r.Text << "**Verdict:** " << (agrees ? "agreement within the model's limits" : "FAIL")
           << " - surface scatter-to-primary " << Signed(100 * (low - 1), 1) << " to "
           << Signed(100 * (high - 1), 1) << " % from B - 1 (total surface dose "
           << Signed(100 * (totalLow - 1), 1) << " to " << Signed(100 * (totalHigh - 1), 1)
           << " %); with the beam's divergence, which the parallel-beam kernels omit, "
           << Signed(100 * (divLow - 1), 1) << " to " << Signed(100 * (divHigh - 1), 1)
           << " %.\n\n";
    r.Summary.push_back(
        "Surface scatter: converted from row 1 (0-0.5 cm) to the surface, Veltrim's "
        "scatter-to-primary lies " +
        Signed(100 * (low - 1), 1) + " to " + Signed(100 * (high - 1), 1) +
        " % from published backscatter factors "
        "(B - 1, Benmakhlouf et al.; total surface dose " +
        Signed(100 * (totalLow - 1), 1) + " to " + Signed(100 * (totalHigh - 1), 1) +
        " %), about half of it because its kernels are for a parallel beam (" +
        Signed(100 * (divLow - 1), 1) + " to " + Signed(100 * (divHigh - 1), 1) +
        " % with divergence). Row 1, Veltrim's 100 %, is " + Signed(100 * (row1Low - 1), 0) +
        " to " + Signed(100 * (row1High - 1), 0) + " % from the surface dose.");
    r.Check(agrees, "surface S/P within 15 % of B - 1",
            Fixed(low, 3) + " to " + Fixed(high, 3) + " x (B - 1)");

    r.Text << "### 4.2 How much the beam quality moves the PDD\n\n"
              "Section 2 found the program's spectra softer than real beams of the same kV and "
              "filtration. To size the effect on the depth dose, each beam below (2.5 mm Al, 12 "
              "degrees, constant potential, 20x20 cm, FSD 100 cm) is hardened with added "
              "aluminium until its HVL1 is 10 % higher, and the PDDs compared.\n\n"
              "| kV | HVL1 mm Al | added Al mm for +10 % | PDD 5 cm | hardened | change % | PDD 10 "
              "cm | hardened | change % | PDD 20 cm | hardened | change % |\n"
              "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    double change10Low = 1e9, change10High = 0;
    for (double kv : {60.0, 80.0, 100.0, 120.0}) {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = kv;
        b.FieldX = b.FieldY = 20;
        const double hvl = QualityOf(calc, b).Hvl1MmAl;
        const DepthDose base = calc.Library(b);
        double lo = 0, hi = 5; // added aluminium, mm
        for (int step = 0; step < 40; ++step) {
            const double added = 0.5 * (lo + hi);
            b.AlFilter = Mm(added);
            (QualityOf(calc, b).Hvl1MmAl < 1.1 * hvl ? lo : hi) = added;
        }
        const double added = 0.5 * (lo + hi);
        b.AlFilter = Mm(added);
        const DepthDose hard = calc.Library(b);
        r.Text << "| " << Fixed(kv, 0) << " | " << Fixed(hvl, 2) << " | " << Fixed(added, 2);
        for (double depth : {5.0, 10.0, 20.0}) {
            const double p0 = AtDepth(base.Total, depth), p1 = AtDepth(hard.Total, depth);
            if (depth == 10) {
                change10Low = std::min(change10Low, p1 / p0 - 1);
                change10High = std::max(change10High, p1 / p0 - 1);
            }
            r.Text << " | " << Fixed(p0, 2) << " | " << Fixed(p1, 2) << " | " << Percent(p1, p0, 1);
        }
        r.Text << " |\n";
    }
    r.Text << "\nA 10 % harder beam raises the PDD at 10 cm by " << Fixed(100 * change10Low, 1)
           << "-" << Fixed(100 * change10High, 1) << " %. With HVL1 "
           << Fixed(r.Numbers["hvl1-deficit-40kV"], 0) << "-"
           << Fixed(r.Numbers["hvl1-deficit-150kV"], 0)
           << " % below measured beams of the same kV, anode angle and filtration (section 2), the "
              "program's PDD at depth "
              "for a given kV and filtration is correspondingly low. A beam is therefore better "
              "described to the program by its measured HVL1 (add aluminium until the "
              "program's HVL1 equals it) than by its filtration; R. M. Harrison, Phys. Med. "
              "Biol. 26 (1981) 657, recommends specifying both kVp and HVL1 for depth doses at "
              "5 cm or more. How far HVL matching closes the gap was not tested (it needs "
              "measured depth doses).\n\n";
    r.Summary.push_back("Depth dose: a 10 % harder beam (HVL1) raises the PDD at 10 cm by " +
                        Fixed(100 * change10Low, 1) + "-" + Fixed(100 * change10High, 1) +
                        " %; no published central-axis depth-dose table could be compared.");

    r.Text << "### 4.3 Published central-axis depth doses\n\n"
              "No numerical central-axis depth-dose table for diagnostic beams could be "
              "retrieved for this report (docs/references.md section 3 lists the sources: "
              "BJR Supplement 25; R. M. Harrison, Phys. Med. Biol. 26 (1981) 657; K. A. Fetterly "
              "et al., Med. Phys. 28 (2001) 205). The comparison at depth is therefore not made; "
              "the tables above give Veltrim's values at 1, 5, 10 and 20 cm for whoever obtains "
              "them (convert a surface-normalised table by dividing by its value at 0.25 cm).\n\n";
}

} // namespace veltrim::validate
