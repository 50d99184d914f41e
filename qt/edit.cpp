#include "qt/edit.h"

#include "qt/RowDragList.h"

#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/prompts.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
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
#include <functional>
#include <system_error>
#include <utility>

namespace pelmora {

namespace {

constexpr int kRowHeight = 12;
constexpr int kMinPaneHeight = 100;
constexpr int kInfoWidth = 185;

constexpr const char* kCaption = "パターンの詳細編集";
constexpr const char* kConfirmTitle = "確認";
constexpr const char* kNewPatternBase = "新規パターン";
constexpr const char* kRenamePrompt = "変更後のパターン名を入力して下さい。";
constexpr const char* kDeleteQuestionEnd = "を削除してもよろしいですか？";
constexpr const char* kKeepTrialQuestion = "仮適用した壁紙をそのまま使いますか？";
constexpr const char* kDiscardQuestion = "編集結果を破棄してよろしいですか？";

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A Shift-JIS name as shown in the window; bytes that are not Shift-JIS show
// as U+FFFD instead of hiding the whole name.
QString ShowName(const std::string& sjis) {
    try {
        return QString::fromStdString(SjisToUtf8(sjis));
    } catch (const CodecError&) {
    }
    QString shown;
    for (std::size_t pos = 0; pos < sjis.size();) {
        const std::size_t length = SjisCharLength(sjis, pos);
        try {
            shown += QString::fromStdString(SjisToUtf8(std::string_view(sjis).substr(pos, length)));
        } catch (const CodecError&) {
            shown += QChar(0xFFFD);
        }
        pos += length;
    }
    return shown;
}

QColor ToQColor(TColor rgb) {
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

void ShowError(const std::string& text) {
    try {
        CurrentPrompts().Message(text, MsgKind::Error, MsgButtons::Ok);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

} // namespace

namespace editor_detail {

// The list's rows are 12 pixels high.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(kRowHeight);
        return size;
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
    void Scroll(int rows) { verticalScrollBar()->setValue(verticalScrollBar()->value() + rows); }
    // The row under a viewport position; the row count below the last row.
    int RowAtPos(const QPoint& pos) const {
        const int row = TopIndex() + std::max(pos.y(), 0) / kRowHeight;
        return std::min(row, count());
    }
    // The first row from the top one whose bottom reaches the client height;
    // the row count when none does.
    int LastVisibleRow() const {
        const int fullRows = (viewport()->height() + kRowHeight - 1) / kRowHeight;
        return std::min(TopIndex() + std::max(fullRows, 1) - 1, count());
    }

protected:
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

// The preview: a white box with the cell bitmap at its top-left corner.
class PreviewBox : public QWidget {
public:
    PreviewBox(QWidget* parent, const Bitmap24& bitmap) : QWidget(parent), bitmap_(bitmap) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (bitmap_.Width() > 0 && bitmap_.Height() > 0) {
            painter.drawImage(0, 0, ToImage());
        }
    }

private:
    QImage ToImage() const {
        QImage image(bitmap_.Width(), bitmap_.Height(), QImage::Format_RGB32);
        for (std::int32_t y = 0; y < bitmap_.Height(); ++y) {
            const std::uint8_t* in = bitmap_.Row(y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (std::int32_t x = 0; x < bitmap_.Width(); ++x, in += 3) {
                out[x] = qRgb(in[2], in[1], in[0]);
            }
        }
        return image;
    }

    const Bitmap24& bitmap_;
};

} // namespace editor_detail

using editor_detail::PatternListBox;
using editor_detail::PreviewBox;

// --- Creation ----------------------------------------------------------------

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      library_(library), settings_(settings), host_(host) {
    setObjectName("TEditForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text(kCaption));
    setMinimumSize(550, 400);
    setFont(DialogFont());

    TrialFile = host_.CreateTrialFile();
    CreateMenu();
    CreateLayout();
    PlaceWindow();
    CopyLibrary();
    mnPatternClick();
    mnPartsClick();
}

TEditForm::~TEditForm() {
    // The controls outlive this object's fields while Qt deletes them.
    disconnect(PatternList, nullptr, this, nullptr);
    DisconnectPartsPane();
    // A trial still on the pad would point at the file removed below.
    if (TrialApplied) {
        try {
            host_.SetPadWallPaper(OldWallPaper);
        } catch (...) {
        }
    }
    std::error_code ignored;
    std::filesystem::remove(TrialFile, ignored);

    settings_.Left = pos().x();
    settings_.Top = pos().y();
    settings_.Width = width();
    settings_.Height = height();
    settings_.PrevHeight = FirstShow ? prevHeight_ : pnRBTop->height();

    ClearPartsList();
    try {
        host_.EditorClosed();
    } catch (...) {
    }
}

QAction* TEditForm::AddItem(QMenu* menu, const char* name, const char* caption, const char* hint,
                            const QKeySequence& shortcut, void (TEditForm::*command)()) {
    QAction* item = menu->addAction(Text(caption));
    item->setObjectName(name);
    item->setStatusTip(Text(hint));
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WindowShortcut);
    connect(item, &QAction::triggered, this,
            [this, command] { Guarded([&] { (this->*command)(); }); });
    return item;
}

void TEditForm::CreateMenu() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName("MainMenu");

    mnFile = MainMenu->addMenu(Text("ファイル(&F)"));
    mnFile->setObjectName("mnFile");
    mnImport =
        AddItem(mnFile, "mnImport", "インポート(&I)...", "外部ファイルからパターンを入力する",
                QKeySequence(Qt::CTRL | Qt::Key_I), &TEditForm::mnImportClick);
    mnExport = AddItem(mnFile, "mnExport", "エクスポート(&E)...",
                       "選択したパターンを外部ファイルに出力する",
                       QKeySequence(Qt::CTRL | Qt::Key_E), &TEditForm::mnExportClick);
    mnFile->addSeparator()->setObjectName("mnSep1");
    mnExit = AddItem(mnFile, "mnExit", "設定して閉じる(&X)",
                     "編集した結果をメニューに設定して本画面を閉じる(OKボタン)", {},
                     &TEditForm::mnExitClick);
    mnCancel = AddItem(mnFile, "mnCancel", "キャンセルして閉じる(&C)",
                       "編集した結果を破棄して本画面を閉じる(キャンセルボタン)", {},
                       &TEditForm::mnCancelClick);

    mnPattern = MainMenu->addMenu(Text("パターン(&P)"));
    mnPattern->setObjectName("mnPattern");
    mnNew = AddItem(mnPattern, "mnNew", "新規作成(&N)", "新しくパターンを作成する",
                    QKeySequence(Qt::Key_Insert), &TEditForm::mnNewClick);
    mnCopy = AddItem(mnPattern, "mnCopy", "複製作成(&C)",
                     "選択したパターンを複写して新しくパターンを作成する",
                     QKeySequence(Qt::CTRL | Qt::Key_C), &TEditForm::mnCopyClick);
    mnPattern->addSeparator()->setObjectName("mnSep4");
    mnRename = AddItem(mnPattern, "mnRename", "名前変更(&R)", "選択したパターンの名前を変更する",
                       QKeySequence(Qt::CTRL | Qt::Key_R), &TEditForm::mnRenameClick);
    mnUpper = AddItem(mnPattern, "mnUpper", "上へ(&U)",
                      "選択したパターンの順序を上に移動する(ドラッグ&ドロップでも可能)",
                      QKeySequence(Qt::CTRL | Qt::Key_U), &TEditForm::mnUpperClick);
    mnLower = AddItem(mnPattern, "mnLower", "下へ(&L)",
                      "選択したパターンの順序を下に移動する(ドラッグ&ドロップでも可能)",
                      QKeySequence(Qt::CTRL | Qt::Key_L), &TEditForm::mnLowerClick);
    mnDelete = AddItem(mnPattern, "mnDelete", "削除(&D)", "選択したパターンを削除する",
                       QKeySequence(Qt::Key_Delete), &TEditForm::mnDeleteClick);
    mnPattern->addSeparator()->setObjectName("mnSep2");
    mnInfo = AddItem(mnPattern, "mnInfo", "パッド設定情報の取り込み(&P)",
                     "現在のパッド設定情報を再度取り込む", {}, &TEditForm::mnInfoClick);
    mnPattern->addSeparator()->setObjectName("mnSep7");
    mnPad = AddItem(mnPattern, "mnPad", "パッドに仮適用(&A)",
                    "選択したパターンで壁紙を生成しパッドに仮適用する(ダブルクリックでも可能)",
                    QKeySequence(Qt::CTRL | Qt::Key_A), &TEditForm::mnPadClick);
    mnUndo =
        AddItem(mnPattern, "mnUndo", "仮適用の取り消し(&D)",
                "仮適用した壁紙を本画面を表示する直前の状態に戻す", {}, &TEditForm::mnUndoClick);

    CreatePartsMenu();

    // The rules also hold the File menu's export item, so they run for both.
    connect(mnPattern, &QMenu::aboutToShow, this, [this] { mnPatternClick(); });
    connect(mnFile, &QMenu::aboutToShow, this, [this] { mnPatternClick(); });
}

void TEditForm::CreateLayout() {
    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->setMenuBar(MainMenu);

    pnTop = new QFrame(this);
    pnTop->setObjectName("pnTop");
    pnTop->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* topLayout = new QHBoxLayout(pnTop);
    topLayout->setContentsMargins(1, 1, 1, 1);
    topLayout->setSpacing(0);

    pnLeft = new QFrame(pnTop);
    pnLeft->setObjectName("pnLeft");
    pnLeft->setFixedWidth(150);
    auto* leftLayout = new QVBoxLayout(pnLeft);
    leftLayout->setContentsMargins(5, 5, 5, 5);
    leftLayout->setSpacing(0);
    lbPattern = new QLabel(Text("パターン一覧(&Ｌ)："), pnLeft);
    lbPattern->setObjectName("lbPattern");
    lbPattern->setFixedHeight(20);
    PatternList = new PatternListBox(pnLeft);
    PatternList->setObjectName("PatternList");
    lbPattern->setBuddy(PatternList);
    // The accelerator's letter is a full-width one, which no keyboard types.
    auto* listAccelerator = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_L), this);
    connect(listAccelerator, &QShortcut::activated, PatternList,
            [this] { PatternList->setFocus(Qt::ShortcutFocusReason); });
    leftLayout->addWidget(lbPattern);
    leftLayout->addWidget(PatternList, 1);
    topLayout->addWidget(pnLeft);

