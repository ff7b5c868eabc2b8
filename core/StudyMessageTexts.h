#pragma once

// The study's refusals in both languages, the last messages of each table
// (MessageTextsEnglish.cpp, MessageTextsJapanese.cpp append them). The
// English wordings are what veltrim-calc and the Python module print.

#include "core/Messages.h"

namespace veltrim {

inline constexpr MessageText StudyTextsEnglish[] = {
    {MessageId::StudyRefused, "{1}"},
    {MessageId::StudyNoSuchFile, "{1}: no such file"},
    {MessageId::StudyNotRegular, "{1}: not a regular file"},
    {MessageId::StudyUnreadable, "{1}: cannot be read: {2}"},
    {MessageId::StudyTooLarge, "{1}: larger than a study file can be"},
    {MessageId::StudyNotJson, "{1}: not a study file: {2}"},
    {MessageId::StudyNoVersion, "{1}: not a study file (no \"veltrim_study\" version)"},
    {MessageId::StudyPatientSize, "patient: {1} {2} must be a positive number"},
    {MessageId::StudyNoPoint, "points: the study names no point; add one"},
    {MessageId::StudyNoExposure, "exposures: the study has no exposure; add one"},
    {MessageId::StudyDepthOutside,
     "point \"{1}\": depth_cm {2} lies outside the patient (0 to the AP thickness, {3} cm)"},
    {MessageId::StudyLeftOutside, "point \"{1}\": left_cm {2} lies outside the patient (within "
                                  "half the lateral width, {3} cm)"},
    {MessageId::StudyRayMisses,
     "exposure \"{1}\": its central ray misses the patient "
     "(centre_left_cm {2}, angle_deg {3}); aim the field at the patient"},
    {MessageId::StudyBeyondKernels,
     "exposure \"{1}\", point \"{2}\": the point lies {3} cm from the central ray at depth {4} "
     "cm, beyond the 100 cm the scatter kernels reach for this field"},
    {MessageId::StudyOutsideObliqueSlab,
     "exposure \"{1}\", point \"{2}\": the point lies outside the slab the oblique beam is "
     "computed in (depth along the beam {3} cm)"},
};

inline constexpr MessageText StudyTextsJapanese[] = {
    {MessageId::StudyRefused, "{1}"},
    {MessageId::StudyNoSuchFile, "{1}: ファイルがありません。"},
    {MessageId::StudyNotRegular, "{1}: 通常のファイルではありません。"},
    {MessageId::StudyUnreadable, "{1}: 読み込めません（{2}）。"},
    {MessageId::StudyTooLarge, "{1}: 検査ファイルとしては大きすぎます。"},
    {MessageId::StudyNotJson, "{1}: 検査ファイルではありません（{2}）。"},
    {MessageId::StudyNoVersion,
     "{1}: 検査ファイルではありません（\"veltrim_study\" の版がありません）。"},
    {MessageId::StudyPatientSize, "患者: {1} の {2} は正の数にしてください。"},
    {MessageId::StudyNoPoint, "評価点がありません。評価点を追加してください。"},
    {MessageId::StudyNoExposure, "照射がありません。照射を追加してください。"},
    {MessageId::StudyDepthOutside,
     "評価点「{1}」: 深さ {2} cm は患者の外です（0 から AP 厚 {3} cm まで）。"},
    {MessageId::StudyLeftOutside,
     "評価点「{1}」: 左 {2} cm は患者の外です（側方幅の半分 {3} cm 以内）。"},
    {MessageId::StudyRayMisses, "照射「{1}」: 中心線が患者に当たりません（centre_left_cm {2}、"
                                "angle_deg {3}）。照射野を患者に向けてください。"},
    {MessageId::StudyBeyondKernels,
     "照射「{1}」、評価点「{2}」: 点は深さ {4} cm で中心線から {3} cm 離れており、この照射野の"
     "散乱カーネルが届く 100 cm を超えています。"},
    {MessageId::StudyOutsideObliqueSlab,
     "照射「{1}」、評価点「{2}」: 点が斜入射ビームを計算する平板の外にあります（ビーム方向の"
     "深さ {3} cm）。"},
};

// `table` with the messages of `more` put in their places.
constexpr MessageTexts WithTexts(MessageTexts table, std::span<const MessageText> more) {
    for (const MessageText& entry : more)
        table[static_cast<std::size_t>(entry.Id)] = entry;
    return table;
}

} // namespace veltrim
