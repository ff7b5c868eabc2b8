#include "tools/validate/Checks.h"

#include "tools/validate/Report.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

namespace veltrim::validate {
namespace {

// Fractions as "a %, b %, c %".
std::string Percents(std::initializer_list<double> fractions, int digits) {
    std::string text;
    for (const double f : fractions)
        text += (text.empty() ? "" : ", ") + Fixed(100 * f, digits) + " %";
    return text;
}

void AbsoluteChecks(const Findings& f, std::vector<Check>& out) {
    const SurfaceDoseStudy& s = f.SurfaceDose;
    const bool beams = s.Beams.size() == std::size(DirectBeams);
    out.push_back({beams && s.WorstBackscatter < bounds::SurfaceBackscatter &&
                       s.WorstSurface < bounds::SurfaceDose,
                   "backscatter factor and surface dose per unit Ka,i within 2 % of direct MC",
                   "B " + Fixed(100 * s.WorstBackscatter, 2) + " %, surface dose " +
                       Fixed(100 * s.WorstSurface, 2) + " %"});
    out.push_back({s.Spans.size() == 2 * std::size(DirectBeams) &&
                       s.WorstSpanMean < bounds::DepthInterpolation,
                   "dose at a depth between layer middles within 1 % of 0.1-cm MC rows (mean "
                   "over 0-1.5 and 9.5-10.5 cm)",
                   Fixed(100 * s.WorstSpanMean, 2) + " %"});
    out.push_back({s.BelowTablesShare < bounds::BelowTables && s.HandWorst < bounds::HandSum,
                   "primary dose per unit Ka,i equals a sum over the tables within 1e-12",
                   Fixed(s.HandWorst * 1e15, 1) + "e-15"});
    const MediumStudy& m = f.Medium;
    out.push_back({!m.Ratios.empty() && m.WorstTg61 < bounds::WaterAirRatio,
                   "water/air mu_en ratio within 1.5 % of TG-61",
                   Fixed(100 * m.WorstTg61, 2) + " %"});
    out.push_back({!m.Rows.empty() && m.WorstDifference < bounds::PublishedBackscatter,
                   "backscatter factor, converted to water, within 3 % of Benmakhlouf 2011",
                   Fixed(100 * m.WorstDifference, 2) + " % (as given " +
                       Fixed(100 * m.WorstDifferenceRaw, 2) + " %)"});
    out.push_back({!m.Rows.empty() && m.WorstOwnWater < bounds::PublishedBackscatter,
                   "backscatter factor of a water phantom (water's own surface kernels) within 3 "
                   "% of Benmakhlouf 2011",
                   Fixed(100 * m.WorstOwnWater, 2) + " %"});
}

// The check of one medium's slabs against direct Monte Carlo.
void SlabCheck(const ThicknessStudy& t, const std::string& which, std::vector<Check>& out) {
    out.push_back(
        {WithinThicknessBounds(t),
         which + " (divergent): dose per Ka,i and PDD within 2 % of direct MC "
                 "(beyond its 2 sigma) to 1 cm before the exit (3 % beyond 20 cm), 5 % in "
                 "the last cm",
         Fixed(100 * t.BodyBeyond, 2) + " %, " + Fixed(100 * t.DeepBeyond, 2) + " %, " +
             Fixed(100 * t.ExitBeyond, 2) + " % (as they stand " + Fixed(100 * t.Body, 2) + " %, " +
             Fixed(100 * t.Deep, 2) + " %, " + Fixed(100 * t.Exit, 2) + " %)"});
}

} // namespace

std::vector<Check> Checks(const Findings& f) {
    const DataStudy& d = f.Data;
    const double interpolation = std::fabs(d.WorstInterpolation);
    std::vector<Check> out{
        {d.WorstTissueMu < bounds::TissueMu, "tissue mu/rho within 0.1 % of NIST",
         Fixed(d.WorstTissueMu, 3) + " %"},
        {d.WorstTissueMuEn < bounds::TissueMuEn, "tissue mu_en/rho within 0.15 % of NIST",
         Fixed(d.WorstTissueMuEn, 3) + " %"},
        {d.WorstAirMuEn < bounds::AirMuEn, "air mu_en/rho within 0.6 % of NIST",
         Fixed(d.WorstAirMuEn, 3) + " %"},
        {d.WorstMetal < bounds::Metals, "W, Al, Cu mu/rho within 1 % of NIST",
         Fixed(d.WorstMetal, 2) + " %"},
        {interpolation < bounds::TissueInterpolation,
         "tissue interpolation within 0.05 % of xraylib", Fixed(interpolation, 4) + " %"},
        {f.Spectra.WorstPtbHvl1 < bounds::Hvl1, "HVL1 within 20 % of PTB (air and window applied)",
         Fixed(100 * f.Spectra.WorstPtbHvl1, 1) + " %"},
        {f.Spectra.WorstEnea < bounds::Hvl1, "HVL1 within 20 % of ENEA (air applied)",
         Fixed(100 * f.Spectra.WorstEnea, 1) + " %"},
        {f.Matching.WorstHvl1Miss < bounds::Hvl1Match,
         "matched beams give the measured HVL1 within 0.001 mm Al",
         Fixed(f.Matching.WorstHvl1Miss, 4) + " mm Al"},
        {f.Matching.WorstPtbHvl2After < f.Matching.WorstPtbHvl2Before &&
             f.Matching.WorstMeanAfter < f.Matching.WorstMeanBefore,
         "matching HVL1 brings HVL2 and the mean energy closer to the references",
         "HVL2 " + Fixed(100 * f.Matching.WorstPtbHvl2Before, 1) + " -> " +
             Fixed(100 * f.Matching.WorstPtbHvl2After, 1) + " %, mean energy " +
             Fixed(100 * f.Matching.WorstMeanBefore, 1) + " -> " +
             Fixed(100 * f.Matching.WorstMeanAfter, 1) + " %"},
        {f.Kernels.SelfChecksPassed,
         "kernel self-checks (MC primary vs NIST table, energy balance)",
         f.Kernels.SelfChecksPassed ? "all passed" : "a check failed"},
        {f.Kernels.WorstSigma < bounds::PddSigma,
         "statistical 1-sigma of the PDD below 1 % at 1-20 cm",
         Fixed(100 * f.Kernels.WorstSigma, 3) + " %"},
        {f.DepthDose.Computed == f.DepthDose.Tried, "every typical beam computes",
         std::to_string(f.DepthDose.Computed) + " of " + std::to_string(f.DepthDose.Tried)},
    };
    if (f.Surface) {
        const SurfaceStudy& s = *f.Surface;
        out.push_back({s.WorstPull < bounds::KernelPull,
                       "thin-layer MC reproduces kernel row 1 (30x30 parallel)",
                       "largest |pull| " + Fixed(s.WorstPull, 1)});
        out.push_back({s.Low > bounds::SurfaceLow && s.High < bounds::SurfaceHigh,
                       "surface S/P within 15 % of B - 1",
                       Fixed(s.Low, 3) + " to " + Fixed(s.High, 3) + " x (B - 1)"});
    }
    const MendedStudy& m = f.Mended;
    out.push_back({m.SameBits == m.Probes, "rebuilt calculation equals the library bit for bit",
                   std::to_string(m.SameBits) + " of " + std::to_string(m.Probes)});
    out.push_back({std::fabs(m.UnmendedExample1 - bounds::Example1) < bounds::ExampleTolerance &&
                       std::fabs(m.UnmendedExample2 - bounds::Example2) < bounds::ExampleTolerance,
                   "unmended ring coverage reproduces -0.292067 and -0.031818",
                   Fixed(m.UnmendedExample1, 6) + ", " + Fixed(m.UnmendedExample2, 6)});
    const DivergentStudy& dv = f.Divergent;
    bool beamsOk = !dv.Beams.empty();
    for (const auto& b : dv.Beams)
        beamsOk = beamsOk && b.Ok;
    out.push_back({beamsOk && WithinDepthBounds(dv.Divergent),
                   "divergent-beam PDD within 2 % of direct MC at 1-10 cm, 3 % at 20 cm, "
                   "row-1 S/P within 3 %",
                   Percents({dv.Divergent.Shallow, dv.Divergent.At20, dv.Divergent.Ratio}, 2)});
    out.push_back({beamsOk && dv.WorstAbsolute < bounds::DivergentAbsolute,
                   "divergent-beam dose per unit incident air kerma within 2 % of direct MC at "
                   "0.25-20 cm",
                   Fixed(100 * dv.WorstAbsolute, 2) + " % (classic " +
                       Fixed(100 * dv.ClassicAbsolute, 2) + " %)"});
    out.push_back(
        {dv.LeaveOneOutRowSum < bounds::LeaveOneOut && dv.LeaveOneOutPdd < bounds::LeaveOneOut,
         "60-cm point-focus set within 0.5 % of the 50/75-cm sets interpolated in 1/FSD",
         "row sums " + Fixed(100 * dv.LeaveOneOutRowSum, 2) + " %, PDD " +
             Fixed(100 * dv.LeaveOneOutPdd, 3) + " %"});
    AbsoluteChecks(f, out);
    SlabCheck(f.Thickness, "finite phantoms", out);
    for (const ThicknessStudy& t : f.MediumSlabs)
        SlabCheck(t, std::string("finite phantoms of ") + MediumKey(t.Material), out);
    const OffAxisStudy& oa = f.OffAxis;
    out.push_back({!oa.Points.empty() && WithinOffAxisBounds(oa.Classic),
                   "classic dose off the axis within 2 % of direct MC inside the field (over its "
                   "own axis at that depth), 5 % 1-10 cm and 10 % 10-20 cm beyond its edge "
                   "(beyond 2 sigma)",
                   Percents({oa.Classic.Inside, oa.Classic.Near, oa.Classic.Far}, 1)});
    out.push_back({!oa.Points.empty() && WithinOffAxisBounds(oa.Divergent),
                   "divergent dose off the axis within 2 % of direct MC inside the field, 5 % "
                   "1-10 cm and 10 % 10-20 cm beyond its edge (beyond 2 sigma)",
                   Percents({oa.Divergent.Inside, oa.Divergent.Near, oa.Divergent.Far}, 1)});
    out.push_back({WithinTailBound(oa),
                   "divergent dose at points whose rings need the kernels' tails beyond 40 cm "
                   "within 10 % of direct MC beyond the field's edge (beyond 2 sigma)",
                   Percents({oa.TailDivergent.Beyond}, 1) + " (classic " +
                       Percents({oa.TailClassic.Beyond}, 1) + ")"});
    return out;
}

std::string CheckLine(const Check& check) {
    return std::string(check.Passed ? "pass  " : "FAIL  ") + check.What + ": " + check.Detail;
}

} // namespace veltrim::validate