    pnRight = new QFrame(pnTop);
    pnRight->setObjectName("pnRight");
    auto* rightLayout = new QVBoxLayout(pnRight);
    rightLayout->setContentsMargins(5, 5, 5, 5);
    rightLayout->setSpacing(0);
    lbParts = new QLabel(Text("部品一覧(&S)："), pnRight);
    lbParts->setObjectName("lbParts");
    lbParts->setFixedHeight(20);
    rightLayout->addWidget(lbParts);

    pnRBottom = new QFrame(pnRight);
    pnRBottom->setObjectName("pnRBottom");
    pnRBottom->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* rbLayout = new QVBoxLayout(pnRBottom);
    rbLayout->setContentsMargins(1, 1, 1, 1);
    Splitter1 = new QSplitter(Qt::Vertical, pnRBottom);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    rbLayout->addWidget(Splitter1);
    rightLayout->addWidget(pnRBottom, 1);
    topLayout->addWidget(pnRight, 1);

    // The preview strip: the cell at the left, the pad's settings at the right.
    pnRBTop = new QFrame(Splitter1);
    pnRBTop->setObjectName("pnRBTop");
    pnRBTop->setMinimumHeight(kMinPaneHeight);
    auto* previewLayout = new QHBoxLayout(pnRBTop);
    previewLayout->setContentsMargins(2, 2, 2, 2);
    previewLayout->setSpacing(0);
    pbPreview = new PreviewBox(pnRBTop, PreviewBmp);
    pbPreview->setObjectName("pbPreview");
    previewLayout->addWidget(pbPreview, 1);

