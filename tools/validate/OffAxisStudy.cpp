// 4.6 The dose off the axis against direct Monte Carlo scored on vertical
// lines beside the axis (tools/validate/direct/offaxis/), for both scatter
// models, and its report section.
#include "engine/BeamPoints.h"
#include "tools/validate/Checks.h"
#include "tools/validate/ReportSections.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>

namespace veltrim::validate {
namespace {

struct OffAxisBeam {
    const char* Name; // the files in the off-axis folder, without .csv and -lateral.csv
    double Kv, Field, Fsd;
    double Thickness; // cm of the phantom; 0 for the thick one
};

// 12 degrees, 2.5 mm Al inherent, constant potential, square fields; the
// largest field in a 30-cm patient, whose points need the kernels' tails.
constexpr OffAxisBeam kBeams[] = {
    {"80kV-10x10-fsd100", 80, 10, 100, 0},
    {"80kV-20x20-fsd100", 80, 20, 100, 0},
    {"70kV-15x15-fsd60", 70, 15, 60, 0},
    {"80kV-43x43-fsd100-t30", 80, 43, 100, 30},
};

// Whether the rings around a point at a layer middle reach beyond the
// kernels' own 80 rings (40 cm), so that their tails take part.
bool NeedsTail(const OffAxisBeam& b, double x, double depth) {
    const double half = 0.5 * b.Field * (b.Fsd + depth) / b.Fsd;
    return std::hypot(std::fabs(x) + half, half) >= 0.5 * (RingCapacity - 1);
}

std::vector<std::vector<double>> Numbers(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-'))
            continue;
        std::istringstream fields(line);
        std::vector<double> row;
        for (std::string cell; std::getline(fields, cell, ',');)
            row.push_back(std::stod(cell));
        rows.push_back(row);
    }
    return rows;
}

// |difference| beyond twice the direct run's 1-sigma, fraction.
double Excess(double model, double direct, double sigma) {
    return std::max(0.0, std::fabs(model / direct - 1) - 2 * sigma / direct);
}

} // namespace

OffAxisStudy StudyOffAxis(Engine& calc, const std::filesystem::path& folder) {
    OffAxisStudy out;
    for (const OffAxisBeam& b : kBeams) {
        IrradiationConditions c = ReferenceBeam();
        c.TubeVoltage = b.Kv;
        c.FieldX = c.FieldY = b.Field;
        c.Fsd = b.Fsd;
        const auto axis = Numbers(folder / (std::string(b.Name) + ".csv"));
        const auto lateral = Numbers(folder / (std::string(b.Name) + "-lateral.csv"));
        if (axis.empty() || lateral.empty())
            throw std::runtime_error(std::string("no direct rows for ") + b.Name);
        // Columns: depth, primary, scatter, sigma, ...; row 1 normalises, as the PDD.
        const double first = axis[0][1] + axis[0][2];
        const double firstSigma = axis[0][3] / first;
        CalculationOptions classicOptions;
        if (b.Thickness > 0)
            classicOptions.ThicknessCm = b.Thickness;
        const BeamResult classic = CalculateBeam(c, classicOptions, calc.Data());
        CalculationOptions divergentOptions = classicOptions;
        divergentOptions.Model = ScatterModel::Divergent;
        const BeamResult divergent = CalculateBeam(c, divergentOptions, calc.Data());
        for (const std::vector<double>& l : lateral) {
            // x, top, middle, thickness, primary, scatter, sigma, total
            OffAxisStudy::Point p;
            p.Beam = Label(c);
            p.X = l[0];
            p.Depth = l[2];
            p.BeyondEdge = p.X - 0.5 * b.Field * (b.Fsd + p.Depth) / b.Fsd;
            p.Direct = 100 * l[7] / first;
            p.DirectSigma = p.Direct * std::hypot(l[6] / l[7], firstSigma);
            const PhantomPoint point{p.X, 0.0, p.Depth};
            p.Computable = WithinKernelReach(c, classic.DepthDose->Rows, point);
            p.Tail = NeedsTail(b, p.X, p.Depth);
            if (p.Computable && p.Tail) {
                const PointDose a = BeamPointDoses(classic, {&point, 1}, calc.Data())[0];
                const PointDose d = BeamPointDoses(divergent, {&point, 1}, calc.Data())[0];
                p.Classic = PointPercent(classic, a.Primary + a.Scatter);
                p.Divergent = PointPercent(divergent, d.Primary + d.Scatter);
                ++out.TailPoints;
                const auto take = [&](double model, OffAxisStudy::TailDeviations& worst) {
                    const double excess = Excess(model, p.Direct, p.DirectSigma);
                    if (p.BeyondEdge <= -1.0)
                        worst.Inside = std::max(worst.Inside, excess);
                    else if (p.BeyondEdge >= 1.0)
                        worst.Beyond = std::max(worst.Beyond, excess);
                };
                take(p.Classic, out.TailClassic);
                take(p.Divergent, out.TailDivergent);
            } else if (p.Computable) {
                const PointDose a = BeamPointDoses(classic, {&point, 1}, calc.Data())[0];
                const PointDose d = BeamPointDoses(divergent, {&point, 1}, calc.Data())[0];
                p.Classic = PointPercent(classic, a.Primary + a.Scatter);
                p.Divergent = PointPercent(divergent, d.Primary + d.Scatter);
                const auto take = [&](double model, OffAxisStudy::Deviations& worst) {
                    const double excess = Excess(model, p.Direct, p.DirectSigma);
                    if (p.BeyondEdge <= -1.0)
                        worst.Inside = std::max(worst.Inside, excess);
                    else if (p.BeyondEdge >= 1.0 && p.BeyondEdge <= 10.0)
                        worst.Near = std::max(worst.Near, excess);
                    else if (p.BeyondEdge > 10.0 && p.BeyondEdge <= 20.0)
                        worst.Far = std::max(worst.Far, excess);
                };
                take(p.Classic, out.ClassicAsItStands);
                take(p.Divergent, out.Divergent);
                if (p.BeyondEdge <= -1.0) {
                    // The classic model over its own axis: total_pdd and its
                    // 1-sigma are the axis file's columns 6 and 7.
                    const int row = static_cast<int>(2 * p.Depth + 0.5);
                    const std::vector<double>& onAxis = axis.at(static_cast<std::size_t>(row - 1));
                    const double direct = p.Direct / onAxis[6];
                    const double sigma =
                        direct * std::hypot(p.DirectSigma / p.Direct, onAxis[7] / onAxis[6]);
                    const double model = p.Classic / classic.DepthDose->Table[row][TotalPdd];
                    out.Classic.Inside = std::max(out.Classic.Inside, Excess(model, direct, sigma));
                }
            }
            out.Points.push_back(p);
        }
    }
    out.Classic.Near = out.ClassicAsItStands.Near;
    out.Classic.Far = out.ClassicAsItStands.Far;
    return out;
}

