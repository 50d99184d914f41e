#include "qt/edit.h"

#include "logic/EditorDialogs.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"
#include "qt/Grad.h"
#include "qt/RowDragList.h"
#include "qt/value.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace pelmora {

namespace {

constexpr int kRowHeight = 12;
constexpr int kMinPaneHeight = 100;
constexpr int kInfoWidth = 185;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The editor's own dialogs. Without a parent: the window may be destroyed
// (the plug-in ending) while one is open, and must not take it along.
class QtEditorDialogs final : public EditorDialogs {
public:
    bool EditGradient(TGrad& gradient) override {
        TGradDialog dialog;
        dialog.Gradation().Assign(gradient);
        if (!dialog.Execute()) {
            return false;
        }
        gradient.Assign(dialog.Gradation());
        return true;
    }
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override {
        TValueForm dialog;
        dialog.SetValues(area, isFrame, thick, outer);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return AreaAdjustment{dialog.GetOuter(), dialog.GetThick()};
    }
};

// Stateless, so it can outlive a window destroyed under an open dialog.
QtEditorDialogs& Dialogs() {
    static QtEditorDialogs dialogs;
    return dialogs;
}

// A cell bitmap as the window shows it.
QImage ToImage(const Bitmap24& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* in = bitmap.Row(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < bitmap.Width(); ++x, in += 3) {
            out[x] = qRgb(in[2], in[1], in[0]);
        }
    }
    return image;
}

template <typename T> T* Named(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QFrame* Panel(QWidget* parent, const char* name, int shape = QFrame::NoFrame) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameStyle(shape);
    return panel;
}

template <typename Layout> Layout* Lay(QWidget* widget, int margin) {
    auto* layout = new Layout(widget);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(0);
    return layout;
}

} // namespace

namespace editor_detail {

// The list's rows are 12 pixels high.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
    }
};

// The pattern list: extended selection, 12-pixel rows dragged with the mouse.
class PatternListBox : public RowDragList {
public:
    explicit PatternListBox(QWidget* parent) : RowDragList(parent) {
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setUniformItemSizes(true);
        setItemDelegate(new RowHeightDelegate(this));
    }

    std::function<void()> onDoubleClick;

    int TopIndex() const { return verticalScrollBar()->value(); }
    // The row under a viewport position; the row count below the last row.
    int RowAtPos(const QPoint& pos) const {
        return std::min(TopIndex() + std::max(pos.y(), 0) / kRowHeight, count());
    }
    int LastVisibleRow() const {
        const int fullRows = (viewport()->height() + kRowHeight - 1) / kRowHeight;
        return std::min(TopIndex() + std::max(fullRows, 1) - 1, count());
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
            rows.push_back(index.row());
        }
        return rows;
    }

protected:
    // A click on no row is no choice: the selection stays.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid() && event != nullptr) {
            return QItemSelectionModel::NoUpdate;
        }
        return RowDragList::selectionCommand(index, event);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        RowDragList::mouseDoubleClickEvent(e);
        if (e->button() == Qt::LeftButton && onDoubleClick) {
            onDoubleClick();
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        // Ctrl+A belongs to the trial command, also while that is disabled.
        if (e->matches(QKeySequence::SelectAll)) {
            e->accept();
            return;
        }
        RowDragList::keyPressEvent(e);
    }
};

} // namespace editor_detail

using editor_detail::PatternListBox;

// --- Creation ----------------------------------------------------------------

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("TEditForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text("パターンの詳細編集"));
    setMinimumSize(550, 400);
    setFont(DialogFont());
    CreateMenu();
    CreateLayout();
    EditFormView& view = *this;
    logic_ = std::make_unique<EditFormLogic>(library, settings, host, Dialogs(), view);
    ConnectControls();
}

TEditForm::~TEditForm() {
    // The controls outlive the logic while Qt deletes them.
    for (QObject* control : findChildren<QObject*>()) {
        disconnect(control, nullptr, this, nullptr);
    }
    logic_.reset();
}

