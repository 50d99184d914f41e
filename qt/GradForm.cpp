#include "qt/GradForm.h"

#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>

namespace pelmora {
namespace {

// Object names of the controls the logic addresses, in GradControl order.
constexpr const char* kControlNames[] = {"cbKind",   "lbAngle", "edAngle", "udAngle", "lbDegree",
                                         "lbCenter", "lbX",     "edX",     "udX",     "lbXPer",
                                         "lbY",      "edY",     "udY",     "lbYPer",  "cbNormal",
                                         "btHdl",    "pbGrad",  "pbPtr",   "pbBar",   "cbWrap"};
static_assert(std::size(kControlNames) == static_cast<std::size_t>(GradControl::cbWrap) + 1);

// The stop menu's entries, in GradMenuItem order; "-" is a separator.
constexpr const char* kMenuItems[][2] = {{"mnChange", "色変更(&O)..."},
                                         {"mnLocate", "位置指定(&L)..."},
                                         {"mnSep1", "-"},
                                         {"mnCopy", "色コピー(&C)"},
                                         {"mnPaste", "色貼り付け(&P)"},
                                         {"mnDelete", "削除(&D)"},
                                         {"mnSep2", "-"},
                                         {"mnSelect", "次を選択(&S)"},
                                         {"mnAdd", "次に追加(&A)"}};

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

template <typename T> T* Place(T* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* Label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* label = new QLabel(Utf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->adjustSize();
    label->move(x, y);
    return label;
}

TPoint ToPoint(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

GradMouseButton ButtonOf(const QMouseEvent* event) {
    switch (event->button()) {
    case Qt::LeftButton:
        return GradMouseButton::Left;
    case Qt::RightButton:
        return GradMouseButton::Right;
    default:
        return GradMouseButton::Other;
    }
}

// Each kind's item: its picture, then its name on one line.
class KindItemDelegate : public QStyledItemDelegate {
public:
    KindItemDelegate(const std::array<QPixmap, 4>& pictures, QObject* parent)
        : QStyledItemDelegate(parent), pictures_(pictures) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(),
                GradDlgLogic::kKindItemHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        painter->fillRect(r, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const KindItemLayout layout =
            GradDlgLogic::cbKindDrawItem({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        const int row = index.row();
        if (row >= 0 && row < static_cast<int>(pictures_.size())) {
            painter->drawPixmap(layout.Picture.X, layout.Picture.Y, pictures_[row]);
        }
        const QRect text(layout.Text.Left, layout.Text.Top, layout.Text.Right - layout.Text.Left,
                         layout.Text.Bottom - layout.Text.Top);
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    }

private:
    const std::array<QPixmap, 4>& pictures_;
};

} // namespace

TGradDlg::TGradDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TGradDlg"));
    setWindowTitle(Utf8("グラデーションの設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(514, 338);
    QPalette face = palette();
    face.setColor(QPalette::Window, QColorOf(SystemColorRef(kColorBtnFace)));
    face.setColor(QPalette::Button, QColorOf(SystemColorRef(kColorBtnFace)));
    setPalette(face);

    CreateUpperPane();
    CreateLowerPane();
    auto* btOK = Place(new QPushButton(QStringLiteral("OK"), this), "btOK", 432, 32, 73, 25);
    // Enter presses a focused push button, and OK anywhere else.
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, [this] { logic_->btOKClick(); });
    auto* btCancel = Place(new QPushButton(Utf8("キャンセル"), this), "btCancel", 432, 80, 73, 25);
    connect(btCancel, &QPushButton::clicked, this, [this] { logic_->btCancelClick(); });
    CreateStopMenu();

    for (std::size_t i = 0; i < controls_.size(); ++i) {
        controls_[i] = findChild<QWidget*>(QString::fromLatin1(kControlNames[i]));
    }
    logic_ = std::make_unique<GradDlgLogic>(static_cast<GradDlgView&>(*this));
    logic_->FormCreate();
}

TGradDlg::~TGradDlg() = default;

void TGradDlg::reject() {
    logic_->btCancelClick();
}

// ---------------------------------------------------------------------------
// Building the form

void TGradDlg::CreateUpperPane() {
    auto* pnGrad = Place(new QFrame(this), "pnGrad", 0, 0, 417, 257);
    pnGrad->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* bvGrad = Place(new QFrame(pnGrad), "bvGrad", 8, 8, 241, 241);
    bvGrad->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    TPaintBox* pbGrad = Place(new TPaintBox(pnGrad), "pbGrad", 8, 9, 240, 240);
    pbGrad->OnMouseDown = [this](QMouseEvent* e) { logic_->pbGradMouseDown(ToPoint(e)); };
    pbGrad->OnMouseMove = [this](QMouseEvent* e) { logic_->pbGradMouseMove(ToPoint(e)); };
    pbGrad->OnMouseUp = [this](QMouseEvent*) { logic_->pbGradMouseUp(); };

    auto* lbKind = Label(pnGrad, "lbKind", "種類(&K)", 264, 28);
    cbKind = Place(new QComboBox(pnGrad), "cbKind", 312, 24, 81, 20);
    cbKind->setIconSize(QSize(14, 14));
    for (const char* name : kGradKindNames) {
        cbKind->addItem(Utf8(name));
    }
    cbKind->view()->setItemDelegate(new KindItemDelegate(kindPictures_, cbKind));
    lbKind->setBuddy(cbKind);
    connect(cbKind, &QComboBox::activated, this, [this](int i) { logic_->cbKindChange(i); });

    // Number fields with their up-downs; the logic decides what they hold.
    const auto accepts = [](GradControl field) {
        return [field](const std::string& text) { return GradDlgLogic::FieldAccepts(field, text); };
    };
    const auto numberField = [&](GradControl field, const char* label, const char* edit,
                                 const char* arrows, int y, int maxLength) {
        auto* ed = new TNumberEdit(accepts(field), pnGrad);
        Place(ed, edit, 328, y, 33, 20);
        ed->setMaxLength(maxLength);
        auto* ud = Place(new TUpDown(Qt::Vertical, pnGrad), arrows, 361, y, 17, 20);
        ud->SetBuddy(ed);
        findChild<QLabel*>(QString::fromLatin1(label))->setBuddy(ed);
        // An enabled field has the window colour, a disabled one the face colour.
        QPalette pal = ed->palette();
        pal.setColor(QPalette::Active, QPalette::Base, QColorOf(SystemColorRef(kColorWindow)));
        pal.setColor(QPalette::Inactive, QPalette::Base, QColorOf(SystemColorRef(kColorWindow)));
        pal.setColor(QPalette::Disabled, QPalette::Base, QColorOf(SystemColorRef(kColorBtnFace)));
        ed->setPalette(pal);
        return std::pair{ed, ud};
    };
    Label(pnGrad, "lbAngle", "角度(&A)", 264, 68);
    const auto [edAngle, udAngle] =
        numberField(GradControl::edAngle, "lbAngle", "edAngle", "udAngle", 64, 3);
    Label(pnGrad, "lbDegree", "度", 380, 68);
    connect(edAngle, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->edAngleChange(text.toStdString()); });
    connect(udAngle, &TUpDown::Clicked, this, [this](int d) { logic_->udAngleClick(d); });

    Label(pnGrad, "lbCenter", "中心点", 264, 108);
    Label(pnGrad, "lbX", "&X :", 304, 108);
    const auto [edX, udX] = numberField(GradControl::edX, "lbX", "edX", "udX", 104, 4);
    Label(pnGrad, "lbXPer", "%", 380, 108);
    Label(pnGrad, "lbY", "&Y :", 304, 132);
    const auto [edY, udY] = numberField(GradControl::edY, "lbY", "edY", "udY", 128, 4);
    Label(pnGrad, "lbYPer", "%", 380, 132);
    connect(edX, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->edXChange(text.toStdString()); });
    connect(edY, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->edYChange(text.toStdString()); });
    connect(udX, &TUpDown::Clicked, this, [this](int d) { logic_->udXClick(GradControl::udX, d); });
    connect(udY, &TUpDown::Clicked, this, [this](int d) { logic_->udXClick(GradControl::udY, d); });

    auto* cbNormal =
        Place(new QCheckBox(Utf8("範囲内に色を正規化(&N)"), pnGrad), "cbNormal", 264, 168, 145, 17);
    connect(cbNormal, &QCheckBox::clicked, this, [this](bool on) { logic_->cbNormalClick(on); });

    auto* btHdl = Place(new QToolButton(pnGrad), "btHdl", 264, 224, 89, 23);
    btHdl->setText(Utf8("ハンドル表示"));
    btHdl->setCheckable(true);
    btHdl->setFocusPolicy(Qt::NoFocus);
    connect(btHdl, &QToolButton::clicked, this, [this](bool down) { logic_->btHdlClick(down); });
}

void TGradDlg::CreateLowerPane() {
    auto* pnBar = Place(new QFrame(this), "pnBar", 0, 257, 417, 88);
    pnBar->setFrameStyle(QFrame::Panel | QFrame::Raised);

    // The caption advertises Alt+S. Its baseline sits where the underline of
    // the S still fits in the box, whatever the font's ascent.
    TPaintBox* pbLabel = Place(new TPaintBox(pnBar), "pbLabel", 16, 8, 105, 12);
    pbLabel->OnPaint = [pbLabel](QPainter& p) {
        const QFontMetrics metrics = p.fontMetrics();
        const int baseline = std::min(metrics.ascent(), pbLabel->height() - metrics.underlinePos() -
                                                            metrics.lineWidth());
        p.setPen(pbLabel->palette().color(QPalette::WindowText));
        p.drawText(pbLabel->rect().adjusted(0, baseline - metrics.ascent(), 0, 0),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, Utf8("カラーリスト(&S)"));
    };

    TPaintBox* pbPtr = Place(new TPaintBox(pnBar), "pbPtr", 11, 23, 294, 25);
    pbPtr->OnPaint = [this](QPainter& p) { StripLabelsPaint(p); };
    pbPtr->OnMouseDown = [this](QMouseEvent* e) {
        logic_->pbBarMouseDown(ButtonOf(e), ToPoint(e));
    };
    pbPtr->OnMouseMove = [this](QMouseEvent* e) {
        logic_->pbBarMouseMove(e->buttons() & Qt::LeftButton, ToPoint(e));
    };
    pbPtr->OnMouseUp = [this](QMouseEvent* e) { logic_->pbBarMouseUp(ButtonOf(e), ToPoint(e)); };
    pbPtr->OnDblClick = [this](QMouseEvent* e) { logic_->pbPtrDblClick(ButtonOf(e)); };
    Place(new TPaintBox(pnBar), "pbBar", 16, 48, 271, 26);

    auto* cbWrap = Place(new QCheckBox(Utf8("両端を一致(&W)"), pnBar), "cbWrap", 312, 24, 97, 17);
    connect(cbWrap, &QCheckBox::clicked, this, [this](bool on) { logic_->cbWrapClick(on); });
    auto* btReverse = Place(new QPushButton(Utf8("逆転(&R)"), pnBar), "btReverse", 312, 48, 57, 25);
    connect(btReverse, &QPushButton::clicked, this, [this] { logic_->btReverseClick(); });

    // Lies beyond the pane's visible width: it exists for its Alt+S shortcut,
    // which the bar's caption advertises.
    auto* btSelect = Place(new QToolButton(pnBar), "btSelect", 424, 8, 17, 17);
    btSelect->setText(QStringLiteral("&S"));
    btSelect->setFocusPolicy(Qt::NoFocus);
    connect(btSelect, &QToolButton::clicked, this, [this] { logic_->btSelectClick(); });
}

void TGradDlg::CreateStopMenu() {
    PtrMenu = new QMenu(this);
    PtrMenu->setObjectName(QStringLiteral("PtrMenu"));
    for (std::size_t i = 0; i < menuItems_.size(); ++i) {
        const auto [name, caption] = kMenuItems[i];
        menuItems_[i] = caption == std::string_view("-") ? PtrMenu->addSeparator()
                                                         : PtrMenu->addAction(Utf8(caption));
        menuItems_[i]->setObjectName(QString::fromLatin1(name));
    }
    PtrMenu->setDefaultAction(menuItems_[0]);
}

QWidget* TGradDlg::Control(GradControl control) const {
    return controls_[static_cast<std::size_t>(control)];
}

// The stops' positions over the strip, each on its own face-coloured patch.
void TGradDlg::StripLabelsPaint(QPainter& painter) {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setClipRect(0, 0, Control(GradControl::pbPtr)->width(), kStripLabelHeight);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const StripLabel& label : stripLabels_) {
        const QString text = QString::fromStdString(label.Text);
        const QRect at(label.X, 0, metrics.boundingRect(text).width(), metrics.height());
        painter.fillRect(at, QColorOf(SystemColorRef(kColorBtnFace)));
        painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, text);
    }
}