void FillOffAxis(const OffAxisStudy& f, Placeholders& v) {
    Rows rows;
    for (const auto& p : f.Points) {
        rows.Cell(p.Beam)
            .Cell(Fixed(p.X, 1) + (p.Tail ? " *" : ""))
            .Cell(Fixed(p.Depth, 2))
            .Cell(Signed(p.BeyondEdge, 2))
            .Cell(Fixed(p.Direct, 4) + " +/- " + Fixed(100 * p.DirectSigma / p.Direct, 1) + " %");
        if (p.Computable)
            rows.Cell(Fixed(p.Classic, 4) + " (" + Percent(p.Classic, p.Direct, 1) + ")")
                .Cell(Fixed(p.Divergent, 4) + " (" + Percent(p.Divergent, p.Direct, 1) + ")");
        else
            rows.Cell("beyond the kernels").Cell("beyond the kernels");
        rows.End();
    }
    v["offaxis_rows"] = rows.Text();
    for (const auto& [model, worst] :
         {std::pair{"classic", f.Classic}, std::pair{"divergent", f.Divergent}}) {
        const std::string key = std::string("offaxis_") + model;
        v[key + "_inside"] = Fixed(100 * worst.Inside, 1);
        v[key + "_near"] = Fixed(100 * worst.Near, 1);
        v[key + "_far"] = Fixed(100 * worst.Far, 1);
        v[key + "_verdict"] = Verdict(WithinOffAxisBounds(worst));
    }
    v["offaxis_classic_as_it_stands"] = Fixed(100 * f.ClassicAsItStands.Inside, 1);
    v["offaxis_tail_points"] = std::to_string(f.TailPoints);
    for (const auto& [model, worst] :
         {std::pair{"classic", f.TailClassic}, std::pair{"divergent", f.TailDivergent}}) {
        const std::string key = std::string("offaxis_tail_") + model;
        v[key + "_inside"] = Fixed(100 * worst.Inside, 1);
        v[key + "_beyond"] = Fixed(100 * worst.Beyond, 1);
    }
    v["offaxis_tail_verdict"] = Verdict(WithinTailBound(f));
}

} // namespace veltrim::validate
