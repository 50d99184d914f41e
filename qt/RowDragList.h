#pragma once
// A list box whose rows are dragged with the mouse inside the list. The drag
// is the list's own (a press, then a move beyond the drag distance): the owner
// decides at each move whether a drop would be taken there, and the drag keeps
// being re-evaluated while the pointer rests, so resting on an edge row can
// keep scrolling.
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
        QObject::connect(&repeat_, &QTimer::timeout, this, [this] { DragOver(lastGlobal_); });
    }
    ~RowDragList() override { EndDrag(); }
    RowDragList(const RowDragList&) = delete;
    RowDragList& operator=(const RowDragList&) = delete;

    // Whether a drop at this global position would be taken.
    std::function<bool(const QPoint& global)> onDragOver;
    // The button was released where onDragOver last accepted.
    std::function<void(const QPoint& global)> onDragDrop;

    bool Dragging() const { return dragging_; }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        EndDrag();
        armed_ = e->button() == Qt::LeftButton;
        pressPos_ = e->position().toPoint();
        QListWidget::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton)) {
            QListWidget::mouseMoveEvent(e);
            return;
        }
        // A held button drags rows; it never sweeps a selection.
        if (armed_ && !dragging_ &&
            (e->position().toPoint() - pressPos_).manhattanLength() >=
                QApplication::startDragDistance()) {
            dragging_ = true;
            QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
            repeat_.start();
        }
        if (dragging_) {
            DragOver(e->globalPosition().toPoint());
        }
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!dragging_) {
            armed_ = false;
            QListWidget::mouseReleaseEvent(e);
            return;
        }
        const bool accepted = accepted_;
        EndDrag();
        setState(QAbstractItemView::NoState);
        e->accept();
        if (accepted && onDragDrop) {
            onDragDrop(e->globalPosition().toPoint());
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (dragging_ && e->key() == Qt::Key_Escape) {
            EndDrag();
            e->accept();
            return;
        }
        QListWidget::keyPressEvent(e);
    }

private:
    static constexpr int kDragRepeatMs = 100;

    void DragOver(const QPoint& global) {
        lastGlobal_ = global;
        accepted_ = onDragOver && onDragOver(global);
        QGuiApplication::changeOverrideCursor(accepted_ ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    }
    void EndDrag() {
        if (dragging_) {
            dragging_ = false;
            repeat_.stop();
            QGuiApplication::restoreOverrideCursor();
        }
        armed_ = false;
        accepted_ = false;
    }

    QPoint pressPos_;
    QPoint lastGlobal_;
    bool armed_ = false;
    bool dragging_ = false;
    bool accepted_ = false;
    QTimer repeat_;
};

} // namespace pelmora::editor_detail
