#include "qt/value.h"

#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace pelmora {
namespace {

constexpr int kLimit = 9; // one arrow click moves an edge by a pixel, up to 9

// The base-range names, by region.
const char* const kAreaNames[3] = {"全体", "アイコン領域", "ボタン名領域"};

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}
QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QColor ToQColor(TColor c) {
    const TColor rgb = ResolveColor(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// Values read from a file may be any 32-bit number; geometry and up-down
// positions are worked out in 64 bits and kept within int.
int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2));
}
int Negated(std::int32_t v) {
    return ToInt(-static_cast<std::int64_t>(v));
}

QString ThickText(std::int32_t value) {
    return Utf8("太さ(") + QString::number(std::llabs(value)) + QStringLiteral(")");
}

void Place(QWidget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
}

QLabel* ValueLabel(QWidget* parent, const char* name, int x, int y) {
    auto* label = new QLabel(parent);
    Place(label, name, x, y, 41, 17);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

TUpDown* Arrows(QWidget* parent, const char* name, Qt::Orientation orientation, int x, int y) {
    auto* arrows = new TUpDown(orientation, parent);
    Place(arrows, name, x, y, 40, 25);
    arrows->SetRange(-kLimit, kLimit);
    return arrows;
}

} // namespace

TValueForm::TValueForm(QWidget* parent) : QDialog(parent) {
    FormCreate();
}

TValueForm::~TValueForm() = default;

void TValueForm::FormCreate() {
    setObjectName(QStringLiteral("TValueForm"));
    setWindowTitle(Utf8("描画範囲の微調整"));
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(281, 315);
    const QColor face = ToQColor(SystemColorRef(kColorBtnFace));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::Button, face);
    setPalette(pal);

    // Shapes and labels in painting order, later ones on top.
    spOut = new TShape(this);
    Place(spOut, "spOut", 32, 80, 217, 153);
    spOut->SetBrush(Qt::cyan);
    spOut->SetPen(Qt::cyan, Qt::SolidLine);
    spIn = new TShape(this);
    Place(spIn, "spIn", 48, 96, 185, 121);
    spIn->SetBrush(face);
    spIn->SetPen(face, Qt::SolidLine);
    lbLeft = ValueLabel(this, "lbLeft", 56, 170);
    lbRight = ValueLabel(this, "lbRight", 184, 170);
    lbBottom = ValueLabel(this, "lbBottom", 120, 202);
    lbTop = ValueLabel(this, "lbTop", 120, 122);
    spStandard = new TShape(this);
    Place(spStandard, "spStandard", 32, 80, 217, 153);
    spStandard->SetNoBrush();
    spStandard->SetPen(Qt::black, Qt::DotLine);
    spComment = new TShape(this);
    Place(spComment, "spComment", 48, 50, 41, 1);
    spComment->SetNoBrush();
    spComment->SetPen(Qt::black, Qt::DotLine);
    lbComment = new QLabel(Utf8("基準範囲："), this);
    lbComment->setObjectName(QStringLiteral("lbComment"));
    lbComment->adjustSize();
    lbComment->move(96, 44);
    lbStandard = new QLabel(Utf8(kAreaNames[0]), this);
    lbStandard->setObjectName(QStringLiteral("lbStandard"));
    lbStandard->move(152, 44);
    lbStandard->resize(120, 12);

    rbOut = new QRadioButton(Utf8("外縁の調整(&O)"), this);
    Place(rbOut, "rbOut", 32, 16, 113, 17);
    rbOut->setChecked(true);
    rbIn = new QRadioButton(Utf8("枠太さの調整(&W)"), this);
    Place(rbIn, "rbIn", 152, 16, 113, 17);
    connect(rbOut, &QRadioButton::clicked, this, &TValueForm::rbOutClick);
    connect(rbIn, &QRadioButton::clicked, this, &TValueForm::rbOutClick);

    udLeft = Arrows(this, "udLeft", Qt::Horizontal, 56, 144);
    udTop = Arrows(this, "udTop", Qt::Vertical, 120, 96);
    udRight = Arrows(this, "udRight", Qt::Horizontal, 185, 144);
    udBottom = Arrows(this, "udBottom", Qt::Vertical, 120, 176);
    for (TUpDown* arrows : {udLeft, udTop, udRight, udBottom}) {
        connect(arrows, &TUpDown::Clicked, this, &TValueForm::udTopClick);
    }

    btReset = new QPushButton(Utf8("リセット"), this);
    Place(btReset, "btReset", 112, 144, 57, 25);
    btReset->setAutoDefault(false);
    connect(btReset, &QPushButton::clicked, this, &TValueForm::btResetClick);

    Bevel = new QFrame(this);
    Place(Bevel, "Bevel", 8, 248, 265, 9);
    Bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    OK = new QPushButton(QStringLiteral("OK"), this);
    Place(OK, "OK", 80, 272, 75, 25);
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    Cancel = new QPushButton(Utf8("キャンセル"), this);
    Place(Cancel, "Cancel", 184, 272, 75, 25);
    Cancel->setAutoDefault(false);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* order[] = {udLeft, udTop, udRight, udBottom, btReset, OK, Cancel, rbOut, rbIn};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

