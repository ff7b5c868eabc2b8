// The program's own words in Japanese, message for message as in English.
#include "core/Messages.h"

#include <array>

namespace veltrim {
namespace {

using enum MessageId;

constexpr std::array<MessageText, static_cast<std::size_t>(Count)> Japanese{{
    {DepthDoseFailed, " 正しく計算できませんでした。"},

    {DataFile, "データファイル「{1}」{2}"},
    {DataFileMissing,
     "がありません。プログラムを入れ直すか、すべてのデータがあるフォルダーを指定してください。"},
    {DataFileUnopenable, "を開けません ({1})。"},
    {DataFileNotRegular,
     "は{1}で、通常のファイルではありません。データファイルそのものを置いてください。"},
    {DataFileReadError, "を読めませんでした ({1})。"},
    {DataFileEndsEarly, "は {1} 個の数値で終わっています。さらに数値が必要です。"},
    {DataFileNotANumber, "の {1} 番目 (\"{2}\") は数値ではありません。"},
    {DataFileOutOfRange, "の {1} 番目 (\"{2}\") は範囲外の数値です。"},
    {DataFileUtf16, "は UTF-16 のテキストです。ASCII のテキストとして保存してください。"},
    {DataFileFieldTooLong, "の {1} 番目 (\"{2}...\") は数値としては長すぎます。"},
    {TissueRowCountInvalid, "の行数が 1 以上の整数ではありません。"},
    {TissueRowCountTooLarge, "は {1} 行あります。組織の表に入るのは {2} 行までです。"},
    {PrimaryFactorNotPositive, "の {1} keV の一次線量係数が正でないため、補間できません。"},
    {AttenuationNotLoaded, "減弱係数の表が読み込まれていないため、計算できません。"},
    {AttenuationLoadFailed, "{1} 減弱係数の表を読み込めなかったため、計算できません。"},
    {TissueLoadFailed, "{1} 組織の表を読み込めなかったため、計算を中止しました。"},

    {FileKindFolder, "フォルダー"},
    {FileKindPipe, "名前付きパイプ"},
    {FileKindDevice, "デバイス"},
    {FileKindSocket, "ソケット"},
    {FileKindDanglingLink, "行き先のないシンボリックリンク"},
    {FileKindLinkLoop, "循環するシンボリックリンク"},
    {FileKindDescriptorLink, "プログラムが開いているファイルへのリンク (/proc/.../fd)"},
    {FileKindForeignLink, "共有フォルダーに他のユーザーが置いたシンボリックリンク"},
    {FileKindOther, "通常のファイル以外のもの"},

    {NumberTooLarge, "スペクトルを計算できません: "
                     "ターゲット角度またはフィルタの厚さが大きすぎて計算できない数値です。"},
    {TargetAngleOutOfRange, "ターゲット角度 {1} 度ではスペクトルを計算できません。0 度より大きく "
                            "90 度以下の角度を入力してください。"},
    {AnodeAbsorbsBeam,
     "スペクトルを計算できません: ターゲット角度 {1} "
     "度では陽極がすべての光子を吸収します。より大きなターゲット角度を入力してください "
     "(X線管ではおよそ 6 〜 20 度)。"},
    {TubeVoltageOutOfRange, "スペクトルを計算できません: 管電圧が 30 〜 150 kV の範囲外です。"},
    {FiltrationInfinite,
     "スペクトルを計算できません: ろ過により光子数が無限大になります (フィルタの厚さが負?)。"},
    {FiltrationAbsorbsBeam, "スペクトルを計算できません: "
                            "ろ過がビームをすべて吸収します。より薄いフィルタを入力してください。"},
    {FsdNegative,
     "FSD {1} cm では深部線量を計算できません。0 cm より大きい距離を入力してください。"},

    {CauseTissueNotLoaded, "組織の表が読み込まれていません。"},
    {CauseNoLayer, "深さの範囲 {1} cm に層がありません。"},
    {CauseVoltageOutOfRange, "管電圧 {1} kV が 30 〜 150 kV の範囲外です。"},
    {CauseTissueAboveTable, "{1} keV は組織の表 ICRUSoft.dat の最後のエネルギー以上です。"},
    {CauseTissueNotPositive, "組織の表 ICRUSoft.dat の {1} 行目の値 {2} は対数で補間できません。"},
    {CauseTissueSameEnergy,
     "組織の表 ICRUSoft.dat の {1} 行目と {2} 行目のエネルギーがどちらも {3} keV です。"},
    {CauseTissueNotFinite, "{1} keV での組織の減弱係数が有限ではありません。"},
    {CauseLayerAtFocus,
     "深さ {1} cm の層が焦点の位置にあります (FSD {2} cm)。より大きな FSD を入力してください。"},
    {CausePrimaryNotFinite, "深さ {1} cm の一次線量が有限ではありません。"},
    {CauseFsdZero, "焦点-表面間距離 (FSD) が 0 cm です。焦点から皮膚までの距離を 0 cm "
                   "より大きく入力してください。"},
    {CauseFieldSideZero,
     "矩形照射野の一辺が 0 です (もう一辺は {1} cm): 円形照射野なら 2 番目の辺に 0 "
     "を、そうでなければ正の大きさを入力してください。"},
    {CauseFieldNotProjected, "照射野を深さ {1} cm に投影できません (FSD {2} cm)。"},
    {CauseFieldTooLarge,
     "深さ {1} cm で照射野の角が中心軸から {2} cm にあり、散乱データの範囲 40 cm "
     "を超えます。FSD {3} cm で収まる最大の照射野は {4} cm の正方形、または直径 {5} cm の円です。"},
    {CauseRingShare,
     "深さ {4} cm で {2} x {3} cm の照射野に入るリング {1} の割合を求められません。"},
    {CauseNodeScatterNotFinite, "{1} keV の散乱線量が深さ {2} cm で有限ではありません。"},
    {CauseNodeScatterNegative, "{1} keV の散乱線量が深さ {2} cm で負です。"},
    {CauseScatterNotFinite, "深さ {1} cm の散乱線量が有限ではありません。"},
    {CauseFirstLayerZero, "第 1 層の全線量が 0 です。"},
    {CausePddNotFinite, "深さ {1} cm の深部線量百分率が有限ではありません。"},
    {CauseKernelFile, "{1}"},
    {CauseWorkingFile, "{1}"},
    {CauseUnexpected, "{1}"},
    {CauseDivergentFsdBelowSets, "発散ビーム散乱のデータは FSD {2} cm 以上のものしかありません "
                                 "(FSD は {1} cm)。FSD を {2} cm "
                                 "以上にするか、発散ビーム散乱を解除してください。"},

    {ResultsFileNotWritten, "結果ファイル「{1}」を書き込めませんでした: {2}。"},
    {ResultsFileNotRegular,
     "結果ファイル「{1}」は書き込みませんでした: "
     "その名前は{2}で、通常のファイルではありません。取り除くか別の名前にしてください。"},
    {ResultsFolderNotWritable,
     "結果ファイル「{1}」をフォルダー「{2}」に書き込めません "
     "({3})"
     "。フォルダーを書き込み可能にするか、書き込めるフォルダーでプログラムを起動してください。"},
    {ResultsFileProtected,
     "結果ファイル「{1}」は保護されていて置き換えられません ({2})。保護を解除するか、"
     "ファイルを取り除いてください。"},
    {ResultsFileEncoding, "結果ファイルを Shift_JIS に変換できません: {1}。"},

    {SaveFailed,
     "{1}を「{2}」として保存できませんでした: {3}。その名前では何も書き込んでいません。"},
    {SavePddData, "PDDデータ"},
    {SavePddGraph, "PDDグラフ"},
    {SaveWorkingFolder, "作業フォルダー"},
    {SaveFolder, "フォルダー「{1}」"},
    {SaveInvalidName, "ファイル名に使えない文字が含まれています"},
    {SaveNameTooLong, "ファイル名として長すぎます"},
    {SaveFolderMissing, "{1}がありません"},
    {SaveNotAFolder, "{1}の途中にフォルダーではなくファイルがあります"},
    {SaveIsAFolder, "同じ名前のフォルダーがあります"},
    {SaveNotWritable, "{1}に書き込めません ({2})"},
    {SaveCannotCreateIn, "{1}にはファイルを作れません ({2})"},
    {SaveProtected, "その名前のファイルは保護されていて置き換えられません ({1})"},
    {SaveNotRegular, "その名前は{1}で、通常のファイルではありません。別の名前にしてください"},
    {SaveDiskFull, "ディスクがいっぱいです ({1})"},
    {SaveSourceMissing,
     "作業用の結果ファイル {1} がありません。OK で計算し直してから保存してください"},
    {SaveSourceUnreadable, "作業用の結果ファイル {1} を読めませんでした ({2})"},
    {SaveSourceNotRegular,
     "作業用の結果ファイル {1} は{2}で、通常のファイルではありません。取り除いて OK "
     "で計算し直してください"},
    {SaveImageNotEncoded, "画像をビットマップに変換できませんでした"},
    {SaveOther, "{1}"},
    {SavedCsv, "PDDデータを保存しました"},
    {SavedBmp, "PDDグラフを bmp形式で保存しました"},
    {SaveEmptyName, "ファイル名がありません"},
    {ExportedTable, "表を書き出しました。"},
    {ExportedGraph, "PDDグラフを png形式で保存しました"},
    {ExportTableMenuItem, "表を CSV で書き出し..."},
    {ExportGraphMenuItem, "グラフを PNG で保存..."},
    {BeamFileProblem, "ビームファイル「{1}」を開けませんでした: {2}。何も変えていません。"},
    {BeamFileMissing, "ファイルがありません"},
    {BeamFileUnreadable, "読めませんでした ({1})"},
    {BeamFileNotRegular, "{1}で、通常のファイルではありません"},
    {BeamFileNewer, "新しい版の Veltrim で書かれています (形式 {1}。この版が読めるのは形式 {2})"},
    {BeamFileDamaged, "壊れているか、ビームファイルではありません ({1})"},
    {SaveBeamMenuItem, "ビームを保存..."},
    {OpenBeamMenuItem, "ビームを開く..."},
    {SaveBeamData, "ビーム"},
    {BeamSaved, "ビームを保存しました"},
    {ReportMenuItem, "レポートを PDF で保存..."},
    {SaveReportData, "レポート"},
    {ReportSaved, "レポートを PDF で保存しました。"},

    {FilterAluminium, "アルミニウム"},
    {FilterCopper, "銅"},
    {Hvl1OutOfReach,
     "測定した第 1 半価層 {1} mm Al は、付加{4}では得られません。ほかの条件が入力どおりのとき、"
     "付加なしで {2} mm Al、{5} mm 付加で {3} mm Al "
     "です。この範囲の値を入力するか、管電圧または固有ろ過を変えてください。"},
    {Hvl1NotMatched,
     "付加{3}のどの厚さでも、測定した第 1 半価層 {1} mm Al に 0.001 mm 以内で一致しません "
     "(最も近いのは {2} mm Al)。"},
    {Hvl1NotPositive, "測定した第 1 半価層「{1}」が正の数 (mm Al) ではありません。"},
    {AirPathInvalid,
     "空気の距離「{1}」が、焦点から測定点までの 0 から 1000 cm の距離ではありません。"},
    {BeamQualityMissing, "線質を求められません: {1}。"},
    {Hvl1MatchedFilter, "付加{2} {1} mm で、測定した第 1 半価層 {3} mm Al になります。"},
    {FilterInherent, "固有ろ過"},
    {Hvl1InherentOutOfReach,
     "測定した第 1 半価層 {1} mm Al は、固有ろ過を変えても得られません。付加フィルタが入力どおりの"
     "とき、固有ろ過なしで {2} mm Al、{5} mm Al 当量で {3} mm Al です。管電圧と付加フィルタを"
     "確かめてください。"},
    {ChangedAluminium, "付加アルミニウム"},
    {ChangedInherent, "固有ろ過"},
    {Hvl1FilterChanged,
     "{1}を {2} mm から {3} mm に変えました。測定した第 1 半価層 {4} mm Al になります。"},
    {Hvl1OfferInherent, "{1}\n\n代わりに、付加フィルタを入力どおりにして固有ろ過を合わせますか?"},
    {QualityWindowTitle, "スペクトルと線質"},
    {QualityMenuItem, "スペクトルと線質..."},
    {DivergentScatterMenuItem, "発散ビーム散乱"},
    {NextCalculationLine, "次の OK: {1}、{2}"},
    {RecalculateOffer, "次の計算は{1}を使います。いま計算し直しますか?"},
    {QualityNoBeam, "まだ計算していません: メインウィンドウで OK を押してください。"},
    {QualityAirTablesMissing, "{1} 空気の表がないため、線質を求められません。"},
    {QualityEnergyAxis, "エネルギー (keV)"},
    {QualityFractionAxis, "0.5 keV ごとの光子の割合"},
    {QualityFiguresTitle, "線 質"},
    {QualityMeanEnergy, "平均エネルギー"},
    {QualityHvl1, "第 1 半価層"},
    {QualityHvl2, "第 2 半価層"},
    {QualityHomogeneity, "均等度"},
    {QualityEffectiveEnergy, "実効エネルギー"},
    {QualityEffectiveAbove, "150 超"},
    {QualityAirPath, "空気の距離 (cm)"},
    {QualityMeasuredHvl1, "第1半価層測定値 (mm Al)"},
    {QualityFindAluminium, "付加 Al を求める"},
    {QualityFoundBeam, "{1} アルミ付加フィルタの欄に書き込みました。メインウィンドウで OK "
                       "を押すと計算します。"},
    {QualityShownBeam, "最後の計算: {1}"},
    {QualityMatchedBeam, "求めたビーム (未計算): {1}"},
    {QualityCurveList, "リセット後の計算 (描いた順)"},
    {QualityBeamConditions, "{1} kV、{2}、ろ過 {3} mm Al 当量 + {4} mm Al + {5} mm Cu、"
                            "FSD {6} cm、照射野 {7}"},
    {QualityRectangularField, "{1} × {2} cm"},
    {QualityCircularField, "直径 {1} cm の円"},
    {QualityConstantPotential, "定電圧"},
    {QualityThreePhase, "三相12ピーク"},
    {QualitySinglePhase, "単相全波"},
    {QualityCurveEntry, "{1}.  {2}:  第 1 半価層 {3} mm Al、{4}"},
    {QualityCurveNoHvl, "{1}.  {2}:  第 1 半価層なし、{3}"},
    {QualityScatterClassic, "従来の散乱"},
    {QualityScatterDivergent, "発散ビーム散乱"},
    {QualitySaveCsvCaption, "スペクトルを csv 形式で保存"},
    {QualitySavePngCaption, "スペクトル図を png 画像で保存"},
    {QualitySave, "保存"},
    {SaveSpectrumData, "スペクトル"},
    {SaveSpectrumPicture, "スペクトル図"},
    {SaveImageNotPng, "画像を PNG に変換できませんでした"},
    {SavedSpectrumCsv, "スペクトルを保存しました"},
    {SavedSpectrumPng, "スペクトル図を png形式で保存しました"},
    {ThicknessOutOfRange, "ファントムの厚さ {1} cm では計算できません。{2} から {3} cm の厚さを "
                          "0.5 cm 単位で入力してください。"},
    {ExposureOutOfRange, "{1} {2} {4} は受け付けられません。0 より大きく {3} {4} "
                         "以下の値を入力してください。"},
    {ExposureAirKerma, "入射空気カーマ"},
    {ExposureTubeOutput, "管出力"},
    {ExposureMas, "管電流時間積"},
    {ExposureOutputDistance, "出力を測定した距離"},
    {ExposureKap, "面積空気カーマ積"},
    {ExposureEsak, "入射表面空気カーマ"},
    {ExposureGivenTwice, "照射量が{1}と{2}の二通りで与えられました。どちらか一つにしてください。"},
    {ExposureNeedsMas, "管出力から照射量を求めるには管電流時間積 (mAs) が必要です。mAs "
                       "も入力してください。"},
    {DoseDepthOutOfRange, "深さ {1} cm はファントムの外です。0 から {2} cm "
                          "の深さを入力してください。"},
    {DoseRangeBackwards, "深さの範囲 {1} から {2} cm が逆順です。浅い方を先に入力してください。"},
    {PointNotFinite, "点 ({1}, {2}, {3}) cm に数値でない座標があります。x、y、深さを有限の値で"
                     "入力してください。"},
    {PointBeyondKernels,
     "軸から {1} cm、深さ {2} cm の点は散乱カーネルの 40 cm より遠くの散乱を"
     "必要とします。この深さでは、その方向に軸から {3} cm までの点を計算できます。"},
    {BeamCarriesNoAirKerma, "このビームには空気カーマがないため、空気カーマあたりの線量を求められ"
                            "ません。"},
    {MediumIcruFourComponent, "ICRU 4 元素軟組織"},
    {MediumIcru44, "ICRU-44 軟組織"},
    {MediumWater, "水"},
    {MediumPmma, "PMMA (アクリル)"},
    {MediumDataFailed, "被照射体の媒質「{1}」の表がないか壊れています: {2}"},

    // the absolute-dose window
    {DoseWindowTitle, "線量"},
    {DoseMenuItem, "線量..."},
    {DoseExposureTitle, "照射量"},
    {DoseGivenAirKerma, "入射空気カーマ"},
    {DoseGivenTubeOutput, "管出力"},
    {DoseGivenKap, "面積空気カーマ積"},
    {DoseGivenEsak, "入射表面空気カーマ"},
    {DoseMeasuredAt, "測定距離"},
    {DoseMeasuredMgy, "mGy (測定値)"},
    {DoseApply, "適用"},
    {DoseResultsTitle, "線 量"},
    {DoseIncidentAirKerma, "入射空気カーマ Ka,i"},
    {DoseBackscatter, "後方散乱係数 B"},
    {DoseEntranceKerma, "入射表面空気カーマ Ka,e"},
    {DoseSurface, "表面線量"},
    {DoseMedium, "媒質: {1}"},
    {DoseMediumChoiceTip, "次からの計算の被照射体"},
    {DoseModel, "散乱モデル: {1}"},
    {DoseAtDepthCaption, "深さの線量"},
    {DoseFrom, "深さ"},
    {DoseTo, "から"},
    {DoseAtDepthButton, "求める"},
    {DoseOverRange, "最小 {1}、最大 {2}"},
    {DoseTableCaption, "最後の計算の線量 (mGy)。深さカーソルの行に印を付けています"},
    {DoseDepthColumn, "深さ (cm)"},
    {DosePrimaryColumn, "一次線"},
    {DoseScatterColumn, "散乱線"},
    {DoseTotalColumn, "合計"},
    {DoseSaveCsvCaption, "線量表を csv 形式で保存"},
    {DoseConditions, "照射条件: {1}"},
    {DoseExposureLine, "照射量: {1}"},
    {DoseTubeOutputGiven, "{1} uGy/mAs × {2} mAs (測定距離 {3} cm)"},
    {SaveDoseData, "線量表"},
    {SavedDoseCsv, "線量表を保存しました"},
}};

} // namespace

std::span<const MessageText> JapaneseMessages() {
    return Japanese;
}

} // namespace veltrim
