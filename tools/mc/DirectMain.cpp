// veltrim-kernels direct: the central-axis depth dose of one beam by direct
// Monte Carlo, the reference against which the scatter models are judged.

#include "tools/mc/DirectMain.h"

#include "core/FileReplacing.h"
#include "core/ModelConstants.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/SynthesizeSpectrum.h"
#include "tools/mc/DirectRun.h"
#include "tools/mc/KermaFactors.h"
#include "tools/mc/MediumMaterial.h"
#include "tools/mc/ToolOptions.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace veltrim::mc {
namespace {

constexpr const char* kDirectUsage =
    "usage: veltrim-kernels direct --data DIR --out FILE [options]\n"
    "  --kv V --angle A --inherent MM --al MM --cu MM   the beam (default 80 kV, 12 degrees,\n"
    "                      2.5 mm Al inherent, no added filter)\n"
    "  --medium M          phantom material: icru-4 (default), icru-44, water or pmma\n"
    "  --rectification N   1 constant potential (default), 2 three-phase 12-peak, 3 single-phase\n"
    "  --fsd F             focus-to-surface distance, cm (default 100)\n"
    "  --field X,Y         field sides at the FSD, cm; Y = 0 for a circle of diameter X (default "
    "30,30)\n"
    "  --seed N --threads N --batch N   as for the kernels (default 20261208, 2, 20000)\n"
    "  --target S          stop once rows 1..--tested-rows whose scatter exceeds 1e-3 of row 1's\n"
    "                      have a relative 1-sigma below S (default 0.002)\n"
    "  --tested-rows N     (default 41, down to 20.5 cm)\n"
    "  --rows N            0.5-cm rows scored (default 60)\n"
    "  --thickness T       a phantom T cm thick (default 60); rows below it are not scored\n"
    "  --energy E          photons of E keV alone (a multiple of 0.5 from 10.5 to 150) instead\n"
    "                      of the spectrum of the tube\n"
    "  --histories N       run exactly N histories instead (rounded up to whole batches)\n"
    "  --max-histories N   (default 200000000)\n"
    "  --importance F --importance-span L   depth splitting at the spectrum's mean energy\n"
    "                      (default 0.3, 12; 0 for analog transport)\n"
    "  --surface-radius R  radius of the disc on the axis over which the surface kerma is\n"
    "                      averaged, cm (default 0.5)\n"
    "  --layer T           thickness of the layer of the track-length check, cm (default 0.001)\n"
    "  --fine-out FILE     also the scatter in rows of --fine-rows H cm (default 0.1) over the\n"
    "                      depth spans --fine-spans A-B,C-D,... cm (default 0-1.5,9.5-10.5)\n"
    "  --lateral-out FILE  also the dose on vertical lines --lateral X1,X2,... cm off the axis\n"
    "                      along the field's first side, in 0.5-cm rows over the depth spans\n"
    "                      --lateral-spans (default 1-1.5,5-5.5,10-10.5)\n"
    "Writes FILE: per 0.5-cm row, primary and scatter dose and the percentage depth dose, then\n"
    "the kerma at the entrance surface and the backscatter factor in lines starting with #.\n";

// Depth spans "A-B,C-D" cut into rows of `thickness` cm.
std::vector<FineRows> ParseFineSpans(const std::string& text, double thickness) {
    std::vector<FineRows> spans;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string span = text.substr(start, comma - start);
        const std::size_t dash = span.find('-');
        const std::optional<double> top = ReadNonNegative(span.substr(0, dash));
        const std::optional<double> bottom =
            dash == std::string::npos ? std::nullopt : ReadNonNegative(span.substr(dash + 1));
        const double rows = top && bottom ? (*bottom - *top) / thickness : 0.0;
        if (!(rows >= 1.0) || std::fabs(rows - std::round(rows)) > 1e-9 || *bottom > 30.0) {
            return {};
        }
        spans.push_back({*top, thickness, static_cast<int>(std::lround(rows))});
        start = comma + 1;
    }
    return spans;
}

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "veltrim-kernels direct: %s\n%s", message.c_str(), kDirectUsage);
    std::exit(2);
}

} // namespace

