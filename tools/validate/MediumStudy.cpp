// The medium of the absolute dose: the phantom's ICRU four-component tissue
// against water and ICRU-44 tissue, in the energy absorption per unit air
// kerma and, through an estimate of the scattering, in the backscatter factor
// against published water values.
#include "engine/CalculateBeam.h"
#include "tools/datagen/EnergyAbsorption.h"
#include "tools/validate/AbsoluteStudies.h"
#include "tools/validate/Engine.h"
#include "tools/validate/References.h"
#include "tools/validate/Report.h"
#include "tools/validate/Studies.h"
#include "tools/xrl/XrayLib.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace veltrim::validate {
namespace {

// The energy absorption of water and ICRU-44 tissue on the program's grid,
// made as the tissue's table was (tools/datagen): computed from xraylib's
// cross sections and tied to NIST's coefficients of the medium, whose rows
// are too far apart to interpolate.
struct Media {
    EnergyTable Water{}, Icru44{}; // mu_en/rho, cm2/g, bins 21..300
    xrl::Material WaterMaterial, TissueMaterial;
};

double Tg61At(double hvl1) {
    const auto& t = refs::Tg61WaterAir;
    for (std::size_t k = 1; k < t.size(); ++k)
        if (hvl1 <= t[k].Hvl1) {
            const double f = (hvl1 - t[k - 1].Hvl1) / (t[k].Hvl1 - t[k - 1].Hvl1);
            return t[k - 1].Ratio + f * (t[k].Ratio - t[k - 1].Ratio);
        }
    return t.back().Ratio;
}

// Energy absorbed per unit air kerma free in air: sum phi E (mu_en/rho)_medium
// over sum phi E (mu_en/rho)_air, the tissue's from Primary.dat (E mu_en/rho).
MediumStudy::Ratio RatiosOf(const Engine& calc, const Media& media, const EnergyTable& phi,
                            const std::string& name, double hvl1) {
    double air = 0, tissue = 0, water = 0, icru44 = 0;
    for (int i = 21; i <= 300; ++i) {
        const double E = i / 2.0;
        air += phi[i] * E * calc.AirMuEn()[i];
        tissue += phi[i] * calc.Tissue().PrimaryDose[i];
        water += phi[i] * E * media.Water[i];
        icru44 += phi[i] * E * media.Icru44[i];
    }
    return {name, hvl1, tissue / air, icru44 / air, water / air, Tg61At(hvl1)};
}

// The single-scatter albedo, scattering over all interactions, weighted as
// the air kerma of the beam.
double Albedo(const Engine& calc, const xrl::Material& m, const EnergyTable& phi) {
    double sum = 0, weights = 0;
    for (int i = 21; i <= 300; ++i) {
        const double E = i / 2.0;
        const double w = phi[i] * E * calc.AirMuEn()[i];
        const double scatter = xrl::CS_Compt(m, E) + xrl::CS_Rayl(m, E);
        sum += w * scatter / (scatter + xrl::CS_Photo(m, E));
        weights += w;
    }
    return sum / weights;
}

// The backscatter of a water phantom, in water kerma, from that of the tissue
// phantom in tissue kerma (the two media's mu_en/rho keep nearly the same
// ratio over the primary and the backscattered energies): in
// depths counted in mean free paths the scatter back to the surface depends
// on the albedo, each order of scattering by one factor of it. B - 1 moves by
// n times the albedo's change, n the mean order: 1 for single scattering, about
// 2 with the multiple scattering of these energies. The estimate takes 1.5 and
// half the range as its uncertainty.
constexpr double MeanOrder = 1.5, OrderSpread = 0.5;

void CompareBackscatter(const Engine& calc, const Media& media, MediumStudy& out) {
    double sum = 0;
    for (const auto& ref : refs::Backscatter25Al) {
        IrradiationConditions typed = ReferenceBeam();
        typed.TubeVoltage = ref.Kv;
        const Hvl1Match match =
            MatchBeamHvl1(typed, ref.Hvl1, MatchFilter::Aluminium, 0.0, calc.Data());
        const EnergyTable phi = calc.Spectrum(match.Conditions);
        out.Ratios.push_back(RatiosOf(calc, media, phi, Fixed(ref.Kv, 0) + " kV, HVL1 matched",
                                      match.Quality.Hvl1MmAl));
        const double change =
            Albedo(calc, media.WaterMaterial, phi) / Albedo(calc, media.TissueMaterial, phi) - 1;
        for (std::size_t f = 1; f < refs::BackscatterFieldSides.size(); ++f) {
            IrradiationConditions beam = match.Conditions;
            beam.FieldX = beam.FieldY = refs::BackscatterFieldSides[f];
            const DosePerAirKerma d = calc.Absolute(beam, ScatterModel::Classic).PerKerma;
            MediumStudy::Backscatter r;
            r.Kv = ref.Kv;
            r.Hvl1 = ref.Hvl1;
            r.AddedAlMm = match.AddedMm;
            r.Side = beam.FieldX;
            r.Published = ref.B[f];
            r.Air = d.Backscatter;
            r.Tissue = 1 + d.SurfaceScatter / d.SurfacePrimary;
            r.AlbedoChange = change;
            r.InWater = 1 + (r.Tissue - 1) * (1 + MeanOrder * change);
            r.ConversionSpread = (r.Tissue - 1) * OrderSpread * std::fabs(change);
            // The published B is of water kerma: the surface scatter over the
            // primary, both weighted by water's mu_en/rho.
            const DosePerAirKerma w =
                calc.Absolute(beam, ScatterModel::Classic, Medium::Water).PerKerma;
            r.OwnWater = 1 + w.SurfaceScatter / w.SurfacePrimary;
            const double own = 100 * (r.OwnWater / r.Published - 1);
            out.OwnWaterLow = std::min(out.OwnWaterLow, own);
            out.OwnWaterHigh = std::max(out.OwnWaterHigh, own);
            out.WorstOwnWater = std::max(out.WorstOwnWater, std::fabs(own) / 100);
            const double conversion = 100 * (r.InWater / r.Tissue - 1);
            out.ConversionLow = std::min(out.ConversionLow, conversion);
            out.ConversionHigh = std::max(out.ConversionHigh, conversion);
            out.SpreadHigh = std::max(out.SpreadHigh, 100 * r.ConversionSpread / r.Air);
            const double kerma = 100 * (r.Tissue / r.Air - 1);
            out.KermaLow = std::min(out.KermaLow, kerma);
            out.KermaHigh = std::max(out.KermaHigh, kerma);
            out.WorstDifference =
                std::max(out.WorstDifference, std::fabs(r.InWater / r.Published - 1));
            out.WorstDifferenceRaw =
                std::max(out.WorstDifferenceRaw, std::fabs(r.Air / r.Published - 1));
            sum += 100 * (r.InWater / r.Published - 1);
            out.Rows.push_back(r);
        }
    }
    out.MeanDifference = sum / static_cast<double>(out.Rows.size());
}

} // namespace

