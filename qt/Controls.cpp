#include "qt/Controls.h"

#include "platform/syscolors.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <utility>

namespace pelmora {
namespace {

// Holding an arrow down repeats it, first after a pause.
constexpr int kRepeatDelay = 400; // ms
constexpr int kRepeatInterval = 50;

// Refuses every change that would leave text the owner does not accept.
class AcceptingValidator : public QValidator {
public:
    AcceptingValidator(std::function<bool(const std::string&)> accepts, QObject* parent)
        : QValidator(parent), accepts_(std::move(accepts)) {}

    State validate(QString& input, int&) const override {
        return accepts_(input.toStdString()) ? Acceptable : Invalid;
    }

private:
    std::function<bool(const std::string&)> accepts_;
};

} // namespace

QFont DialogFont() {
    QFont font;
    QStringList faces;
    for (const char* face : kFormFontFaces) {
        faces << QString::fromUtf8(face);
    }
    font.setFamilies(faces);
    font.setPixelSize(kFormFontPixels);
    return font;
}

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation), repeat_(new QTimer(this)) {
    setFocusPolicy(Qt::TabFocus);
    repeat_->setObjectName(QStringLiteral("repeat"));
    connect(repeat_, &QTimer::timeout, this, [this] {
        repeat_->setInterval(kRepeatInterval);
        if (pressed_ != 0 && DirectionAt(mapFromGlobal(QCursor::pos())) == pressed_) {
            Step(pressed_);
        }
    });
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
    }
}

void TUpDown::Step(int direction) {
    if (isEnabled() && direction != 0) {
        emit Clicked(direction > 0 ? 1 : -1);
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
        option.state |= pressed_ == direction ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = r.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(arrow, &option, &painter, this);
    };
    drawArrow(increase, 1, vertical ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowRight);
    drawArrow(decrease, -1,
              vertical ? QStyle::PE_IndicatorArrowDown : QStyle::PE_IndicatorArrowLeft);
    if (hasFocus()) {
        // A dotted frame inside the arrows, as a focused button shows.
        QPen pen(palette().color(QPalette::WindowText));
        pen.setDashPattern({1.0, 1.0});
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    pressed_ = DirectionAt(event->position().toPoint());
    update();
    Step(pressed_);
    repeat_->start(kRepeatDelay);
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        repeat_->stop();
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

TNumberEdit::TNumberEdit(std::function<bool(const std::string&)> accepts, QWidget* parent)
    : QLineEdit(parent) {
    setValidator(new AcceptingValidator(std::move(accepts), this));
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

void TPaintBox::SetPicture(const Bitmap24& picture) {
    picture_ = ToQImage(picture);
    update();
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
    if (OnPaint) {
        OnPaint(painter);
    }
}

} // namespace pelmora