int DirectMain(int argc, char** argv) {
    // 80 kV, 12 degrees, 2.5 mm Al, 30 x 30 cm at an FSD of 100 cm.
    IrradiationConditions c = DefaultConditions();
    std::string data, out, fineOut, fineSpans = "0-1.5,9.5-10.5";
    std::string lateralOut, lateral, lateralSpans = "1-1.5,5-5.5,10-10.5";
    double fineRows = 0.1;
    double energy = 0.0; // none: the tube's spectrum
    Medium medium = Medium::IcruFourComponent;
    DirectExtras extras;
    FocusRunSettings s;
    s.Seed = 20261208;
    s.Rows = 60;
    s.TestedRows = 41;
    s.TargetUncertainty = 0.002;
    s.MinBatches = 10;
    std::uint64_t maxHistories = 200000000, fixed = 0;
    double importance = 0.3, span = 12.0;
    for (int k = 1; k < argc; ++k) {
        const std::string o = argv[k];
        const std::string v = OptionValue(argc, argv, k, kDirectUsage, Fail);
        if (o == "--data")
            data = v;
        else if (o == "--out")
            out = v;
        else if (o == "--kv")
            c.TubeVoltage = NumberOrRefuse(v, o, Fail);
        else if (o == "--angle")
            c.TargetAngle = NumberOrRefuse(v, o, Fail);
        else if (o == "--inherent")
            c.InherentFiltration = NumberOrRefuse(v, o, Fail) / 10.0;
        else if (o == "--al")
            c.AlFilter = NumberOrRefuse(v, o, Fail) / 10.0;
        else if (o == "--cu")
            c.CuFilter = NumberOrRefuse(v, o, Fail) / 10.0;
        else if (o == "--fsd")
            c.Fsd = NumberOrRefuse(v, o, Fail);
        else if (o == "--medium")
            medium = MediumOrRefuse(v, Fail);
        else if (o == "--rectification") {
            const std::uint64_t n = CountOrRefuse(v, o, Fail);
            if (n > 3)
                Fail("--rectification is 1, 2 or 3");
            c.Rectification = static_cast<RectificationMethod>(n);
        } else if (o == "--field") {
            const auto comma = v.find(',');
            if (comma == std::string::npos)
                Fail("--field needs X,Y");
            c.FieldX = NumberOrRefuse(v.substr(0, comma), o, Fail);
            c.FieldY = NumberOrRefuse(v.substr(comma + 1), o, Fail);
        } else if (o == "--seed")
            s.Seed = CountOrRefuse(v, o, Fail);
        else if (o == "--threads")
            s.Threads = static_cast<unsigned>(CountOrRefuse(v, o, Fail));
        else if (o == "--batch")
            s.BatchHistories = CountOrRefuse(v, o, Fail);
        else if (o == "--target")
            s.TargetUncertainty = NumberOrRefuse(v, o, Fail);
        else if (o == "--tested-rows")
            s.TestedRows = static_cast<int>(std::min<std::uint64_t>(60, CountOrRefuse(v, o, Fail)));
        else if (o == "--rows")
            s.Rows = static_cast<int>(std::min<std::uint64_t>(60, CountOrRefuse(v, o, Fail)));
        else if (o == "--thickness")
            s.Geometry.Thickness = NumberOrRefuse(v, o, Fail);
        else if (o == "--energy")
            energy = NumberOrRefuse(v, o, Fail);
        else if (o == "--histories")
            fixed = CountOrRefuse(v, o, Fail);
        else if (o == "--max-histories")
            maxHistories = CountOrRefuse(v, o, Fail);
        else if (o == "--importance")
            importance = NumberOrRefuse(v, o, Fail);
        else if (o == "--importance-span")
            span = NumberOrRefuse(v, o, Fail);
        else if (o == "--surface-radius")
            extras.SurfaceRadius = NumberOrRefuse(v, o, Fail);
        else if (o == "--layer")
            extras.LayerThickness = NumberOrRefuse(v, o, Fail);
        else if (o == "--fine-out")
            fineOut = v;
        else if (o == "--fine-rows")
            fineRows = NumberOrRefuse(v, o, Fail);
        else if (o == "--fine-spans")
            fineSpans = v;
        else if (o == "--lateral-out")
            lateralOut = v;
        else if (o == "--lateral")
            lateral = v;
        else if (o == "--lateral-spans")
            lateralSpans = v;
        else
            Fail("unknown option " + o);
    }
    if (data.empty() || out.empty()) {
        Fail("--data and --out are required");
    }
    if (!(c.Fsd >= 10.0) || !(c.FieldX > 0.0)) {
        Fail("the FSD must be at least 10 cm and the field must not be empty");
    }
    if (energy != 0.0 &&
        (2.0 * energy != std::floor(2.0 * energy) || energy < 10.5 || energy > 150.0)) {
        Fail("--energy is a multiple of 0.5 keV from 10.5 to 150");
    }
    if (!(extras.SurfaceRadius > 0.0) || !(extras.LayerThickness > 0.0)) {
        Fail("the surface radius and the layer must be above 0");
    }
    if (!fineOut.empty()) {
        extras.Fine =
            fineRows > 0.0 ? ParseFineSpans(fineSpans, fineRows) : std::vector<FineRows>{};
        if (extras.Fine.empty()) {
            Fail("--fine-spans must be whole numbers of --fine-rows rows, down to 30 cm at most");
        }
    }
    if (!(s.Geometry.Thickness >= 1.0 && s.Geometry.Thickness <= 60.0)) {
        Fail("--thickness is from 1 to 60 cm");
    }
    // Only the rows inside the phantom.
    s.Rows = std::min(s.Rows, static_cast<int>(std::floor(s.Geometry.Thickness / 0.5)));
    s.TestedRows = std::min(s.TestedRows, s.Rows);
    if (!lateralOut.empty()) {
        const std::vector<FineRows> spans = ParseFineSpans(lateralSpans, 0.5);
        for (std::size_t start = 0; start <= lateral.size() && !spans.empty();) {
            const std::size_t comma = std::min(lateral.find(',', start), lateral.size());
            const double x =
                NumberOrRefuse(lateral.substr(start, comma - start), "--lateral", Fail);
            for (FineRows rows : spans) {
                rows.X = x;
                extras.Lateral.push_back(rows);
            }
            start = comma + 1;
        }
        if (extras.Lateral.empty()) {
            Fail("--lateral-out needs --lateral X1,X2,... and spans of whole 0.5-cm rows");
        }
    }
    if (fixed > 0) {
        s.MaxBatches = (fixed + s.BatchHistories - 1) / s.BatchHistories;
        s.TargetUncertainty = 0.0;
    } else {
        s.MaxBatches = std::max<std::uint64_t>(1, maxHistories / s.BatchHistories);
    }
    try {
        const AttenuationTables attenuation = ReadAttenuationTables(data);
        SynthesizedSpectrum spectrum = SynthesizeSpectrum(c, attenuation, 3.14159);
        if (energy != 0.0) {
            // One bin, and the tube voltage only bounds the bins the run reads.
            spectrum.Spectrum.fill(0.0);
            spectrum.Spectrum[static_cast<std::size_t>(2.0 * energy)] = 1.0;
            c.TubeVoltage = energy;
        }
        const TissueModel tissue(MediumMaterial(medium));
        const AxisEstimator estimator(tissue, s.Rows);
        const KermaFactors kerma = KermaFactors::Read(data, medium);
        extras.Kerma = &kerma;
        const auto start = std::chrono::steady_clock::now();
        const DirectResult result =
            RunDirect(tissue, estimator, spectrum.Spectrum, c, s, importance, span, extras);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ReplaceFileOrThrow(out, DirectResultText(result));
        if (!fineOut.empty()) {
            ReplaceFileOrThrow(fineOut, FineRowsText(result));
        }
        if (!lateralOut.empty()) {
            ReplaceFileOrThrow(lateralOut, LateralRowsText(result));
        }
        const SurfaceResult& f = result.Surface;
        std::fprintf(stderr,
                     "%llu histories in %.1f s; S/P row 1 %.4f, scatter sigma row 1 %.3f %%; "
                     "surface: B %.4f +- %.4f, scatter tissue kerma sigma %.3f %%\n",
                     static_cast<unsigned long long>(result.Histories), seconds,
                     result.Scatter[1] / result.Primary[1],
                     100.0 * result.ScatterSigma[1] / result.Scatter[1],
                     1.0 + f.ScatterAir / f.IncidentAir, f.ScatterAirSigma / f.IncidentAir,
                     100.0 * f.ScatterTissueSigma / f.ScatterTissue);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-kernels direct: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace veltrim::mc
