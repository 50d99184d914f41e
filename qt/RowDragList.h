#pragma once
// A list box whose rows are dragged with the mouse inside the list
// (RowDragGesture): the owner decides at each move, and every 100 ms while
// the pointer rests, whether a drop would be taken there.
#include "logic/RowDragGesture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

#include <functional>

namespace pelmora::editor_detail {

class RowDragList : public QListWidget {
public:
    explicit RowDragList(QWidget* parent) : QListWidget(parent) {
        repeat_.setInterval(kDragRepeatMs);
        QObject::connect(&repeat_, &QTimer::timeout, this, [this] {
            const TPoint spot = drag_.LastSpot();
            DragOver({spot.X, spot.Y});
        });
    }
    ~RowDragList() override { EndDrag(); }
    RowDragList(const RowDragList&) = delete;
    RowDragList& operator=(const RowDragList&) = delete;

    // Whether a drop at this global position would be taken.
    std::function<bool(const QPoint& global)> onDragOver;
    // The button was released where onDragOver last accepted.
    std::function<void(const QPoint& global)> onDragDrop;

    bool Dragging() const { return drag_.Dragging(); }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        EndDrag();
        const QPoint at = e->position().toPoint();
        drag_.Press({at.x(), at.y()}, e->button() == Qt::LeftButton);
        QListWidget::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton)) {
            QListWidget::mouseMoveEvent(e);
            return;
        }
        const bool started = !drag_.Dragging();
        const QPoint at = e->position().toPoint();
        const int distance = QApplication::startDragDistance();
        if (drag_.Move({at.x(), at.y()}, distance, distance)) {
            if (started) {
                QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
                repeat_.start();
            }
            DragOver(e->globalPosition().toPoint());
        }
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!drag_.Dragging()) {
            drag_.End();
            QListWidget::mouseReleaseEvent(e);
            return;
        }
        const bool accepted = drag_.Taken();
        EndDrag();
        setState(QAbstractItemView::NoState);
        e->accept();
        if (accepted && onDragDrop) {
            onDragDrop(e->globalPosition().toPoint());
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (drag_.Dragging() && e->key() == Qt::Key_Escape) {
            EndDrag();
            e->accept();
            return;
        }
        QListWidget::keyPressEvent(e);
    }

private:
    static constexpr int kDragRepeatMs = 100;

    void DragOver(const QPoint& global) {
        drag_.Judged({global.x(), global.y()}, onDragOver && onDragOver(global));
        QGuiApplication::changeOverrideCursor(drag_.Taken() ? Qt::DragMoveCursor
                                                            : Qt::ForbiddenCursor);
    }
    void EndDrag() {
        if (drag_.End()) {
            repeat_.stop();
            QGuiApplication::restoreOverrideCursor();
        }
    }

    RowDragGesture drag_;
    QTimer repeat_;
};

} // namespace pelmora::editor_detail
