// The entrance surface and the dose at a depth against the direct Monte Carlo
// runs, and the primary part of the dose per unit Ka,i against a sum over the
// tables formed here.
#include "tools/validate/AbsoluteStudies.h"
#include "tools/validate/Engine.h"

#include <algorithm>
#include <cmath>

namespace veltrim::validate {
namespace {

void CompareSurface(const Engine& calc, const DirectBeam& b, const DirectRun& run,
                    SurfaceDoseStudy& out) {
    SurfaceDoseStudy::Beam beam;
    beam.Name = b.Name;
    const DirectSurface& d = run.Surface;
    beam.Direct = d;
    // The run's Ka,i per fluence is the same sum as the program's over the
    // same spectrum; each side divides by its own.
    beam.DirectDose = d.Tissue / d.IncidentAirKerma;
    beam.DirectDoseSigma = d.TissueSigma / d.IncidentAirKerma;
    const ScatterModel models[] = {ScatterModel::Classic, ScatterModel::Divergent};
    for (int m = 0; m < 2; ++m) {
        const AbsoluteDose a = calc.Absolute(ConditionsOf(b), models[m]);
        beam.Backscatter[m] = a.PerKerma.Backscatter;
        beam.Surface[m] = a.PerKerma.Surface;
        beam.ScatterTissueExcess =
            a.PerKerma.SurfaceScatter * a.AirKermaPerFluence / d.ScatterTissue - 1;
        out.WorstBackscatter =
            std::max(out.WorstBackscatter, std::fabs(beam.Backscatter[m] / d.Backscatter - 1));
        out.WorstSurface =
            std::max(out.WorstSurface, std::fabs(beam.Surface[m] / beam.DirectDose - 1));
    }
    out.SigmaBackscatter = std::max(out.SigmaBackscatter, d.BackscatterSigma / d.Backscatter);
    out.SigmaSurface = std::max(out.SigmaSurface, d.TissueSigma / d.Tissue);
    out.Beams.push_back(beam);
}

// The run's own rows as the program holds its dose per unit Ka,i, so that the
// program's interpolation can be laid over them.
DosePerAirKerma AsProgramTable(const DirectRun& run) {
    const double kerma = run.Surface.IncidentAirKerma;
    DosePerAirKerma dose;
    dose.Rows = static_cast<int>(std::min<std::size_t>(run.Rows.size(), DepthRowCapacity - 1));
    for (int d = 1; d <= dose.Rows; ++d) {
        const DirectRow& r = run.Rows[static_cast<std::size_t>(d - 1)];
        dose.Total[d] = (r.Primary + r.Scatter) / kerma;
    }
    dose.Surface = run.Surface.Tissue / kerma;
    return dose;
}

void CompareInterpolation(const Engine& calc, const DirectBeam& b, const DirectRun& run,
                          SurfaceDoseStudy& out) {
    const DosePerAirKerma own = AsProgramTable(run);
    const DosePerAirKerma program =
        calc.Absolute(ConditionsOf(b), ScatterModel::Divergent).PerKerma;
    const double kerma = run.Surface.IncidentAirKerma;
    for (const auto& [from, to] : {std::pair{0.0, 1.5}, std::pair{9.5, 10.5}}) {
        SurfaceDoseStudy::Span span;
        span.Beam = b.Name;
        span.From = from;
        span.To = to;
        std::vector<double> sigmas;
        double sum = 0, squares = 0, programSum = 0;
        for (const DirectRow& f : run.Fine) {
            if (f.Depth < from || f.Depth > to)
                continue;
            const double fine = (f.Primary + f.Scatter) / kerma;
            const double sigma = f.ScatterSigma / kerma / fine;
            const double e = DoseAtDepth(own, f.Depth) / fine - 1;
            const double p = DoseAtDepth(program, f.Depth) / fine - 1;
            ++span.Rows;
            sum += e;
            squares += e * e;
            programSum += p;
            sigmas.push_back(sigma);
            if (std::fabs(e) > std::fabs(span.Largest)) {
                span.Largest = e;
                span.LargestAt = f.Depth;
            }
            span.LargestPull = std::max(span.LargestPull, std::fabs(e) / sigma);
            span.ProgramLargest = std::max(span.ProgramLargest, std::fabs(p));
        }
        if (span.Rows == 0)
            continue;
        span.Mean = sum / span.Rows;
        span.Rms = std::sqrt(squares / span.Rows);
        span.ProgramMean = programSum / span.Rows;
        std::sort(sigmas.begin(), sigmas.end());
        span.MedianSigma = sigmas[sigmas.size() / 2];
        out.WorstSpanMean = std::max(out.WorstSpanMean, std::fabs(span.Mean));
        out.WorstProgramMean = std::max(out.WorstProgramMean, std::fabs(span.ProgramMean));
        out.Spans.push_back(span);
    }
}

// c_primary(z) = sum_i phi_i P_i exp(-mu_i z) (F / (F + z))^2 / sum_i phi_i E_i (mu_en/rho)_air,i,
// summed here bin by bin from the tables: P_i the primary-dose factor of the
// tissue (keV cm2/g per photon/cm2), E_i = i / 2 keV.
void CompareHand(const Engine& calc, SurfaceDoseStudy& out) {
    const IrradiationConditions beam = ReferenceBeam();
    const EnergyTable phi = calc.Spectrum(beam);
    const AbsoluteDose program = calc.Absolute(beam, ScatterModel::Classic);
    double airKerma = 0, below = 0;
    for (int i = 1; i <= 300; ++i) {
        airKerma += phi[i] * (i / 2.0) * calc.AirMuEn()[i];
        if (i < 21)
            below += phi[i] * (i / 2.0) * calc.AirMuEn()[i];
    }
    out.BelowTablesShare = below / airKerma;
    out.HandWorst = 0;
    for (const double z : {0.25, 1.25, 5.25, 10.25, 20.25, 29.75}) {
        const double inverseSquare = std::pow(beam.Fsd / (beam.Fsd + z), 2);
        double dose = 0;
        for (int i = 21; i <= 300; ++i)
            dose += phi[i] * calc.Tissue().PrimaryDose[i] * std::exp(-calc.TissueMu(i / 2.0) * z);
        const double hand = dose * inverseSquare / airKerma;
        const int row = static_cast<int>(2 * z) + 1;
        out.Hand.push_back({z, program.PerKerma.Primary[row], hand});
        out.HandWorst =
            std::max(out.HandWorst, std::fabs(program.PerKerma.Primary[row] / hand - 1));
    }
}

} // namespace

SurfaceDoseStudy StudySurfaceDose(const Engine& calc, const std::filesystem::path& directFolder) {
    SurfaceDoseStudy out;
    for (const DirectBeam& b : DirectBeams) {
        const DirectRun run = ReadDirectRun(directFolder, b);
        CompareSurface(calc, b, run, out);
        CompareInterpolation(calc, b, run, out);
    }
    CompareHand(calc, out);
    return out;
}

} // namespace veltrim::validate
