// The PDD of typical beams, and how much a harder beam of the same kV moves it.
#include "tools/validate/Report.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace veltrim::validate {

DepthDoseStudy StudyDepthDose(Engine& calc) {
    DepthDoseStudy out;
    std::map<double, std::string> plotOf; // per kV
    for (const IrradiationConditions& b : TypicalBeams()) {
        ++out.Tried;
        const DepthDose dose = calc.Library(b);
        if (!dose.Ok)
            continue;
        ++out.Computed;
        const auto sigma = PddStatisticalSigma(calc, b);
        std::ostringstream data;
        for (int d = 1; d <= dose.Rows; ++d)
            data << 0.5 * d - 0.25 << ' ' << dose.Total[d] << ' ' << dose.Primary[d] << ' '
                 << dose.Scatter[d] << '\n';
        const std::string name = "pdd-" + Fixed(b.TubeVoltage, 0) + "kV-" + Fixed(b.FieldX, 0) +
                                 "-fsd" + Fixed(b.Fsd, 0) + ".dat";
        out.Files.push_back({name, data.str()});
        std::string& plot = plotOf[b.TubeVoltage];
        plot += std::string(plot.empty() ? "plot " : ", ") + "'" + name +
                "' using 1:2 with lines lw 1.5 dt " + (b.Fsd == 60 ? "2" : "1") + " title '" +
                Fixed(b.FieldX, 0) + "x" + Fixed(b.FieldY, 0) + " FSD " + Fixed(b.Fsd, 0) + "'";
        DepthDoseStudy::Row row{b, {}, {}, dose.ScatterDose[1] / dose.PrimaryDose[1]};
        for (std::size_t k = 0; k < TableDepths.size(); ++k) {
            row.Pdd[k] = AtDepth(dose.Total, TableDepths[k]);
            row.Sigma[k] = AtDepth(dose.Total, TableDepths[k]) * AtDepth(sigma, TableDepths[k]);
        }
        out.Rows.push_back(row);
    }
    out.Plot = "set multiplot layout 2,2\nset grid\nset logscale y\nset yrange [0.1:110]\n"
               "set xrange [0:30]\nset xlabel 'depth (cm)'\nset ylabel 'PDD (%)'\n"
               "set key bottom left\n";
    for (const auto& [kv, plot] : plotOf)
        out.Plot += "set title '" + Fixed(kv, 0) + " kV, 2.5 mm Al'\n" + plot + "\n";
    out.Plot += "unset multiplot\n";
    return out;
}

HardeningStudy StudyHardening(Engine& calc) {
    HardeningStudy out;
    for (double kv : {60.0, 80.0, 100.0, 120.0}) {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = kv;
        b.FieldX = b.FieldY = 20;
        HardeningStudy::Row row{kv, QualityOf(calc, calc.Spectrum(b)).Hvl1MmAl, 0, {}, {}};
        const DepthDose base = calc.Library(b);
        double lo = 0, hi = 5; // added aluminium, mm
        for (int step = 0; step < 40; ++step) {
            const double added = 0.5 * (lo + hi);
            b.AlFilter = Mm(added);
            (QualityOf(calc, calc.Spectrum(b)).Hvl1MmAl < 1.1 * row.Hvl1 ? lo : hi) = added;
        }
        row.AddedAlMm = 0.5 * (lo + hi);
        b.AlFilter = Mm(row.AddedAlMm);
        const DepthDose hard = calc.Library(b);
        for (std::size_t k = 0; k < 3; ++k) {
            const double depth = TableDepths[k + 1];
            row.Base[k] = AtDepth(base.Total, depth);
            row.Hardened[k] = AtDepth(hard.Total, depth);
            if (depth == 10) {
                out.Change10Low = std::min(out.Change10Low, row.Hardened[k] / row.Base[k] - 1);
                out.Change10High = std::max(out.Change10High, row.Hardened[k] / row.Base[k] - 1);
            }
        }
        out.Rows.push_back(row);
    }
    return out;
}

} // namespace veltrim::validate
