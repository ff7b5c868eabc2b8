#pragma once

namespace veltrim {

// Every text the program tells the user in its own words, by what it says.
// Each has an English and a Japanese wording (MessageTextsEnglish.cpp,
// MessageTextsJapanese.cpp); {1}, {2}, ... stand for the values a message
// names (a file, a depth, the system's reason).
enum class MessageId {
    // the depth-dose failure: the fixed first line of both editions
    DepthDoseFailed,
    // the first line of a failure of the depth dose's own extensions
    DepthDoseNotComputed,

    // attenuation, tissue and kernel data files
    DataFile,                 // {1} file, {2} what is wrong with it
    DataFileMissing,          // the file does not exist
    DataFileUnopenable,       // {1} the system's reason
    DataFileNotRegular,       // {1} what it is (FileKind...)
    DataFileReadError,        // {1} the system's reason
    DataFileEndsEarly,        // {1} how many numbers were read
    DataFileNotANumber,       // {1} position, {2} the field as printable text
    DataFileOutOfRange,       // {1} position, {2} the field
    DataFileUtf16,            // the file is UTF-16 text
    DataFileFieldTooLong,     // {1} position, {2} the field's beginning
    TissueRowCountInvalid,    // the row count of ICRUSoft.dat
    TissueRowCountTooLarge,   // {1} rows in the file, {2} rows that fit
    PrimaryFactorNotPositive, // {1} keV
    AttenuationNotLoaded,
    AttenuationLoadFailed, // {1} the data-file message
    TissueLoadFailed,      // {1} the data-file message

    // what a file system object is, when it is not a regular file
    FileKindFolder,
    FileKindPipe,
    FileKindDevice,
    FileKindSocket,
    FileKindDanglingLink,
    FileKindLinkLoop,
    FileKindDescriptorLink, // a link in /proc to a file some process has open
    FileKindForeignLink,    // a link another user left in a sticky shared folder
    FileKindOther,

    // conditions and the spectrum
    NumberTooLarge,
    NotANumber,       // {1} the field, {2} the text as typed
    MisreadField,     // {1} the field, {2} the text as typed, {3} the number used
    FieldTubeVoltage, // the main window's fields, as MisreadField names them
    FieldTargetAngle,
    FieldInherent,
    FieldAlFilter,
    FieldCuFilter,
    FieldFsd,
    FieldX,
    FieldY,
    TargetAngleOutOfRange, // {1} degrees
    AnodeAbsorbsBeam,      // {1} degrees
    TubeVoltageOutOfRange,
    FiltrationInfinite,
    FiltrationAbsorbsBeam,
    FsdNegative, // {1} cm

    // the cause of a depth-dose failure (second line of the message)
    CauseTissueNotLoaded,
    CauseNoLayer,           // {1} cm
    CauseVoltageOutOfRange, // {1} kV
    CauseTissueAboveTable,  // {1} keV
    CauseTissueNotPositive, // {1} row, {2} value
    CauseTissueSameEnergy,  // {1} row, {2} row, {3} keV
    CauseTissueNotFinite,   // {1} keV
    CauseLayerAtFocus,      // {1} cm, {2} cm
    CausePrimaryNotFinite,  // {1} cm
    CauseFsdZero,
    CauseFieldSideZero,     // {1} cm (the other side)
    CauseFieldNotProjected, // {1} cm, {2} cm
    CauseFieldTooLarge, // {1} depth, {2} corner distance, {3} fsd, {4} square side, {5} diameter
    CauseRingShare,     // {1} ring, {2} x {3} field, {4} depth
    CauseNodeScatterNotFinite, // {1} keV, {2} cm
    CauseNodeScatterNegative,  // {1} keV, {2} cm
    CauseScatterNotFinite,     // {1} cm
    CauseFirstLayerZero,
    CausePddNotFinite,          // {1} cm
    CauseKernelFile,            // {1} the data-file message
    CauseWorkingFile,           // {1} the results-file message
    CauseUnexpected,            // {1} what the library said
    CauseDivergentFsdBelowSets, // {1} fsd, {2} the smallest FSD of the point-focus sets

    // the results file
    ResultsFileNotWritten,    // {1} file, {2} reason
    ResultsFileNotRegular,    // {1} file, {2} what it is
    ResultsFolderNotWritable, // {1} file, {2} folder, {3} reason
    ResultsFileProtected,     // {1} file, {2} reason
    ResultsFileEncoding,      // {1} the converter's reason

