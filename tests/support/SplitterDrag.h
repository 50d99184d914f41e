#pragma once
// Drags a window's splitter bar with the mouse, as a user does: pressed, moved
// `dy` pixels down (up when negative) with the button held, released.
#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

inline void DragSplitter(QWidget* bar, int dy) {
    const QPoint from(10, 1);
    const QPoint to = from + QPoint(0, dy);
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), bar->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
}
