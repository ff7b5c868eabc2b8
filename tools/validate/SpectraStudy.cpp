// The program's spectra and their beam qualities against measured beams
// (PTB), a realisation with its SpekCalc model (ENEA-INMRI) and two models.
#include "tools/validate/References.h"
#include "tools/validate/Studies.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace veltrim::validate {
namespace {

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

} // namespace

const char* RectificationName(int r) {
    return WaveformNamesOf(static_cast<RectificationMethod>(r)).Record;
}

BeamQuality QualityOf(const Engine& calc, const EnergyTable& spectrum) {
    const auto q = ComputeBeamQuality(spectrum, calc.Attenuation().MuAluminium, calc.AirMuEn());
    if (!q)
        throw std::runtime_error("beam quality cannot be computed");
    return *q;
}

SpectraStudy StudySpectra(const Engine& calc) {
    SpectraStudy out;
    std::string& plot = out.SpectrumPlot;
    plot = "set multiplot layout 1,3\nset grid\nset xlabel 'photon energy (keV)'\n"
           "set ylabel 'fraction of photons per 0.5 keV'\nset key top right\n";
    for (int kv : {50, 80, 120}) {
        plot += "set title '" + std::to_string(kv) + " kV'\nplot ";
        for (int rect = 1; rect <= 3; ++rect) {
            IrradiationConditions beam = ReferenceBeam();
            beam.TubeVoltage = kv;
            beam.Rectification = static_cast<RectificationMethod>(rect);
            const EnergyTable spectrum = calc.Spectrum(beam);
            std::ostringstream data;
            for (int i = 2; i <= 2 * kv; ++i)
                data << 0.5 * i << ' ' << spectrum[i] << '\n';
            const std::string name =
                "spectrum-" + std::to_string(kv) + "kV-" + std::to_string(rect) + ".dat";
            out.SpectrumFiles.push_back({name, data.str()});
            plot += std::string(rect > 1 ? ", " : "") + "'" + name +
                    "' using 1:2 with lines lw 1.5 title '" + RectificationName(rect) + "'";
            out.Shapes.push_back({kv, rect, QualityOf(calc, spectrum)});
        }
        plot += "\n";
    }
    plot += "unset multiplot\n";

    // PTB: measured, 20 degrees, 2.5 mm Al, 1 mm Be (7 mm at 150 kV), 950 mm air.
    for (const auto& ref : refs::Ptb) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 20;
        const EnergyTable spectrum = calc.Spectrum(beam);
        const BeamQuality bare = QualityOf(calc, spectrum);
        const BeamQuality air =
            QualityOf(calc, ThroughAirAndWindow(spectrum, 95.0, ref.Kv == 150 ? 7.0 : 1.0));
        out.WorstPtbHvl1 = std::max(out.WorstPtbHvl1, std::fabs(air.Hvl1MmAl / ref.Hvl1 - 1));
        out.WorstPtbHvl2 = std::max(out.WorstPtbHvl2, std::fabs(air.Hvl2MmAl / ref.Hvl2 - 1));
        out.LargestAirShift = std::max(out.LargestAirShift, air.Hvl1MmAl - bare.Hvl1MmAl);
        if (ref.Kv == 40)
            out.PtbHvl1At40 = 100 * (air.Hvl1MmAl / ref.Hvl1 - 1);
        if (ref.Kv == 150)
            out.PtbHvl1At150 = 100 * (air.Hvl1MmAl / ref.Hvl1 - 1);
        out.Ptb.push_back({ref, bare, air});
    }

    // ENEA-INMRI and SpekCalc: 30 degrees, total Al, 1000 mm air.
    for (const auto& ref : refs::Enea) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.TargetAngle = 30;
        beam.InherentFiltration = Mm(ref.TotalAlMm);
        const BeamQuality q = QualityOf(calc, ThroughAirAndWindow(calc.Spectrum(beam), 100.0, 0.0));
        out.WorstEnea = std::max(out.WorstEnea, std::fabs(q.Hvl1MmAl / ref.ReferenceHvl1 - 1));
        out.WorstMeanEnergy =
            std::max(out.WorstMeanEnergy, std::fabs(q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1));
        if (ref.Kv == 40)
            out.MeanEnergyAt40 = 100 * (q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1);
        if (ref.Kv == 150)
            out.MeanEnergyAt150 = 100 * (q.MeanEnergyKeV / ref.SpekCalcMeanKeV - 1);
        out.Enea.push_back({ref, q});
    }

    // Spectrum models: 12 degrees, 1.2 mm Al and 1000 mm air; 2.5 mm Al, no air.
    for (const auto& ref : refs::HernandezFernandez) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        beam.InherentFiltration = Mm(1.2);
        out.HernandezFernandez.push_back(
            {ref.Kv, ref.Hvl1,
             QualityOf(calc, ThroughAirAndWindow(calc.Spectrum(beam), 100.0, 0.0))});
    }
    for (const auto& ref : refs::Backscatter25Al) {
        IrradiationConditions beam = ReferenceBeam();
        beam.TubeVoltage = ref.Kv;
        out.Benmakhlouf.push_back({ref.Kv, ref.Hvl1, QualityOf(calc, calc.Spectrum(beam))});
    }

    // How much the geometry terms move the result.
    IrradiationConditions b80 = ReferenceBeam();
    out.At12 = QualityOf(calc, calc.Spectrum(b80));
    out.At12Air = QualityOf(calc, ThroughAirAndWindow(calc.Spectrum(b80), 100.0, 0.0));
    out.At12Be = QualityOf(calc, ThroughAirAndWindow(calc.Spectrum(b80), 0.0, 1.0));
    b80.TargetAngle = 20;
    out.At20 = QualityOf(calc, calc.Spectrum(b80));
    return out;
}

} // namespace veltrim::validate