    // saving
    SaveFailed,        // {1} contents, {2} name, {3} reason
    SavePddData,       // the contents of a CSV
    SavePddGraph,      // the contents of a BMP
    SaveWorkingFolder, // "the working folder"
    SaveFolder,        // {1} folder
    SaveInvalidName,
    SaveNameTooLong,
    SaveFolderMissing, // {1} folder phrase
    SaveNotAFolder,    // {1} folder phrase
    SaveIsAFolder,
    SaveNotWritable,      // {1} folder phrase, {2} reason
    SaveCannotCreateIn,   // {1} folder phrase, {2} reason
    SaveProtected,        // {1} reason
    SaveNotRegular,       // {1} what it is
    SaveDiskFull,         // {1} reason
    SaveSourceMissing,    // {1} working file
    SaveSourceUnreadable, // {1} working file, {2} reason
    SaveSourceNotRegular, // {1} working file, {2} what it is
    SaveImageNotEncoded,
    SaveOther, // {1} reason
    SavedCsv,
    SavedBmp,
    SaveEmptyName,
    ExportedTable,
    ExportedGraph,
    ExportTableMenuItem, // the graph's context menu
    ExportGraphMenuItem, // the graph's context menu
    ExportedGraphSvg,
    ExportGraphSvgMenuItem, // the graph's context menu

    // saved beams
    BeamFileProblem, // {1} file, {2} why
    BeamFileMissing,
    BeamFileUnreadable, // {1} the system's reason
    BeamFileNotRegular, // {1} what it is
    BeamFileNewer,      // {1} the file's format, {2} the format this version reads
    BeamFileDamaged,    // {1} what is wrong, in the reader's words
    BeamTextNotUtf8,    // {1} the condition's name, {2} its text, printable
    SaveBeamMenuItem,   // the graph's context menu
    OpenBeamMenuItem,   // the graph's context menu
    SaveBeamData,       // the contents of a beam file, for a failed save
    BeamSaved,
    ReportMenuItem, // the graph's context menu
    SaveReportData, // the contents of a PDF report, for a failed save
    ReportSaved,

    // beam quality and a beam given by its measured half-value layer
    FilterAluminium,        // "aluminium"
    FilterCopper,           // "copper"
    Hvl1OutOfReach,         // {1} measured, {2} lowest, {3} highest (mm Al), {4} filter, {5} mm
    Hvl1NotMatched,         // {1} measured, {2} reached (mm Al), {3} filter
    Hvl1NotPositive,        // {1} the value as typed
    AirPathInvalid,         // {1} the value as typed
    BeamQualityMissing,     // {1} why there are no figures
    Hvl1MatchedFilter,      // {1} mm, {2} filter, {3} measured HVL1
    FilterInherent,         // "inherent filtration"
    Hvl1InherentOutOfReach, // as Hvl1OutOfReach, for the inherent filtration
    ChangedAluminium,       // the added aluminium, as the subject of Hvl1FilterChanged
    ChangedInherent,        // the inherent filtration, the same way
    Hvl1FilterChanged,      // {1} what changed, {2} typed mm, {3} found mm, {4} measured HVL1
    Hvl1OfferInherent,      // {1} why the added aluminium cannot reach it

    // the spectrum and beam-quality window
    QualityWindowTitle,
    QualityMenuItem,          // the graph's context menu
    DivergentScatterMenuItem, // the graph's context menu, checkable
    NextCalculationLine,      // {1} scatter model, {2} medium: under the main window's buttons
    RecordDuringCalculation,  // a report or export asked for while OK computes
    DoseFiguresStale,         // {1} the phantom of the figures, {2} the one chosen
    RecalculateOffer,         // {1} scatter model
    QualityNoBeam,
    QualityAirTablesMissing, // {1} the data-file message
    QualityEnergyAxis,
    QualityFractionAxis,
    QualityFiguresTitle,
    QualityMeanEnergy,
    QualityHvl1,
    QualityHvl2,
    QualityHomogeneity,
    QualityEffectiveEnergy,
    QualityEffectiveAbove, // the effective energy lies above the tables
    QualityAirPath,
    QualityMeasuredHvl1,
    QualityFindAluminium,
    QualityFoundBeam,      // {1} the matched-filter sentence
    QualityShownBeam,      // {1} the beam's conditions
    QualityMatchedBeam,    // {1} the found beam's conditions
    QualityCurveList,      // the heading of the list of drawn curves
    QualityBeamConditions, // {1} kV, {2} rectification, {3} inherent, {4} Al, {5} Cu, {6} FSD, {7}
                           // field
    QualityRectangularField, // {1} x {2} cm
    QualityCircularField,    // {1} diameter, cm
    QualityConstantPotential,
    QualityThreePhase,
    QualitySinglePhase,
    QualityCurveEntry, // {1} number, {2} conditions, {3} HVL1 (mm Al), {4} scatter model
    QualityCurveNoHvl, // {1} number, {2} conditions, {3} scatter model
    QualityScatterClassic,
    QualityScatterDivergent,
    QualitySaveCsvCaption,
    QualitySavePngCaption,
    QualitySave,
    // the contents of a spectrum CSV and of a spectrum PNG
    SaveSpectrumData,
    SaveSpectrumPicture,
    SaveImageNotPng,
    SavedSpectrumCsv,
    SavedSpectrumPng,

