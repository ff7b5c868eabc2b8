// veltrim-kernels direct: the central-axis depth dose of one beam by direct
// Monte Carlo, the reference against which the scatter models are judged.

#include "tools/mc/DirectMain.h"

#include "core/FileReplacing.h"
#include "core/Inputs.h"
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

struct DirectOptions : RunOptions, PhantomOptions {
    std::filesystem::path Data;
    // 80 kV, 12 degrees, 2.5 mm Al, 30 x 30 cm at an FSD of 100 cm.
    IrradiationConditions Beam = DefaultConditions();
    double Energy = 0.0; // none: the tube's spectrum
    std::uint64_t Rows = 60, TestedRows = 41;
    double SurfaceRadius = DirectExtras{}.SurfaceRadius;
    double Layer = DirectExtras{}.LayerThickness;
    std::string FineOut, FineSpans = "0-1.5,9.5-10.5";
    double FineRows = 0.1;
    std::string LateralOut, Lateral, LateralSpans = "1-1.5,5-5.5,10-10.5";
};

// A number of the beam; filtrations are typed in mm and held in cm.
template <double IrradiationConditions::*Field, bool Millimetres = false>
void SetBeam(DirectOptions& o, const std::string& name, const std::string& value, Refusal refuse) {
    const double number = NumberOrRefuse(value, name, refuse);
    o.Beam.*Field = Millimetres ? number / 10.0 : number;
}

void SetRectification(DirectOptions& o, const std::string& name, const std::string& value,
                      Refusal refuse) {
    const std::uint64_t n = CountOrRefuse(value, name, refuse);
    if (n > 3) {
        refuse("--rectification is 1, 2 or 3");
    }
    o.Beam.Rectification = static_cast<RectificationMethod>(n);
}

void SetField(DirectOptions& o, const std::string& name, const std::string& value, Refusal refuse) {
    const auto comma = value.find(',');
    if (comma == std::string::npos) {
        refuse("--field needs X,Y");
    }
    o.Beam.FieldX = NumberOrRefuse(value.substr(0, comma), name, refuse);
    o.Beam.FieldY = NumberOrRefuse(value.substr(comma + 1), name, refuse);
}

// The beam's options are veltrim-calc's, but for the field's sides (one --field X,Y).
constexpr OptionRow<DirectOptions> kDirectOptions[] = {
    {"--data", SetText<&DirectOptions::Data>},
    {inputs::TubeVoltage.Option, SetBeam<&IrradiationConditions::TubeVoltage>},
    {inputs::TargetAngle.Option, SetBeam<&IrradiationConditions::TargetAngle>},
    {inputs::InherentFiltration.Option, SetBeam<&IrradiationConditions::InherentFiltration, true>},
    {inputs::AlFilter.Option, SetBeam<&IrradiationConditions::AlFilter, true>},
    {inputs::CuFilter.Option, SetBeam<&IrradiationConditions::CuFilter, true>},
    {inputs::Rectification.Option, SetRectification},
    {inputs::Fsd.Option, SetBeam<&IrradiationConditions::Fsd>},
    {"--field", SetField},
    {"--tested-rows", SetCount<&DirectOptions::TestedRows>},
    {"--rows", SetCount<&DirectOptions::Rows>},
    {"--energy", SetNumber<&DirectOptions::Energy>},
    {"--surface-radius", SetNumber<&DirectOptions::SurfaceRadius>},
    {"--layer", SetNumber<&DirectOptions::Layer>},
    {"--fine-out", SetText<&DirectOptions::FineOut>},
    {"--fine-rows", SetNumber<&DirectOptions::FineRows>},
    {"--fine-spans", SetText<&DirectOptions::FineSpans>},
    {"--lateral-out", SetText<&DirectOptions::LateralOut>},
    {"--lateral", SetText<&DirectOptions::Lateral>},
    {"--lateral-spans", SetText<&DirectOptions::LateralSpans>},
};

} // namespace

int DirectMain(int argc, char** argv) {
    DirectOptions defaults;
    defaults.Seed = 20261208;
    defaults.MinBatches = 10;
    defaults.MaxHistories = 200000000;
    defaults.Target = 0.002;
    defaults.ImportanceFactor = 0.3;
    const DirectOptions o =
        ReadToolOptions(argc, argv, kDirectUsage, Fail, defaults, kDirectOptions, kPhantomOptions);
    IrradiationConditions c = o.Beam;
    FocusRunSettings s;
    o.ApplyTo(s);
    s.Rows = static_cast<int>(std::min<std::uint64_t>(60, o.Rows));
    s.TestedRows = static_cast<int>(std::min<std::uint64_t>(60, o.TestedRows));
    s.Geometry.Thickness = o.Thickness;
    DirectExtras extras;
    extras.SurfaceRadius = o.SurfaceRadius;
    extras.LayerThickness = o.Layer;
    if (o.Data.empty() || o.Out.empty()) {
        Fail("--data and --out are required");
    }
    if (!(c.Fsd >= 10.0) || !(c.FieldX > 0.0)) {
        Fail("the FSD must be at least 10 cm and the field must not be empty");
    }
    if (o.Energy != 0.0 &&
        (2.0 * o.Energy != std::floor(2.0 * o.Energy) || o.Energy < 10.5 || o.Energy > 150.0)) {
        Fail("--energy is a multiple of 0.5 keV from 10.5 to 150");
    }
    if (!(extras.SurfaceRadius > 0.0) || !(extras.LayerThickness > 0.0)) {
        Fail("the surface radius and the layer must be above 0");
    }
    if (!o.FineOut.empty()) {
        extras.Fine =
            o.FineRows > 0.0 ? ParseFineSpans(o.FineSpans, o.FineRows) : std::vector<FineRows>{};
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
    if (!o.LateralOut.empty()) {
        const std::vector<FineRows> spans = ParseFineSpans(o.LateralSpans, 0.5);
        for (std::size_t start = 0; start <= o.Lateral.size() && !spans.empty();) {
            const std::size_t comma = std::min(o.Lateral.find(',', start), o.Lateral.size());
            const double x =
                NumberOrRefuse(o.Lateral.substr(start, comma - start), "--lateral", Fail);
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
    try {
        const AttenuationTables attenuation = ReadAttenuationTables(o.Data);
        SynthesizedSpectrum spectrum = SynthesizeSpectrum(c, attenuation, 3.14159);
        if (o.Energy != 0.0) {
            // One bin, and the tube voltage only bounds the bins the run reads.
            spectrum.Spectrum.fill(0.0);
            spectrum.Spectrum[static_cast<std::size_t>(2.0 * o.Energy)] = 1.0;
            c.TubeVoltage = o.Energy;
        }
        const TissueModel tissue(MediumMaterial(o.Material));
        const AxisEstimator estimator(tissue, s.Rows);
        const KermaFactors kerma = KermaFactors::Read(o.Data, o.Material);
        extras.Kerma = &kerma;
        const auto start = std::chrono::steady_clock::now();
        const DirectResult result = RunDirect(tissue, estimator, spectrum.Spectrum, c, s,
                                              o.ImportanceFactor, o.ImportanceSpan, extras);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ReplaceFileOrThrow(o.Out, DirectResultText(result));
        if (!o.FineOut.empty()) {
            ReplaceFileOrThrow(o.FineOut, FineRowsText(result));
        }
        if (!o.LateralOut.empty()) {
            ReplaceFileOrThrow(o.LateralOut, LateralRowsText(result));
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
