// 4.10 A circle's table against its points: the classic model's table counts
// every ring up to the circle's edge whole, the points, the absolute dose and
// the divergent model's table each ring's exact share inside it; how far the
// two lie apart, and its report lines.
#include "engine/CalculateBeam.h"
#include "tools/validate/ReportSections.h"

#include <cmath>

namespace veltrim::validate {

CircleStudy StudyCircles(Engine& calc) {
    CircleStudy out;
    for (const double diameter : {5.0, 10.0, 20.0, 30.0, 40.0}) {
        IrradiationConditions c = ReferenceBeam();
        c.FieldX = diameter;
        c.FieldY = 0;
        const BeamResult beam = CalculateBeam(c, {}, calc.Data());
        const DepthDoseCalculation& d = *beam.DepthDose;
        // The table's dose per unit fluence over the exact one, and its PDD
        // over the PDD of the exact one (each normalised to its own row 1).
        const auto excess = [&](int row) {
            return (d.PrimaryDose[row] + d.ScatterDose[row]) /
                       (d.PrimaryDose[row] + d.ExactScatterDose[row]) -
                   1;
        };
        CircleStudy::Row r;
        r.Diameter = diameter;
        r.First = excess(1);
        r.At10 = excess(21);
        r.PddTable10 = d.Table[21][TotalPdd];
        r.PddExact10 = 100 * (d.PrimaryDose[21] + d.ExactScatterDose[21]) /
                       (d.PrimaryDose[1] + d.ExactScatterDose[1]);
        for (int row = 1; row <= d.Rows; ++row)
            if (excess(row) > r.Most) {
                r.Most = excess(row);
                r.MostDepth = LayerMiddle(row);
            }
        out.Rows.push_back(r);
        out.Most = std::max(out.Most, r.Most);
        out.PddMost = std::max(out.PddMost, std::fabs(r.PddTable10 / r.PddExact10 - 1));
    }
    return out;
}

void FillCircles(const CircleStudy& f, Placeholders& v) {
    Rows rows;
    for (const auto& r : f.Rows)
        rows.Cell(Fixed(r.Diameter, 0))
            .Cell(Signed(100 * r.First, 2))
            .Cell(Signed(100 * r.At10, 2))
            .Cell(Signed(100 * r.Most, 2) + " at " + Fixed(r.MostDepth, 2) + " cm")
            .Cell(Fixed(r.PddTable10, 3))
            .Cell(Fixed(r.PddExact10, 3))
            .End();
    v["circle_rows"] = rows.Text();
    v["circle_most"] = Fixed(100 * f.Most, 1);
    v["circle_pdd_most"] = Fixed(100 * f.PddMost, 1);
}

} // namespace veltrim::validate
