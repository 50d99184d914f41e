// The editor window's lower pane: the parts of the current pattern, the part
// commands of the Parts menu and the pattern's overall colour adjustment.
#include "qt/RowDragList.h"
#include "qt/edit.h"

#include "platform/prompts.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"
#include "qt/Grad.h"
#include "qt/value.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QSlider>
#include <QStyledItemDelegate>

#include <initializer_list>
#include <utility>

namespace pelmora {

namespace {

constexpr int kPartRowHeight = 24;
constexpr int kIconSide = 20;
constexpr int kAdjustWidth = 204;
// The widest kind name: icons start after it.
constexpr const char* kLongestKindName = "ボタン名領域枠";

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A part's preview as drawn beside its name: pure white lets the row's
// background show through.
QImage IconImage(const Bitmap24& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            out[x] = c == 0x00FFFFFF ? qRgba(0, 0, 0, 0) : qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    return image;
}

// Raises a flag for a scope.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag), old_(std::exchange(flag, true)) {}
    ~ScopedFlag() { flag_ = old_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace

namespace editor_detail {

// Draws a part's row: the kind name, grey when the part paints nothing, and
// its icon in a column after the widest kind name.
class PartsRowDelegate : public QStyledItemDelegate {
public:
    PartsRowDelegate(QListWidget* list, int& nameColWidth)
        : QStyledItemDelegate(list), list_(list), nameColWidth_(nameColWidth) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kPartRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (nameColWidth_ == 0) {
            nameColWidth_ = QFontMetrics(list_->font()).horizontalAdvance(Text(kLongestKindName));
        }
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        const QVariant icon = index.data(kPartIconRole);

        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        QRect r = option.rect;
        r.setLeft(r.left() + 2);
        QColor textColor = selected ? palette.highlightedText().color() : palette.text().color();
        if (icon.isNull()) {
            const TColor grey = SystemColor(kColorGrayText);
            textColor = QColor(RedOf(grey), GreenOf(grey), BlueOf(grey));
        }
        painter->setPen(textColor);
        painter->setFont(list_->font());
        // Drawn as it is: an "&" in a name is no accelerator.
        const QString text =
            QFontMetrics(list_->font())
                .elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, r.width());
        painter->drawText(
            r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
        if (!icon.isNull()) {
            painter->drawImage(r.left() + nameColWidth_ + 2, option.rect.top() + 2,
                               icon.value<QImage>());
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(textColor, 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    QListWidget* list_;
    int& nameColWidth_;
};

// The parts list: one selected row, which is always the current one, 24-pixel
// rows dragged with the mouse.
class PartsListBox : public RowDragList {
public:
    PartsListBox(QWidget* parent, int& nameColWidth) : RowDragList(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        setItemDelegate(new PartsRowDelegate(this, nameColWidth));
    }

    // The row under a viewport position; the row count below the last row.
    int RowAtPos(const QPoint& pos) const {
        const QModelIndex at = indexAt(pos);
        return at.isValid() ? at.row() : count();
    }

protected:
    // A click never leaves the list without a selected row.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent*) const override {
        return index.isValid() ? QItemSelectionModel::ClearAndSelect
                               : QItemSelectionModel::NoUpdate;
    }
};

} // namespace editor_detail

using editor_detail::PartsListBox;

// --- Construction ---------------------------------------------------------------

void TEditForm::CreatePartsPane(QWidget* pane) {
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PartsList = new PartsListBox(pane, NameColWidth);
    PartsList->setObjectName("PartsList");
    layout->addWidget(PartsList, 1);
    lbParts->setBuddy(PartsList);

    // The group keeps its place at the right edge; its controls are placed
    // like those of a dialog.
    pnAdjust = new QWidget(pane);
    pnAdjust->setObjectName("pnAdjust");
    pnAdjust->setFixedWidth(kAdjustWidth);
    layout->addWidget(pnAdjust);

    constexpr int kBarLeft = 78;
    constexpr int kBarWidth = 120;
    Shape1 = new TShape(pnAdjust);
    Shape1->setObjectName("Shape1");
    Shape1->SetBrush(Qt::black);
    Shape1->SetPen(Qt::black, Qt::SolidLine);
    Shape1->setGeometry(kBarLeft + kBarWidth / 2, 20, 1, 75);

    Label1 = new QLabel(Text("全体の色調整"), pnAdjust);
    Label1->setObjectName("Label1");
    Label1->move(8, 4);
    Label3 = new QLabel(Text("-                        +"), pnAdjust);
    Label3->setObjectName("Label3");
    Label3->adjustSize();
    Label3->move(kBarLeft + 6, 18);

    const auto makeBar = [&](const char* name, int limit, int top) {
        auto* bar = new QSlider(Qt::Horizontal, pnAdjust);
        bar->setObjectName(name);
        bar->setRange(-limit, limit);
        bar->setSingleStep(1);
        bar->setPageStep(2);
        bar->setTickPosition(QSlider::TicksAbove);
        bar->setTickInterval(1);
        bar->setGeometry(kBarLeft, top, kBarWidth, 28);
        return bar;
    };
    tbLumi = makeBar("tbLumi", 8, 32);
    tbHue = makeBar("tbHue", 6, 62);
    lbLumi = new QLabel(Text("明るさ(&B)："), pnAdjust);
    lbLumi->setObjectName("lbLumi");
    lbLumi->move(8, 42);
    lbLumi->setBuddy(tbLumi);
    lbHue = new QLabel(Text("色合い(&H)："), pnAdjust);
    lbHue->setObjectName("lbHue");
    lbHue->move(8, 72);
    lbHue->setBuddy(tbHue);

    cbBtnCol = new QCheckBox(Text("ボタン色部品も調整する(&T)"), pnAdjust);
    cbBtnCol->setObjectName("cbBtnCol");
    cbBtnCol->move(8, 98);
    cbBtnCol->adjustSize();

    connect(PartsList, &QListWidget::currentRowChanged, this, [this] {
        mnPartsClick();
        if (!partsGuard_) {
            Guarded([&] { PartsListClick(); });
        }
    });
    connect(PartsList, &QListWidget::clicked, this, [this] { Guarded([&] { PartsListClick(); }); });
    PartsList->onDragOver = [this](const QPoint& global) {
        bool accepted = false;
        Guarded([&] { accepted = PartsListDragOver(global); });
        return accepted;
    };
    PartsList->onDragDrop = [this](const QPoint& global) {
        Guarded([&] { PartsListDragDrop(global); });
    };
    const auto adjustChanged = [this] { Guarded([&] { ColorAdjustChange(); }); };
    connect(tbLumi, &QSlider::valueChanged, this, adjustChanged);
    connect(tbHue, &QSlider::valueChanged, this, adjustChanged);
    connect(cbBtnCol, &QCheckBox::toggled, this, adjustChanged);
}

void TEditForm::CreatePartsMenu() {
    mnParts = MainMenu->addMenu(Text("部品(&Ｒ)"));
    mnParts->setObjectName("mnParts");
    // The accelerator's letter is a full-width one, which no keyboard types.
    auto* accelerator = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this);
    connect(accelerator, &QShortcut::activated, this,
            [this] { MainMenu->setActiveAction(mnParts->menuAction()); });

    mnPNew = mnParts->addMenu(Text("新規作成(&N)"));
    mnPNew->setObjectName("mnPNew");
    mnPNew->menuAction()->setStatusTip(Text("新しく部品を作成する"));
    // Each entry carries its region; its position says whether it is a frame.
    struct NewEntry {
        const char* name;
        const char* caption;
        const char* hint;
        TPartsArea area;
        QAction** slot;
    };
    const NewEntry entries[] = {
        {"mnAll", "ボタン枠(&F)", "ボタン枠部分に1ドット幅の枠を描画する", paAll, &mnAll},
        {"mnIcon", "アイコン領域(&I)", "アイコン領域に描画する", paIcon, &mnIcon},
        {"mnIconF", "アイコン領域枠(&C)", "アイコン領域の外側に1ドット幅の枠を描画する", paIcon,
         &mnIconF},
        {"mnName", "ボタン名領域(&N)", "ボタン名領域に描画する", paName, &mnName},
        {"mnNameF", "ボタン名領域枠(&M)", "ボタン名領域の外側に1ドット幅の枠を描画する", paName,
         &mnNameF},
    };
    for (const NewEntry& entry : entries) {
        QAction* item = mnPNew->addAction(Text(entry.caption));
        item->setObjectName(entry.name);
        item->setStatusTip(Text(entry.hint));
        item->setData(static_cast<int>(entry.area));
        connect(item, &QAction::triggered, this,
                [this, item] { Guarded([&] { mnNewPartClick(item); }); });
        *entry.slot = item;
    }
    mnParts->addSeparator();

    mnArea = AddItem(mnParts, "mnArea", "描画範囲の微調整(&T)...",
                     "選択した部品の描画範囲を微調整する", {}, &TEditForm::mnAreaClick);

    mnFill = mnParts->addMenu(Text("描画色の設定(&M)"));
    mnFill->setObjectName("mnFill");
    mnFill->menuAction()->setStatusTip(Text("選択した部品の描画色を設定する"));
    fillGroup_ = new QActionGroup(this);
    fillGroup_->setExclusive(true);
    // In fill order: an entry's position is the fill it sets.
    struct FillEntry {
        const char* name;
        const char* caption;
        const char* hint;
        QAction** slot;
    };
    const FillEntry fills[] = {
        {"mnNon", "無効(&N)", "描画しない", &mnNon},
        {"mnMono", "単色(&M)...", "単色で描画する", &mnMono},
        {"mnGrad", "グラデーション(&G)...", "グラデーションで描画する", &mnGrad},
        {"mnBtn", "ボタン色(&B)", "パッドに設定されたボタン色で描画する", &mnBtn},
        {"mnBtnF", "ボタン枠色(&F)", "パッドに設定されたボタン色による枠色で描画する", &mnBtnF},
    };
    for (const FillEntry& fill : fills) {
        QAction* item = mnFill->addAction(Text(fill.caption));
        item->setObjectName(fill.name);
        item->setStatusTip(Text(fill.hint));
        item->setCheckable(true);
        fillGroup_->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] {
            // The mark follows the part's fill, not the click, when the
            // choice is cancelled.
            QPointer<TEditForm> self(this);
            Guarded([&] { mnFillClick(item); });
            if (self) {
                mnPartsClick();
            }
        });
        *fill.slot = item;
    }
    mnParts->addSeparator();

