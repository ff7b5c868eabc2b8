#include "app/WindowBuilder.h"

#include "app/Artwork.h"
#include "app/FlatButtonStyle.h"
#include "graph/GraphMapping.h"
#include "graph/GraphPicture.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace veltrim {
namespace {

// A label whose caption stands at the top of its box, where the design's
// faces kept their descenders inside; the installed faces of the same
// metrics sit lower in their line, and g, p and y would lose their tails at
// the box's bottom. The caption is raised just enough that its ink fits,
// never above the box's top.
class CaptionLabel : public QLabel {
  public:
    using QLabel::QLabel;

    void KeepInkInside() {
        raise_ = 0;
        const auto [top, bottom] = InkRows();
        if (top > bottom)
            return;
        // One pixel to spare for the rounding of glyphs at other scales.
        const int lowest = height() - frameWidth() - 2;
        raise_ = std::max(0, std::min(bottom - lowest, top - frameWidth()));
    }
    int InkRaise() const { return raise_; }

  protected:
    // The caption drawn where InkRows measured it (QLabel's own painting
    // puts a framed label's line lower still), raised by raise_.
    void paintEvent(QPaintEvent* event) override {
        if (text().contains(u'\n')) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        drawFrame(&painter);
        style()->drawItemText(&painter, contentsRect().translated(0, -raise_), alignment(),
                              palette(), isEnabled(), text(), foregroundRole());
    }

  private:
    // The first and last pixel rows the caption inks where the label draws
    // it, measured on a picture taller than the box (top > bottom: no ink).
    std::pair<int, int> InkRows() const {
        constexpr int pad = 32;
        QImage picture(width(), height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.setFont(font());
            QPalette ink = palette();
            ink.setColor(foregroundRole(), Qt::black);
            style()->drawItemText(&painter, contentsRect().translated(0, pad), alignment(), ink,
                                  true, text(), foregroundRole());
        }
        int top = picture.height(), bottom = -1;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) != 0) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    break;
                }
        return {top - pad, bottom - pad};
    }

    int raise_ = 0;
};

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsSet(QRgb colour) {
    return qAlpha(colour) != 0;
}

void SetColour(QWidget& widget, QPalette::ColorRole role, QRgb colour) {
    if (!IsSet(colour))
        return;
    QPalette palette = widget.palette();
    palette.setColor(role, QColor::fromRgb(colour));
    widget.setPalette(palette);
}

void FillBackground(QWidget& widget, QRgb colour) {
    if (!IsSet(colour))
        return;
    widget.setAutoFillBackground(true);
    SetColour(widget, widget.backgroundRole(), colour);
}

Qt::Alignment Horizontal(Align alignment) {
    // In the order of Align.
    constexpr Qt::AlignmentFlag flags[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    return flags[static_cast<int>(alignment)];
}

QRect PixelRect(const ControlLayout& c) {
    return {TwipsToPixels(c.Left), TwipsToPixels(c.Top), TwipsToPixels(c.Width),
            TwipsToPixels(c.Height)};
}

QWidget* MakeControl(const ControlLayout& c, QWidget* parent) {
    const QString caption = Utf8(c.Caption);
    switch (c.Kind) {
    case ControlKind::Label: {
        auto* label = new CaptionLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Horizontal(c.Alignment) | Qt::AlignTop);
        SetColour(*label, QPalette::WindowText, c.Text);
        FillBackground(*label, c.Back);
        if (c.Bordered)
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        return label;
    }
    case ControlKind::TextField: {
        auto* field = new QLineEdit(parent);
        field->setAlignment(Horizontal(c.Alignment) | Qt::AlignVCenter);
        field->setTextMargins(0, 0, 0, 0);
        SetColour(*field, QPalette::Text, c.Text);
        SetColour(*field, QPalette::Base, c.Back);
        return field;
    }
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(caption, parent);
        SetColour(*option, QPalette::WindowText, c.Text);
        FillBackground(*option, c.Back);
        return option;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(caption, parent);
        SetColour(*group, QPalette::WindowText, c.Text);
        FillBackground(*group, c.Back);
        return group;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        button->setStyle(FlatButtons());
        SetColour(*button, QPalette::Button, c.Back);
        SetColour(*button, QPalette::ButtonText, c.Text);
        return button;
    }
    case ControlKind::Graph:
        return new GraphPicture(parent);
    case ControlKind::Icon: {
        auto* icon = new QLabel(parent);
        icon->setPixmap(QPixmap::fromImage(ProgramIcon(TwipsToPixels(c.Width))));
        return icon;
    }
    case ControlKind::TitlePicture: {
        auto* picture = new QLabel(parent);
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setLineWidth(2);
        picture->setPixmap(QPixmap::fromImage(TitlePicture(TwipsToPixels(c.Width) - 4)));
        return picture;
    }
    case ControlKind::Line:
        break;
    }
    return nullptr;
}