    bvInfo = new QFrame(pnRBTop);
    bvInfo->setObjectName("bvInfo");
    bvInfo->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bvInfo->setFixedWidth(kInfoWidth);
    auto* infoLayout = new QVBoxLayout(bvInfo);
    infoLayout->setContentsMargins(4, 4, 4, 4);
    lbInfoTitle = new QLabel(Text("---パッド設定情報---"), bvInfo);
    lbInfoTitle->setObjectName("lbInfoTitle");
    infoLayout->addWidget(lbInfoTitle);
    auto* infoRows = new QHBoxLayout;
    infoRows->setSpacing(0);
    lbInfoItem = new QLabel(
        Text(" ・ボタンサイズ：\n ・ボタン名：\n ・小さいアイコン：\n ・ボタン色："), bvInfo);
    lbInfoItem->setObjectName("lbInfoItem");
    lbInfoItem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbInfo = new QLabel(bvInfo);
    lbInfo->setObjectName("lbInfo");
    lbInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The colour mark stands over the leading blanks of the value's last line.
    lbInfoCol = new QLabel(lbInfo);
    lbInfoCol->setObjectName("lbInfoCol");
    infoRows->addWidget(lbInfoItem);
    infoRows->addWidget(lbInfo, 1);
    infoLayout->addLayout(infoRows);
    infoLayout->addStretch(1);
    previewLayout->addWidget(bvInfo);