    mnPUpper = AddItem(mnParts, "mnPUpper", "上へ(&U)",
                       "選択した部品の順序を上に移動する(ドラッグ&ドロップでも可能)",
                       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_U), &TEditForm::mnPUpperClick);
    mnPLower = AddItem(mnParts, "mnPLower", "下へ(&L)",
                       "選択した部品の順序を下に移動する(ドラッグ&ドロップでも可能)",
                       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), &TEditForm::mnPLowerClick);
    mnPDelete = AddItem(mnParts, "mnPDelete", "削除(&Ｄ)", "選択した部品を削除する",
                        QKeySequence(Qt::CTRL | Qt::Key_Delete), &TEditForm::mnPDeleteClick);

    connect(mnParts, &QMenu::aboutToShow, this, [this] { mnPartsClick(); });
}

void TEditForm::DisconnectPartsPane() {
    for (QObject* control : std::initializer_list<QObject*>{PartsList, tbLumi, tbHue, cbBtnCol}) {
        disconnect(control, nullptr, this, nullptr);
    }
}

// --- The list -------------------------------------------------------------------

void TEditForm::UpdatePartsList() {
    ClearPartsList();
    const TPatrn* pattern = CurrentPattern();
    if (pattern == nullptr) {
        mnPartsClick();
        return;
    }
    {
        const ScopedFlag guard(partsGuard_);
        PartsList->setUpdatesEnabled(false);
        for (int k = 0; k < pattern->Count(); ++k) {
            PartsList->addItem(new QListWidgetItem);
            SetPartRow(k, *pattern->Parts(k));
        }
        if (PartsList->count() > 0) {
            PartsList->setCurrentRow(0);
        }
        PartsList->setUpdatesEnabled(true);
    }
    PartsList->viewport()->update();
    {
        const ScopedFlag guard(adjustGuard_);
        tbLumi->setValue(pattern->Lumi);
        tbHue->setValue(pattern->Hue / 2);
        cbBtnCol->setChecked(pattern->BtnColTrim);
    }
    mnPartsClick();
}