MediumStudy StudyMedium(const Engine& calc) {
    const std::filesystem::path nist = calc.DataFolder() / ".." / "tools" / "datagen" / "nist";
    Media media{{}, {}, xrl::NistCompound("Water, Liquid"), xrl::IcruSoftTissue()};
    const datagen::NistTiedMuEn water(media.WaterMaterial,
                                      datagen::ReadNistTable(nist / "nist-water.csv"));
    const datagen::NistTiedMuEn icru44(xrl::IcruSoftTissue44(),
                                       datagen::ReadNistTable(nist / "nist-tissue-icru44.csv"));
    for (int i = 21; i <= 300; ++i) {
        media.Water[i] = water(i / 2.0);
        media.Icru44[i] = icru44(i / 2.0);
    }
    MediumStudy out;
    CompareBackscatter(calc, media, out);
    for (const DirectBeam& b : DirectBeams) {
        const EnergyTable phi = calc.Spectrum(ConditionsOf(b));
        out.Ratios.push_back(RatiosOf(calc, media, phi, b.Name, QualityOf(calc, phi).Hvl1MmAl));
    }
    for (const auto& r : out.Ratios) {
        out.BelowWaterLow = std::min(out.BelowWaterLow, 100 * (1 - r.Icru4 / r.Water));
        out.BelowWaterHigh = std::max(out.BelowWaterHigh, 100 * (1 - r.Icru4 / r.Water));
        out.BelowIcru44Low = std::min(out.BelowIcru44Low, 100 * (1 - r.Icru4 / r.Icru44));
        out.BelowIcru44High = std::max(out.BelowIcru44High, 100 * (1 - r.Icru4 / r.Icru44));
        out.WorstTg61 = std::max(out.WorstTg61, std::fabs(r.Water / r.Tg61 - 1));
    }
    return out;
}

} // namespace veltrim::validate