// A cursor line's end points are twips from the top-left of the graph's
// drawing area; the graph keeps them in graph units.
void PlaceLine(const ControlLayout& c, GraphPicture& graph) {
    const QTransform toGraph = GraphToPixel().inverted();
    const auto toUnits = [&](int x, int y) {
        return toGraph.map(QPointF(static_cast<double>(x) / TwipsPerPixel,
                                   static_cast<double>(y) / TwipsPerPixel));
    };
    const int n = std::stoi(std::string(c.Name.substr(4)));
    graph.SetLine(n, {toUnits(c.Left, c.Top), toUnits(c.Width, c.Height), c.Text, false});
}

// Width of a caption on one line, overhang of the last glyph included, as a
// label measures itself.
int CaptionWidth(const QFont& font, const QString& caption) {
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, 4096, 1024), Qt::AlignLeft | Qt::TextSingleLine, caption)
        .width();
}

// The width a control leaves for its caption: what its own size hint adds
// to the text (frame, indent, indicator), or the style's margins for buttons
// and group boxes, whose hints answer other questions.
int CaptionRoom(const ControlLayout& c, const QWidget& control, const QString& caption) {
    const QStyle& style = *control.style();
    switch (c.Kind) {
    case ControlKind::Label:
    case ControlKind::OptionButton:
        return control.width() -
               (control.sizeHint().width() - CaptionWidth(control.font(), caption));
    case ControlKind::Button:
        return control.width() - 2 * style.pixelMetric(QStyle::PM_ButtonMargin);
    case ControlKind::GroupBox:
        return control.width() - 2 * style.pixelMetric(QStyle::PM_LayoutLeftMargin);
    default:
        return control.width();
    }
}

} // namespace

void FitCaption(QWidget& control, const QString& caption, int room) {
    // The design's captions were measured with hinted, whole-pixel glyph
    // advances; unhinted faces of the same metrics come out a few per cent
    // wider. Narrow the face just enough, never below MinimumCaptionStretch.
    QFont font = control.font();
    for (int stretch = 100; stretch >= MinimumCaptionStretch; --stretch) {
        font.setStretch(stretch);
        if (CaptionWidth(font, caption) <= room)
            break;
    }
    control.setFont(font);
}

QFont DesignFont(const FontSpec& face) {
    QFont font(QString::fromUtf8(FaceName(face.Family)));
    font.setPixelSize(PointsToPixels(face.Points));
    font.setWeight(QFont::Normal);
    font.setItalic(face.Italic);
    return font;
}

void BuildWindow(QWidget& window, const WindowLayout& layout) {
    window.setWindowTitle(Utf8(layout.Caption));
    window.setFixedSize(TwipsToPixels(layout.ClientWidth), TwipsToPixels(layout.ClientHeight));
    window.setFont(DesignFont(layout.DefaultFont));
    window.setWindowIcon(QIcon(QPixmap::fromImage(ProgramIcon())));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    for (const ControlLayout& c : layout.Controls) {
        QWidget* parent = &window;
        QPoint offset;
        if (!c.Parent.empty()) {
            parent = window.findChild<QWidget*>(Utf8(c.Parent));
            if (parent == nullptr)
                throw std::logic_error("layout names a parent before creating it: " +
                                       std::string(c.Parent));
            if (qobject_cast<GraphPicture*>(parent) != nullptr)
                offset = QPoint(GraphPicture::BorderWidth, GraphPicture::BorderWidth);
        }
        if (c.Kind == ControlKind::Line) {
            auto* graph = qobject_cast<GraphPicture*>(parent);
            if (graph == nullptr)
                throw std::logic_error("a cursor line outside the graph: " + std::string(c.Name));
            PlaceLine(c, *graph);
            continue;
        }
        QWidget* control = MakeControl(c, parent);
        control->setObjectName(Utf8(c.Name));
        control->setFont(DesignFont(c.Font));
        const QRect box = PixelRect(c);
        if (c.Kind == ControlKind::Graph)
            control->move(box.topLeft()); // its size is its own: drawing area plus border
        else
            control->setGeometry(box.translated(offset));
        if (!c.Caption.empty()) {
            const QString caption = Utf8(c.Caption);
            FitCaption(*control, caption, CaptionRoom(c, *control, caption));
            if (c.Kind == ControlKind::Label)
                static_cast<CaptionLabel*>(control)->KeepInkInside();
        }
    }
}

QLabel& AddMessageLine(QWidget& window, ControlName name, const QRect& box, const QFont& font) {
    auto* line = new QLabel(&window);
    line->setObjectName(QString::fromLatin1(name.Design));
    line->setWordWrap(true);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    line->setFont(font);
    line->setGeometry(box);
    return *line;
}

void ShowOnMessageLine(QLabel& line, const std::string& text, bool failure) {
    QPalette palette = line.palette();
    palette.setColor(QPalette::WindowText,
                     failure ? QColor(Qt::red) : QColor::fromRgb(colours::DarkBlue));
    line.setPalette(palette);
    line.setText(QString::fromStdString(text));
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace veltrim
