#include "qt/value.h"

#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace pelmora {
namespace {

// Object names of the controls the logic addresses, in ValueControl order.
constexpr const char* kControlNames[] = {
    "rbOut",   "rbIn",     "spComment",  "lbStandard", "spOut", "spIn",    "lbLeft",  "lbTop",
    "lbRight", "lbBottom", "spStandard", "udLeft",     "udTop", "udRight", "udBottom"};
static_assert(std::size(kControlNames) == static_cast<std::size_t>(ValueControl::udBottom) + 1);

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

template <typename T> T* Place(T* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

TShape* Shape(QWidget* parent, const char* name) {
    auto* shape = new TShape(parent);
    shape->setObjectName(QString::fromLatin1(name));
    return shape;
}

QLabel* ValueLabel(QWidget* parent, const char* name, int x, int y) {
    auto* label = Place(new QLabel(parent), name, x, y, 41, 17);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

} // namespace

TValueForm::TValueForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TValueForm"));
    setWindowTitle(Utf8("描画範囲の微調整"));
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(281, 315);
    const QColor face = QColorOf(SystemColorRef(kColorBtnFace));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::Button, face);
    setPalette(pal);

    // Shapes and labels in painting order, later ones on top.
    Shape(this, "spOut");
    Shape(this, "spIn");
    ValueLabel(this, "lbLeft", 56, 170);
    ValueLabel(this, "lbRight", 184, 170);
    ValueLabel(this, "lbBottom", 120, 202);
    ValueLabel(this, "lbTop", 120, 122);
    Shape(this, "spStandard");
    Shape(this, "spComment");
    auto* lbComment = new QLabel(Utf8("基準範囲："), this);
    lbComment->setObjectName(QStringLiteral("lbComment"));
    lbComment->adjustSize();
    lbComment->move(96, 44);
    Place(new QLabel(this), "lbStandard", 152, 44, 120, 12);

    auto* rbOut = Place(new QRadioButton(Utf8("外縁の調整(&O)"), this), "rbOut", 32, 16, 113, 17);
    auto* rbIn = Place(new QRadioButton(Utf8("枠太さの調整(&W)"), this), "rbIn", 152, 16, 113, 17);
    for (QRadioButton* radio : {rbOut, rbIn}) {
        connect(radio, &QRadioButton::clicked, this,
                [this, rbIn] { logic_->rbOutClick(rbIn->isChecked()); });
    }

    const auto arrows = [this](ValueControl control, const char* name, Qt::Orientation orientation,
                               int x, int y) {
        auto* upDown = Place(new TUpDown(orientation, this), name, x, y, 40, 25);
        connect(upDown, &TUpDown::Clicked, this,
                [this, control](int direction) { logic_->udTopClick(control, direction); });
        return upDown;
    };
    TUpDown* udLeft = arrows(ValueControl::udLeft, "udLeft", Qt::Horizontal, 56, 144);
    TUpDown* udTop = arrows(ValueControl::udTop, "udTop", Qt::Vertical, 120, 96);
    TUpDown* udRight = arrows(ValueControl::udRight, "udRight", Qt::Horizontal, 185, 144);
    TUpDown* udBottom = arrows(ValueControl::udBottom, "udBottom", Qt::Vertical, 120, 176);

    auto* btReset = Place(new QPushButton(Utf8("リセット"), this), "btReset", 112, 144, 57, 25);
    connect(btReset, &QPushButton::clicked, this, [this] { logic_->btResetClick(); });
    Place(new QFrame(this), "Bevel", 8, 248, 265, 9)->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    auto* OK = Place(new QPushButton(QStringLiteral("OK"), this), "OK", 80, 272, 75, 25);
    // Enter presses a focused push button, and OK anywhere else.
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, [this] { logic_->btOKClick(); });
    auto* Cancel = Place(new QPushButton(Utf8("キャンセル"), this), "Cancel", 184, 272, 75, 25);
    connect(Cancel, &QPushButton::clicked, this, [this] { logic_->btCancelClick(); });

    QWidget* order[] = {udLeft, udTop, udRight, udBottom, btReset, OK, Cancel, rbOut, rbIn};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    udLeft->setFocus(); // the first in the tab order

    for (std::size_t i = 0; i < controls_.size(); ++i) {
        controls_[i] = findChild<QWidget*>(QString::fromLatin1(kControlNames[i]));
    }
    logic_ = std::make_unique<ValueFormLogic>(static_cast<ValueFormView&>(*this));
    logic_->FormCreate();
}

TValueForm::~TValueForm() = default;

void TValueForm::reject() {
    logic_->btCancelClick();
}

void TValueForm::showEvent(QShowEvent* event) {
    logic_->FormShow();
    QDialog::showEvent(event);
}

QWidget* TValueForm::Control(ValueControl control) const {
    return controls_[static_cast<std::size_t>(control)];
}

// ---------------------------------------------------------------------------
// What the logic shows. Programmatic changes never come back as events.

void TValueForm::ShowText(ValueControl label, const std::string& text) {
    static_cast<QLabel*>(Control(label))->setText(QString::fromStdString(text));
}

void TValueForm::ShowVisible(ValueControl control, bool visible) {
    Control(control)->setVisible(visible);
}

void TValueForm::ShowChecked(ValueControl radio, bool checked) {
    auto* button = static_cast<QRadioButton*>(Control(radio));
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void TValueForm::ShowShape(ValueControl shape, const ValueShape& look) {
    auto* s = static_cast<TShape*>(Control(shape));
    const TRect& r = look.Bounds;
    s->setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    if (look.Filled) {
        s->SetBrush(QColorOf(look.Brush));
    } else {
        s->SetNoBrush();
    }
    s->SetPen(QColorOf(look.Pen),
              look.Outline == ShapeOutline::Dotted ? Qt::DotLine : Qt::SolidLine);
}

void TValueForm::CloseDialog(bool ok) {
    if (ok) {
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

} // namespace pelmora
