#pragma once

// The controls the code speaks of, by what they are, one table per window.
// The strings are the names the windows were designed with; the layout
// tables give them to their rows, and BuildWindow to the controls it makes.
// Only this file knows that "Command3" is OK in the main window and Exit in
// the start window.

#include <string_view>

namespace veltrim {

// A control's design name. A type of its own, so that a control is found by
// a name of these tables and never by a string typed somewhere else.
struct ControlName {
    const char* Design;
    constexpr operator std::string_view() const { return Design; }
};

// The start window (Form2).
namespace startcontrols {
inline constexpr ControlName English{"Command1"};
inline constexpr ControlName Japanese{"Command2"};
inline constexpr ControlName Exit{"Command3"};
// The red title and, behind it, its yellow shadow.
inline constexpr ControlName Title{"Label2"};
inline constexpr ControlName TitleShadow{"Label1"};
} // namespace startcontrols

// The main window, the same names in both editions.
namespace maincontrols {
inline constexpr ControlName Graph{"Picture1"};

inline constexpr ControlName TubeVoltage{"Text1"};
inline constexpr ControlName TargetAngle{"Text5"};
inline constexpr ControlName InherentFiltration{"Text8"};
inline constexpr ControlName AlFilter{"Text3"};
inline constexpr ControlName CuFilter{"Text4"};
inline constexpr ControlName Fsd{"Text9"};
inline constexpr ControlName FieldX{"Text10"};
inline constexpr ControlName FieldY{"Text11"};
// In the order of ConditionTexts, which is the window's from the top down.
inline constexpr ControlName ConditionFields[] = {
    TubeVoltage, TargetAngle, InherentFiltration, AlFilter, CuFilter, Fsd, FieldX, FieldY};

inline constexpr ControlName RectificationFrame{"Frame2"};
inline constexpr ControlName ConstantPotential{"Option7"};
inline constexpr ControlName ThreePhase12Peak{"Option8"};
inline constexpr ControlName SinglePhaseFullWave{"Option9"};
// In the order of RectificationMethod, 1 first.
inline constexpr ControlName RectificationOptions[] = {ConstantPotential, ThreePhase12Peak,
                                                       SinglePhaseFullWave};

inline constexpr ControlName Ok{"Command3"};
// The "Phantom material" caption's box, which names the medium in use.
inline constexpr ControlName PhantomMaterial{"Label24"};
inline constexpr ControlName Reset{"Command6"};
inline constexpr ControlName Exit{"Command1"};

// The depth cursor's readouts: the slab's shallow and deep depth, cm, and
// the total, primary and scatter PDD there.
inline constexpr ControlName ShallowDepth{"Text12"};
inline constexpr ControlName DeepDepth{"Text6"};
inline constexpr ControlName TotalReadout{"Text7"};
inline constexpr ControlName PrimaryReadout{"Text13"};
inline constexpr ControlName ScatterReadout{"Text14"};
inline constexpr ControlName Readouts[] = {ShallowDepth, DeepDepth, TotalReadout, PrimaryReadout,
                                           ScatterReadout};

// Made by the window, not by its table: what the next OK uses beyond the
// typed conditions (the scatter model, the medium).
inline constexpr ControlName NextCalculation{"NextCalculation"};

// The two saves: the PDD table as CSV, the graph as a bitmap.
inline constexpr ControlName NumbersFileName{"Text2"};
inline constexpr ControlName SaveNumbers{"Command2"};
inline constexpr ControlName PictureFileName{"Text15"};
inline constexpr ControlName SavePicture{"Command4"};
} // namespace maincontrols

// What the three windows beside the main window have alike: the line that
// names the beam shown, in the table, and the message line, made by the
// window. Their design gave their controls these names itself.
namespace sidecontrols {
inline constexpr ControlName ShownBeam{"ShownBeam"};
inline constexpr ControlName MessageLine{"Message"};
} // namespace sidecontrols

// The spectrum and beam-quality window.
namespace qualitycontrols {
using sidecontrols::MessageLine;
using sidecontrols::ShownBeam;
// Made by the window, not by its table.
inline constexpr ControlName Picture{"SpectrumPicture"};
inline constexpr ControlName CurveList{"CurveList"};

inline constexpr ControlName MeanEnergy{"MeanEnergy"};
inline constexpr ControlName Hvl1{"Hvl1"};
inline constexpr ControlName Hvl2{"Hvl2"};
inline constexpr ControlName Homogeneity{"Homogeneity"};
inline constexpr ControlName EffectiveEnergy{"EffectiveEnergy"};
// The figure boxes from the top of the panel down.
inline constexpr ControlName Figures[] = {MeanEnergy, Hvl1, Hvl2, Homogeneity, EffectiveEnergy};

inline constexpr ControlName AirPath{"AirPath"};
inline constexpr ControlName MeasuredHvl1{"MeasuredHvl1"};
inline constexpr ControlName FindAluminium{"FindAluminium"};
inline constexpr ControlName CsvFileName{"SpectrumCsvName"};
inline constexpr ControlName SaveCsv{"SaveSpectrumCsv"};
inline constexpr ControlName PngFileName{"SpectrumPngName"};
inline constexpr ControlName SavePng{"SaveSpectrumPng"};
} // namespace qualitycontrols

// The absolute-dose window.
namespace dosecontrols {
using sidecontrols::MessageLine;
using sidecontrols::ShownBeam;
// Made by the window, not by its table.
inline constexpr ControlName KapUnit{"KapUnit"};
inline constexpr ControlName ExitFigures{"ExitDose"};
inline constexpr ControlName MediumChoice{"MediumChoice"};
inline constexpr ControlName Table{"DoseTable"};

inline constexpr ControlName ExposureFrame{"ExposureFrame"};
inline constexpr ControlName GivenAirKerma{"GivenAirKerma"};
inline constexpr ControlName GivenTubeOutput{"GivenTubeOutput"};
inline constexpr ControlName GivenKap{"GivenKap"};
inline constexpr ControlName GivenEsak{"GivenEsak"};
// In the order of ExposureKind.
inline constexpr ControlName ExposureWays[] = {GivenAirKerma, GivenTubeOutput, GivenKap, GivenEsak};
inline constexpr ControlName AirKerma{"AirKerma"};
inline constexpr ControlName TubeOutput{"TubeOutput"};
inline constexpr ControlName Mas{"Mas"};
inline constexpr ControlName OutputDistance{"OutputDistance"};
inline constexpr ControlName Kap{"Kap"};
inline constexpr ControlName Esak{"Esak"};
inline constexpr ControlName Apply{"ApplyExposure"};

inline constexpr ControlName IncidentAirKerma{"IncidentAirKerma"};
inline constexpr ControlName Backscatter{"Backscatter"};
inline constexpr ControlName EntranceKerma{"EntranceKerma"};
inline constexpr ControlName SurfaceDose{"SurfaceDose"};
// The result boxes from the top of the panel down.
inline constexpr ControlName Results[] = {IncidentAirKerma, Backscatter, EntranceKerma,
                                          SurfaceDose};
inline constexpr ControlName Medium{"Medium"};
inline constexpr ControlName Model{"ScatterModel"};
inline constexpr ControlName Thickness{"PatientThickness"};

inline constexpr ControlName DepthFrom{"DepthFrom"};
inline constexpr ControlName DepthTo{"DepthTo"};
inline constexpr ControlName FindDose{"FindDose"};
inline constexpr ControlName DoseAtDepth{"DoseAtDepth"};
inline constexpr ControlName CsvFileName{"DoseCsvName"};
inline constexpr ControlName SaveCsv{"SaveDoseCsv"};
} // namespace dosecontrols

// The dose-map window.
namespace mapcontrols {
using sidecontrols::MessageLine;
using sidecontrols::ShownBeam;
// Made by the window, not by its table.
inline constexpr ControlName Plane{"MapPlane"};
inline constexpr ControlName Map{"DoseMap"};
inline constexpr ControlName Profile{"DoseProfile"};

inline constexpr ControlName ProfileDepth{"ProfileDepth"};
inline constexpr ControlName ShowProfile{"ShowProfile"};
inline constexpr ControlName PointX{"PointX"};
inline constexpr ControlName PointY{"PointY"};
inline constexpr ControlName PointDepth{"PointDepth"};
inline constexpr ControlName ShowPoint{"ShowPointDose"};
inline constexpr ControlName PointDose{"PointDose"};
inline constexpr ControlName FileName{"MapFileName"};
inline constexpr ControlName SaveCsv{"SaveMapCsv"};
inline constexpr ControlName SavePng{"SaveMapPng"};
inline constexpr ControlName Pointer{"PointerDose"};
} // namespace mapcontrols

// The examination window.
namespace examcontrols {
using sidecontrols::MessageLine;
// Made by the window, not by its table.
inline constexpr ControlName Medium{"ExamMedium"};
inline constexpr ControlName Exposures{"ExamExposures"};
inline constexpr ControlName Entry{"ExamEntry"};
inline constexpr ControlName Points{"ExamPoints"};
inline constexpr ControlName Totals{"ExamTotals"};

inline constexpr ControlName ApThickness{"ApThickness"};
inline constexpr ControlName LateralWidth{"LateralWidth"};
inline constexpr ControlName AddBeam{"AddBeam"};
inline constexpr ControlName Duplicate{"DuplicateExposure"};
inline constexpr ControlName Remove{"RemoveExposure"};
inline constexpr ControlName Fsd{"ExposureFsd"};
inline constexpr ControlName FieldX{"ExposureFieldX"};
inline constexpr ControlName FieldY{"ExposureFieldY"};
inline constexpr ControlName CentreLeft{"ExposureCentreLeft"};
inline constexpr ControlName CentreHead{"ExposureCentreHead"};
inline constexpr ControlName Exposure{"ExposureValue"};
inline constexpr ControlName ExposureUnit{"ExposureUnit"};
inline constexpr ControlName Repeats{"ExposureRepeats"};
inline constexpr ControlName Table{"TableTransmission"};
inline constexpr ControlName Apply{"ApplyToExposure"};
inline constexpr ControlName AddPoint{"AddPoint"};
inline constexpr ControlName RemovePoint{"RemovePoint"};
inline constexpr ControlName Physicist{"Physicist"};
inline constexpr ControlName Compute{"ComputeStudy"};
inline constexpr ControlName Open{"OpenStudy"};
inline constexpr ControlName Save{"SaveStudy"};
inline constexpr ControlName Report{"ReportStudy"};
inline constexpr ControlName ImportRecord{"ImportDoseRecord"};
} // namespace examcontrols

} // namespace veltrim
