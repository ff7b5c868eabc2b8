// The program's own words in English. Each message says what is wrong and,
// where the user can mend it, what to change.
#include "core/ExamMessageTexts.h"
#include "core/StudyMessageTexts.h"

namespace veltrim {

using enum MessageId;

// The examination window's words and the study's refusals, last of all, come
// from ExamMessageTexts.h and StudyMessageTexts.h.
constexpr MessageTexts Texts{{
    {DepthDoseFailed, " 正しく計算できませんでした。"},
    {DepthDoseNotComputed, "The depth dose could not be computed."},

    {DataFile, "Data file \"{1}\": {2}"},
    {DataFileMissing,
     "does not exist. Reinstall the program or point it to a complete data folder."},
    {DataFileUnopenable, "cannot be opened ({1})."},
    {DataFileNotRegular, "is {1}, not a regular file. Put the data file itself in its place."},
    {DataFileReadError, "could not be read ({1})."},
    {DataFileEndsEarly, "ends after {1} numbers; more were expected."},
    {DataFileNotANumber, "number {1} (\"{2}\") is not a number."},
    {DataFileOutOfRange, "number {1} (\"{2}\") is out of range."},
    {DataFileUtf16, "is UTF-16 text. Save it as plain ASCII text."},
    {DataFileFieldTooLong, "number {1} (\"{2}...\") is far too long to be a number."},
    {TissueRowCountInvalid, "the row count is not a whole number of at least 1."},
    {TissueRowCountTooLarge, "holds {1} rows; at most {2} fit the tissue table."},
    {PrimaryFactorNotPositive,
     "the primary-dose factor of {1} keV is not positive, so it cannot be interpolated."},
    {AttenuationNotLoaded, "The attenuation tables are not loaded, so no calculation is possible."},
    {AttenuationLoadFailed,
     "{1} The attenuation tables could not be loaded; no calculation is possible."},
    {TissueLoadFailed, "{1} The tissue tables could not be loaded; the calculation was stopped."},

    {FileKindFolder, "a folder"},
    {FileKindPipe, "a named pipe"},
    {FileKindDevice, "a device"},
    {FileKindSocket, "a socket"},
    {FileKindDanglingLink, "a symbolic link to nothing"},
    {FileKindLinkLoop, "a loop of symbolic links"},
    {FileKindDescriptorLink, "a link to a file a program has open (/proc/.../fd)"},
    {FileKindForeignLink, "a symbolic link another user left in a shared folder"},
    {FileKindOther, "not a regular file"},

    {NumberTooLarge, "The spectrum cannot be computed: the target angle or a filter thickness is a "
                     "number too large to compute with."},
    {NotANumber, "{1} takes a number, not \"{2}\"."},
    {MisreadField, "{1} \"{2}\" is not wholly a number: {3} was used."},
    {FieldTubeVoltage, "Tube voltage"},
    {FieldTargetAngle, "Target angle"},
    {FieldInherent, "Inherent filtration"},
    {FieldAlFilter, "Al filter"},
    {FieldCuFilter, "Cu filter"},
    {FieldFsd, "FSD"},
    {FieldX, "Field X"},
    {FieldY, "Field Y"},
    {TargetAngleOutOfRange, "The spectrum cannot be computed for a target angle of {1} degrees. "
                            "Enter an angle above 0 and at most 90 degrees."},
    {AnodeAbsorbsBeam,
     "The spectrum cannot be computed: at a target angle of {1} degrees the anode absorbs every "
     "photon. Enter a larger target angle (tubes have about 6 to 20 degrees)."},
    {TubeVoltageOutOfRange,
     "The spectrum cannot be computed: the tube voltage lies outside 30 to 150 kV."},
    {FiltrationInfinite, "The spectrum cannot be computed: the filtration gives an infinite photon "
                         "count (a negative filter thickness?)."},
    {FiltrationAbsorbsBeam,
     "The spectrum cannot be computed: the filtration absorbs the whole beam. Enter thinner "
     "filters."},
    {FsdNegative, "The depth dose cannot be computed for a focus-to-surface distance of {1} cm. "
                  "Enter a distance above 0 cm."},

    {CauseTissueNotLoaded, "The tissue tables are not loaded."},
    {CauseNoLayer, "The depth range {1} cm holds no layer."},
    {CauseVoltageOutOfRange, "The tube voltage {1} kV lies outside 30 to 150 kV."},
    {CauseTissueAboveTable,
     "{1} keV lies at or above the last energy of the tissue table ICRUSoft.dat."},
    {CauseTissueNotPositive, "Row {1} of the tissue table ICRUSoft.dat holds {2}, which cannot be "
                             "interpolated in the logarithm."},
    {CauseTissueSameEnergy,
     "Rows {1} and {2} of the tissue table ICRUSoft.dat share the energy {3} keV."},
    {CauseTissueNotFinite, "The attenuation coefficient of tissue at {1} keV is not finite."},
    {CauseLayerAtFocus, "The layer at {1} cm lies at the focus (FSD {2} cm). Enter a larger FSD."},
    {CausePrimaryNotFinite, "The primary dose at {1} cm is not finite."},
    {CauseFsdZero,
     "The focus-to-surface distance (FSD) is 0 cm. Enter the distance from the focus to the skin, "
     "above 0 cm."},
    {CauseFieldSideZero,
     "One side of the rectangular field is 0 (the other is {1} cm): type 0 as the second side "
     "for a circle, or a positive size."},
    {CauseFieldNotProjected, "The field cannot be projected to {1} cm (FSD {2} cm)."},
    {CauseFieldTooLarge,
     "At {1} cm the field corner lies {2} cm from the axis, beyond the 40 cm the scatter data "
     "cover. At FSD {3} cm the largest field that fits is a square of {4} cm or a circle of {5} "
     "cm."},
    {CauseRingShare, "The share of ring {1} inside the {2} x {3} cm field at {4} cm cannot be "
                     "formed."},
    {CauseNodeScatterNotFinite, "The scatter dose of {1} keV at {2} cm is not finite."},
    {CauseNodeScatterNegative, "The scatter dose of {1} keV at {2} cm is negative."},
    {CauseScatterNotFinite, "The scatter dose at {1} cm is not finite."},
    {CauseFirstLayerZero, "The total dose of the first layer is 0."},
    {CausePddNotFinite, "The percentage depth dose at {1} cm is not finite."},
    {CauseKernelFile, "{1}"},
    {CauseWorkingFile, "{1}"},
    {CauseUnexpected, "{1}"},
    {CauseDivergentFsdBelowSets,
     "The divergent-beam scatter data begin at an FSD of {2} cm and the FSD is {1} cm. Enter an "
     "FSD of at least {2} cm, or turn the divergent-beam scatter off."},

    {ResultsFileNotWritten, "The results file \"{1}\" could not be written: {2}."},
    {ResultsFileNotRegular,
     "The results file \"{1}\" was not written: that name is {2}, not a regular file. Remove it "
     "or choose another name."},
    {ResultsFolderNotWritable,
     "The results file \"{1}\" cannot be written in the folder \"{2}\" ({3}). Make the folder "
     "writable, or start the program in a folder you may write to."},
    {ResultsFileProtected,
     "The results file \"{1}\" is protected and cannot be replaced ({2}). Lift the protection "
     "or remove the file."},
    {ResultsFileEncoding, "The results file cannot be encoded in Shift_JIS: {1}."},

    {SaveFailed,
     "The {1} could not be saved as \"{2}\": {3}. Nothing was written under that name."},
    {SavePddData, "PDD data"},
    {SavePddGraph, "PDD graph"},
    {SaveWorkingFolder, "the working folder"},
    {SaveFolder, "the folder \"{1}\""},
    {SaveInvalidName, "the name holds a character that no file name may hold"},
    {SaveNameTooLong, "the name is too long for a file name"},
    {SaveFolderMissing, "{1} does not exist"},
    {SaveNotAFolder, "a part of {1} is a file, not a folder"},
    {SaveIsAFolder, "a folder of that name is in the way"},
    {SaveNotWritable, "{1} cannot be written to ({2})"},
    {SaveCannotCreateIn, "no file can be created in {1} ({2})"},
    {SaveProtected, "the file of that name is protected and cannot be replaced ({1})"},
    {SaveNotRegular, "that name is {1}, not a regular file; choose another name"},
    {SaveDiskFull, "the disk is full ({1})"},
    {SaveSourceMissing,
     "the working results file {1} is missing; press OK to calculate again, then save"},
    {SaveSourceUnreadable, "the working results file {1} could not be read ({2})"},
    {SaveSourceNotRegular, "the working results file {1} is {2}, not a regular file; remove it and "
                           "press OK to calculate again"},
    {SaveImageNotEncoded, "the image could not be encoded as a bitmap"},
    {SaveOther, "{1}"},
    {SavedCsv, "  Saved  "},
    {SavedBmp, "  Saved  "},
    {SaveEmptyName, "no file name was given"},
    {ExportedTable, "The table was exported as {1} in {2}."},
    {ExportedGraph, "The graph was saved as PNG: {1} in {2}."},
    {ExportTableMenuItem, "Export table as CSV..."},
    {ExportGraphMenuItem, "Save graph as PNG..."},
    {ExportedGraphSvg, "The graph was saved as SVG: {1} in {2}."},
    {ExportGraphSvgMenuItem, "Save graph as SVG..."},
    {BeamFileProblem, "The beam file \"{1}\" was not opened: {2}. Nothing was changed."},
    {BeamFileMissing, "it does not exist"},
    {BeamFileUnreadable, "it could not be read ({1})"},
    {BeamFileNotRegular, "it is {1}, not a regular file"},
    {BeamFileNewer, "it was written by a newer version of Veltrim (format {1}; this version "
                    "reads format {2})"},
    {BeamFileDamaged, "it is damaged or not a beam file ({1})"},
    {BeamTextNotUtf8, "The beam was not saved: the text of {1}, \"{2}\", is not UTF-8 text, "
                      "which a beam file cannot hold as typed. Type it again."},
    {SaveBeamMenuItem, "Save beam..."},
    {OpenBeamMenuItem, "Open beam..."},
    {SaveBeamData, "beam"},
    {BeamSaved, "The beam was saved as {1} in {2}."},
    {ReportMenuItem, "Save report as PDF..."},
    {SaveReportData, "report"},
    {ReportSaved, "The report was saved as PDF: {1} in {2}."},

    {FilterAluminium, "aluminium"},
    {FilterCopper, "copper"},
    {Hvl1OutOfReach,
     "A measured HVL1 of {1} mm Al cannot be reached with added {4}: with the other conditions "
     "as typed the beam has {2} mm Al with none added and {3} mm Al with {5} mm added. Enter an "
     "HVL1 in that range, or change the tube voltage or the inherent filtration."},
    {Hvl1NotMatched,
     "No thickness of added {3} gives a measured HVL1 of {1} mm Al within 0.001 mm (the closest "
     "is {2} mm Al)."},
    {Hvl1NotPositive, "The measured HVL1 \"{1}\" is not a positive number of mm Al."},
    {AirPathInvalid,
     "The air path \"{1}\" is not a distance from 0 to 1000 cm between the focus and the point "
     "of measurement."},
    {BeamQualityMissing, "No beam quality can be given: {1}."},
    {Hvl1MatchedFilter, "Added {2} of {1} mm gives the measured HVL1 of {3} mm Al."},
    {FilterInherent, "inherent filtration"},
    {Hvl1InherentOutOfReach,
     "A measured HVL1 of {1} mm Al cannot be reached by the inherent filtration: with the added "
     "filters as typed the beam has {2} mm Al with none and {3} mm Al with {5} mm Al eq. Check "
     "the tube voltage and the added filters."},
    {ChangedAluminium, "The added aluminium"},
    {ChangedInherent, "The inherent filtration"},
    {Hvl1FilterChanged,
     "{1} changed from {2} mm to {3} mm: the beam then has the measured HVL1 of {4} mm Al."},
    {Hvl1OfferInherent,
     "{1}\n\nMatch the inherent filtration to it instead, with the added filters as typed?"},
    {QualityWindowTitle, "Spectrum and beam quality"},
    {QualityMenuItem, "Spectrum and beam quality..."},
    {DivergentScatterMenuItem, "Divergent-beam scatter"},
    {NextCalculationLine, "Next OK: {1}, {2}"},
    {RecordDuringCalculation, "A calculation is under way, and nothing was saved: save again "
                              "when it has finished."},
    {DoseFiguresStale, "These figures are still those of the last calculation ({1}); {2} "
                       "applies from the next OK."},
    {RecalculateOffer, "The next calculation will use {1}. Calculate again now?"},
    {QualityNoBeam, "No calculation yet: press OK in the main window."},
    {QualityAirTablesMissing, "{1} Without the air tables no beam quality can be given."},
    {QualityEnergyAxis, "Energy (keV)"},
    {QualityFractionAxis, "Photon fraction per 0.5 keV"},
    {QualityFiguresTitle, "Beam quality"},
    {QualityMeanEnergy, "Mean energy"},
    {QualityHvl1, "HVL1"},
    {QualityHvl2, "HVL2"},
    {QualityHomogeneity, "Homogeneity coeff."},
    {QualityEffectiveEnergy, "Effective energy"},
    {QualityEffectiveAbove, "> 150"},
    {QualityAirPath, "Air path (cm)"},
    {QualityMeasuredHvl1, "Measured HVL1 (mm Al)"},
    {QualityFindAluminium, "Find added Al"},
    {QualityFoundBeam, "{1} It is written into the aluminium filter field: press OK in the main "
                       "window to calculate it."},
    {QualityShownBeam, "Last calculation: {1}"},
    {QualityMatchedBeam, "Found beam, not yet calculated: {1}"},
    {QualityCurveList, "Calculations since the last Reset, in drawing order"},
    {QualityBeamConditions, "{1} kV, {2}, filters {3} mm Al eq. + {4} mm Al + {5} mm Cu, "
                            "FSD {6} cm, field {7}"},
    {QualityRectangularField, "{1} x {2} cm"},
    {QualityCircularField, "circle of {1} cm"},
    {QualityConstantPotential, "constant potential"},
    {QualityThreePhase, "3-phase 12 peak"},
    {QualitySinglePhase, "single-phase full-wave"},
    {QualityCurveEntry, "{1}.  {2}:  HVL1 {3} mm Al,  {4}"},
    {QualityCurveNoHvl, "{1}.  {2}:  no HVL1,  {3}"},
    {QualityScatterClassic, "classic scatter"},
    {QualityScatterDivergent, "divergent-beam scatter"},
    {QualitySaveCsvCaption, "Save spectrum in csv format"},
    {QualitySavePngCaption, "Save spectrum picture as png"},
    {QualitySave, "Save"},
    {SaveSpectrumData, "spectrum"},
    {SaveSpectrumPicture, "spectrum picture"},
    {SaveImageNotPng, "the image could not be encoded as PNG"},
    {SavedSpectrumCsv, "  Saved  "},
    {SavedSpectrumPng, "  Saved  "},
    {ThicknessOutOfRange, "The phantom thickness {1} cm cannot be calculated: give a thickness "
                          "from {2} to {3} cm in whole 0.5-cm layers."},
    {ExposureOutOfRange, "The {1} of {2} {4} is outside what can be taken: give a value above 0 "
                         "and at most {3} {4}."},
    {ExposureMakesKermaOutOfRange,
     "The {1} as given makes an incident air kerma of {2} mGy, outside what can be taken (above "
     "0 and at most {3} mGy): check the {1} and the distances."},
    {ExposureAirKerma, "incident air kerma"},
    {ExposureTubeOutput, "tube output"},
    {ExposureMas, "tube current-time product"},
    {ExposureOutputDistance, "distance of the output measurement"},
    {ExposureKap, "kerma-area product"},
    {ExposureEsak, "entrance surface air kerma"},
    {ExposureGivenTwice, "The exposure was given twice, as the {1} and as the {2}: give it one "
                         "way only."},
    {ExposureNeedsMas, "A tube output needs the tube current-time product (mAs) to make an "
                       "exposure: give the mAs too."},
    {DoseDepthOutOfRange, "The depth {1} cm lies outside the phantom: give a depth from 0 to "
                          "{2} cm."},
    {DoseRangeBackwards, "The depth range {1} to {2} cm runs backwards: give the shallower depth "
                         "first."},
    {PointNotFinite, "The point ({1}, {2}, {3}) cm has a coordinate that is not a number: give "
                     "finite x, y and depth."},
    {PointBeyondKernels,
     "The point {1} cm from the axis at a depth of {2} cm would need scatter "
     "from farther than the 100 cm the kernels reach: in its direction points up "
     "to {3} cm from the axis can be computed at that depth."},
    {BeamCarriesNoAirKerma, "The beam carries no air kerma, so no dose per unit air kerma can be "
                            "given."},
    {MediumIcruFourComponent, "ICRU four-component soft tissue"},
    {MediumIcru44, "ICRU-44 soft tissue"},
    {MediumWater, "Water"},
    {MediumPmma, "PMMA"},
    {MediumDataFailed, "The tables of the phantom medium {1} are missing or damaged: {2}"},

    // the absolute-dose window
    {DoseWindowTitle, "Absolute dose"},
    {DoseMenuItem, "Absolute dose..."},
    {DoseExposureTitle, "Exposure"},
    {DoseGivenAirKerma, "Incident air kerma"},
    {DoseGivenTubeOutput, "Tube output"},
    {DoseGivenKap, "Kerma-area product"},
    {DoseGivenEsak, "Entrance surface kerma"},
    {DoseMeasuredAt, "measured at"},
    {DoseMeasuredMgy, "mGy (measured)"},
    {DoseApply, "Apply"},
    {DoseResultsTitle, "Dose"},
    {DoseIncidentAirKerma, "Incident air kerma Ka,i"},
    {DoseBackscatter, "Backscatter factor B"},
    {DoseEntranceKerma, "Entrance surface air kerma Ka,e"},
    {DoseSurface, "Surface dose"},
    {DoseMedium, "Medium: {1}"},
    {DoseMediumChoiceTip, "Phantom material of the following calculations"},
    {DoseThickness, "Thickness"},
    {DoseThicknessTip, "Patient thickness of the following calculations, 10 to 60 cm; empty for a "
                       "semi-infinite phantom"},
    {DoseSemiInfinite, "semi-infinite"},
    {DoseThicknessShown, "{1} cm thick"},
    {DoseExitLine, "Exit at {1} cm: last layer {2} mGy, exit surface {3} mGy"},
    {DoseModel, "Scatter model: {1}"},
    {DoseAtDepthCaption, "Dose at depth"},
    {DoseFrom, "from"},
    {DoseTo, "to"},
    {DoseAtDepthButton, "Dose"},
    {DoseOverRange, "least {1}, most {2}"},
    {DoseTableCaption, "Dose (mGy) of the last calculation; the row at the depth cursor is marked"},
    {DoseDepthColumn, "Depth (cm)"},
    {DosePrimaryColumn, "Primary"},
    {DoseScatterColumn, "Scatter"},
    {DoseTotalColumn, "Total"},
    {DoseSaveCsvCaption, "Save dose table in csv format"},
    {DoseConditions, "Conditions: {1}"},
    {DoseExposureLine, "Exposure: {1}"},
    {DoseTubeOutputGiven, "{1} uGy/mAs x {2} mAs at {3} cm"},
    {SaveDoseData, "dose table"},
    {SavedDoseCsv, "  Saved  "},

    // the dose-map window
    {MapWindowTitle, "Dose map"},
    {MapMenuItem, "Dose map..."},
    {MapPlaneXz, "x-z plane"},
    {MapPlaneYz, "y-z plane"},
    {MapCaption,
     "Dose in % of the axis's first layer; isodose lines 100 to 0.1 %; dashed: the field's edges"},
    {MapProfileCaption, "Profile at depth"},
    {MapPointCaption, "Dose at x, y, depth"},
    {MapPointUnit, "x, y, depth (cm)"},
    {MapShowButton, "Show"},
    {MapPointer, "x {1} cm, depth {2} cm: {3}"},
    {MapOutOfReach, "beyond the kernels' reach"},
    {MapSaveCaption, "Save map as csv and png"},
    {SaveMapData, "dose map"},
    {SaveMapPicture, "dose map picture"},
    {SavedMapCsv, "  Saved  "},
    {SavedMapPng, "  Saved  "},

    // the examination window
}};

constexpr MessageTexts EnglishTexts =
    WithTexts(WithTexts(Texts, ExamTextsEnglish), StudyTextsEnglish);

} // namespace veltrim