void TEditForm::ClearPartsList() {
    const ScopedFlag guard(partsGuard_);
    // The items hold the icons: they go with them.
    PartsList->clear();
}

// The row's text and icon from the part; the old icon is dropped.
void TEditForm::SetPartRow(int row, const TParts& part) {
    QListWidgetItem* item = PartsList->item(row);
    item->setText(Text(part.GetName()));
    const std::optional<Bitmap24> icon = part.CreatePreview(kIconSide, host_.PadInfo());
    item->setData(kPartIconRole, icon ? QVariant(IconImage(*icon)) : QVariant());
}

void TEditForm::SelectPartRow(int row) {
    const ScopedFlag guard(partsGuard_);
    PartsList->setCurrentRow(row);
}

// The current row of the parts list, when a pattern is current; -1 otherwise.
int TEditForm::PartIndex() const {
    const int row = PartsList->currentRow();
    const int selected = static_cast<int>(SelectedRows().size());
    return selected == 1 && row >= 0 && row < PartsList->count() ? row : -1;
}

TParts* TEditForm::CurrentPart() {
    TPatrn* pattern = CurrentPattern();
    return pattern == nullptr ? nullptr : pattern->Parts(PartIndex());
}

void TEditForm::PartsListClick() {
    const TParts* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    SetStatusText(Text("描画範囲：") + Text(part->GetDescription()) + Text("   描画色：") +
                  Text(part->GetFillName()));
}

