#include "qt/GradForm.h"

#include "platform/inttext.h"
#include "platform/prompts.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>

namespace pelmora {
namespace {

// The preview shows the gradient in the middle of its box.
constexpr int kPreviewSize = 240;
constexpr int kPreviewMiddle = 120;
constexpr int kPreviewLeft = 60;
constexpr int kPreviewRight = 180;
constexpr int kHandleReach = 50;  // angle handle's distance from the centre handle
constexpr int kHandleGrip = 3;    // a press this close to a handle grabs it
constexpr int kCenterLimit = 200; // the centre fields' range, in percent

// The stop bar: 2.7 bar pixels per percent; the handle strip starts 5 pixels
// further left so that a handle's tip lies above its stop's pixel.
constexpr long double kPixelsPerPercent = 2.7L;
constexpr int kStripOffset = 5;
constexpr int kBarWidth = 271;
constexpr int kBarHeight = 26;

QColor ToQColor(TColor c) {
    const TColor rgb = ResolveColor(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// Shows a 24-bit bitmap (B, G, R bytes) at (0, 0).
void Blit(QPainter& painter, const Bitmap24& bitmap) {
    const QImage image(bitmap.Bytes().data(), bitmap.Width(), bitmap.Height(),
                       static_cast<qsizetype>(bitmap.Stride()), QImage::Format_BGR888);
    painter.drawImage(QPoint(0, 0), image);
}

// A one-pixel line in not-xor mode: every channel where the pen has a 0 bit is
// inverted. Like a pen line, the end point itself is left out.
void NotXorLine(Bitmap24& canvas, QPoint from, QPoint to, TColor pen) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int err = dx + dy;
    int x = from.x();
    int y = from.y();
    while (x != to.x() || y != to.y()) {
        if (canvas.Contains(x, y)) {
            const TColor dst = canvas.Pixel(x, y);
            canvas.SetPixel(x, y, ~(pen ^ dst) & 0x00FFFFFFu);
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The 6 x 6 handle square round `at`: from (at - 3) to (at + 3), right and
// bottom exclusive.
void HandleSquare(Bitmap24& canvas, QPoint at, TColor fill, TColor outline) {
    const TRect outer{at.x() - 3, at.y() - 3, at.x() + 3, at.y() + 3};
    canvas.FillRect(outer, outline);
    canvas.FillRect({outer.Left + 1, outer.Top + 1, outer.Right - 1, outer.Bottom - 1}, fill);
}

// Each kind's item: its icon, then its name on one line.
class KindItemDelegate : public QStyledItemDelegate {
public:
    KindItemDelegate(std::array<QPixmap, 4> images, QObject* parent)
        : QStyledItemDelegate(parent), images_(std::move(images)) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 14};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        painter->fillRect(r, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const int row = index.row();
        if (row >= 0 && row < static_cast<int>(images_.size())) {
            painter->drawPixmap(r.left() + 2, r.top() + 1 + (r.height() - 14) / 2, images_[row]);
        }
        const QRect textRect(r.left() + 2 + 14 + 2, r.top(), r.right() - (r.left() + 18) + 1,
                             r.height());
        const QString text = option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight,
                                                           textRect.width());
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

private:
    std::array<QPixmap, 4> images_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* label = new QLabel(Utf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->adjustSize();
    label->move(x, y);
    return label;
}

void Place(QWidget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
}

} // namespace

std::array<QPixmap, 4> GradKindImages() {
    std::array<QPixmap, 4> images;
    const auto grey = [](int v) { return QColor(v, v, v); };
    for (QPixmap& image : images) {
        image = QPixmap(14, 14);
        image.fill(Qt::transparent);
    }
    { // parallel bands, lighter to the right
        QPainter p(&images[0]);
        const int shades[] = {64, 112, 160, 208};
        for (int band = 0; band < 4; ++band) {
            p.fillRect(1 + band * 3, 1, 3, 12, grey(shades[band]));
        }
    }
    { // sectors round the middle
        QPainter p(&images[1]);
        p.setPen(Qt::NoPen);
        const int shades[] = {48, 96, 144, 192, 80, 128, 176, 224};
        for (int sector = 0; sector < 8; ++sector) {
            p.setBrush(grey(shades[sector]));
            p.drawPie(QRect(1, 1, 12, 12), sector * 45 * 16, 45 * 16);
        }
    }
    { // rings, lighter towards the middle
        QPainter p(&images[2]);
        p.setPen(Qt::NoPen);
        const int shades[] = {64, 112, 160, 208};
        for (int ring = 0; ring < 4; ++ring) {
            p.setBrush(grey(shades[ring]));
            const int inset = 1 + ring * 2;
            p.drawEllipse(QRect(inset, inset, 12 - ring * 4, 12 - ring * 4));
        }
    }
    { // four squares
        QPainter p(&images[3]);
        p.fillRect(1, 1, 6, 6, grey(64));
        p.fillRect(7, 1, 6, 6, grey(128));
        p.fillRect(7, 7, 6, 6, grey(192));
        p.fillRect(1, 7, 6, 6, grey(160));
    }
    return images;
}

TGradDlg::TGradDlg(QWidget* parent) : QDialog(parent), Work_(std::make_unique<TGrad>()) {
    FormCreate();
}

TGradDlg::~TGradDlg() = default;

// ---------------------------------------------------------------------------
// Building the form

void TGradDlg::FormCreate() {
    setObjectName(QStringLiteral("TGradDlg"));
    setWindowTitle(Utf8("グラデーションの設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(514, 338);
    QPalette face = palette();
    face.setColor(QPalette::Window, ToQColor(SystemColorRef(kColorBtnFace)));
    face.setColor(QPalette::Button, ToQColor(SystemColorRef(kColorBtnFace)));
    setPalette(face);

    CreateUpperPane();
    CreateLowerPane();

    btOK = new QPushButton(QStringLiteral("OK"), this);
    Place(btOK, "btOK", 432, 32, 73, 25);
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    btCancel = new QPushButton(Utf8("キャンセル"), this);
    Place(btCancel, "btCancel", 432, 80, 73, 25);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    CreateStopMenu();
}

void TGradDlg::CreateUpperPane() {
    pnGrad = new QFrame(this);
    Place(pnGrad, "pnGrad", 0, 0, 417, 257);
    pnGrad->setFrameStyle(QFrame::Panel | QFrame::Raised);

    bvGrad = new QFrame(pnGrad);
    Place(bvGrad, "bvGrad", 8, 8, 241, 241);
    bvGrad->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    pbGrad = new TPaintBox(pnGrad);
    Place(pbGrad, "pbGrad", 8, 9, kPreviewSize, kPreviewSize);
    pbGrad->OnPaint = [this](QPainter& p) { pbGradPaint(p); };
    pbGrad->OnMouseDown = [this](QMouseEvent* e) { pbGradMouseDown(e); };
    pbGrad->OnMouseMove = [this](QMouseEvent* e) { pbGradMouseMove(e); };
    pbGrad->OnMouseUp = [this](QMouseEvent* e) { pbGradMouseUp(e); };

    lbKind = MakeLabel(pnGrad, "lbKind", "種類(&K)", 264, 28);
    cbKind = new QComboBox(pnGrad);
    Place(cbKind, "cbKind", 312, 24, 81, 20);
    const std::array<QPixmap, 4> images = GradKindImages();
    cbKind->setIconSize(QSize(14, 14));
    for (int kind = 0; kind < 4; ++kind) {
        cbKind->addItem(QIcon(images[kind]), Utf8(kGradKindNames[kind]));
    }
    cbKind->view()->setItemDelegate(new KindItemDelegate(images, cbKind));
    lbKind->setBuddy(cbKind);
    connect(cbKind, &QComboBox::activated, this, &TGradDlg::cbKindChange);

    lbAngle = MakeLabel(pnGrad, "lbAngle", "角度(&A)", 264, 68);
    edAngle = new TNumberEdit(QStringLiteral("0123456789"), pnGrad);
    Place(edAngle, "edAngle", 328, 64, 33, 20);
    edAngle->setMaxLength(3);
    udAngle = new TUpDown(Qt::Vertical, pnGrad);
    Place(udAngle, "udAngle", 361, 64, 17, 20);
    udAngle->SetRange(0, 359);
    udAngle->SetWrap(true);
    udAngle->SetBuddy(edAngle);
    lbDegree = MakeLabel(pnGrad, "lbDegree", "度", 380, 68);
    lbAngle->setBuddy(edAngle);
    connect(edAngle, &QLineEdit::textEdited, this, &TGradDlg::edAngleChange);
    connect(udAngle, &TUpDown::Clicked, this, &TGradDlg::udAngleClick);

    lbCenter = MakeLabel(pnGrad, "lbCenter", "中心点", 264, 108);
    lbX = MakeLabel(pnGrad, "lbX", "&X :", 304, 108);
    edX = new TNumberEdit(QStringLiteral("0123456789-"), pnGrad);
    Place(edX, "edX", 328, 104, 33, 20);
    edX->setMaxLength(4);
    udX = new TUpDown(Qt::Vertical, pnGrad);
    Place(udX, "udX", 361, 104, 17, 20);
    udX->SetRange(-kCenterLimit, kCenterLimit);
    udX->SetBuddy(edX);
    lbXPer = MakeLabel(pnGrad, "lbXPer", "%", 380, 108);
    lbX->setBuddy(edX);

    lbY = MakeLabel(pnGrad, "lbY", "&Y :", 304, 132);
    edY = new TNumberEdit(QStringLiteral("0123456789-"), pnGrad);
    Place(edY, "edY", 328, 128, 33, 20);
    edY->setMaxLength(4);
    udY = new TUpDown(Qt::Vertical, pnGrad);
    Place(udY, "udY", 361, 128, 17, 20);
    udY->SetRange(-kCenterLimit, kCenterLimit);
    udY->SetBuddy(edY);
    lbYPer = MakeLabel(pnGrad, "lbYPer", "%", 380, 132);
    lbY->setBuddy(edY);
    connect(edX, &QLineEdit::textEdited, this, &TGradDlg::edXChange);
    connect(edY, &QLineEdit::textEdited, this, &TGradDlg::edYChange);
    connect(udX, &TUpDown::Clicked, this, &TGradDlg::udXClick);
    connect(udY, &TUpDown::Clicked, this, &TGradDlg::udXClick);

    cbNormal = new QCheckBox(Utf8("範囲内に色を正規化(&N)"), pnGrad);
    Place(cbNormal, "cbNormal", 264, 168, 145, 17);
    connect(cbNormal, &QCheckBox::clicked, this, &TGradDlg::cbNormalClick);

    btHdl = new QToolButton(pnGrad);
    btHdl->setText(Utf8("ハンドル表示"));
    Place(btHdl, "btHdl", 264, 224, 89, 23);
    btHdl->setCheckable(true);
    btHdl->setFocusPolicy(Qt::NoFocus);
    btHdl->setChecked(true);
    connect(btHdl, &QToolButton::clicked, this, &TGradDlg::btHdlClick);
}

void TGradDlg::CreateLowerPane() {
    pnBar = new QFrame(this);
    Place(pnBar, "pnBar", 0, 257, 417, 88);
    pnBar->setFrameStyle(QFrame::Panel | QFrame::Raised);

    pbLabel = new TPaintBox(pnBar);
    Place(pbLabel, "pbLabel", 16, 8, 105, 12);
    pbLabel->OnPaint = [this](QPainter& p) { pbLabelPaint(p); };

    pbPtr = new TPaintBox(pnBar);
    Place(pbPtr, "pbPtr", 11, 23, 294, 25);
    pbPtr->OnPaint = [this](QPainter& p) { pbPtrPaint(p); };
    pbPtr->OnMouseDown = [this](QMouseEvent* e) { pbBarMouseDown(e); };
    pbPtr->OnMouseMove = [this](QMouseEvent* e) { pbBarMouseMove(e); };
    pbPtr->OnMouseUp = [this](QMouseEvent* e) { pbBarMouseUp(e); };
    pbPtr->OnDblClick = [this](QMouseEvent* e) { pbPtrDblClick(e); };

    pbBar = new TPaintBox(pnBar);
    Place(pbBar, "pbBar", 16, 48, kBarWidth, kBarHeight);
    pbBar->OnPaint = [this](QPainter& p) { pbBarPaint(p); };

    cbWrap = new QCheckBox(Utf8("両端を一致(&W)"), pnBar);
    Place(cbWrap, "cbWrap", 312, 24, 97, 17);
    connect(cbWrap, &QCheckBox::clicked, this, &TGradDlg::cbWrapClick);

    btReverse = new QPushButton(Utf8("逆転(&R)"), pnBar);
    Place(btReverse, "btReverse", 312, 48, 57, 25);
    btReverse->setAutoDefault(false);
    connect(btReverse, &QPushButton::clicked, this, &TGradDlg::btReverseClick);

    // Lies beyond the pane's visible width: it exists for its Alt+S shortcut,
    // which the bar's caption advertises.
    btSelect = new QToolButton(pnBar);
    btSelect->setText(QStringLiteral("&S"));
    Place(btSelect, "btSelect", 424, 8, 17, 17);
    btSelect->setFocusPolicy(Qt::NoFocus);
    connect(btSelect, &QToolButton::clicked, this, &TGradDlg::btSelectClick);
}

void TGradDlg::CreateStopMenu() {
    PtrMenu = new QMenu(this);
    PtrMenu->setObjectName(QStringLiteral("PtrMenu"));
    const auto item = [this](const char* name, const char* caption) {
        QAction* action = PtrMenu->addAction(Utf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    const auto separator = [this](const char* name) {
        QAction* action = PtrMenu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnChange = item("mnChange", "色変更(&O)...");
    PtrMenu->setDefaultAction(mnChange);
    mnLocate = item("mnLocate", "位置指定(&L)...");
    mnSep1 = separator("mnSep1");
    mnCopy = item("mnCopy", "色コピー(&C)");
    mnPaste = item("mnPaste", "色貼り付け(&P)");
    mnDelete = item("mnDelete", "削除(&D)");
    mnSep2 = separator("mnSep2");
    mnSelect = item("mnSelect", "次を選択(&S)");
    mnAdd = item("mnAdd", "次に追加(&A)");
}

// ---------------------------------------------------------------------------
// Loading

void TGradDlg::SetGradient(TGrad& gradient) {
    Target_ = &gradient;
    Work_->CopyStops(gradient);
    cbKind->setCurrentIndex(gradient.Kind < 4 ? gradient.Kind : -1);
    udAngle->SetIncrement(gradient.Kind == gkQuad ? 90 : 1);
    udAngle->SetPosition(gradient.Angle);
    udX->SetPosition(gradient.CenterX);
    udY->SetPosition(gradient.CenterY);
    cbNormal->setChecked(gradient.Normalize);
    UpdateControls();
    pbGrad->update();
    pbPtr->update();
    pbBar->update();
}

// ---------------------------------------------------------------------------
// Operations

void TGradDlg::ApplyStops() {
    pbBar->update();
    Target_->CopyStops(*Work_);
    pbGrad->update();
    pbPtr->update();
}

void TGradDlg::ChangeStopColor(int index) {
    if (index < 0 || index >= Work_->Count()) {
        return;
    }
    const std::optional<TColor> chosen =
        CurrentPrompts().ChooseColor(ResolveColor(Work_->GetColor(index)));
    if (chosen) {
        SetStopColor(index, *chosen);
    }
}

void TGradDlg::SetStopColor(int index, TColor color) {
    Work_->SetColor(index, color);
    if (cbWrap->isChecked()) {
        const int last = Work_->Count() - 1;
        if (index == 0) {
            Work_->SetColor(last, color);
        } else if (index == last) {
            Work_->SetColor(0, color);
        }
    }
    ApplyStops();
}

void TGradDlg::UpdateControls() {
    const TGrad& g = *Target_;
    // The centre is not strictly inside the painted rectangle.
    const bool outside = g.CenterX <= -50 || g.CenterX >= 50 || g.CenterY <= -50 || g.CenterY >= 50;
    const bool angle = g.Kind == gkLinear || g.Kind == gkQuad ||
                       (g.Kind == gkRadiate && !(g.Normalize && outside));
    const bool center = g.Kind == gkRadiate || g.Kind == gkArc;
    for (QWidget* w : std::initializer_list<QWidget*>{lbAngle, edAngle, udAngle, lbDegree}) {
        w->setEnabled(angle);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{lbCenter, lbX, edX, udX, lbXPer, lbY, edY, udY, lbYPer}) {
        w->setEnabled(center);
    }
    cbNormal->setEnabled(center && outside);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(edAngle), static_cast<QLineEdit*>(edX),
                            static_cast<QLineEdit*>(edY)}) {
        QPalette pal = edit->palette();
        const QColor base =
            ToQColor(SystemColorRef(edit->isEnabled() ? kColorWindow : kColorBtnFace));
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            pal.setColor(group, QPalette::Base, base);
        }
        edit->setPalette(pal);
    }
}

std::pair<QPoint, QPoint> TGradDlg::HandlePoints() const {
    const TGrad& g = *Target_;
    QPoint p(kPreviewMiddle, kPreviewMiddle);
    if (g.Kind == gkRadiate || g.Kind == gkArc) {
        p = QPoint(
            RoundEven32(static_cast<Extended>(g.CenterX) / 100 * kPreviewMiddle) + kPreviewMiddle,
            RoundEven32(static_cast<Extended>(g.CenterY) / 100 * kPreviewMiddle) + kPreviewMiddle);
    }
    const Extended rad = g.AngleRad();
    const QPoint q(RoundEven32(std::cos(rad) * kHandleReach) + p.x(),
                   RoundEven32(std::sin(rad) * kHandleReach) + p.y());
    return {p, q};
}

int TGradDlg::AngleFromPoints(const QPoint& p, const QPoint& m) {
    int e = 90;
    if (m.x() != p.x()) {
        const Extended slope =
            static_cast<Extended>(m.y() - p.y()) / static_cast<Extended>(m.x() - p.x());
        e = RoundEven32(std::atan(slope) / std::numbers::pi_v<Extended> * 180);
    }
    if (m.x() < p.x()) {
        return e + 180;
    }
    if (m.y() < p.y()) {
        return m.x() == p.x() ? 270 : e + 360;
    }
    return e;
}

// The pointer may leave the preview while dragging; the centre is kept within
// the range the fields offer.
void TGradDlg::CenterFromPoint(const QPoint& m) {
    TGrad& g = *Target_;
    if (g.Kind != gkRadiate && g.Kind != gkArc) {
        return;
    }
    const auto percent = [](int pixels) {
        const int value =
            RoundEven32(static_cast<Extended>((pixels - kPreviewMiddle) * 100) / kPreviewMiddle);
        return std::clamp(value, -kCenterLimit, kCenterLimit);
    };
    g.CenterX = percent(m.x());
    g.CenterY = percent(m.y());
}

int TGradDlg::HandleX(int index) const {
    return RoundEven32(static_cast<Extended>(Work_->GetPos(index)) * kPixelsPerPercent);
}

// The stop with the highest index whose handle spans x, -1 when none.
int TGradDlg::HitHandle(int x) const {
    int hit = -1;
    for (int i = 0; i < Work_->Count(); ++i) {
        const int left = HandleX(i);
        if (left <= x && x <= left + 10) {
            hit = i;
        }
    }
    return hit;
}

void TGradDlg::PrepareStopMenu(bool fromKeyboard) {
    const bool quad = Target_->Kind == gkQuad;
    const bool interior = MenuIndex_ != 0 && MenuIndex_ != Work_->Count() - 1;
    mnLocate->setEnabled(interior && !quad);
    mnDelete->setEnabled(interior && !quad);
    mnPaste->setEnabled(CopiedColor_ != kNoColor);
    mnSep2->setVisible(fromKeyboard);
    mnSelect->setVisible(fromKeyboard);
    mnAdd->setVisible(fromKeyboard);
    mnAdd->setEnabled(!quad);
}

// Pops the menu up over the handle of MenuIndex; "次を選択" moves to the next
// stop and pops it up again there.
void TGradDlg::ShowStopMenu() {
    for (;;) {
        PrepareStopMenu(true);
        const QPoint at(HandleX(MenuIndex_) + kStripOffset, 13);
        QAction* chosen = PtrMenu->exec(pbPtr->mapToGlobal(at));
        if (chosen != mnSelect) {
            RunStopCommand(chosen);
            return;
        }
        MenuIndex_ = MenuIndex_ + 1 < Work_->Count() ? MenuIndex_ + 1 : 0;
    }
}

// Commands run after the menu has closed, so one may open the next dialog.
void TGradDlg::RunStopCommand(QAction* chosen) {
    if (chosen == mnChange) {
        mnChangeClick();
    } else if (chosen == mnLocate) {
        mnLocateClick();
    } else if (chosen == mnCopy) {
        mnCopyClick();
    } else if (chosen == mnPaste) {
        mnPasteClick();
    } else if (chosen == mnDelete) {
        mnDeleteClick();
    } else if (chosen == mnSelect) {
        mnSelectClick();
    } else if (chosen == mnAdd) {
        mnAddClick();
    }
}

void TGradDlg::EditStopColorMessage(int index) {
    if (index != -1) {
        ChangeStopColor(index);
    }
}

// ---------------------------------------------------------------------------
// Preview

void TGradDlg::pbGradPaint(QPainter& painter) {
    Bitmap24 canvas(kPreviewSize, kPreviewSize, SystemColor(kColorBtnFace));
    TGrad& g = *Target_;
    g.Draw(canvas, kPreviewLeft, kPreviewLeft, kPreviewRight, kPreviewRight, 0, 0);
    if (btHdl->isChecked()) {
        const auto [p, q] = HandlePoints();
        const bool centreInside = kPreviewLeft < p.x() && p.x() < kPreviewRight &&
                                  kPreviewLeft < p.y() && p.y() < kPreviewRight;
        const bool angleHandle = g.Kind == gkLinear || g.Kind == gkQuad ||
                                 (g.Kind == gkRadiate && (!g.Normalize || centreInside));
        if (angleHandle) {
            NotXorLine(canvas, p, q, Rgb(0, 0, 255));
            HandleSquare(canvas, q, Rgb(255, 255, 255), Rgb(0, 0, 0));
        }
        if (g.Kind == gkRadiate || g.Kind == gkArc) {
            HandleSquare(canvas, p, Rgb(0, 0, 0), Rgb(255, 255, 255));
        }
    }
    Blit(painter, canvas);
}

void TGradDlg::pbGradMouseDown(QMouseEvent* event) {
    if (!btHdl->isChecked()) {
        return;
    }
    const QPoint m = event->position().toPoint();
    const auto [p, q] = HandlePoints();
    const auto near = [&m](QPoint h) {
        return std::abs(m.x() - h.x()) <= kHandleGrip && std::abs(m.y() - h.y()) <= kHandleGrip;
    };
    if (near(q)) {
        AngleDrag_ = true;
    } else if (near(p)) {
        CenterDrag_ = true;
    }
}

void TGradDlg::pbGradMouseMove(QMouseEvent* event) {
    const QPoint m = event->position().toPoint();
    if (AngleDrag_) {
        Target_->SetAngle(AngleFromPoints(HandlePoints().first, m));
        udAngle->SetPosition(Target_->Angle);
        pbGrad->update();
    } else if (CenterDrag_) {
        CenterFromPoint(m);
        udX->SetPosition(Target_->CenterX);
        udY->SetPosition(Target_->CenterY);
        pbGrad->update();
        UpdateControls();
    }
}

void TGradDlg::pbGradMouseUp(QMouseEvent*) {
    if (AngleDrag_) {
        AngleDrag_ = false;
    } else {
        CenterDrag_ = false;
    }
}

// ---------------------------------------------------------------------------
// Kind, angle, centre and normalisation

void TGradDlg::cbKindChange(int index) {
    if (index < 0) {
        return;
    }
    Target_->SetKind(static_cast<std::uint8_t>(index));
    if (Target_->Kind == gkQuad) {
        Work_->CopyStops(*Target_); // the four stops the kind change made
        udAngle->SetIncrement(90);
    } else {
        udAngle->SetIncrement(1);
    }
    udAngle->SetPosition(Target_->Angle);
    ApplyStops();
    UpdateControls();
}

void TGradDlg::edAngleChange() {
    udAngle->SetPositionFromBuddy(StrToIntDef(edAngle->text().toStdString(), 0));
    udAngleClick();
}

void TGradDlg::udAngleClick() {
    // Stepping down by 90 from 0 wraps to the top of the range.
    if (Target_->Kind == gkQuad && udAngle->Position() == 359) {
        udAngle->SetPosition(270);
    }
    Target_->SetAngle(udAngle->Position());
    pbGrad->update();
}

void TGradDlg::edXChange() {
    udX->SetPositionFromBuddy(StrToIntDef(edX->text().toStdString(), 0));
    udXClick();
}

void TGradDlg::edYChange() {
    udY->SetPositionFromBuddy(StrToIntDef(edY->text().toStdString(), 0));
    udXClick();
}

void TGradDlg::udXClick() {
    Target_->CenterX = udX->Position();
    Target_->CenterY = udY->Position();
    UpdateControls();
    pbGrad->update();
}

void TGradDlg::cbNormalClick() {
    Target_->Normalize = cbNormal->isChecked();
    UpdateControls();
    pbGrad->update();
}

void TGradDlg::btHdlClick() {
    pbGrad->update();
}

// ---------------------------------------------------------------------------
// Stop bar and handle strip

void TGradDlg::pbBarPaint(QPainter& painter) {
    Bitmap24 bar(kBarWidth, kBarHeight, SystemColor(kColorBtnFace));
    Work_->Draw(bar, 0, 0, kBarWidth - 1, kBarHeight - 1, 0, 0);
    Blit(painter, bar);
}

void TGradDlg::pbLabelPaint(QPainter& painter) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(pbLabel->rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                     Utf8("カラーリスト(&S)"));
}

void TGradDlg::pbPtrPaint(QPainter& painter) {
    const QColor shadow = ToQColor(SystemColorRef(kColorBtnShadow));
    const QColor highlight = ToQColor(SystemColorRef(kColorBtnHighlight));
    const QColor face = ToQColor(SystemColorRef(kColorBtnFace));
    const int last = Work_->Count() - 1;
    const bool showPositions = Target_->Kind != gkQuad;
    for (int i = 0; i <= last; ++i) {
        // A dragged interior stop pulled above the strip is about to go.
        if (i == DragIndex_ && i > 0 && i < last && DragOut_) {
            continue;
        }
        const int x = HandleX(i);
        const bool pressed = i == DragIndex_;
        const QPolygon handle({QPoint(x, 13), QPoint(x + 10, 13), QPoint(x + 5, 24)});
        painter.setPen(pressed ? shadow : highlight);
        painter.setBrush(ToQColor(Work_->GetColor(i)));
        painter.drawPolygon(handle);
        painter.setPen(pressed ? highlight : shadow);
        painter.drawLine(x + 10, 13, x + 5, 24);
        if (showPositions) {
            const QString text = QString::number(Work_->GetPos(i));
            const QRect box = painter.fontMetrics().boundingRect(text);
            const QRect at(x, 0, box.width(), painter.fontMetrics().height());
            painter.fillRect(at, face);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, text);
        }
    }
}

void TGradDlg::pbBarMouseDown(QMouseEvent* event) {
    menuBeforePress_ = MenuIndex_;
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        return;
    }
    const int hit = HitHandle(event->position().toPoint().x());
    if (button == Qt::LeftButton) {
        DragIndex_ = -2;
        MenuIndex_ = -1;
        if (hit >= 0) {
            DragIndex_ = hit;
            DragOut_ = false;
            pbPtr->update();
        }
    } else {
        MenuIndex_ = hit;
    }
}

void TGradDlg::pbBarMouseMove(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || DragIndex_ < 0 || Target_->Kind == gkQuad) {
        return;
    }
    const QPoint m = event->position().toPoint();
    Work_->SetPos(DragIndex_, RoundEven32((m.x() - kStripOffset) / kPixelsPerPercent));
    DragOut_ = m.y() < 0;
    pbPtr->update();
}

void TGradDlg::pbBarMouseUp(QMouseEvent* event) {
    menuBeforePress_ = -1;
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        return;
    }
    const QPoint m = event->position().toPoint();
    if (MenuIndex_ < 0) {
        if (DragIndex_ >= 0) {
            if (DragOut_) {
                Work_->DeleteStop(DragIndex_);
            } else {
                MenuIndex_ = DragIndex_; // the stop a double-click acts on
            }
        } else if (DragIndex_ == -2 && Target_->Kind != gkQuad) {
            Work_->AddStop(RoundEven32((m.x() - kStripOffset) / kPixelsPerPercent));
        }
        if (DragIndex_ != -1) {
            ApplyStops();
            DragIndex_ = -1;
        }
        return;
    }
    PrepareStopMenu(false);
    RunStopCommand(PtrMenu->exec(event->globalPosition().toPoint()));
}

// The double-click comes between the first click's release and the second
// press, while MenuIndex still holds the stop the first click released on
// (where the platform has delivered the second press already, the stop is the
// one MenuIndex held before it). The colour dialog opens only once the second
// click's press and release have been handled.
void TGradDlg::pbPtrDblClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int index = MenuIndex_ != -1 ? MenuIndex_ : menuBeforePress_;
    menuBeforePress_ = -1; // one colour dialog per double-click
    if (index != -1) {
        QMetaObject::invokeMethod(
            this, [this, index] { EditStopColorMessage(index); }, Qt::QueuedConnection);
    }
    DragIndex_ = -1;
    MenuIndex_ = -1;
}

// ---------------------------------------------------------------------------
// Lower-pane buttons and the stop menu

void TGradDlg::cbWrapClick() {
    const int last = Work_->Count() - 1;
    if (cbWrap->isChecked() && Work_->GetColor(last) != Work_->GetColor(0)) {
        Work_->SetColor(last, Work_->GetColor(0));
    }
    ApplyStops();
}

void TGradDlg::btReverseClick() {
    Work_->Reverse();
    ApplyStops();
}

void TGradDlg::btSelectClick() {
    MenuIndex_ = 0;
    ShowStopMenu();
}

void TGradDlg::mnChangeClick() {
    ChangeStopColor(MenuIndex_);
    MenuIndex_ = -1;
}

void TGradDlg::mnLocateClick() {
    const int lo = Work_->GetPos(MenuIndex_ - 1) + 1;
    const int hi = Work_->GetPos(MenuIndex_ + 1) - 1;
    const std::string prompt =
        std::to_string(lo) + "[%] から " + std::to_string(hi) + "[%]の範囲で入力して下さい";
    const std::optional<std::string> answer =
        CurrentPrompts().Input("位置の指定", prompt, std::to_string(Work_->GetPos(MenuIndex_)), 0);
    if (answer) {
        const int pos = StrToIntDef(*answer, -1);
        if (lo <= pos && pos <= hi) {
            Work_->SetPos(MenuIndex_, pos);
        }
    }
    MenuIndex_ = -1;
    ApplyStops();
}

void TGradDlg::mnCopyClick() {
    CopiedColor_ = Work_->GetColor(MenuIndex_);
    MenuIndex_ = -1;
    ApplyStops();
}

void TGradDlg::mnPasteClick() {
    if (CopiedColor_ != kNoColor) {
        SetStopColor(MenuIndex_, CopiedColor_);
    }
    MenuIndex_ = -1;
}

void TGradDlg::mnDeleteClick() {
    Work_->DeleteStop(MenuIndex_);
    MenuIndex_ = -1;
    ApplyStops();
}

void TGradDlg::mnSelectClick() {
    MenuIndex_ = MenuIndex_ + 1 < Work_->Count() ? MenuIndex_ + 1 : 0;
    ShowStopMenu();
}

void TGradDlg::mnAddClick() {
    const int next = MenuIndex_ + 1 < Work_->Count() ? MenuIndex_ + 1 : 0;
    const Extended middle =
        static_cast<Extended>(Work_->GetPos(MenuIndex_) + Work_->GetPos(next)) / 2;
    Work_->AddStop(RoundEven32(middle));
    MenuIndex_ = -1;
    ApplyStops();
}

} // namespace pelmora