void TEditForm::CreateMenu() {
    MainMenu = Named(new QMenuBar(this), "MainMenu");
    std::map<EditMenu, QMenu*> menus;
    for (const EditMenuTitle& title : EditMenuTitles()) {
        QMenu* menu = Named(MainMenu->addMenu(Text(title.caption)), title.name);
        menus[title.menu] = menu;
        // Opening a menu runs its enabling rules; the File menu's export item
        // follows the Pattern menu's.
        const bool parts = title.menu == EditMenu::mnParts;
        connect(menu, &QMenu::aboutToShow, this,
                [this, parts] { parts ? logic_->mnPartsClick() : logic_->mnPatternClick(); });
    }
    fillGroup_ = new QActionGroup(this);
    for (const EditMenuLine& line : EditMenuLines()) {
        QMenu* menu = menus.at(line.menu);
        if (!line.item) {
            Named(menu->addSeparator(), line.name);
            continue;
        }
        QAction* item = nullptr;
        if (line.opens) {
            QMenu* submenu = Named(menu->addMenu(Text(line.caption)), line.name);
            menus[*line.opens] = submenu;
            item = submenu->menuAction();
        } else {
            item = Named(menu->addAction(Text(line.caption)), line.name);
            item->setShortcut(QKeySequence(QString::fromLatin1(line.shortcut)));
            item->setShortcutContext(Qt::WindowShortcut);
            item->setData(line.tag);
            item->setCheckable(line.radio);
            if (line.radio) {
                fillGroup_->addAction(item);
            }
            const EditItem command = *line.item;
            connect(item, &QAction::triggered, this,
                    [this, command] { logic_->MenuClick(command); });
        }
        item->setStatusTip(Text(line.hint));
        items_[*line.item] = item;
    }
    // The accelerator's letter is a full-width one, which no keyboard types.
    QMenu* parts = menus.at(EditMenu::mnParts);
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this), &QShortcut::activated, this,
            [this, parts] { MainMenu->setActiveAction(parts->menuAction()); });
}

