#pragma once

#include <QProxyStyle>

namespace veltrim {

// Push buttons with a flat face in their palette's button colour (the light
// yellow of the layout tables), a one-pixel outline, and a slightly darker
// face while pressed; everything else as the application's style draws it.
// The application's style draws a gradient over the face instead.
class FlatButtonStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// One instance for every button of the windows, owned by the application.
QStyle* FlatButtons();

} // namespace veltrim