void TEditForm::mnPartsClick() {
    const TPatrn* pattern = CurrentPattern();
    const bool one = pattern != nullptr;
    const int i = PartIndex();
    const int n = one ? pattern->Count() : 0;
    mnPNew->menuAction()->setEnabled(one);
    mnArea->setEnabled(one && i >= 1);
    mnFill->menuAction()->setEnabled(one);
    mnPUpper->setEnabled(one && i >= 2);
    mnPLower->setEnabled(one && i >= 1 && i < n - 1);
    mnPDelete->setEnabled(one && i >= 1);
    const TParts* part = one ? pattern->Parts(i) : nullptr;
    if (part == nullptr) {
        return;
    }
    const QList<QAction*> fills = mnFill->actions();
    if (part->Fill < fills.size()) {
        fills[part->Fill]->setChecked(true);
    }
    mnBtnF->setEnabled(part->IsFrame);
    mnNon->setEnabled(i != 0);
}

void TEditForm::PartChanged() {
    PartsList->viewport()->update();
    UpdatePreview();
    Modified = true;
    mnPartsClick();
}

// --- Part commands ----------------------------------------------------------------

void TEditForm::mnNewPartClick(QAction* entry) {
    TPatrn* pattern = CurrentPattern();
    const int position = static_cast<int>(mnPNew->actions().indexOf(entry));
    if (pattern == nullptr || position < 0) {
        return;
    }
    TParts& part = pattern->AddNew();
    part.Area = static_cast<std::uint8_t>(entry->data().toInt());
    part.IsFrame = position % 2 == 0;
    part.Fill = fkNon;
    {
        const ScopedFlag guard(partsGuard_);
        PartsList->setUpdatesEnabled(false);
        PartsList->addItem(new QListWidgetItem);
        SetPartRow(PartsList->count() - 1, part);
        PartsList->setCurrentRow(PartsList->count() - 1);
        PartsList->setUpdatesEnabled(true);
    }
    PartChanged();
}

void TEditForm::mnAreaClick() {
    const int i = PartIndex();
    TParts* part = CurrentPart();
    if (part == nullptr || i < 1) {
        return;
    }
    // Without a parent: the window may be destroyed (the plug-in ending)
    // while the dialog is open, and must not take the dialog with it.
    TValueForm dialog;
    dialog.SetValues(part->Area, part->IsFrame, part->Thick, part->Outer);
    const QPointer<TEditForm> self(this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!self || !accepted) {
        return;
    }
    part->Outer = dialog.GetOuter();
    part->Thick = dialog.GetThick();
    SetPartRow(i, *part);
    PartChanged();
}