    pnRBBottom = new QFrame(Splitter1);
    pnRBBottom->setObjectName("pnRBBottom");
    pnRBBottom->setMinimumHeight(kMinPaneHeight);
    CreatePartsPane(pnRBBottom);

    Splitter1->addWidget(pnRBTop);
    Splitter1->addWidget(pnRBBottom);
    // Resizing the window resizes the lower pane; the strip keeps its height.
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);

    windowLayout->addWidget(pnTop, 1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(31);
    StatusBar->setContentsMargins(3, 3, 3, 3);
    windowLayout->addWidget(StatusBar);

    pnBottom = new QFrame(this);
    pnBottom->setObjectName("pnBottom");
    pnBottom->setFixedHeight(40);
    auto* bottomLayout = new QHBoxLayout(pnBottom);
    bottomLayout->setContentsMargins(8, 0, 8, 0);
    bottomLayout->addStretch(1);
    btOK = new QPushButton(Text("OK"), pnBottom);
    btOK->setObjectName("btOK");
    btOK->setFixedSize(75, 25);
    btOK->setDefault(true);
    btCamcel = new QPushButton(Text("キャンセル"), pnBottom);
    btCamcel->setObjectName("btCamcel");
    btCamcel->setFixedSize(75, 25);
    bottomLayout->addWidget(btOK);
    bottomLayout->addSpacing(8);
    bottomLayout->addWidget(btCamcel);
    windowLayout->addWidget(pnBottom);

    connect(btOK, &QPushButton::clicked, this, [this] { Guarded([&] { mnExitClick(); }); });
    connect(btCamcel, &QPushButton::clicked, this, [this] { Guarded([&] { mnCancelClick(); }); });
    connect(PatternList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectionGuard_) {
            Guarded([&] { PatternListClick(); });
        }
    });
    PatternList->onDoubleClick = [this] { Guarded([&] { mnPadClick(); }); };
    PatternList->onDragOver = [this](const QPoint& global) {
        bool accepted = false;
        Guarded([&] { accepted = PatternListDragOver(global); });
        return accepted;
    };
    PatternList->onDragDrop = [this](const QPoint& global) {
        Guarded([&] { PatternListDragDrop(global); });
    };
}

void TEditForm::PlaceWindow() {
    // A window stored on a larger screen comes back at the edge; the corrected
    // value is also what is stored again.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        if (screen->geometry().width() < settings_.Left) {
            settings_.Left = 0;
        }
        if (screen->geometry().height() < settings_.Top) {
            settings_.Top = 0;
        }
    }
    move(settings_.Left, settings_.Top);
    resize(settings_.Width, settings_.Height);
    prevHeight_ = std::max(settings_.PrevHeight, kMinPaneHeight);
}

void TEditForm::CopyLibrary() {
    for (int i = 0; i < library_.Count(); ++i) {
        AppendRow(library_.Name(i), library_.Pattern(i).Clone());
    }
}

void TEditForm::ShowEventError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError("予期しないエラーが発生しました。");
    }
}

// --- Window events -------------------------------------------------------------

bool TEditForm::event(QEvent* e) {
    // Hints of menu items and controls go to the status bar.
    if (e->type() == QEvent::StatusTip) {
        SetStatusText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QWidget::event(e);
}

void TEditForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!FirstShow) {
        return;
    }
    const int room = Splitter1->height() - Splitter1->handleWidth();
    Splitter1->setSizes({prevHeight_, std::max(room - prevHeight_, kMinPaneHeight)});
    Guarded([&] {
        UpdatePadInfo();
        if (PatternList->count() > 0) {
            SelectOnly(0);
        }
        PatternListClick();
    });
    FirstShow = false;
}

