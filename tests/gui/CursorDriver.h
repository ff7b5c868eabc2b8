#pragma once

// Driving the depth cursor as a user does: pointer moves over the graph and
// key presses delivered the way the window system delivers them.

#include "app/MainWindow.h"
#include "graph/GraphPicture.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>

namespace veltrim::testing {

// The pointer over the graph at a point in graph units. The event carries the
// exact, fractional pixel position, so that x = 15 and x = 15.01 arrive as
// such; whole pixels would land two graph units apart.
inline void PointerAt(MainWindow& window, QPointF graphPoint) {
    GraphPicture& graph = window.Graph();
    const QPointF local = GraphPicture::GraphToWidget(graphPoint);
    QMouseEvent move(QEvent::MouseMove, local, graph.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&graph, &move);
}

// A key pressed and released while the window is active: the window system
// hands it to the window, which gives it to the control with the focus.
inline void PressKey(MainWindow& window, Qt::Key key) {
    QTest::keyClick(window.windowHandle(), key);
}

// Shows the window and makes it the active one, as a user's click would.
inline bool ShowActive(MainWindow& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Text12, Text6, Text7, Text13, Text14 as they read.
inline QStringList Readouts(const MainWindow& window) {
    QStringList texts;
    for (const char* name : {"Text12", "Text6", "Text7", "Text13", "Text14"})
        texts << window.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    return texts;
}

inline const QStringList NoReadouts{"", "", "", "", ""};

} // namespace veltrim::testing
