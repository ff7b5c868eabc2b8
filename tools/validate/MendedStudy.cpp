// What each of the two mended rules of the depth dose changes, with the rule
// set back to how it was first written.
#include "dose/RingCoverage.h"
#include "tools/validate/Report.h"
#include "tools/validate/Studies.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

namespace veltrim::validate {
namespace {

using Change = MendedStudy::Change;

Change Compare(const DepthDose& mended, const DepthDose& unmended) {
    Change c;
    if (!mended.Ok || !unmended.Ok) {
        c.Computed = false;
        return c;
    }
    for (int d = 1; d <= mended.Rows; ++d) {
        const double diff = unmended.Total[d] - mended.Total[d];
        c.Points = std::max(c.Points, std::fabs(diff));
        const double rel = std::fabs(diff) / mended.Total[d];
        if (rel > c.Relative) {
            c.Relative = rel;
            c.Depth = 0.5 * d - 0.25;
        }
    }
    auto at = [&](double depth) {
        const int d = static_cast<int>(std::lround(2 * depth));
        return 0.5 * ((unmended.Total[d] - mended.Total[d]) +
                      (unmended.Total[d + 1] - mended.Total[d + 1]));
    };
    c.PointsAt5 = at(5);
    c.PointsAt10 = at(10);
    c.PointsAt20 = at(20);
    return c;
}

bool SameBits(const DepthDose& a, const DepthDose& b) {
    if (a.Ok != b.Ok || a.Rows != b.Rows)
        return false;
    for (int d = 1; d <= a.Rows; ++d)
        if (a.Primary[d] != b.Primary[d] || a.Scatter[d] != b.Scatter[d] ||
            a.Total[d] != b.Total[d])
            return false;
    return true;
}

// The direct call with both mends must be the program's pipeline, bit for
// bit, before any variant of it is believed.
void CompareWithProgram(Engine& calc, MendedStudy& out) {
    std::vector<IrradiationConditions> probes = TypicalBeams();
    for (auto [kv, x, y, fsd, rect, inherent] :
         std::vector<std::tuple<double, double, double, double, int, double>>{
             {30, 10, 10, 100, 1, 2.5},
             {150, 40, 40, 100, 3, 2.5},
             {50, 20, 1, 60, 2, 0.5},
             {83, 10, 0, 100, 1, 2.5},
             {120, 3, 0.5, 50, 1, 1.0},
             {45, 2, 2, 30, 3, 0.0}}) {
        IrradiationConditions b = ReferenceBeam();
        b.TubeVoltage = kv;
        b.FieldX = x;
        b.FieldY = y;
        b.Fsd = fsd;
        b.Rectification = static_cast<RectificationMethod>(rect);
        b.InherentFiltration = Mm(inherent);
        probes.push_back(b);
    }
    for (const IrradiationConditions& b : probes)
        out.SameBits += SameBits(calc.Library(b), calc.Compute(b, DepthDoseRules{})) ? 1 : 0;
    out.Probes = static_cast<int>(probes.size());
}

// (a) Zero scatter nodes taken as 1.0 for the log interpolation.
void StudyZeroNodes(const Engine& calc, MendedStudy& out) {
    // Where the kernels hold a zero row sum for a 30x30 field at FSD 100.
    const DepthDose d = calc.Compute(ReferenceBeam(), DepthDoseRules{});
    std::ostringstream where;
    for (int n = 20; n <= 300; n += 10) {
        int first = 0;
        for (int row = 1; row <= 60; ++row)
            if (d.ScatterByEnergy[n][row] == 0) {
                first = row;
                break;
            }
        if (first)
            where << (where.tellp() > 0 ? "; " : "") << n / 2 << " keV from row " << first << " ("
                  << Fixed(0.5 * first - 0.5, 1) << " cm)";
    }
    out.ZeroNodes = where.str();

    for (double inherent : {2.5, 0.5})
        for (int rect : {1, 3})
            for (double kv : {30.0, 40.0, 50.0, 60.0, 80.0, 100.0, 120.0, 150.0})
                for (double side : {10.0, 30.0}) {
                    IrradiationConditions b = ReferenceBeam();
                    b.TubeVoltage = kv;
                    b.Rectification = static_cast<RectificationMethod>(rect);
                    b.InherentFiltration = Mm(inherent);
                    b.FieldX = b.FieldY = side;
                    DepthDoseRules first;
                    first.LinearAtZeroNodes = false;
                    const Change ch =
                        Compare(calc.Compute(b, DepthDoseRules{}), calc.Compute(b, first));
                    out.ZeroWorst = std::max(out.ZeroWorst, ch.Relative);
                    out.ZeroPoints = std::max(out.ZeroPoints, ch.Points);
                    out.ZeroAt20 = std::max(out.ZeroAt20, std::fabs(ch.PointsAt20));
                    out.ZeroAt10 = std::max(out.ZeroAt10, std::fabs(ch.PointsAt10));
                    out.ZeroChangesTo5 = out.ZeroChangesTo5 || ch.PointsAt5 != 0;
                    if (inherent == 2.5) {
                        out.ZeroWorstAt25 = std::max(out.ZeroWorstAt25, ch.Relative);
                        out.ZeroPointsAt25 = std::max(out.ZeroPointsAt25, ch.Points);
                    }
                    out.ZeroRows.push_back({kv, rect, inherent, side, ch});
                }
}

// (b) Ring coverage that removes the part beyond the field corner twice.
void StudyCorner(const Engine& calc, MendedStudy& out) {
    for (double fsd : {60.0, 100.0})
        for (double x : {1.0, 2.0, 3.0, 5.0, 10.0, 20.0, 30.0, 40.0})
            for (double y : {0.5, 1.0, 2.0, 3.0, 5.0, 10.0, 20.0, 30.0}) {
                if (y > x || (x == 40 && fsd == 60))
                    continue;
                IrradiationConditions b = ReferenceBeam();
                b.Fsd = fsd;
                b.FieldX = x;
                b.FieldY = y;
                DepthDoseRules first;
                first.CornerAddedBack = false;
                const DepthDose unmended = calc.Compute(b, first);
                const Change ch = Compare(calc.Compute(b, DepthDoseRules{}), unmended);
                ++out.CornerTried;
                if (!unmended.Ok)
                    out.CornerFailure = unmended.Failure;
                if (ch.Computed && y >= 5)
                    out.CornerWide = std::max(out.CornerWide, ch.Relative);
                if (ch.Computed && ch.Points == 0) {
                    ++out.CornerUnchanged;
                    continue;
                }
                out.CornerRows.push_back({x, y, fsd, ch});
                const std::string field =
                    Fixed(x, 0) + "x" + Fixed(y, 1) + " at FSD " + Fixed(fsd, 0);
                if (!ch.Computed) {
                    ++out.CornerFailed;
                    out.CornerFailedFields += (out.CornerFailed > 1 ? ", " : "") + field;
                    continue;
                }
                out.CornerPoints = std::max(out.CornerPoints, ch.Points);
                if (ch.Relative > out.CornerWorst) {
                    out.CornerWorst = ch.Relative;
                    out.CornerWorstField = field;
                }
            }
}

} // namespace

MendedStudy StudyMendedFaults(Engine& calc) {
    MendedStudy out;
    CompareWithProgram(calc, out);
    // The two negative shares by which the fault was found.
    out.UnmendedExample1 = UnmendedRingCoverage(3, 1.0, 0.2, 3.14159);
    out.UnmendedExample2 = UnmendedRingCoverage(1, 0.3, 0.1, 3.14159);
    out.MendedExample1 = RingCoverage(3, 1.0, 0.2, 3.14159).value();
    out.MendedExample2 = RingCoverage(1, 0.3, 0.1, 3.14159).value();
    StudyZeroNodes(calc, out);
    StudyCorner(calc, out);
    return out;
}

} // namespace veltrim::validate