// ---------------------------------------------------------------------------
// What the logic shows. Programmatic changes never come back as events.

void TGradDlg::ShowKind(int kind) {
    const QSignalBlocker quiet(cbKind);
    cbKind->setCurrentIndex(kind);
}

void TGradDlg::ShowKindPictures(const std::array<Bitmap24, 4>& pictures) {
    for (std::size_t kind = 0; kind < pictures.size(); ++kind) {
        kindPictures_[kind] = ToQPixmap(pictures[kind], kPictureTransparent);
        cbKind->setItemIcon(static_cast<int>(kind), QIcon(kindPictures_[kind]));
    }
}

void TGradDlg::ShowNumber(GradControl field, int value) {
    auto* edit = static_cast<QLineEdit*>(Control(field));
    const QString text = QString::number(value);
    if (edit->text() != text) {
        const QSignalBlocker quiet(edit);
        edit->setText(text);
    }
}

void TGradDlg::ShowEnabled(GradControl control, bool enabled) {
    Control(control)->setEnabled(enabled);
}

void TGradDlg::ShowChecked(GradControl control, bool checked) {
    auto* button = static_cast<QAbstractButton*>(Control(control));
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void TGradDlg::ShowPicture(GradControl box, const Bitmap24& picture) {
    static_cast<TPaintBox*>(Control(box))->SetPicture(picture);
}

void TGradDlg::ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) {
    stripLabels_ = labels;
    static_cast<TPaintBox*>(Control(GradControl::pbPtr))->SetPicture(picture);
}

// The menu runs its own event loop; the command runs after it has closed, so
// it may open the next dialog.
std::optional<GradMenuItem> TGradDlg::PopUpStopMenu(const GradStopMenu& menu) {
    for (std::size_t i = 0; i < menuItems_.size(); ++i) {
        menuItems_[i]->setEnabled(menu.Enabled[i]);
        menuItems_[i]->setVisible(menu.Visible[i]);
    }
    QAction* chosen =
        PtrMenu->exec(Control(GradControl::pbPtr)->mapToGlobal(QPoint(menu.At.X, menu.At.Y)));
    const auto found = std::find(menuItems_.begin(), menuItems_.end(), chosen);
    if (chosen == nullptr || found == menuItems_.end()) {
        return std::nullopt;
    }
    return static_cast<GradMenuItem>(found - menuItems_.begin());
}

void TGradDlg::PostEditStopColor(int index) {
    QMetaObject::invokeMethod(
        this, [this, index] { logic_->WMEditStopColor(index); }, Qt::QueuedConnection);
}

void TGradDlg::CloseDialog(bool ok) {
    if (ok) {
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

} // namespace pelmora
