#pragma once

// The messages that follow the main window's in both languages' tables, each
// written once with its two wordings: the examination window's words, then
// the study's refusals, then the dose record's. The English wordings of the
// refusals are what veltrim-calc and the Python module print.

#include "core/Messages.h"

namespace veltrim {

struct BilingualText {
    MessageId Id;
    std::string_view English, Japanese; // UTF-8
};

// One message to a line, its English and then its Japanese wording.
// clang-format off
inline constexpr BilingualText ExamAndStudyTexts[] = {
    // the examination window
    {MessageId::ExamWindowTitle, "Examination", "検査"},
    {MessageId::ExamMenuItem, "Examination...", "検査..."},
    {MessageId::ExamPatientCaption, "Patient", "患者"},
    {MessageId::ExamApThickness, "AP thickness (cm)", "前後径 (cm)"},
    {MessageId::ExamLateralWidth, "Lateral width (cm)", "横幅 (cm)"},
    {MessageId::ExamExposuresCaption, "Exposures", "照射"},
    {MessageId::ExamAddBeam, "Add main window's beam", "メイン画面のビームを追加"},
    {MessageId::ExamDuplicate, "Duplicate", "複製"},
    {MessageId::ExamRemove, "Remove", "削除"},
    {MessageId::ExamApply, "Apply to selected", "選択した照射に適用"},
    {MessageId::ExamEntry, "Entry", "入射方向"},
    {MessageId::ExamAnterior, "anterior", "前方"},
    {MessageId::ExamPosterior, "posterior", "後方"},
    {MessageId::ExamLeftSide, "left", "左側"},
    {MessageId::ExamRightSide, "right", "右側"},
    {MessageId::ExamFsd, "FSD (cm)", "FSD 距離 (cm)"},
    {MessageId::ExamFieldX, "Field x (cm)", "照射野 x (cm)"},
    {MessageId::ExamFieldY, "Field y (cm)", "照射野 y (cm)"},
    {MessageId::ExamCentreLeft, "Centre left (cm)", "中心 左 (cm)"},
    {MessageId::ExamCentreHead, "Centre head (cm)", "中心 頭側 (cm)"},
    {MessageId::ExamExposure, "Exposure", "照射量"},
    {MessageId::ExamRepeats, "Repeats", "回数"},
    {MessageId::ExamTable, "Table transmission", "寝台透過率"},
    {MessageId::ExamFieldColumn, "Field (cm)", "照射野 (cm)"},
    {MessageId::ExamPointsCaption, "Points", "評価点"},
    {MessageId::ExamName, "Name", "名称"},
    {MessageId::ExamDepth, "Depth (cm)", "深さ (cm)"},
    {MessageId::ExamLeft, "Left (cm)", "左 (cm)"},
    {MessageId::ExamHead, "Head (cm)", "頭側 (cm)"},
    {MessageId::ExamDepthRange, "+/- depth (cm)", "± 深さ (cm)"},
    {MessageId::ExamLeftRange, "+/- left (cm)", "± 左 (cm)"},
    {MessageId::ExamHeadRange, "+/- head (cm)", "± 頭側 (cm)"},
    {MessageId::ExamAddPoint, "Add point", "評価点を追加"},
    {MessageId::ExamRemovePoint, "Remove point", "評価点を削除"},
    {MessageId::ExamTotalsCaption, "Total per point, with its range", "評価点ごとの合計と範囲"},
    {MessageId::ExamDoseColumn, "Dose (mGy)", "線量 (mGy)"},
    {MessageId::ExamLowColumn, "Low (mGy)", "下限 (mGy)"},
    {MessageId::ExamHighColumn, "High (mGy)", "上限 (mGy)"},
    {MessageId::ExamPhysicist, "Physicist", "担当者"},
    {MessageId::ExamCompute, "Compute", "計算"},
    {MessageId::ExamOpen, "Open...", "開く..."},
    {MessageId::ExamSave, "Save...", "保存..."},
    {MessageId::ExamReport, "Report...", "レポート..."},
    {MessageId::ExamPointCell, "point {1}: {2}", "評価点 {1} の {2}"},
    {MessageId::ExamPointNeedsName, "Point {1} needs a name.", "評価点 {1} に名称を入力してください。"},
    {MessageId::ExamRepeatsCount, "{1} takes a whole count of 1 or more, not \"{2}\".", "{1} には 1 以上の整数を入力してください（\"{2}\" は使えません）。"},
    {MessageId::ExamNoExposure, "Choose an exposure in the list first.", "先に一覧から照射を選んでください。"},
    {MessageId::ExamComputing, "Computing {1} exposures...", "{1} 件の照射を計算しています..."},
    {MessageId::ExamComputed, "Computed. Exposures: {1}; points: {2}; beams: {3}.", "照射 {1} 件、評価点 {2} 点を計算しました（ビーム {3} 本）。"},
    {MessageId::ExamNotComputedBecause, "The study was not computed: {1}", "検査を計算できませんでした: {1}"},
    {MessageId::ExamNotOpened, "The study was not opened: {1}", "検査を開けませんでした: {1}"},
    {MessageId::ExamOpened, "Opened {1}. Exposures: {2}; points: {3}.", "{1} を開きました: 照射 {2} 件、評価点 {3} 点。"},
    {MessageId::ExamImportRecord, "Import dose record...", "線量記録の読み込み..."},
    {MessageId::ExamImportNeedsPatient, "A dose record gives neither the patient's size nor the points: type the AP thickness, the lateral width and at least one point first.", "線量記録には患者の大きさも評価点もありません: 先に前後径、横幅と評価点を 1 点以上入力してください。"},
    {MessageId::ExamNotImported, "The dose record was not imported: {1}", "線量記録を読み込めませんでした: {1}"},
    {MessageId::ExamImported, "Imported {1}. Events: {2}; with assumed values: {3} (marked *; see the row's tip).", "{1} を読み込みました: 照射 {2} 件、うち仮定値を含むもの {3} 件 (* 印; 行のヒントを参照)。"},
    {MessageId::ExamAssumedTip, "Assumed, as the record did not say:\n{1}", "記録にないため仮定した値:\n{1}"},
    {MessageId::SaveStudyData, "study", "検査"},
    {MessageId::StudySaved, "The study was saved as {1} in {2}.", "検査を {2} に {1} として保存しました"},
    {MessageId::ExamExposureName, "exposure {1}", "照射 {1}"},

    // the study's refusals
    {MessageId::StudyRefused, "{1}", "{1}"},
    {MessageId::StudyNoSuchFile, "{1}: no such file", "{1}: ファイルがありません。"},
    {MessageId::StudyNotRegular, "{1}: not a regular file", "{1}: 通常のファイルではありません。"},
    {MessageId::StudyUnreadable, "{1}: cannot be read: {2}", "{1}: 読み込めません（{2}）。"},
    {MessageId::StudyTooLarge, "{1}: larger than a study file can be", "{1}: 検査ファイルとしては大きすぎます。"},
    {MessageId::StudyNotJson, "{1}: not a study file: {2}", "{1}: 検査ファイルではありません（{2}）。"},
    {MessageId::StudyNoVersion, "{1}: not a study file (no \"veltrim_study\" version)", "{1}: 検査ファイルではありません（\"veltrim_study\" の版がありません）。"},
    {MessageId::StudyPatientSize, "patient: {1} {2} must be a positive number", "患者: {1} の {2} は正の数にしてください。"},
    {MessageId::StudyNoPoint, "points: the study names no point; add one", "評価点がありません。評価点を追加してください。"},
    {MessageId::StudyNoExposure, "exposures: the study has no exposure; add one", "照射がありません。照射を追加してください。"},
    {MessageId::StudyDepthOutside, "point \"{1}\": depth_cm {2} lies outside the patient (0 to the AP thickness, {3} cm)", "評価点「{1}」: 深さ {2} cm は患者の外です（0 から AP 厚 {3} cm まで）。"},
    {MessageId::StudyLeftOutside, "point \"{1}\": left_cm {2} lies outside the patient (within half the lateral width, {3} cm)", "評価点「{1}」: 左 {2} cm は患者の外です（側方幅の半分 {3} cm 以内）。"},
    {MessageId::StudyRayMisses, "exposure \"{1}\": its central ray misses the patient (centre_left_cm {2}, angle_deg {3}); aim the field at the patient", "照射「{1}」: 中心線が患者に当たりません（centre_left_cm {2}、angle_deg {3}）。照射野を患者に向けてください。"},
    {MessageId::StudyBeyondKernels, "exposure \"{1}\", point \"{2}\": the point lies {3} cm from the central ray at depth {4} cm, beyond the 100 cm the scatter kernels reach for this field", "照射「{1}」、評価点「{2}」: 点は深さ {4} cm で中心線から {3} cm 離れており、この照射野の散乱カーネルが届く 100 cm を超えています。"},
    {MessageId::StudyOutsideObliqueSlab, "exposure \"{1}\", point \"{2}\": the point lies outside the slab the oblique beam is computed in (depth along the beam {3} cm)", "照射「{1}」、評価点「{2}」: 点が斜入射ビームを計算する平板の外にあります（ビーム方向の深さ {3} cm）。"},
    {MessageId::StudyPlacePatient, "patient", "患者"},
    {MessageId::StudyPlacePoint, "point {1}", "評価点 {1}"},
    {MessageId::StudyPlaceExposure, "exposure {1}", "照射 {1}"},
    {MessageId::StudyPlaceNamed, "exposure \"{1}\"", "照射「{1}」"},
    {MessageId::StudyPlaceAssumed, "{1}, assumed", "{1}、assumed"},
    {MessageId::StudyKindNumber, "a number", "数値"},
    {MessageId::StudyKindString, "a string", "文字列"},
    {MessageId::StudyKindObject, "an object", "オブジェクト"},
    {MessageId::StudyKindArray, "an array", "配列"},
    {MessageId::StudyMediumChoices, "icru-4, icru-44, water or pmma", "icru-4、icru-44、water、pmma"},
    {MessageId::StudyEntryChoices, "anterior, posterior, left or right", "anterior、posterior、left、right"},
    {MessageId::StudyKeyUnknown, "{1}: \"{2}\" is not a key of the study file here", "{1}: \"{2}\" はここに書ける検査ファイルのキーではありません。"},
    {MessageId::StudyKeyKind, "{1}: \"{2}\" must be {3}", "{1}: \"{2}\" は{3}にしてください。"},
    {MessageId::StudyKeyMissing, "{1}: \"{2}\" is missing", "{1}: \"{2}\" がありません。"},
    {MessageId::StudyKeyNotOneOf, "{1}: \"{2}\" \"{3}\" is not {4}", "{1}: \"{2}\" の \"{3}\" は使えません。{4} のいずれかにしてください。"},
    {MessageId::StudyKeyNotWhole, "{1}: \"{2}\" must be a whole number", "{1}: \"{2}\" は整数にしてください。"},
    {MessageId::StudyKeyNegative, "{1}: \"{2}\" must be 0 or more", "{1}: \"{2}\" は 0 以上にしてください。"},
    {MessageId::StudyKeyNotObjects, "{1}: \"{2}\" must hold objects", "{1}: \"{2}\" の要素はオブジェクトにしてください。"},
    {MessageId::StudyKeyNotValue, "{1}: \"{2}\" must be a number or a string", "{1}: \"{2}\" は数値か文字列にしてください。"},
    {MessageId::StudyKeyRectification, "{1}: \"{2}\" must be 1, 2 or 3", "{1}: \"{2}\" は 1、2、3 のいずれかにしてください。"},
    {MessageId::StudyKeyScatterModel, "{1}: \"{2}\" must be \"classic\" or \"divergent\"", "{1}: \"{2}\" は \"classic\" か \"divergent\" にしてください。"},
    {MessageId::StudyKeyLaterVersion, "{1}: \"{2}\" is {3}, a later version than this program reads ({4})", "{1}: \"{2}\" は {3} で、このプログラムが読める版（{4}）より新しい版です。"},
    {MessageId::StudyItemNotObject, "{1}: must be an object", "{1}: オブジェクトにしてください。"},
    {MessageId::StudyFormMissing, "exposure \"{1}\": {2} is missing: give the exposure in one of its forms", "照射「{1}」: {2} がありません。照射量をいずれかの形で与えてください。"},
    {MessageId::StudyFormTwice, "exposure \"{1}\": {2} contradicts {3}: give the exposure one way", "照射「{1}」: {2} は {3} と矛盾します。照射量は一つの形で与えてください。"},
    {MessageId::StudyMasMissing, "exposure \"{1}\": {2} is missing: a tube output needs the mAs", "照射「{1}」: {2} がありません。管出力には mAs が必要です。"},
    {MessageId::StudyStrayTubePart, "exposure \"{1}\": {2} is given without a tube output", "照射「{1}」: {2} が管出力なしで与えられています。"},
    {MessageId::StudyReferenceHalf, "exposure \"{1}\": {2} is missing: a reference air kerma needs its distance from the focus", "照射「{1}」: {2} がありません。基準空気カーマには焦点からの距離が必要です。"},
    {MessageId::StudyKvOutside, "exposure \"{1}\": {2} {3} lies outside 30 to 150 kV", "照射「{1}」: {2} {3} は 30〜150 kV の範囲外です。"},
    {MessageId::StudyNotPositive, "exposure \"{1}\": {2} {3} must be a positive number", "照射「{1}」: {2} {3} は正の数にしてください。"},
    {MessageId::StudyNegative, "exposure \"{1}\": {2} {3} must be 0 or more", "照射「{1}」: {2} {3} は 0 以上にしてください。"},
    {MessageId::StudyTableTwice, "exposure \"{1}\": {2} contradicts {3}: give the table one way", "照射「{1}」: {2} は {3} と矛盾します。寝台は一つの形で与えてください。"},
    {MessageId::StudyTransmissionOutside, "exposure \"{1}\": {2} {3} lies outside (0, 1]", "照射「{1}」: {2} {3} は (0, 1] の範囲外です。"},
    {MessageId::StudyRepeatsTooFew, "exposure \"{1}\": {2} {3} must be 1 or more", "照射「{1}」: {2} {3} は 1 以上にしてください。"},
    {MessageId::StudyAngleOutside, "exposure \"{1}\": {2} {3} lies outside -90 to 90 degrees", "照射「{1}」: {2} {3} は -90〜90 度の範囲外です。"},
    {MessageId::StudyNotFinite, "exposure \"{1}\": {2} is not a finite number", "照射「{1}」: {2} が有限の数ではありません。"},
    {MessageId::StudyHvlUnmatched, "exposure \"{1}\": {2} cannot be matched: {3}", "照射「{1}」: {2} に合わせられません。{3}"},
    {MessageId::StudyExposureUnusable, "exposure \"{1}\": {2} {3}", "照射「{1}」: {2}: {3}"},
    {MessageId::StudyHeadNotFinite, "point \"{1}\": {2} {3} lies outside the patient (a finite offset)", "評価点「{1}」: {2} {3} は患者の外です。有限の値にしてください。"},
    {MessageId::StudyExposureFailed, "exposure \"{1}\": {2}", "照射「{1}」: {2}"},
    // the dose record's refusals
    {MessageId::RecordSrUnreadable, "The structured report could not be read ({1}).", "構造化レポートを読めませんでした（{1}）。"},
    {MessageId::RecordCannotOpen, "The file \"{1}\" cannot be opened.", "ファイル「{1}」を開けません。"},
    {MessageId::RecordNotRegular, "\"{1}\" is not a regular file.", "「{1}」は通常のファイルではありません。"},
    {MessageId::RecordTooLarge, "The file \"{1}\" is over 100 MB: a dose record or an image header is far smaller; give the dose record, not the images.", "ファイル「{1}」は 100 MB を超えています。線量記録や画像のヘッダーはずっと小さいものです。画像ではなく線量記録を指定してください。"},
    {MessageId::RecordNotDicom, "The file \"{1}\" is not a DICOM file (no \"DICM\" at byte 128): give a radiation dose structured report or a radiograph.", "ファイル「{1}」は DICOM ファイルではありません（128 バイト目に \"DICM\" がありません）。線量構造化レポートか X 線画像を指定してください。"},
    {MessageId::RecordCannotRead, "The file \"{1}\" cannot be read.", "ファイル「{1}」を読み込めません。"},
    {MessageId::RecordDamaged, "The DICOM file \"{1}\" is truncated or damaged ({2}): export the record from the modality or archive again.", "DICOM ファイル「{1}」は途中で切れているか壊れています（{2}）。装置またはアーカイブから記録を出力し直してください。"},
    {MessageId::RecordNoEvent, "The dose record \"{1}\" holds no irradiation event: nothing to compute.", "線量記録「{1}」には照射イベントがありません。計算するものがありません。"},
    {MessageId::RecordNeedsPatient, "The patient's AP thickness and lateral width must be given (cm, above 0): a dose record does not hold them.", "患者の前後径と横幅（cm、0 より大）を入力してください。線量記録にはこれらがありません。"},
    {MessageId::RecordUnusable, "The dose record cannot be used as it stands:{1}", "線量記録はこのままでは使えません:{1}"},
    {MessageId::RecordProblemLine, "\n  {1}{2}", "\n  {1}{2}"},
    {MessageId::RecordNegative, "event {1}, {2}: {3} {4} is negative", "イベント {1}、{2}: {3} {4} が負の値です"},
    {MessageId::RecordKap, "kerma-area product", "面積線量"},
    {MessageId::RecordReferenceKerma, "reference air kerma", "基準点空気カーマ"},
    {MessageId::RecordEntranceDose, "entrance dose", "入射線量"},
    {MessageId::RecordCopperFilter, "copper filter", "銅フィルタ"},
    {MessageId::RecordAluminiumFilter, "aluminium filter", "アルミフィルタ"},
    {MessageId::RecordHalfValueLayer, "half-value layer", "半価層"},
    {MessageId::RecordNoExposure, "event {1}: neither a kerma-area product nor an air kerma at a known distance is recorded, so its exposure is unknown", "イベント {1}: 面積線量も距離のわかる空気カーマも記録されていないため、照射量がわかりません"},
    {MessageId::RecordCtRefusal, "Veltrim computes the depth dose of projection radiography and fluoroscopy beams (30-150 kV) entering a box patient, not a CT scanner's rotating fan beam; the record's CTDIvol and DLP belong in a CT dose tool.", "Veltrim が計算するのは箱形の患者に入射する一般撮影と透視のビーム（30〜150 kV）の深部線量で、CT の回転するファンビームは対象外です。記録の CTDIvol と DLP は CT 用の線量ツールで扱ってください。"},
    {MessageId::RecordMgRefusal, "Veltrim computes the depth dose of tungsten-anode beams of 30-150 kV in soft tissue, not mammography's molybdenum-, rhodium- or silver-filtered beams in a compressed breast; the record's average glandular dose is the figure for it.", "Veltrim が計算するのは軟組織中のタングステン陽極 30〜150 kV のビームの深部線量で、圧迫乳房中のモリブデン・ロジウム・銀フィルタのマンモグラフィのビームは対象外です。その線量は記録の平均乳腺線量で見てください。"},
    {MessageId::RecordCtImage, "The file is a CT image: {1}", "このファイルは CT 画像です。{1}"},
    {MessageId::RecordMgImage, "The file is a mammography image: {1}", "このファイルはマンモグラフィ画像です。{1}"},
    {MessageId::RecordNoTechnique, "The DICOM file (modality {1}) holds neither a dose record nor an X-ray technique (no KVP, no area dose product): give the radiation dose structured report or a radiograph.", "この DICOM ファイル（モダリティ {1}）には線量記録も撮影条件（KVP、面積線量）もありません。線量構造化レポートか X 線画像を指定してください。"},
    {MessageId::RecordModalityNotGiven, "not given", "記載なし"},
    {MessageId::RecordMgDose, "The dose record is a mammography record (its events give an average glandular dose): {1}", "この線量記録はマンモグラフィの記録です（イベントに平均乳腺線量があります）。{1}"},
    {MessageId::RecordCtProcedure, "The dose record is a CT record (procedure reported: {1}): {2}", "この線量記録は CT の記録です（記録された手技: {1}）。{2}"},
    {MessageId::RecordMgProcedure, "The dose record is a mammography record (procedure reported: {1}): {2}", "この線量記録はマンモグラフィの記録です（記録された手技: {1}）。{2}"},
    {MessageId::RecordOtherReport, "The file is a DICOM structured report of another kind ({1}), not an X-Ray Radiation Dose Report: Veltrim reads the dose records of radiography and fluoroscopy units and the headers of radiographs.", "このファイルは X 線線量レポートではなく、別の種類の DICOM 構造化レポート（{1}）です。Veltrim が読むのは一般撮影装置と透視装置の線量記録と X 線画像のヘッダーです。"},
    {MessageId::RecordEmptyReport, "empty", "空"},
    {MessageId::RecordCtAcquisitions, "The dose record is a CT record ({1} CT acquisitions): {2}", "この線量記録は CT の記録です（CT 収集 {1} 件）。{2}"},
    {MessageId::RecordModuleNotInstalled, "Dose records cannot be read: the module {1} was not found (the program was installed without it).", "線量記録を読めません: モジュール {1} が見つかりません（このプログラムはこのモジュールなしでインストールされています）。"},
    {MessageId::RecordModuleNotFound, "Dose records cannot be read: the module {1} was not found{2}.", "線量記録を読めません: モジュール {1} が見つかりません{2}。"},
};
// clang-format on

// `table`, a language's words up to the examination window, with the
// messages above put in their places in that language.
constexpr MessageTexts WithExamAndStudyTexts(MessageTexts table, Language language) {
    for (const BilingualText& entry : ExamAndStudyTexts)
        table[static_cast<std::size_t>(entry.Id)] = {
            entry.Id, language == Language::Japanese ? entry.Japanese : entry.English};
    return table;
}

} // namespace veltrim