bool TValueForm::ThickMode() const {
    return rbIn->isChecked();
}

void TValueForm::showEvent(QShowEvent* event) {
    UpdateView();
    QDialog::showEvent(event);
}

void TValueForm::SetValues(std::uint8_t area, bool isFrame, const TTrim& thick,
                           const TTrim& outer) {
    FOuter = outer;
    FThick = thick;
    FArea = area;
    rbOut->setVisible(isFrame);
    rbIn->setVisible(isFrame);
    spIn->setVisible(isFrame);
    lbStandard->setText(area < std::size(kAreaNames) ? Utf8(kAreaNames[area]) : QString());
    SetRanges();
    udLeft->SetPosition(Negated(FOuter.Left));
    udTop->SetPosition(FOuter.Top);
    udRight->SetPosition(FOuter.Right);
    udBottom->SetPosition(Negated(FOuter.Bottom));
}

// Only the limit in each edge's outward direction depends on the situation:
// the whole button can only shrink, and a thickness cannot go below 0.
void TValueForm::SetRanges() {
    const int outward = !ThickMode() && FArea != paAll ? kLimit : 0;
    udLeft->SetMin(-outward);
    udTop->SetMax(outward);
    udRight->SetMax(outward);
    udBottom->SetMin(-outward);
}

// Every arrow moves the edge it stands for in the arrow's direction: outer
// edges outward to the left and top are negative positions, inner frame edges
// inward to the top and right likewise.
void TValueForm::ShowPositions() {
    if (ThickMode()) {
        udLeft->SetPosition(FThick.Left);
        udTop->SetPosition(Negated(FThick.Top));
        udRight->SetPosition(Negated(FThick.Right));
        udBottom->SetPosition(FThick.Bottom);
    } else {
        udLeft->SetPosition(Negated(FOuter.Left));
        udTop->SetPosition(FOuter.Top);
        udRight->SetPosition(FOuter.Right);
        udBottom->SetPosition(Negated(FOuter.Bottom));
    }
}

void TValueForm::udTopClick() {
    if (ThickMode()) {
        FThick = {udLeft->Position(), -udTop->Position(), -udRight->Position(),
                  udBottom->Position()};
    } else {
        FOuter = {-udLeft->Position(), udTop->Position(), udRight->Position(),
                  -udBottom->Position()};
    }
    UpdateView();
}

void TValueForm::rbOutClick() {
    SetRanges();
    ShowPositions();
    UpdateView();
}

void TValueForm::btResetClick() {
    const std::int32_t outer = FArea == paAll ? 0 : 1;
    FOuter = {outer, outer, outer, outer};
    FThick = {1, 1, 1, 1};
    ShowPositions();
    UpdateView();
}

// One value unit is one dialog pixel.
void TValueForm::UpdateView() {
    const QRect standard = spStandard->geometry();
    const std::int64_t outLeft = std::int64_t{standard.left()} - FOuter.Left;
    const std::int64_t outTop = std::int64_t{standard.top()} - FOuter.Top;
    const std::int64_t outWidth = std::int64_t{standard.width()} + FOuter.Left + FOuter.Right;
    const std::int64_t outHeight = std::int64_t{standard.height()} + FOuter.Top + FOuter.Bottom;
    spOut->setGeometry(ToInt(outLeft), ToInt(outTop), ToInt(std::max<std::int64_t>(outWidth, 0)),
                       ToInt(std::max<std::int64_t>(outHeight, 0)));
    const std::int64_t inWidth = outWidth - FThick.Left - FThick.Right;
    const std::int64_t inHeight = outHeight - FThick.Top - FThick.Bottom;
    spIn->setGeometry(ToInt(outLeft + FThick.Left), ToInt(outTop + FThick.Top),
                      ToInt(std::max<std::int64_t>(inWidth, 0)),
                      ToInt(std::max<std::int64_t>(inHeight, 0)));

    if (ThickMode()) {
        lbLeft->setText(ThickText(FThick.Left));
        lbTop->setText(ThickText(FThick.Top));
        lbRight->setText(ThickText(FThick.Right));
        lbBottom->setText(ThickText(FThick.Bottom));
    } else {
        lbLeft->setText(Utf8(TrimText(FOuter.Left)));
        lbTop->setText(Utf8(TrimText(FOuter.Top)));
        lbRight->setText(Utf8(TrimText(FOuter.Right)));
        lbBottom->setText(Utf8(TrimText(FOuter.Bottom)));
    }
}

} // namespace pelmora