    // a phantom of finite thickness
    ThicknessOutOfRange, // {1} cm, {2} the least, {3} the most (cm)

    // the dose in absolute terms
    ExposureOutOfRange,           // {1} the quantity, {2} the value, {3} the most, {4} the unit
    ExposureMakesKermaOutOfRange, // {1} the quantity given, {2} the kerma made, {3} the most (mGy)
    ExposureAirKerma,
    ExposureTubeOutput,
    ExposureMas,
    ExposureOutputDistance,
    ExposureKap,
    ExposureEsak,
    ExposureGivenTwice,  // {1}, {2} the two quantities
    ExposureNeedsMas,    // a tube output without the mAs
    DoseDepthOutOfRange, // {1} cm, {2} the deepest cm
    DoseRangeBackwards,  // {1}, {2} cm
    PointNotFinite,      // {1}, {2}, {3} the coordinates as given
    PointBeyondKernels,  // {1} cm from the axis, {2} cm deep, {3} the farthest that can be computed
    BeamCarriesNoAirKerma,
    MediumIcruFourComponent, // the phantom's medium
    MediumIcru44,
    MediumWater,
    MediumPmma,
    MediumDataFailed, // {1} the medium, {2} the data-file message

    // the absolute-dose window
    DoseWindowTitle,
    DoseMenuItem, // the graph's context menu
    DoseExposureTitle,
    DoseGivenAirKerma,
    DoseGivenTubeOutput,
    DoseGivenKap,
    DoseGivenEsak,
    DoseMeasuredAt,  // the distance of a tube output's measurement
    DoseMeasuredMgy, // the unit of a measured Ka,e
    DoseApply,
    DoseResultsTitle,
    DoseIncidentAirKerma,
    DoseBackscatter,
    DoseEntranceKerma,
    DoseSurface,
    DoseMedium, // {1} the medium
    DoseMediumChoiceTip,
    DoseThickness, // the caption of the patient thickness
    DoseThicknessTip,
    DoseSemiInfinite,   // the thickness left empty
    DoseThicknessShown, // {1} cm, beside the medium
    DoseExitLine,       // {1} cm, {2} the last layer, {3} the exit surface (mGy)
    DoseModel,          // {1} the scatter model
    DoseAtDepthCaption,
    DoseFrom,
    DoseTo,
    DoseAtDepthButton,
    DoseOverRange, // {1} least, {2} most (mGy)
    DoseTableCaption,
    DoseDepthColumn,
    DosePrimaryColumn,
    DoseScatterColumn,
    DoseTotalColumn,
    DoseSaveCsvCaption,
    DoseConditions,      // {1} the beam's conditions
    DoseExposureLine,    // {1} the quantity with its value and unit
    DoseTubeOutputGiven, // {1} uGy/mAs, {2} mAs, {3} cm
    SaveDoseData,        // the contents of a dose CSV
    SavedDoseCsv,

    // the dose-map window
    MapWindowTitle,
    MapMenuItem, // the graph's context menu
    MapPlaneXz,
    MapPlaneYz,
    MapCaption,
    MapProfileCaption,
    MapPointCaption,
    MapPointUnit,
    MapShowButton,
    MapPointer,    // {1} lateral cm, {2} depth cm, {3} the dose
    MapOutOfReach, // the dose where the kernels do not reach
    MapSaveCaption,
    // the contents of a map CSV and of a map PNG
    SaveMapData,
    SaveMapPicture,
    SavedMapCsv,
    SavedMapPng,

// the examination window, then the study's and the dose record's
// refusals, each with its wordings (ExamAndStudyTexts.def)
#define VELTRIM_BILINGUAL(id, english, japanese) id,
#include "core/ExamAndStudyTexts.def"
#undef VELTRIM_BILINGUAL

    Count
};

} // namespace veltrim
