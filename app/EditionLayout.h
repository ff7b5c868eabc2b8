#pragma once

#include "core/Conditions.h"
#include "graph/Colours.h"

#include <QColor>
#include <span>
#include <string_view>

namespace veltrim {

// Window layouts as data: one table per window and edition, in twips (1/1440
// inch) from the top-left corner of the parent's client area, as the windows
// were designed. The window classes apply these tables; tests read them.
inline constexpr int TwipsPerPixel = 15; // at 96 dots per inch
// A table drawn in pixels holds twips, as every layout does.
inline constexpr int Tw(int pixels) {
    return pixels * TwipsPerPixel;
}

enum class ControlKind {
    Label,        // static text; Back's alpha 0 means transparent
    TextField,    // single-line text entry
    OptionButton, // radio button inside a group box
    GroupBox,     // captioned group box
    Button,       // push button
    Graph,        // the graph picture (its own 2-pixel sunken border)
    Line,         // a cursor line over the graph: Left, Top to Width, Height are its two end points
    Icon,         // the program's 32 x 32 icon
    TitlePicture, // the start window's picture, inside a 2-pixel sunken border
};

// Font families the windows were laid out for; the program maps them to installed
// faces of the same metrics (see InstallFontSubstitutes).
enum class Face { TimesNewRoman, MsGothic, Meiryo };

struct FontSpec {
    Face Family = Face::TimesNewRoman;
    double Points = 14.25;
    bool Italic = false;
};

// "Not set": transparent background, or the style's own text colour.
inline constexpr QRgb Unset = 0x00000000;

// Horizontal alignment of a caption; texts are vertically at the top for
// labels, centred for the rest.
enum class Align { Left, Centre, Right };

struct ControlLayout {
    // The control's design name, e.g. "Label1(2)"; those the code speaks of
    // come from ControlNames.h.
    std::string_view Name;
    ControlKind Kind;
    std::string_view Parent; // "" for the window itself, else a group box or the graph
    int Left, Top, Width, Height;
    FontSpec Font;
    std::string_view Caption; // UTF-8
    QRgb Text = Unset;
    QRgb Back = Unset;
    Align Alignment = Align::Left;
    bool Bordered = false; // a single-line border (labels)
};

struct WindowLayout {
    std::string_view Caption;
    int ClientWidth, ClientHeight; // twips
    FontSpec DefaultFont;
    std::span<const ControlLayout> Controls; // back to front
};

const WindowLayout& MainWindowLayout(Language edition);
const WindowLayout& StartWindowLayout();

// Twips to pixels at 96 dots per inch, and points to a pixel height.
int TwipsToPixels(int twips);
int PointsToPixels(double points);

// The family name the design gives a face.
const char* FaceName(Face face);

// Maps the design's faces to installed ones of the same metrics: Liberation
// Serif for Times New Roman, IPA Gothic for the two Japanese faces. Call once
// after the application object exists.
void InstallFontSubstitutes();

} // namespace veltrim