void TEditForm::CreateLayout() {
    auto* windowLayout = Lay<QVBoxLayout>(this, 0);
    windowLayout->setMenuBar(MainMenu);

    QFrame* pnTop = Panel(this, "pnTop", QFrame::Panel | QFrame::Raised);
    auto* topLayout = Lay<QHBoxLayout>(pnTop, 1);

    QFrame* pnLeft = Panel(pnTop, "pnLeft");
    pnLeft->setFixedWidth(150);
    auto* leftLayout = Lay<QVBoxLayout>(pnLeft, 5);
    lbPattern = Named(new QLabel(Text("パターン一覧(&Ｌ)："), pnLeft), "lbPattern");
    lbPattern->setFixedHeight(20);
    PatternList = Named(new PatternListBox(pnLeft), "PatternList");
    lbPattern->setBuddy(PatternList);
    // The accelerator's letter is a full-width one, which no keyboard types.
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_L), this), &QShortcut::activated,
            PatternList, [this] { PatternList->setFocus(Qt::ShortcutFocusReason); });
    leftLayout->addWidget(lbPattern);
    leftLayout->addWidget(PatternList, 1);
    topLayout->addWidget(pnLeft);

    QFrame* pnRight = Panel(pnTop, "pnRight");
    auto* rightLayout = Lay<QVBoxLayout>(pnRight, 5);
    lbParts = Named(new QLabel(Text("部品一覧(&S)："), pnRight), "lbParts");
    lbParts->setFixedHeight(20);
    rightLayout->addWidget(lbParts);
    QFrame* pnRBottom = Panel(pnRight, "pnRBottom", QFrame::Panel | QFrame::Sunken);
    Splitter1 = Named(new QSplitter(Qt::Vertical, pnRBottom), "Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Lay<QVBoxLayout>(pnRBottom, 1)->addWidget(Splitter1);
    rightLayout->addWidget(pnRBottom, 1);
    topLayout->addWidget(pnRight, 1);

    Splitter1->addWidget(CreatePreviewStrip(Splitter1));
    Splitter1->addWidget(CreatePartsPane(Splitter1));
    // Resizing the window resizes the lower pane; the strip keeps its height.
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    windowLayout->addWidget(pnTop, 1);

    StatusBar = Named(new QStatusBar(this), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(31);
    StatusBar->setContentsMargins(3, 3, 3, 3);
    windowLayout->addWidget(StatusBar);

    QFrame* pnBottom = Panel(this, "pnBottom");
    pnBottom->setFixedHeight(40);
    auto* bottomLayout = new QHBoxLayout(pnBottom);
    bottomLayout->setContentsMargins(8, 0, 8, 0);
    bottomLayout->addStretch(1);
    btOK = Named(new QPushButton(Text("OK"), pnBottom), "btOK");
    btOK->setDefault(true);
    btCamcel = Named(new QPushButton(Text("キャンセル"), pnBottom), "btCamcel");
    for (QPushButton* button : {btOK, btCamcel}) {
        button->setFixedSize(75, 25);
        bottomLayout->addWidget(button);
    }
    bottomLayout->insertSpacing(2, 8);
    windowLayout->addWidget(pnBottom);
}

// The preview strip: the cell at the left, the pad's settings at the right.
QWidget* TEditForm::CreatePreviewStrip(QWidget* parent) {
    pnRBTop = Panel(parent, "pnRBTop");
    pnRBTop->setMinimumHeight(kMinPaneHeight);
    auto* previewLayout = Lay<QHBoxLayout>(pnRBTop, 2);
    pbPreview = Named(new TPaintBox(pnRBTop), "pbPreview");
    pbPreview->OnPaint = [this](QPainter& painter) {
        painter.fillRect(pbPreview->rect(), Qt::white);
        painter.drawImage(0, 0, preview_);
    };
    previewLayout->addWidget(pbPreview, 1);

    QFrame* bvInfo = Panel(pnRBTop, "bvInfo", QFrame::Box | QFrame::Sunken);
    bvInfo->setFixedWidth(kInfoWidth);
    auto* infoLayout = Lay<QVBoxLayout>(bvInfo, 4);
    infoLayout->setSpacing(-1);
    infoLayout->addWidget(Named(new QLabel(Text("---パッド設定情報---"), bvInfo), "lbInfoTitle"));
    auto* infoRows = new QHBoxLayout;
    infoRows->setSpacing(0);
    auto* lbInfoItem = Named(
        new QLabel(Text(" ・ボタンサイズ：\n ・ボタン名：\n ・小さいアイコン：\n ・ボタン色："),
                   bvInfo),
        "lbInfoItem");
    lbInfo = Named(new QLabel(bvInfo), "lbInfo");
    for (QLabel* label : {lbInfoItem, lbInfo}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    // The colour mark stands over the leading blanks of the value's last line.
    lbInfoCol = Named(new QLabel(lbInfo), "lbInfoCol");
    infoRows->addWidget(lbInfoItem);
    infoRows->addWidget(lbInfo, 1);
    infoLayout->addLayout(infoRows);
    infoLayout->addStretch(1);
    previewLayout->addWidget(bvInfo);
    return pnRBTop;
}

void TEditForm::ConnectControls() {
    connect(btOK, &QPushButton::clicked, this, [this] { logic_->mnExitClick(); });
    connect(btCamcel, &QPushButton::clicked, this, [this] { logic_->mnCancelClick(); });
    connect(PatternList, &QListWidget::itemSelectionChanged, this,
            [this] { logic_->PatternListClick(PatternList->SelectedRows()); });
    PatternList->onDoubleClick = [this] { logic_->PatternListDblClick(); };
    PatternList->onDragOver = [this](const QPoint& global) { return PatternListDragOver(global); };
    PatternList->onDragDrop = [this](const QPoint& global) { PatternListDragDrop(global); };
}

// --- Window events -------------------------------------------------------------

bool TEditForm::event(QEvent* e) {
    // Hints of menu items and controls go to the status bar.
    if (e->type() == QEvent::StatusTip) {
        SetStatusText(static_cast<QStatusTipEvent*>(e)->tip().toStdString());
        return true;
    }
    return QWidget::event(e);
}

void TEditForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!splitterPlaced_) {
        const int room = Splitter1->height() - Splitter1->handleWidth();
        Splitter1->setSizes({prevHeight_, std::max(room - prevHeight_, kMinPaneHeight)});
        splitterPlaced_ = true;
    }
    logic_->FormShow();
}

void TEditForm::closeEvent(QCloseEvent* e) {
    if (closing_) {
        e->accept();
        return;
    }
    // Closing from outside (the window system) is a Cancel, with its question.
    e->ignore();
    QTimer::singleShot(0, this, [this] { logic_->mnCancelClick(); });
}

void TEditForm::keyPressEvent(QKeyEvent* e) {
    const bool plain = e->modifiers() == Qt::NoModifier;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        (plain || e->modifiers() == Qt::KeypadModifier)) {
        // Enter presses the focused button, and OK everywhere else.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            logic_->mnExitClick();
        }
        return;
    }
    if (e->key() == Qt::Key_Escape && plain) {
        logic_->mnCancelClick();
        return;
    }
    QWidget::keyPressEvent(e);
}