void TEditForm::closeEvent(QCloseEvent* e) {
    if (closing_) {
        e->accept();
        return;
    }
    // Closing from outside (the window system) is a Cancel, with its question.
    e->ignore();
    QTimer::singleShot(0, this, [this] { Guarded([&] { mnCancelClick(); }); });
}

void TEditForm::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
            // Enter presses the focused button, and OK everywhere else.
            if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
                button->click();
            } else {
                Guarded([&] { mnExitClick(); });
            }
            return;
        }
        break;
    case Qt::Key_Escape:
        if (e->modifiers() == Qt::NoModifier) {
            Guarded([&] { mnCancelClick(); });
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}

void TEditForm::SetStatusText(const QString& text) {
    if (text.isEmpty()) {
        StatusBar->clearMessage();
    } else {
        StatusBar->showMessage(text);
    }
}

// --- The list and its selection -----------------------------------------------

int TEditForm::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

std::vector<int> TEditForm::SelectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < PatternList->count(); ++i) {
        if (PatternList->item(i)->isSelected()) {
            rows.push_back(i);
        }
    }
    return rows;
}

// The one selected row, or -1. It is the focused row too, except after a
// Ctrl-click took another row out of the selection: the selected row counts.
int TEditForm::CurrentIndex() const {
    const std::vector<int> rows = SelectedRows();
    return rows.size() == 1 ? rows.front() : -1;
}

TPatrn* TEditForm::CurrentPattern() {
    const int row = CurrentIndex();
    return row < 0 ? nullptr : rows_[static_cast<std::size_t>(row)].Pattern.get();
}

std::vector<std::string> TEditForm::RowNames() const {
    std::vector<std::string> names;
    names.reserve(rows_.size());
    for (const EditorRow& row : rows_) {
        names.push_back(row.Name);
    }
    return names;
}

// The rows' names as a list for the name prompt and the import, which only
// look at the names; the patterns there are stand-ins.
PatternLibrary TEditForm::NameList() const {
    PatternLibrary names;
    for (const EditorRow& row : rows_) {
        names.Append(row.Name, std::make_unique<TPatrn>());
    }
    return names;
}

void TEditForm::AppendRow(std::string name, std::unique_ptr<TPatrn> pattern) {
    auto* item = new QListWidgetItem(ShowName(name));
    rows_.push_back({std::move(name), std::move(pattern)});
    const bool guard = std::exchange(selectionGuard_, true);
    PatternList->addItem(item);
    selectionGuard_ = guard;
}

void TEditForm::SelectOnly(int row) {
    const bool guard = std::exchange(selectionGuard_, true);
    PatternList->clearSelection();
    PatternList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    selectionGuard_ = guard;
}

// --- What the window shows --------------------------------------------------------

void TEditForm::PatternListClick() {
    mnPatternClick();
    UpdatePreview();
    UpdatePartsList();
    SetStatusText({});
}

void TEditForm::UpdatePreview() {
    // Painted fresh each time, so the preview (and a trial made from it) is
    // exactly the wallpaper the pattern gives.
    PreviewBmp = Bitmap24();
    if (const TPatrn* pattern = CurrentPattern()) {
        PreviewBmp = DrawWallpaper(*pattern, host_.PadInfo());
    }
    pbPreview->update();
}

void TEditForm::UpdatePadInfo() {
    const TPadInfo& pad = host_.PadInfo();
    const char* caption = pad.BtnCaption == 0   ? "表示なし"
                          : pad.BtnCaption == 1 ? "アイコンの下"
                                                : "アイコンの右";
    const char* smallIcon = pad.BtnSmallIcon != 0 ? "オン" : "オフ";
    const auto color = static_cast<TColor>(pad.BtnColor);
    const QString hex = QString("%1").arg(color, 8, 16, QChar('0')).toUpper();
    lbInfo->setText(QString("%1×%2\n%3\n%4\n    %5")
                        .arg(pad.BtnWidth)
                        .arg(pad.BtnHeight)
                        .arg(Text(caption), Text(smallIcon), hex));

    const bool buttonFace = ResolveColor(color) == SystemColor(kColorBtnFace);
    lbInfoCol->setText(Text(buttonFace ? "□" : "■"));
    QPalette palette = lbInfoCol->palette();
    palette.setColor(QPalette::WindowText,
                     ToQColor(buttonFace ? SystemColor(kColorWindowText) : ResolveColor(color)));
    lbInfoCol->setPalette(palette);
    const QFontMetrics metrics(lbInfo->font());
    lbInfoCol->adjustSize();
    lbInfoCol->move(lbInfo->contentsRect().left(),
                    lbInfo->contentsRect().top() + 3 * metrics.lineSpacing());
}

