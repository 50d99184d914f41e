#pragma once
// Small controls the dialogs share: an up-down (spin arrows without a field of
// their own, optionally driven from a buddy edit), a number edit that holds
// only certain text, a plain shape, a paint box, and the dialogs' font.
#include "logic/FormWindow.h"
#include "platform/bitmap.h"
#include "platform/qt/QtGraphics.h"

#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class QTimer;

namespace pelmora {

// The windows' font (kFormFontFaces).
QFont DialogFont();

// Two arrow buttons. Every click of an arrow, and every repeat while one is
// held down, emits Clicked: +1 for the up (vertical) or right (horizontal)
// arrow, -1 for the other. The value they step is kept by the dialog's logic.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(Qt::Orientation orientation, QWidget* parent);

    // The edit whose Up and Down keys click the arrows (not owned); the
    // arrows then take no focus of their own.
    void SetBuddy(QLineEdit* buddy);
    // One arrow click, when enabled.
    void Step(int direction);

signals:
    void Clicked(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int DirectionAt(const QPoint& point) const;

    Qt::Orientation orientation_;
    int pressed_ = 0; // direction of the arrow held down, 0 none
    QTimer* repeat_;  // steps again while an arrow is held down
    QLineEdit* buddy_ = nullptr;
};

// A one-line edit that holds only text `accepts` (given UTF-8) allows,
// however it arrives: typed, pasted, dropped or from an input method.
class TNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    TNumberEdit(std::function<bool(const std::string&)> accepts, QWidget* parent);
};

// A filled rectangle with a one-pixel outline covering the whole widget.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent);

    void SetBrush(const QColor& color) {
        brush_ = color;
        update();
    }
    void SetNoBrush() {
        brush_ = QColor();
        update();
    }
    void SetPen(const QColor& color, Qt::PenStyle style) {
        pen_ = color;
        penStyle_ = style;
        update();
    }
    QColor Brush() const { return brush_; }
    QColor Pen() const { return pen_; }
    Qt::PenStyle PenStyle() const { return penStyle_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_{Qt::white};
    QColor pen_{Qt::black};
    Qt::PenStyle penStyle_ = Qt::SolidLine;
};

// A drawing surface that shows a picture at its top-left corner, with
// whatever OnPaint draws over it; the owning form watches its input.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent) : QWidget(parent) {}

    void SetPicture(const Bitmap24& picture);

    std::function<void(QPainter&)> OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace pelmora
