#pragma once
// Small controls the dialogs share: an up-down (spin arrows without a field of
// their own, optionally driving a buddy edit), a number edit that accepts only
// certain keys, a plain shape, and the dialogs' font.
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace pelmora {

// The dialogs' font: "ＭＳ Ｐゴシック" 12 pixels high, substituted by IPAPGothic.
QFont DialogFont();

// Two arrow buttons. The up arrow (vertical) or the right arrow (horizontal)
// increases the position by the increment; past a limit the position either
// wraps to the other limit or stays at the limit. Every arrow click emits
// Clicked after the position (and the buddy's text) has changed.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(Qt::Orientation orientation, QWidget* parent);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int Increment() const { return increment_; }
    bool Wrap() const { return wrap_; }

    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, max_); }
    void SetMax(int max) { SetRange(min_, max); }
    // Clamped into the range; the buddy shows the new position.
    void SetPosition(int position);
    // A value typed into the buddy: clamped into the range; the buddy's text is
    // rewritten only when the value had to be clamped, so typing is not disturbed.
    void SetPositionFromBuddy(int typed);
    void SetIncrement(int increment) { increment_ = increment; }
    void SetWrap(bool wrap) { wrap_ = wrap; }
    // The edit whose text follows the position (not owned); Up and Down keys
    // in it step the up-down.
    void SetBuddy(QLineEdit* buddy);

    // One arrow click: +1 up or right, -1 down or left.
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
    void ShowInBuddy();

    Qt::Orientation orientation_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
    bool wrap_ = false;
    int pressed_ = 0; // direction of the arrow held down, 0 none
    QTimer repeat_;   // steps again while an arrow is held down
    QLineEdit* buddy_ = nullptr;
};

// A one-line edit that accepts only the characters in `allowed`, plus
// backspace and the editing and navigation keys; other typed characters are
// discarded.
class TNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    TNumberEdit(const QString& allowed, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString allowed_;
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

// A plain drawing surface whose painting and mouse handling the owning form
// supplies, in the manner of a form's event handlers.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent) : QWidget(parent) {}

    std::function<void(QPainter&)> OnPaint;
    std::function<void(QMouseEvent*)> OnMouseDown;
    std::function<void(QMouseEvent*)> OnMouseMove;
    std::function<void(QMouseEvent*)> OnMouseUp;
    std::function<void(QMouseEvent*)> OnDblClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false; // a press has been delivered and not yet released
};

} // namespace pelmora
