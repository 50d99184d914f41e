// The editor window's lower pane: the parts list and the colour-adjustment group.
#include "qt/RowDragList.h"
#include "qt/edit.h"

#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStyledItemDelegate>

#include <algorithm>

namespace pelmora {

namespace {

constexpr int kMinPaneHeight = 100;
constexpr int kPartRowHeight = 24;
constexpr int kAdjustWidth = 204;
// The widest kind name: icons start after it.
constexpr const char* kLongestKindName = "ボタン名領域枠";

// A part's picture as drawn beside its name: pure white lets the row's
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

QColor InkColor(PartRowInk ink, const QPalette& palette) {
    if (ink == PartRowInk::GrayText) {
        const TColor grey = SystemColor(kColorGrayText);
        return QColor(RedOf(grey), GreenOf(grey), BlueOf(grey));
    }
    return ink == PartRowInk::SelectedText ? palette.highlightedText().color()
                                           : palette.text().color();
}

QLabel* Label(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(x, y);
    return label;
}

} // namespace

namespace editor_detail {

// Draws a part's row: the kind name in the colour PartRowTextInk gives, and
// its icon in a column after the widest kind name (NameColWidth).
class PartsRowDelegate : public QStyledItemDelegate {
public:
    explicit PartsRowDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kPartRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QFontMetrics metrics(list_->font());
        if (NameColWidth == 0) {
            NameColWidth = metrics.horizontalAdvance(QString::fromUtf8(kLongestKindName));
        }
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        const QVariant icon = index.data(kPartIconRole);

        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        QRect r = option.rect;
        r.setLeft(r.left() + 2);
        const QColor textColor = InkColor(PartRowTextInk(!icon.isNull(), selected), palette);
        painter->setPen(textColor);
        painter->setFont(list_->font());
        // Drawn as it is: an "&" in a name is no accelerator.
        const QString text =
            metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, r.width());
        painter->drawText(
            r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
        if (!icon.isNull()) {
            painter->drawImage(r.left() + NameColWidth + 2, option.rect.top() + 2,
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
    mutable int NameColWidth = 0; // measured when the first row is drawn
};

// The parts list: one selected row, which is always the current one, 24-pixel
// rows dragged with the mouse.
class PartsListBox : public RowDragList {
public:
    explicit PartsListBox(QWidget* parent) : RowDragList(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        setItemDelegate(new PartsRowDelegate(this));
    }

    // The row under a global position: the row count below the last row, -1
    // off the list.
    int RowAtGlobal(const QPoint& global) const {
        const QPoint pos = viewport()->mapFromGlobal(global);
        if (!viewport()->rect().contains(pos)) {
            return -1;
        }
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

QWidget* TEditForm::CreatePartsPane(QWidget* parent) {
    auto* pane = new QFrame(parent);
    pane->setObjectName("pnRBBottom");
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PartsList = new PartsListBox(pane);
    PartsList->setObjectName("PartsList");
    layout->addWidget(PartsList, 1);
    lbParts->setBuddy(PartsList);

    // The group keeps its place at the right edge; its controls are placed
    // like those of a dialog.
    auto* group = new QWidget(pane);
    group->setObjectName("pnAdjust");
    group->setFixedWidth(kAdjustWidth);
    layout->addWidget(group);

    constexpr int kBarLeft = 78;
    constexpr int kBarWidth = 120;
    auto* zero = new TShape(group);
    zero->setObjectName("Shape1");
    zero->SetBrush(Qt::black);
    zero->SetPen(Qt::black, Qt::SolidLine);
    zero->setGeometry(kBarLeft + kBarWidth / 2, 20, 1, 75);
    Label(group, "Label1", "全体の色調整", 8, 4);
    Label(group, "Label3", "-                        +", kBarLeft + 6, 18);
    const auto makeBar = [&](const char* name, int limit, int top) {
        auto* bar = new QSlider(Qt::Horizontal, group);
        bar->setObjectName(name);
        bar->setRange(-limit, limit);
        bar->setPageStep(2);
        bar->setTickPosition(QSlider::TicksAbove);
        bar->setTickInterval(1);
        bar->setGeometry(kBarLeft, top, kBarWidth, 28);
        connect(bar, &QSlider::valueChanged, this, [this] {
            logic_->ColorAdjustChange(tbLumi->value(), tbHue->value(), cbBtnCol->isChecked());
        });
        return bar;
    };
    tbLumi = makeBar("tbLumi", 8, 32);
    tbHue = makeBar("tbHue", 6, 62);
    Label(group, "lbLumi", "明るさ(&B)：", 8, 42)->setBuddy(tbLumi);
    Label(group, "lbHue", "色合い(&H)：", 8, 72)->setBuddy(tbHue);
    cbBtnCol = new QCheckBox(QString::fromUtf8("ボタン色部品も調整する(&T)"), group);
    cbBtnCol->setObjectName("cbBtnCol");
    cbBtnCol->move(8, 98);
    cbBtnCol->adjustSize();
    connect(cbBtnCol, &QCheckBox::toggled, this, [this] {
        logic_->ColorAdjustChange(tbLumi->value(), tbHue->value(), cbBtnCol->isChecked());
    });
    // The pane is never lower than the whole group, so the check box stays
    // within reach wherever the splitter stands.
    pane->setMinimumHeight(std::max(kMinPaneHeight, cbBtnCol->geometry().bottom() + 5));

    connect(PartsList, &QListWidget::currentRowChanged, this,
            [this](int row) { logic_->PartsListClick(row); });
    connect(PartsList, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { logic_->PartsListClick(index.row()); });
    PartsList->onDragOver = [this](const QPoint& global) {
        return logic_->PartsListDragOver(PartsList->RowAtGlobal(global));
    };
    PartsList->onDragDrop = [this](const QPoint& global) {
        logic_->PartsListDragDrop(PartsList->RowAtGlobal(global));
    };
    return pane;
}

void TEditForm::ShowPartRows(const std::vector<PartRow>& rows, int current) {
    const QSignalBlocker blocker(PartsList);
    PartsList->setUpdatesEnabled(false);
    const int count = static_cast<int>(rows.size());
    while (PartsList->count() > count) {
        delete PartsList->takeItem(PartsList->count() - 1);
    }
    for (int k = 0; k < count; ++k) {
        if (k >= PartsList->count()) {
            PartsList->addItem(new QListWidgetItem);
        }
        const PartRow& row = rows[static_cast<std::size_t>(k)];
        QListWidgetItem* item = PartsList->item(k);
        item->setText(QString::fromStdString(row.Text));
        item->setData(kPartIconRole, row.Icon ? QVariant(IconImage(*row.Icon)) : QVariant());
    }
    PartsList->setCurrentRow(current);
    PartsList->setUpdatesEnabled(true);
    PartsList->viewport()->update();
}

void TEditForm::ShowColorAdjust(int lumi, int hue, bool btnColTrim) {
    const QSignalBlocker lumiBlocker(tbLumi);
    const QSignalBlocker hueBlocker(tbHue);
    const QSignalBlocker trimBlocker(cbBtnCol);
    tbLumi->setValue(lumi);
    tbHue->setValue(hue);
    cbBtnCol->setChecked(btnColTrim);
}

} // namespace pelmora