void TEditForm::mnPatternClick() {
    const int selected = SelectedCount();
    mnExport->setEnabled(selected >= 1);
    mnRename->setEnabled(selected == 1);
    mnUpper->setEnabled(selected == 1);
    mnLower->setEnabled(selected == 1);
    mnDelete->setEnabled(selected >= 1);
    mnPad->setEnabled(selected == 1);
    mnUndo->setEnabled(TrialApplied);
}

// --- Pattern commands -----------------------------------------------------------

void TEditForm::mnNewClick() {
    std::string name = UniquePatternName(Utf8ToSjis(kNewPatternBase), RowNames());
    auto pattern = std::make_unique<TPatrn>();
    TParts& frame = pattern->AddNew();
    frame.Area = paAll;
    frame.IsFrame = true;
    frame.Fill = fkBtnF;
    AppendRow(std::move(name), std::move(pattern));
    SelectOnly(PatternList->count() - 1);
    PatternListClick();
    Modified = true;
}

void TEditForm::mnCopyClick() {
    const int row = CurrentIndex();
    if (row < 0) {
        return;
    }
    const EditorRow& source = rows_[static_cast<std::size_t>(row)];
    std::string name = UniquePatternName(source.Name, RowNames());
    AppendRow(std::move(name), source.Pattern->Clone());
    SelectOnly(PatternList->count() - 1);
    PatternListClick();
    Modified = true;
}

void TEditForm::mnRenameClick() {
    const int row = CurrentIndex();
    if (row < 0) {
        return;
    }
    EditorRow& entry = rows_[static_cast<std::size_t>(row)];
    std::string name = entry.Name;
    if (!host_.AskPatternName(kRenamePrompt, name, NameList())) {
        return;
    }
    if (name != entry.Name) {
        entry.Name = name;
        PatternList->item(row)->setText(ShowName(entry.Name));
        Modified = true;
    }
    SelectOnly(row);
    PatternListClick();
}

void TEditForm::mnUpperClick() {
    const int row = CurrentIndex();
    if (row >= 1) {
        MovePattern(row, row - 1);
    }
}

void TEditForm::mnLowerClick() {
    const int row = CurrentIndex();
    if (row >= 0 && row < PatternList->count() - 1) {
        MovePattern(row, row + 1);
    }
}