void TEditForm::mnFillClick(QAction* entry) {
    const int i = PartIndex();
    TParts* part = CurrentPart();
    const int fill = static_cast<int>(mnFill->actions().indexOf(entry));
    if (part == nullptr) {
        return;
    }
    const QPointer<TEditForm> self(this);
    switch (fill) {
    case fkNon:
        // The base part always paints.
        if (i == 0) {
            return;
        }
        break;
    case fkMono: {
        const std::optional<TColor> chosen = CurrentPrompts().ChooseColor(part->Color);
        if (!self || !chosen) {
            return;
        }
        part->Color = *chosen;
        break;
    }
    case fkGrad: {
        TGradDialog dialog;
        dialog.Gradation().LoadFromText(part->GradText);
        const bool accepted = dialog.Execute();
        if (!self || !accepted) {
            return;
        }
        part->GradText = dialog.Gradation().SaveToText();
        break;
    }
    case fkBtn:
        break;
    case fkBtnF:
        // Frame colours paint only in frames.
        if (!part->IsFrame) {
            return;
        }
        break;
    default:
        return;
    }
    part->Fill = static_cast<std::uint8_t>(fill);
    SetPartRow(i, *part);
    PartChanged();
}

void TEditForm::mnPUpperClick() {
    const int i = PartIndex();
    if (i >= 2) {
        MovePart(i, i - 1);
    }
}

void TEditForm::mnPLowerClick() {
    const int i = PartIndex();
    if (i >= 1 && i < PartsList->count() - 1) {
        MovePart(i, i + 1);
    }
}

void TEditForm::MovePart(int from, int to) {
    TPatrn* pattern = CurrentPattern();
    if (pattern == nullptr || from == to) {
        return;
    }
    pattern->Move(from, to);
    {
        const ScopedFlag guard(partsGuard_);
        QListWidgetItem* item = PartsList->takeItem(from);
        PartsList->insertItem(to, item);
        PartsList->setCurrentRow(to);
    }
    PartChanged();
}

void TEditForm::mnPDeleteClick() {
    TPatrn* pattern = CurrentPattern();
    const int i = PartIndex();
    if (pattern == nullptr || i < 1) {
        return;
    }
    pattern->Delete(i);
    {
        const ScopedFlag guard(partsGuard_);
        delete PartsList->takeItem(i);
        PartsList->setCurrentRow(0);
    }
    PartChanged();
}

// The base part is neither dragged nor displaced: the dragged row and the
// row under the pointer are both 1 or more.
bool TEditForm::PartsListDragOver(const QPoint& global) {
    if (CurrentPattern() == nullptr) {
        return false;
    }
    const QPoint pos = PartsList->viewport()->mapFromGlobal(global);
    if (!PartsList->viewport()->rect().contains(pos)) {
        return false;
    }
    const int target = PartsList->RowAtPos(pos);
    return PartIndex() >= 1 && target >= 1 && target <= PartsList->count() - 1;
}

void TEditForm::PartsListDragDrop(const QPoint& global) {
    const int current = PartIndex();
    if (CurrentPattern() == nullptr || current < 0) {
        return;
    }
    const QPoint pos = PartsList->viewport()->mapFromGlobal(global);
    if (!PartsList->viewport()->rect().contains(pos)) {
        return;
    }
    const int target = PartsList->RowAtPos(pos);
    if (target < PartsList->count()) {
        MovePart(current, target);
    }
}

// --- Colour adjustment --------------------------------------------------------------

void TEditForm::ColorAdjustChange() {
    TPatrn* pattern = CurrentPattern();
    if (adjustGuard_ || pattern == nullptr) {
        return;
    }
    pattern->Lumi = tbLumi->value();
    pattern->Hue = 2 * tbHue->value();
    pattern->BtnColTrim = cbBtnCol->isChecked();
    UpdatePreview();
    Modified = true;
}

} // namespace pelmora
