#include "qt/Controls.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace pelmora {
namespace {

// Holding an arrow down repeats it, first after a pause.
constexpr int kRepeatDelay = 400; // ms
constexpr int kRepeatInterval = 50;

} // namespace

QFont DialogFont() {
    QFont font;
    // The dialogs were laid out for this face; IPAPGothic has the same metrics.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(12);
    return font;
}

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
    setFocusPolicy(Qt::TabFocus);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(kRepeatInterval);
        if (pressed_ != 0 && DirectionAt(mapFromGlobal(QCursor::pos())) == pressed_) {
            Step(pressed_);
        }
    });
}

void TUpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, std::max(min_, max_));
    ShowInBuddy();
    update();
}

void TUpDown::SetPositionFromBuddy(int typed) {
    position_ = std::clamp(typed, min_, std::max(min_, max_));
    if (position_ != typed) {
        ShowInBuddy();
    }
    update();
}

void TUpDown::SetBuddy(QLineEdit* buddy) {
    if (buddy_ != nullptr) {
        buddy_->removeEventFilter(this);
    }
    buddy_ = buddy;
    if (buddy_ != nullptr) {
        // Operated through the buddy's Up and Down keys, like a spin box.
        setFocusPolicy(Qt::NoFocus);
        buddy_->installEventFilter(this);
        ShowInBuddy();
    }
}

void TUpDown::Step(int direction) {
    if (!isEnabled() || direction == 0) {
        return;
    }
    const long long next = static_cast<long long>(position_) +
                           static_cast<long long>(increment_) * (direction > 0 ? 1 : -1);
    if (next > max_) {
        position_ = wrap_ ? min_ : max_;
    } else if (next < min_) {
        position_ = wrap_ ? max_ : min_;
    } else {
        position_ = static_cast<int>(next);
    }
    ShowInBuddy();
    update();
    emit Clicked(direction);
}

void TUpDown::ShowInBuddy() {
    if (buddy_ == nullptr) {
        return;
    }
    const QString text = QString::number(position_);
    if (buddy_->text() != text) {
        const QSignalBlocker quiet(buddy_);
        buddy_->setText(text);
    }
}

int TUpDown::DirectionAt(const QPoint& point) const {
    if (orientation_ == Qt::Vertical) {
        return point.y() < height() / 2 ? 1 : -1;
    }
    return point.x() >= width() / 2 ? 1 : -1;
}

void TUpDown::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool vertical = orientation_ == Qt::Vertical;
    const int w = width();
    const int h = height();
    const QRect increase = vertical ? QRect(0, 0, w, h / 2) : QRect(w / 2, 0, w - w / 2, h);
    const QRect decrease = vertical ? QRect(0, h / 2, w, h - h / 2) : QRect(0, 0, w / 2, h);
    const auto drawArrow = [&](const QRect& r, int direction, QStyle::PrimitiveElement arrow) {
        QStyleOption option;
        option.initFrom(this);
        option.rect = r;
        option.state |= QStyle::State_Raised;
        if (pressed_ == direction) {
            option.state |= QStyle::State_Sunken;
            option.state &= ~QStyle::State_Raised;
        }
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = r.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(arrow, &option, &painter, this);
    };
    drawArrow(increase, 1, vertical ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowRight);
    drawArrow(decrease, -1,
              vertical ? QStyle::PE_IndicatorArrowDown : QStyle::PE_IndicatorArrowLeft);
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    pressed_ = DirectionAt(event->position().toPoint());
    update();
    Step(pressed_);
    repeat_.start(kRepeatDelay);
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        repeat_.stop();
        pressed_ = 0;
        update();
    }
}

void TUpDown::keyPressEvent(QKeyEvent* event) {
    const bool vertical = orientation_ == Qt::Vertical;
    const int key = event->key();
    if (key == (vertical ? Qt::Key_Up : Qt::Key_Right)) {
        Step(1);
    } else if (key == (vertical ? Qt::Key_Down : Qt::Key_Left)) {
        Step(-1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// TNumberEdit

TNumberEdit::TNumberEdit(const QString& allowed, QWidget* parent)
    : QLineEdit(parent), allowed_(allowed) {}

void TNumberEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool character = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (character && std::any_of(typed.begin(), typed.end(),
                                 [this](QChar c) { return !allowed_.contains(c); })) {
        event->accept(); // swallowed: the field holds a number
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    QPainter painter(this);
    if (brush_.isValid()) {
        painter.fillRect(rect(), brush_);
    }
    QPen pen(pen_);
    pen.setWidth(0);
    if (penStyle_ == Qt::DotLine) {
        pen.setDashPattern({1.0, 1.0});
    } else {
        pen.setStyle(penStyle_);
    }
    painter.setPen(pen);
    painter.drawRect(QRect(0, 0, width() - 1, height() - 1));
}

// ---------------------------------------------------------------------------
// TPaintBox

void TPaintBox::paintEvent(QPaintEvent*) {
    if (OnPaint) {
        QPainter painter(this);
        OnPaint(painter);
    }
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    if (OnMouseDown) {
        OnMouseDown(event);
    }
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        OnMouseMove(event);
    }
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    pressed_ = false;
    if (OnMouseUp) {
        OnMouseUp(event);
    }
}

// Qt delivers the double-click in place of the second press. The handlers see
// the double-click first and then that press, unless the press has already
// been delivered on its own.
void TPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (OnDblClick) {
        OnDblClick(event);
    }
    if (!pressed_) {
        mousePressEvent(event);
    }
}

} // namespace pelmora