void TEditForm::MovePattern(int from, int to) {
    if (from == to) {
        return;
    }
    EditorRow moved = std::move(rows_[static_cast<std::size_t>(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(moved));
    const bool guard = std::exchange(selectionGuard_, true);
    QListWidgetItem* item = PatternList->takeItem(from);
    PatternList->insertItem(to, item);
    selectionGuard_ = guard;
    SelectOnly(to);
    PatternListClick();
    Modified = true;
}

void TEditForm::mnDeleteClick() {
    const std::vector<int> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    std::string question;
    for (const int row : selected) {
        question +=
            "\"" + ShowName(rows_[static_cast<std::size_t>(row)].Name).toStdString() + "\"\r\n";
    }
    question += kDeleteQuestionEnd;
    if (CurrentPrompts().Message(question, MsgKind::Confirmation, MsgButtons::OkCancel,
                                 kConfirmTitle) != MsgResult::Ok) {
        return;
    }
    const bool guard = std::exchange(selectionGuard_, true);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        delete PatternList->takeItem(*it);
        rows_.erase(rows_.begin() + *it);
    }
    selectionGuard_ = guard;
    if (!rows_.empty()) {
        SelectOnly(0);
    }
    PatternListClick();
    Modified = true;
}

void TEditForm::mnImportClick() {
    PatternLibrary list = NameList();
    const int before = list.Count();
    if (!host_.ImportPatterns(list)) {
        return;
    }
    for (int i = before; i < list.Count(); ++i) {
        AppendRow(list.Name(i), list.Pattern(i).Clone());
    }
    if (list.Count() > before) {
        Modified = true;
    }
    mnPatternClick();
}

void TEditForm::mnExportClick() {
    std::vector<TExportEntry> entries;
    for (const int row : SelectedRows()) {
        const EditorRow& entry = rows_[static_cast<std::size_t>(row)];
        entries.push_back({entry.Name, entry.Pattern.get()});
    }
    if (!entries.empty()) {
        host_.ExportPatterns(entries);
    }
}

// --- Pad commands -----------------------------------------------------------------

void TEditForm::mnInfoClick() {
    host_.ReadPadInfo();
    UpdatePadInfo();
    UpdatePreview();
}

void TEditForm::mnPadClick() {
    if (CurrentIndex() < 0) {
        return;
    }
    host_.ReadPadInfo();
    UpdatePadInfo();
    UpdatePreview();
    const std::string trialText = host_.HostPathText(TrialFile);
    SaveBmp(PreviewBmp, TrialFile);
    if (!TrialApplied) {
        OldWallPaper = host_.GetPadWallPaper().value_or(std::string());
        TrialApplied = true;
    }
    host_.SetPadWallPaper(trialText);
    mnPatternClick();
}

void TEditForm::mnUndoClick() {
    if (!TrialApplied) {
        return;
    }
    host_.SetPadWallPaper(OldWallPaper);
    OldWallPaper.clear();
    TrialApplied = false;
    mnPatternClick();
}

// --- OK and Cancel ------------------------------------------------------------------

// The trial is settled before the library is replaced, so a wallpaper that
// cannot be copied leaves both the library and the window as they were.
void TEditForm::mnExitClick() {
    if (TrialApplied) {
        const MsgResult keep = CurrentPrompts().Message(kKeepTrialQuestion, MsgKind::Confirmation,
                                                        MsgButtons::YesNo, kConfirmTitle);
        if (keep == MsgResult::Yes) {
            SaveBmp(LoadBmp(TrialFile), host_.WallpaperFile());
            host_.SetPadWallPaper(host_.WallpaperText());
        } else {
            host_.SetPadWallPaper(OldWallPaper);
        }
        TrialApplied = false;
    }
    if (Modified) {
        ReplaceLibrary();
    }
    CloseWindow();
}

void TEditForm::mnCancelClick() {
    if (Modified &&
        CurrentPrompts().Message(kDiscardQuestion, MsgKind::Confirmation, MsgButtons::OkCancel,
                                 kConfirmTitle) != MsgResult::Ok) {
        return;
    }
    if (TrialApplied) {
        host_.SetPadWallPaper(OldWallPaper);
        TrialApplied = false;
    }
    CloseWindow();
}

// The copies are made before the library is touched, so a failure leaves it whole.
void TEditForm::ReplaceLibrary() {
    std::vector<std::unique_ptr<TPatrn>> copies;
    copies.reserve(rows_.size());
    for (const EditorRow& row : rows_) {
        copies.push_back(row.Pattern->Clone());
    }
    library_.Clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        library_.Append(rows_[i].Name, std::move(copies[i]));
    }
}

void TEditForm::CloseWindow() {
    closing_ = true;
    close();
}

// --- Dragging rows -------------------------------------------------------------------

bool TEditForm::PatternListDragOver(const QPoint& global) {
    const auto over = [&global](const QWidget* widget) {
        return widget->rect().contains(widget->mapFromGlobal(global));
    };
    const int count = PatternList->count();
    const int top = PatternList->TopIndex();
    if (over(PatternList->viewport())) {
        const QPoint pos = PatternList->viewport()->mapFromGlobal(global);
        const int row = PatternList->RowAtPos(pos);
        const int last = PatternList->LastVisibleRow();
        if (top > 0 && row == top) {
            PatternList->Scroll(-1);
            return false;
        }
        if (last < count - 1 && row == last) {
            PatternList->Scroll(1);
            return false;
        }
        return SelectedCount() == 1 && row < count;
    }
    if (over(lbPattern)) {
        if (top > 0) {
            PatternList->Scroll(-1);
        }
        return false;
    }
    if (over(StatusBar)) {
        if (top < count - 1) {
            PatternList->Scroll(1);
        }
        return false;
    }
    return false;
}

void TEditForm::PatternListDragDrop(const QPoint& global) {
    const int current = CurrentIndex();
    if (current < 0) {
        return;
    }
    const QPoint pos = PatternList->viewport()->mapFromGlobal(global);
    if (!PatternList->viewport()->rect().contains(pos)) {
        return;
    }
    const int target = PatternList->RowAtPos(pos);
    if (target < PatternList->count()) {
        MovePattern(current, target);
    }
}

} // namespace pelmora
