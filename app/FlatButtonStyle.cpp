#include "app/FlatButtonStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace veltrim {

void FlatButtonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool pressed = (option->state & (State_Sunken | State_On)) != 0;
    const QColor face = option->palette.color(QPalette::Button);
    const QRect outline = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(option->rect.adjusted(1, 1, -1, -1), pressed ? face.darker(110) : face);
    painter->setPen(face.darker(option->state & State_HasFocus ? 220 : 160));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(outline);
    painter->restore();
}

QStyle* FlatButtons() {
    static FlatButtonStyle* const style = [] {
        auto* made = new FlatButtonStyle(QStyleFactory::create(QApplication::style()->name()));
        made->setParent(qApp); // goes with the application, after the windows
        return made;
    }();
    return style;
}

} // namespace veltrim
