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

    // the examination window
    ExamWindowTitle,
    ExamMenuItem, // the graph's context menu
    ExamPatientCaption,
    ExamApThickness,
    ExamLateralWidth,
    ExamExposuresCaption,
    ExamAddBeam,
    ExamDuplicate,
    ExamRemove,
    ExamApply,
    ExamEntry,
    ExamAnterior,
    ExamPosterior,
    ExamLeftSide,
    ExamRightSide,
    ExamFsd,
    ExamFieldX,
    ExamFieldY,
    ExamCentreLeft,
    ExamCentreHead,
    ExamExposure,
    ExamRepeats,
    ExamTable,
    ExamFieldColumn,
    ExamPointsCaption,
    ExamName,
    ExamDepth,
    ExamLeft,
    ExamHead,
    ExamDepthRange,
    ExamLeftRange,
    ExamHeadRange,
    ExamAddPoint,
    ExamRemovePoint,
    ExamTotalsCaption,
    ExamDoseColumn,
    ExamLowColumn,
    ExamHighColumn,
    ExamPhysicist,
    ExamCompute,
    ExamOpen,
    ExamSave,
    ExamReport,
    ExamPointCell,      // {1} the point's row or name, {2} the column
    ExamPointNeedsName, // {1} the row
    ExamRepeatsCount,   // {1} the field, {2} the text
    ExamNoExposure,
    ExamComputing,          // {1} the count
    ExamComputed,           // {1}, {2}, {3} counts
    ExamNotComputedBecause, // {1} the library's reason
    ExamNotOpened,          // {1} the library's reason
    ExamOpened,             // {1} the file, {2}, {3} counts
    ExamImportRecord,
    ExamImportNeedsPatient,
    ExamNotImported, // {1} the reader's reason
    ExamImported,    // {1} the file, {2} events, {3} of them with assumed values
    ExamAssumedTip,  // {1} the list of "field = value: why" lines
    SaveStudyData,   // the contents of a study file, for a failed save
    StudySaved,
    ExamExposureName, // {1} the count: a new exposure's name

    // the study's refusals (ExamAndStudyTexts.h): first of them
    StudyRefused,            // {1} a text as it stands: a file's name, a refusal in English alone
    StudyNoSuchFile,         // {1} the file
    StudyNotRegular,         // {1} the file
    StudyUnreadable,         // {1} the file, {2} the system's reason
    StudyTooLarge,           // {1} the file
    StudyNotJson,            // {1} the file, {2} the JSON reader's reason
    StudyNoVersion,          // {1} the file
    StudyPatientSize,        // {1} the key, {2} the value
    StudyNoPoint,            //
    StudyNoExposure,         //
    StudyDepthOutside,       // {1} the point, {2} its depth, {3} the thickness (cm)
    StudyLeftOutside,        // {1} the point, {2} its offset, {3} half the width (cm)
    StudyRayMisses,          // {1} the exposure, {2} centre_left_cm, {3} angle_deg
    StudyBeyondKernels,      // {1} the exposure, {2} the point, {3} cm off the ray, {4} depth
    StudyOutsideObliqueSlab, // {1} the exposure, {2} the point, {3} depth along the beam
    // where in a study file a refusal points: {1} the place within
    StudyPlacePatient,  //
    StudyPlacePoint,    // {1} its number
    StudyPlaceExposure, // {1} its number, before its name reads
    StudyPlaceNamed,    // {1} the exposure's name
    StudyPlaceAssumed,  // {1} the exposure
    // the kinds and the choices a key may be told to take
    StudyKindNumber,
    StudyKindString,
    StudyKindObject,
    StudyKindArray,
    StudyMediumChoices,
    StudyEntryChoices,
    // a key of the study file: {1} the place, {2} the key
    StudyKeyUnknown,       //
    StudyKeyKind,          // {3} the kind
    StudyKeyMissing,       //
    StudyKeyNotOneOf,      // {3} the word, {4} the choices
    StudyKeyNotWhole,      //
    StudyKeyNegative,      //
    StudyKeyNotObjects,    //
    StudyKeyNotValue,      //
    StudyKeyRectification, //
    StudyKeyScatterModel,  //
    StudyKeyLaterVersion,  // {3} the file's version, {4} the one read here
    StudyItemNotObject,    // {1} the place
    // an exposure's values: {1} the exposure, {2} the key
    StudyFormMissing,         //
    StudyFormTwice,           // {3} the key given first
    StudyMasMissing,          //
    StudyStrayTubePart,       //
    StudyReferenceHalf,       //
    StudyKvOutside,           // {3} the value
    StudyNotPositive,         // {3} the value
    StudyNegative,            // {3} the value
    StudyTableTwice,          // {3} the other key
    StudyTransmissionOutside, // {3} the value
    StudyRepeatsTooFew,       // {3} the value
    StudyAngleOutside,        // {3} the value
    StudyNotFinite,           //
    StudyHvlUnmatched,        // {3} the matching's reason
    StudyExposureUnusable,    // {3} the reason
    StudyHeadNotFinite,       // {1} the point, {2} the key, {3} the value
    StudyExposureFailed,      // {1} the exposure, {2} the calculation's reason

    // the dose record's refusals, told through the reader's module
    RecordSrUnreadable,    // {1} DCMTK's reason
    RecordCannotOpen,      // {1} the file
    RecordNotRegular,      // {1} the file
    RecordTooLarge,        // {1} the file
    RecordNotDicom,        // {1} the file
    RecordCannotRead,      // {1} the file
    RecordDamaged,         // {1} the file, {2} DCMTK's reason
    RecordNoEvent,         // {1} the file
    RecordNeedsPatient,    //
    RecordUnusable,        // {1} the problems, each a RecordProblemLine
    RecordProblemLine,     // {1} a problem, {2} the lines after it
    RecordNegative,        // {1} the event, {2} the quantity, {3} the value, {4} its unit
    RecordKap,             // the quantities RecordNegative names
    RecordReferenceKerma,  //
    RecordEntranceDose,    //
    RecordCopperFilter,    //
    RecordAluminiumFilter, //
    RecordHalfValueLayer,  //
    RecordNoExposure,      // {1} the event
    RecordCtRefusal,       // what Veltrim computes instead of a CT record
    RecordMgRefusal,       // ... of a mammography record
    RecordCtImage,         // {1} RecordCtRefusal
    RecordMgImage,         // {1} RecordMgRefusal
    RecordNoTechnique,     // {1} the modality
    RecordModalityNotGiven,
    RecordMgDose,      // {1} RecordMgRefusal
    RecordCtProcedure, // {1} the procedure, {2} RecordCtRefusal
    RecordMgProcedure, // {1} the procedure, {2} RecordMgRefusal
    RecordOtherReport, // {1} the report's title
    RecordEmptyReport,
    RecordCtAcquisitions,     // {1} their count, {2} RecordCtRefusal
    RecordModuleNotInstalled, // {1} the module
    RecordModuleNotFound,     // {1} the module, {2} where it was looked for, and why not

    Count
};

} // namespace veltrim
