#pragma once

// What the spectrum window shows of a calculation: the beam's conditions as
// the user typed them, its spectrum and its quality; and the beam it finds
// for a measured HVL1.

#include "core/Conditions.h"
#include "core/Grids.h"
#include "core/Messages.h"
#include "dose/FocusKernels.h"
#include "dose/Medium.h"
#include "engine/ModelData.h"
#include "spectrum/AttenuationTables.h"
#include "spectrum/BeamQuality.h"
#include "spectrum/HvlMatching.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace veltrim {

// The air tables of the beam quality, or why they could not be read.
struct AirData {
    const AirTables* Tables = nullptr; // held by Data
    Message Problem;                   // the data-file message when Tables is null
    std::shared_ptr<const ModelData> Data;
};
// The air tables of the model's data (AirKerma.dat and AirAttenuation.dat,
// read at their first need); never throws.
AirData AirDataOf(std::shared_ptr<const ModelData> data);

// A measured HVL1 (mm Al) and the filter found for it, as the beam was
// calculated with it.
struct MeasuredMatch {
    double MeasuredHvl1MmAl = 0.0;
    MatchFilter Filter = MatchFilter::Aluminium;
    std::string FoundMm; // as put into the filter's field
};

struct CalculatedBeam {
    // The texts as typed (the voltage as clamped into Text1): the state's
    // own conditions are in cm and would not read as the user typed them.
    ConditionTexts Typed;
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
    EnergyTable Spectrum{};
    // At the end of no air, as the figures of a calculation are given; empty
    // when the air tables are missing or the beam has no figures.
    std::optional<BeamQuality> Quality;
    ScatterModel Model = ScatterModel::Classic; // of its depth dose
    Medium PhantomMedium = Medium::IcruFourComponent;
    std::optional<double> ThicknessCm; // none: the thick phantom
    // When the beam is the one found for a measured HVL1.
    std::optional<MeasuredMatch> Matched;
};

// The beam of a finished calculation: its quality assessed with the air
// tables when there are any.
CalculatedBeam RecordBeam(const ConditionTexts& typed, RectificationMethod rectification,
                          const EnergyTable& spectrum, const EnergyTable& muAluminium,
                          const AirData& air, ScatterModel model = ScatterModel::Classic,
                          Medium medium = Medium::IcruFourComponent,
                          std::optional<double> thicknessCm = std::nullopt);

// A measured HVL1 matched: the added filter and the spectrum of the beam it gives.
struct FoundFilter {
    Hvl1Match Match;
    EnergyTable Spectrum{};
};

// The thickness of added filter, in place of the typed one, that gives the
// typed beam the measured HVL1 (mm Al) at the end of airCm of air, with the
// spectrum of that beam. Throws CalculationError when the typed beam cannot
// be formed or the measured value is out of the filter's reach.
FoundFilter FindFilterForHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                              MatchFilter filter, double airCm,
                              const AttenuationTables& attenuation, const AirTables& air);

// The conditions on one line, in the edition's language: voltage,
// waveform, the three filters, FSD and field.
std::string DescribeBeam(const CalculatedBeam& beam, Language language);

// The medium, with the thickness of a finite phantom, as the window's lines
// name it: "Water, 20 cm thick".
std::string PhantomText(Medium medium, std::optional<double> thicknessCm, Language language);

// One entry of the list of drawn curves: its number (1 first), conditions,
// HVL1 and scatter model, and the medium when it is not the four-component
// tissue, and the thickness of a finite phantom.
std::string CurveEntry(int number, const CalculatedBeam& beam, Language language);

} // namespace veltrim