// --- What the logic tells ---------------------------------------------------------

std::optional<ScreenSize> TEditForm::Screen() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return ScreenSize{screen->geometry().width(), screen->geometry().height()};
    }
    return std::nullopt;
}

WindowBounds TEditForm::Bounds() const {
    return {pos().x(), pos().y(), width(), height()};
}

int TEditForm::PreviewHeight() const {
    return pnRBTop->height();
}

void TEditForm::SetBounds(const WindowBounds& bounds, int previewHeight) {
    move(bounds.Left, bounds.Top);
    resize(bounds.Width, bounds.Height);
    prevHeight_ = previewHeight;
}

void TEditForm::SetItemEnabled(EditItem item, bool enabled) {
    items_.at(item)->setEnabled(enabled);
}

void TEditForm::SetItemChecked(EditItem item, bool checked) {
    items_.at(item)->setChecked(checked);
}

void TEditForm::ShowPatternRows(const std::vector<std::string>& names) {
    const QSignalBlocker blocker(PatternList);
    const int count = static_cast<int>(names.size());
    while (PatternList->count() > count) {
        delete PatternList->takeItem(PatternList->count() - 1);
    }
    for (int i = 0; i < count; ++i) {
        const QString name = Text(names[static_cast<std::size_t>(i)]);
        if (i >= PatternList->count()) {
            PatternList->addItem(name);
        } else if (PatternList->item(i)->text() != name) {
            PatternList->item(i)->setText(name);
        }
    }
}

void TEditForm::ShowPatternSelection(const std::vector<int>& selected, int current) {
    const QSignalBlocker blocker(PatternList);
    QItemSelection selection;
    for (const int row : selected) {
        const QModelIndex index = PatternList->model()->index(row, 0);
        selection.select(index, index);
    }
    if (current >= 0) {
        PatternList->selectionModel()->setCurrentIndex(PatternList->model()->index(current, 0),
                                                       QItemSelectionModel::NoUpdate);
    }
    PatternList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TEditForm::ScrollPatternList(int rows) {
    QScrollBar* bar = PatternList->verticalScrollBar();
    bar->setValue(bar->value() + rows);
}

void TEditForm::ShowPreview(const Bitmap24& cell) {
    preview_ = ToImage(cell);
    pbPreview->update();
}

void TEditForm::ShowPadInfo(const std::string& values, const std::string& mark, TColor markColor) {
    lbInfo->setText(Text(values));
    lbInfoCol->setText(Text(mark));
    QPalette palette = lbInfoCol->palette();
    palette.setColor(QPalette::WindowText,
                     QColor(RedOf(markColor), GreenOf(markColor), BlueOf(markColor)));
    lbInfoCol->setPalette(palette);
    lbInfoCol->adjustSize();
    lbInfoCol->move(lbInfo->contentsRect().left(),
                    lbInfo->contentsRect().top() + 3 * QFontMetrics(lbInfo->font()).lineSpacing());
}

void TEditForm::SetStatusText(const std::string& text) {
    if (text.empty()) {
        StatusBar->clearMessage();
    } else {
        StatusBar->showMessage(Text(text));
    }
}

void TEditForm::CloseWindow() {
    closing_ = true;
    close();
}

// --- Dragging pattern rows -----------------------------------------------------------

bool TEditForm::PatternListDragOver(const QPoint& global) {
    const auto over = [&global](const QWidget* widget) {
        return widget->rect().contains(widget->mapFromGlobal(global));
    };
    QWidget* list = PatternList->viewport();
    const DragSpot spot = over(list)        ? DragSpot::PatternList
                          : over(lbPattern) ? DragSpot::PatternLabel
                          : over(StatusBar) ? DragSpot::StatusBar
                                            : DragSpot::Elsewhere;
    return logic_->PatternListDragOver(spot, PatternList->RowAtPos(list->mapFromGlobal(global)),
                                       {PatternList->TopIndex(), PatternList->LastVisibleRow()});
}

void TEditForm::PatternListDragDrop(const QPoint& global) {
    const QPoint pos = PatternList->viewport()->mapFromGlobal(global);
    if (PatternList->viewport()->rect().contains(pos)) {
        logic_->PatternListDragDrop(PatternList->RowAtPos(pos));
    }
}

} // namespace pelmora
