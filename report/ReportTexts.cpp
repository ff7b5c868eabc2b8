#include "report/ReportTexts.h"

#include <array>
#include <string_view>

namespace veltrim {
namespace {

struct Wordings {
    ReportText Id;
    std::string_view English, Japanese;
};

// One entry per ReportText, in its order.
constexpr std::array<Wordings, static_cast<std::size_t>(ReportText::Count)> Table{{
    {ReportText::Title, "Depth dose report", "深部線量レポート"},
    {ReportText::Program, "Veltrim {1}, data set {2}", "Veltrim {1}、データセット {2}"},
    {ReportText::Conditions, "Irradiation conditions", "照射条件"},
    {ReportText::TubeVoltage, "Tube voltage", "X線管電圧"},
    {ReportText::TargetAngle, "Target angle", "ターゲット角度"},
    {ReportText::InherentFiltration, "Inherent filtration", "固有ろ過"},
    {ReportText::AlFilter, "Added Al filter", "Al 付加フィルタ"},
    {ReportText::CuFilter, "Added Cu filter", "Cu 付加フィルタ"},
    {ReportText::Fsd, "FSD", "FSD"},
    {ReportText::FieldX, "Field X at the FSD", "照射野 X (FSD)"},
    {ReportText::FieldY, "Field Y at the FSD", "照射野 Y (FSD)"},
    {ReportText::Rectification, "Rectification", "整流方式"},
    {ReportText::ConstantPotential, "constant potential", "定電圧"},
    {ReportText::ThreePhase, "three-phase 12-peak", "三相 12 ピーク"},
    {ReportText::SinglePhase, "single-phase full-wave", "単相全波"},
    {ReportText::ScatterModel, "Scatter model", "散乱モデル"},
    {ReportText::Classic, "classic", "従来"},
    {ReportText::Divergent, "divergent beam", "発散ビーム"},
    {ReportText::Medium, "Medium", "媒質"},
    {ReportText::Quality, "Beam quality", "線質"},
    {ReportText::AirPath, "Air path", "空気層"},
    {ReportText::MeasuredHvl1, "Measured HVL1", "測定 HVL1"},
    {ReportText::FoundAluminium, "Added Al found for it", "求めた Al 付加フィルタ"},
    {ReportText::FoundCopper, "Added Cu found for it", "求めた Cu 付加フィルタ"},
    {ReportText::FoundInherent, "Inherent filtration found for it", "求めた固有ろ過"},
    {ReportText::Thickness, "Phantom thickness", "ファントムの厚さ"},
    {ReportText::Doses, "Exposure and dose", "曝射と線量"},
    {ReportText::Exposure, "Exposure", "曝射"},
    {ReportText::NoExposure, "none: doses per unit Ka,i", "なし: Ka,i あたりの線量"},
    {ReportText::PerKerma, "per Ka,i", "/ Ka,i"},
    {ReportText::DoseAt, "Dose at {1} cm", "深さ {1} cm の線量"},
    {ReportText::DoseLeast, "Least dose over {1}-{2} cm", "{1}-{2} cm の最小線量"},
    {ReportText::DoseMost, "Most dose over {1}-{2} cm", "{1}-{2} cm の最大線量"},
    {ReportText::Table, "Depth-dose table", "深部線量表"},
    {ReportText::Depth, "Depth (cm)", "深さ (cm)"},
    {ReportText::Percent, "{1} (%)", "{1} (%)"},
    {ReportText::Mgy, "{1} (mGy)", "{1} (mGy)"},
    {ReportText::DepthDose, "Percentage depth dose", "深部量百分率"},
    {ReportText::PddAxis, "PDD (%)", "PDD (%)"},
    {ReportText::Accuracy, "Validated accuracy and limits", "検証された精度と限界"},
    // The figures of docs/validation.md's summary.
    {ReportText::AccuracyText,
     "Against direct Monte Carlo of four beams at FSD 60-100 cm, the divergent-beam scatter "
     "model lies within 1.07 % at 1-10 cm and 1.75 % at 20 cm; the classic model is up to "
     "10.23 % low at 20 cm. The dose per unit incident air kerma lies within 1.69 % at "
     "0.25-20 cm, the backscatter factor and the surface dose within 1.29 % and 1.30 %.\n"
     "Limits: the model's spectra are softer than measured ones (HVL1 2 % at 40 kV to 14 % at "
     "150 kV below PTB measurements) unless the beam is given by its measured HVL1; ICRU "
     "four-component soft tissue, the default medium, absorbs 4.8-6.8 % less energy per unit "
     "air kerma than water; in slabs of water, ICRU-44 tissue and PMMA the divergent model "
     "lies within 2 % of direct Monte Carlo to 1 cm before the exit, and off the axis 1-10 cm "
     "beyond the field's edge within 5 % (either model); no focal-spot "
     "penumbra or heel effect; tube voltages 30-150 kV.",
     "4 本のビーム (FSD 60-100 cm) の直接モンテカルロ計算に対し、発散ビーム散乱モデルは "
     "1-10 cm で 1.07 % 以内、20 cm で 1.75 % 以内、従来モデルは 20 cm で最大 10.23 % 低い。"
     "入射空気カーマあたりの線量は 0.25-20 cm で 1.69 % 以内、後方散乱係数と表面線量は "
     "それぞれ 1.29 % と 1.30 % 以内。\n"
     "限界: 測定 HVL1 でビームを与えない限り、モデルのスペクトルは測定より軟らかい "
     "(HVL1 は PTB の測定より 40 kV で 2 %、150 kV で 14 % 小さい)。既定の媒質 ICRU 4 元素"
     "軟組織は、空気カーマあたりの吸収エネルギーが水より 4.8-6.8 % 少ない。水、ICRU-44 "
     "軟組織、PMMA の平板では、発散ビーム散乱モデルは出口の 1 cm 手前まで直接モンテカルロ計算の "
     "2 % 以内、軸外では照射野の縁から 1-10 cm 外側で 5 % 以内 (両モデル)。焦点の"
     "半影とヒール効果は含まない。管電圧は 30-150 kV。"},
    {ReportText::Identification, "Patient and report", "患者とレポート"},
    {ReportText::PatientId, "Patient ID", "患者 ID"},
    {ReportText::Examination, "Examination", "検査"},
    {ReportText::ExamDate, "Examination date", "検査日"},
    {ReportText::ReportMade, "Report made", "レポート作成"},
    {ReportText::Physicist, "Physicist", "担当者"},
    {ReportText::Points, "Dose at points (x, y, depth; % of the axis's first layer)",
     "点の線量 (x, y, 深さ; 中心軸の第 1 層に対する %)"},
    {ReportText::PointAt, "Point {1} cm", "点 {1} cm"},
}};

constexpr bool InOrder() {
    for (std::size_t i = 0; i < Table.size(); ++i)
        if (Table[i].Id != static_cast<ReportText>(i))
            return false;
    return true;
}
static_assert(InOrder(), "one wording per ReportText, in its order");

} // namespace

std::string ReportWording(ReportText text, Language language, const std::string& first,
                          const std::string& second) {
    const Wordings& entry = Table[static_cast<std::size_t>(text)];
    const std::string_view wording =
        language == Language::Japanese ? entry.Japanese : entry.English;
    std::string result;
    for (std::size_t i = 0; i < wording.size(); ++i) {
        if (wording[i] == '{' && i + 2 < wording.size() && wording[i + 2] == '}' &&
            (wording[i + 1] == '1' || wording[i + 1] == '2')) {
            result += wording[i + 1] == '1' ? first : second;
            i += 2;
        } else {
            result += wording[i];
        }
    }
    return result;
}

} // namespace veltrim
