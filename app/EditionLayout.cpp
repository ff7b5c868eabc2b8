#include "app/EditionLayout.h"

#include "app/ControlNames.h"

#include <QFont>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace veltrim {
namespace {

using namespace colours;

constexpr FontSpec Times(double points, bool italic = false) {
    return {Face::TimesNewRoman, points, italic};
}
constexpr FontSpec Meiryo(double points) {
    return {Face::Meiryo, points, false};
}

// What a row of the main window's table shows in one edition.
struct Drawn {
    int Left, Top, Width, Height;
    FontSpec Font;
    std::string_view Caption = ""; // UTF-8
    QRgb Text = Unset;
};

// A row's column of the Japanese edition: the English drawing again, one of
// its own, or no such control.
struct JapaneseDrawing {
    enum class Is { AsEnglish, Own, Absent } What = Is::AsEnglish;
    Drawn Own{};
};
constexpr JapaneseDrawing AsEnglish{};
constexpr JapaneseDrawing NotInJapanese{JapaneseDrawing::Is::Absent};
constexpr JapaneseDrawing InJapanese(Drawn own) {
    return {JapaneseDrawing::Is::Own, own};
}

// A control of the main window, the same name, kind and parent in both
// editions, drawn as each edition's column says.
struct MainControl {
    std::string_view Name;
    ControlKind Kind;
    std::string_view Parent;
    Drawn English;
    JapaneseDrawing Japanese = AsEnglish;
    QRgb Back = Unset;
    Align Alignment = Align::Left;
    bool Bordered = false;
};

// A condition of the main window: its caption, drawn by each edition as its
// own, its field, in the column of fields and the same in both editions, and
// the unit after the field.
struct ConditionRow {
    MainControl Caption;
    ControlName Field;
    int FieldTop, FieldHeight;
    QRgb FieldText;
    MainControl Unit;
};

// The main window's controls in their order: `upper`, each row of
// `conditions` as its caption, field and unit, then `lower`.
template <std::size_t Upper, std::size_t Conditions, std::size_t Lower>
constexpr auto Joined(const MainControl (&upper)[Upper],
                      const ConditionRow (&conditions)[Conditions],
                      const MainControl (&lower)[Lower]) {
    std::array<MainControl, Upper + 3 * Conditions + Lower> all{};
    std::size_t k = 0;
    for (const MainControl& c : upper)
        all[k++] = c;
    for (const ConditionRow& row : conditions) {
        Drawn field{3480, row.FieldTop, 975, row.FieldHeight, Times(14.25)};
        field.Text = row.FieldText;
        all[k++] = row.Caption;
        all[k++] = {row.Field, ControlKind::TextField, "", field, AsEnglish, Unset, Align::Centre};
        all[k++] = row.Unit;
    }
    for (const MainControl& c : lower)
        all[k++] = c;
    return all;
}

// Short names for the tables below.
using K = ControlKind;
using A = Align;
namespace mw = maincontrols;
namespace sw = startcontrols;

// The tables read best one control to a line, as the designer would list them.
// clang-format off

// The main window: the English edition (Form3) and the Japanese edition
// (Form1), back to front. Only the English edition has Label19: its
// "Single-phase" option goes on to "full-wave" on a second line.
constexpr MainControl UpperControls[] = {
    // name, kind, parent, English {left, top, width, height, font, caption, text}, Japanese, back, alignment, border
    {"Label22", K::Label, "", {240, 240, 5775, 8415, Times(14.25)}, InJapanese({240, 240, 5775, 8415, Meiryo(14.25)}), LightCyan, A::Left, true},
    {"Label1(2)", K::Label, "", {1320, 480, 3540, 465, Times(20.25), "Irradiation conditions", DarkBlue}, InJapanese({750, 480, 1590, 465, Meiryo(15.75), "照 射 条 件", DarkBlue}), Unset, A::Centre},
    {mw::RectificationFrame, K::GroupBox, "", {600, 1080, 5055, 1335, Times(15.75), "Rectification method", Black}, InJapanese({600, 1080, 5055, 1335, Meiryo(14.25), "整流方式", Black}), LightCyan},
    {mw::ConstantPotential, K::OptionButton, mw::RectificationFrame, {240, 480, 2415, 330, Times(14.25), "Constant potential"}, InJapanese({480, 480, 1215, 330, Meiryo(14.25), "定電圧"}), LightCyan},
    {mw::ThreePhase12Peak, K::OptionButton, mw::RectificationFrame, {240, 885, 2295, 330, Times(14.25), "3-phase 12 peak"}, InJapanese({480, 885, 2175, 330, Meiryo(14.25), "三相12ピーク"}), LightCyan},
    {mw::SinglePhaseFullWave, K::OptionButton, mw::RectificationFrame, {3000, 480, 1935, 330, Times(14.25), "Single-phase"}, InJapanese({2760, 480, 1575, 330, Meiryo(14.25), "単相全波"}), LightCyan},
    {"Label19", K::Label, mw::RectificationFrame, {3600, 840, 1005, 315, Times(14.25), "full-wave"}, NotInJapanese},
};

// Then the conditions from the tube voltage to the FSD.
constexpr ConditionRow ConditionRows[] = {
    // caption, field, its top, height and text colour, unit
    {{"Label1(1)", K::Label, "", {1590, 2640, 1620, 345, Times(15.75), "Tube voltage"}, InJapanese({1680, 2640, 1440, 420, Meiryo(14.25), "Ｘ線管電圧"})}, mw::TubeVoltage, 2640, 405, DarkBlue, {"Label8", K::Label, "", {4560, 2715, 345, 315, Times(14.25), "kV"}}},
    {{"Label1(0)", K::Label, "", {1680, 3240, 1530, 345, Times(15.75), "Target angle"}, InJapanese({1080, 3240, 2010, 420, Meiryo(14.25), "ターゲット角度"})}, mw::TargetAngle, 3240, 420, Blue, {"Label5", K::Label, "", {4560, 3270, 855, 375, Times(14.25), "degree"}}},
    {{"Label2(1)", K::Label, "", {1080, 3840, 2205, 345, Times(15.75), "Inherent filtration"}, InJapanese({795, 3840, 2505, 420, Meiryo(14.25), "固有ろ過（Al 当量)"})}, mw::InherentFiltration, 3840, 390, DarkBlue, {"Label9", K::Label, "", {4560, 3870, 1095, 315, Times(14.25), "mmAl eq."}}},
    {{"Label4", K::Label, "", {1200, 4440, 2040, 345, Times(15.75), "Aluminum filter"}, InJapanese({720, 4440, 2580, 420, Meiryo(14.25), "アルミ付加フィルタ"})}, mw::AlFilter, 4440, 405, DarkBlue, {"Label11", K::Label, "", {4560, 4470, 435, 315, Times(14.25), "mm"}}},
    {{"Label7", K::Label, "", {1680, 5040, 1620, 345, Times(15.75), "Copper filter"}, InJapanese({1200, 5040, 2010, 420, Meiryo(14.25), "銅付加フィルタ"})}, mw::CuFilter, 5040, 405, DarkBlue, {"Label12", K::Label, "", {4560, 5085, 435, 315, Times(14.25), "mm"}}},
    {{"Label1(4)", K::Label, "", {495, 5760, 5130, 345, Times(15.75), "Focus to entrance surface distance (FSD)"}, InJapanese({720, 5760, 3570, 420, Meiryo(14.25), "焦点-入射表面間距離 (FSD)"})}, mw::Fsd, 6240, 405, DarkBlue, {"Label13", K::Label, "", {4515, 6270, 375, 315, Times(14.25), "cm"}}},
};

// Then the field size and all below and beside it.
constexpr MainControl LowerControls[] = {
    {"Label14", K::Label, "", {840, 6720, 2160, 345, Times(15.75), "Field size at FSD"}, InJapanese({720, 6720, 2730, 420, Meiryo(14.25), "照射野サイズ at FSD"})},
    {mw::FieldX, K::TextField, "", {2040, 7200, 975, 405, Times(14.25), "", DarkBlue}, AsEnglish, Unset, A::Centre},
    {"Label17", K::Label, "", {3120, 7200, 195, 360, Meiryo(12.0), "×"}},
    {mw::FieldY, K::TextField, "", {3480, 7200, 975, 405, Times(14.25), "", DarkBlue}, AsEnglish, Unset, A::Centre},
    {"Label16", K::Label, "", {4515, 7215, 375, 315, Times(14.25), "cm"}},
    {"Label21", K::Label, "", {4920, 7200, 90, 225, Times(9.0), "2"}},
    {"Label23", K::Label, "", {480, 7920, 2205, 345, Times(15.75), "Phantom material"}, InJapanese({1080, 7920, 1140, 420, Meiryo(14.25), "被照射体"})},
    {mw::PhantomMaterial, K::Label, "", {2880, 7920, 2775, 405, Times(14.25), "ICRU soft-tissue", Blue}, InJapanese({2520, 7920, 2775, 405, Times(14.25), "ICRU soft-tissue", Blue}), White, A::Centre, true},
    {mw::Ok, K::Button, "", {1080, 8880, 1935, 735, Times(15.75), "OK"}, AsEnglish, LightYellow},
    {mw::Reset, K::Button, "", {3720, 8880, 1935, 735, Times(15.75), "Reset"}, InJapanese({3720, 8880, 1935, 735, Meiryo(14.25), "リセット"}), LightYellow},
    {mw::Exit, K::Button, "", {1080, 9840, 1215, 495, Times(15.75), "Exit"}, InJapanese({1080, 9840, 1215, 495, Meiryo(14.25), "終了"}), LightYellow},
    {mw::Graph, K::Graph, "", {6480, 240, 8415, 8415, Times(15.75)}},
    {"Line1", K::Line, mw::Graph, {1139, 3360, 7975, 3360, Times(14.25), "", Black}},
    {"Line2", K::Line, mw::Graph, {4557, 186, 4557, 6591, Times(14.25), "", Red}},
    {"Line3", K::Line, mw::Graph, {1139, 3840, 7975, 3840, Times(14.25), "", Red}},
    {"Line4", K::Line, mw::Graph, {1139, 4320, 7975, 4320, Times(14.25), "", Blue}},
    {"Label20", K::Label, mw::Graph, {5520, 7920, 750, 285, Times(12.0), "Depth ="}, InJapanese({5520, 7920, 795, 300, Meiryo(9.75), "Depth ="}), White, A::Right},
    {"Label15", K::Label, mw::Graph, {6960, 7920, 150, 315, Times(14.25), "~"}, InJapanese({6930, 7920, 225, 300, Meiryo(9.75), "～"}), White},
    {"Label6", K::Label, mw::Graph, {7800, 7920, 270, 285, Times(12.0), "cm"}, InJapanese({7800, 7920, 285, 300, Meiryo(9.75), "cm"}), White},
    {mw::ShallowDepth, K::TextField, "", {12840, 8160, 615, 345, Times(12.0)}, InJapanese({12840, 8160, 615, 345, Meiryo(9.75)}), LightCyan, A::Centre},
    {mw::DeepDepth, K::TextField, "", {13680, 8160, 615, 345, Times(12.0)}, InJapanese({13680, 8160, 615, 345, Meiryo(9.75)}), LightCyan, A::Centre},
    {mw::TotalReadout, K::TextField, "", {6600, 7560, 1095, 375, Times(12.0), "", Black}, InJapanese({6600, 7560, 1095, 375, Meiryo(9.75), "", Black}), LightYellow, A::Centre},
    {mw::PrimaryReadout, K::TextField, "", {6600, 7920, 1095, 375, Times(12.0), "", Red}, InJapanese({6600, 7920, 1095, 375, Meiryo(9.75), "", Red}), LightYellow, A::Centre},
    {mw::ScatterReadout, K::TextField, "", {6600, 8280, 1095, 375, Times(12.0), "", Blue}, InJapanese({6600, 8280, 1095, 375, Meiryo(9.75), "", Blue}), LightYellow, A::Centre},
    {"Label3", K::Label, "", {6720, 8700, 7665, 285, Times(12.0), "Move the mouse cursor on the graph or press the left or right key to display the PDD"}, InJapanese({6600, 8685, 7995, 300, Meiryo(9.75), "グラフ上でマウスカーソルを動かすか、または左右キーを押すと深部線量率が表示されます"})},
    {"Label10", K::Label, "", {6480, 9120, 3810, 375, Times(14.25), "Save PDD data in csv format"}, InJapanese({6480, 9120, 3690, 420, Meiryo(12.0), "  PDDデータを csv 形式で保存  "}), LightCyan, A::Centre, true},
    {mw::NumbersFileName, K::TextField, "", {10200, 9120, 3735, 435, Times(14.25)}, InJapanese({10080, 9120, 3855, 435, Meiryo(11.25)}), Unset, A::Centre},
    {mw::SaveNumbers, K::Button, "", {13920, 9120, 975, 435, Times(14.25), "Save"}, InJapanese({13920, 9120, 975, 435, Meiryo(12.0), "保存"}), LightYellow},
    {"Label25", K::Label, "", {6510, 9960, 3690, 375, Times(14.25), "Save PDD graph as bmp image"}, InJapanese({6480, 9960, 3630, 420, Meiryo(12.0), " PDDグラフを bmp 画像で保存  "}), LightCyan, A::Centre, true},
    {mw::PictureFileName, K::TextField, "", {10200, 9960, 3735, 435, Times(14.25)}, InJapanese({10080, 9960, 3855, 435, Meiryo(11.25)}), Unset, A::Centre},
    {mw::SavePicture, K::Button, "", {13920, 9960, 975, 435, Times(14.25), "Save"}, InJapanese({13920, 9960, 975, 435, Meiryo(12.0), "保存"}), LightYellow},
    {"Label18", K::Label, "", {7680, 9600, 6210, 315, Times(14.25), "Input file name without extention (both top and bottom)", Blue}, InJapanese({8400, 9600, 5460, 300, Meiryo(9.75), "保存ファイル名を、拡張子なしで入力して下さい（上下とも）", Black})},
    {"Picture2", K::Icon, "", {4320, 9840, 480, 480, Times(14.25)}},
};

constexpr auto MainControls = Joined(UpperControls, ConditionRows, LowerControls);

// The start window (Form2). Client area 14985 x 6600 twips.
constexpr ControlLayout StartControls[] = {
    {"Picture1", K::TitlePicture, "", 8400, 120, 6315, 6315, Times(15.75), ""},
    // The yellow title sits 45 twips right and 15 below the red one, behind it: a shadow.
    {sw::TitleShadow, K::Label, "", 2520, 360, 3660, 1095, Times(48.0, true), "Veltrim", Yellow},
    {sw::Title, K::Label, "", 2475, 345, 3660, 1095, Times(48.0, true), "Veltrim", Red},
    {"Label3", K::Label, "", 480, 1800, 6825, 510, Times(21.75, true), "Calculation of Percentage Depth Dose", Black},
    {"Label5", K::Label, "", 2280, 2520, 3735, 510, Times(21.75, true), "for diagnostic X-rays", Black},
    {sw::English, K::Button, "", 960, 3720, 2895, 855, Times(18.0), "English edition", Unset, LightYellow},
    {sw::Japanese, K::Button, "", 4680, 3720, 2895, 855, Times(18.0), "Japanese edition", Unset, LightYellow},
    {sw::Exit, K::Button, "", 960, 5040, 1575, 735, Times(18.0), "Exit", Unset, LightYellow},
    {"Picture2", K::Icon, "", 7080, 5160, 480, 480, Times(15.75), ""},
    {"Label4", K::Label, "", 2040, 6120, 4230, 285, Times(12.0), "Version 0.1  ·  the Veltrim team", Grey},
};

// clang-format on

// The main window's table in one edition.
template <Language edition> constexpr auto EditionControls() {
    constexpr auto drawn = [](const MainControl& c) {
        return edition == Language::English || c.Japanese.What != JapaneseDrawing::Is::Absent;
    };
    std::array<ControlLayout, std::ranges::count_if(MainControls, drawn)> controls{};
    std::size_t k = 0;
    for (const MainControl& c : MainControls) {
        if (!drawn(c))
            continue;
        const bool own =
            edition == Language::Japanese && c.Japanese.What == JapaneseDrawing::Is::Own;
        const Drawn& d = own ? c.Japanese.Own : c.English;
        controls[k++] = {c.Name, c.Kind,    c.Parent, d.Left, d.Top,       d.Width,   d.Height,
                         d.Font, d.Caption, d.Text,   c.Back, c.Alignment, c.Bordered};
    }
    return controls;
}
constexpr auto EnglishControls = EditionControls<Language::English>();
constexpr auto JapaneseControls = EditionControls<Language::Japanese>();

// Both captions begin with one blank. Client areas: 15315 x 10650 twips
// (English) and 15240 x 10620 (Japanese).
constexpr WindowLayout English{" Percentage depth dose of diagnostic CX-rays", 15315, 10650,
                               Times(14.25), EnglishControls};
constexpr WindowLayout Japanese{
    " 診断領域Ｘ線の深部量百分率", 15240, 10620, {Face::MsGothic, 9.75, false}, JapaneseControls};
constexpr WindowLayout Start{"Percentage depth dose of diagnostic X-rays", 14985, 6600,
                             Times(15.75), StartControls};

} // namespace

const WindowLayout& MainWindowLayout(Language edition) {
    return edition == Language::Japanese ? Japanese : English;
}

const WindowLayout& StartWindowLayout() {
    return Start;
}

int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel));
}

int PointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

const char* FaceName(Face face) {
    // In the order of Face; a value outside it is Times New Roman, the default.
    static constexpr const char* Names[] = {"Times New Roman", "ＭＳ ゴシック", "メイリオ"};
    const auto at = static_cast<std::size_t>(face);
    return at < std::size(Names) ? Names[at] : Names[0];
}

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                                QStringLiteral("DejaVu Serif")});
    // A fixed-pitch Gothic for the window default, a proportional one for the captions.
    QFont::insertSubstitutions(QString::fromUtf8(FaceName(Face::MsGothic)),
                               {QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QString::fromUtf8(FaceName(Face::Meiryo)),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("IPAGothic")});
}

} // namespace veltrim
