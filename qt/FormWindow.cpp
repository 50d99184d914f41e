#include "qt/FormWindow.h"

#include "platform/qt/QtGraphics.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"
#include "qt/RowDragList.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace pelmora {
namespace {

using editor_detail::RowDragList;

constexpr int kDimmedRole = Qt::UserRole + 2;

QColor SystemQColor(int index) {
    return QColorOf(SystemColorRef(index));
}

// A row of a list: its text (grey when dimmed and not selected), then its
// picture in a column after the control's TextColumn; or of a combo box: its
// picture, then its text, where PictureItemPlaces puts them.
class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(QAbstractItemView* view, const FormControl& control)
        : QStyledItemDelegate(view), view_(view), rowHeight_(control.RowHeight),
          textColumn_(QText(control.TextColumn)), combo_(control.Kind == ControlKind::ComboBox) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight_};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        const QRect& r = option.rect;
        painter->save();
        painter->fillRect(r, selected ? palette.highlight() : palette.base());
        ListRow row;
        row.Dimmed = index.data(kDimmedRole).toBool();
        const RowInk ink = ListRowInk(row, selected);
        const QColor text = ink == RowInk::GrayText       ? SystemQColor(kColorGrayText)
                            : ink == RowInk::SelectedText ? palette.highlightedText().color()
                                                          : palette.text().color();
        const QFontMetrics metrics(view_->font());
        QRect textBox = r.adjusted(2, 0, 0, 0);
        QPoint picture(textBox.left() + metrics.horizontalAdvance(textColumn_) + 2, r.top() + 2);
        if (combo_) {
            const PictureItemLayout layout =
                PictureItemPlaces({r.left(), r.top(), r.right() + 1, r.bottom() + 1}, rowHeight_);
            picture = {layout.Picture.X, layout.Picture.Y};
            textBox.setCoords(layout.Text.Left, layout.Text.Top, layout.Text.Right - 1,
                              layout.Text.Bottom - 1);
        }
        painter->setPen(text);
        painter->setFont(view_->font());
        // Drawn as it is: an "&" in a name is no accelerator.
        painter->drawText(textBox,
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine |
                              (combo_ ? 0 : Qt::TextDontClip),
                          metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                             textBox.width()));
        if (const QVariant image = index.data(kRowPictureRole); !image.isNull()) {
            painter->drawImage(picture, image.value<QImage>());
        }
        if (!combo_ && (option.state & QStyle::State_HasFocus)) {
            painter->setPen(QPen(text, 1, Qt::DotLine));
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    QAbstractItemView* view_;
    int rowHeight_;
    QString textColumn_;
    bool combo_;
};

// A list of fixed-height rows; with style::DragRows its rows are dragged.
class FormList : public RowDragList {
public:
    FormList(const FormControl& control, QWidget* parent) : RowDragList(parent) {
        setSelectionMode(control.Has(style::MultiSelect) ? QAbstractItemView::ExtendedSelection
                                                         : QAbstractItemView::SingleSelection);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setUniformItemSizes(true);
        setItemDelegate(new RowDelegate(this, control));
    }
    std::function<void()> OnDoubleClick;

    int TopIndex() const { return verticalScrollBar()->value(); }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
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
        if (e->button() == Qt::LeftButton && OnDoubleClick) {
            OnDoubleClick();
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        // Ctrl+A belongs to the window's shortcuts, also while they are disabled.
        if (e->matches(QKeySequence::SelectAll)) {
            e->accept();
            return;
        }
        RowDragList::keyPressEvent(e);
    }
};

MouseButton ButtonOf(const QMouseEvent* event) {
    switch (event->button()) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    default:
        return MouseButton::Other;
    }
}

// The keys a paint box that takes the focus reports.
constexpr std::pair<int, FormKey> kBoxKeys[] = {
    {Qt::Key_Left, FormKey::Left},     {Qt::Key_Right, FormKey::Right},
    {Qt::Key_Up, FormKey::Up},         {Qt::Key_Down, FormKey::Down},
    {Qt::Key_Home, FormKey::Home},     {Qt::Key_End, FormKey::End},
    {Qt::Key_Insert, FormKey::Insert}, {Qt::Key_Delete, FormKey::Delete},
    {Qt::Key_Return, FormKey::Enter},  {Qt::Key_Enter, FormKey::Enter},
    {Qt::Key_Space, FormKey::Space}};

TPoint PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

QFrame* Panel(const FormControl& control, QWidget* parent) {
    auto* panel = new QFrame(parent);
    switch (control.Border) {
    case Edge::None:
        panel->setFrameStyle(QFrame::NoFrame);
        break;
    case Edge::Raised:
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    case Edge::Lowered:
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Edge::Box:
        panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
        break;
    }
    return panel;
}

QLabel* Label(const FormControl& control, QWidget* parent) {
    auto* label = new QLabel(QText(control.Caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((control.Has(style::Centered) ? Qt::AlignHCenter : Qt::AlignLeft) |
                        Qt::AlignTop);
    return label;
}

// A paint box's caption with its mnemonic underlined: the baseline sits where
// the underline still fits in the box, whatever the font's ascent.
void PaintCaption(QPainter& painter, const QWidget& box, const QString& caption) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int baseline =
        std::min(metrics.ascent(), box.height() - metrics.underlinePos() - metrics.lineWidth());
    painter.setPen(box.palette().color(QPalette::WindowText));
    painter.drawText(box.rect().adjusted(0, baseline - metrics.ascent(), 0, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, caption);
}

// Texts over a picture, each on its own face-coloured patch.
void PaintTextsOver(QPainter& painter, const QWidget& box, const std::vector<TextAt>& texts) {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(box.palette().color(QPalette::WindowText));
    for (const TextAt& text : texts) {
        const QString shown = QText(text.Text);
        painter.setClipRect(0, 0, box.width(), text.MaxHeight);
        const QRect at(text.X, 0, metrics.boundingRect(shown).width(), metrics.height());
        painter.fillRect(at, SystemQColor(kColorBtnFace));
        painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, shown);
    }
}

// Files of this computer only; a folder among them is the logic's to refuse.
std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}

} // namespace

// --- Building the window -------------------------------------------------------------

QtForm::QtForm(const FormTable& table, QWidget* parent) : QDialog(parent), table_(table) {
    setObjectName(QString::fromLatin1(table.ClassName));
    setWindowTitle(QText(table.Caption));
    setFont(DialogFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, SystemQColor(kColorBtnFace));
    face.setColor(QPalette::Button, SystemQColor(kColorBtnFace));
    setPalette(face);
    if (table.Resizable) {
        // No title-bar buttons: the window closes through its own buttons.
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setMinimumSize(table.MinimumSize.Width, table.MinimumSize.Height);
    } else {
        setWindowFlags((table.ToolWindow ? Qt::Tool : Qt::Dialog) |
                       Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
        setFixedSize(table.Client.Width, table.Client.Height);
    }
    setAcceptDrops(table.AcceptsFiles);
    MakeMenus();
    MakeShortcuts();
    for (const FormControl& control : table.Controls) {
        QWidget* parentWidget = *control.Parent == '\0' ? this : Control(control.Parent);
        QWidget* widget = Make(control, parentWidget);
        widget->setObjectName(QString::fromLatin1(control.Name));
        controls_.emplace(control.Name, widget);
        Connect(control, widget);
    }
    // Earlier controls lie above later ones; the tab stops follow one another.
    for (auto it = table.Controls.rbegin(); it != table.Controls.rend(); ++it) {
        Control(it->Name)->raise();
    }
    // Shapes and bevels are no windows of their own on Windows, where their
    // parent paints them below every control: the same here.
    for (const FormControl& control : table.Controls) {
        if (control.Kind == ControlKind::Shape || control.Kind == ControlKind::Bevel) {
            Control(control.Name)->lower();
        }
    }
    const std::vector<const FormControl*> tabOrder = table.TabOrder();
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(Control(tabOrder[i - 1]->Name), Control(tabOrder[i]->Name));
    }
    for (const FormControl& control : table.Controls) {
        if (control.Kind == ControlKind::Label && *control.Buddy != '\0') {
            static_cast<QLabel*>(Control(control.Name))->setBuddy(Control(control.Buddy));
        }
    }
    for (const MnemonicStandIn& standIn : FullWidthMnemonics(table)) {
        auto* shortcut =
            new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_A + (standIn.Letter - 'A'))), this);
        connect(shortcut, &QShortcut::activated, this, [this, standIn] {
            if (!standIn.Focus.empty()) {
                Control(standIn.Focus)->setFocus(Qt::ShortcutFocusReason);
            } else if (QMenu* menu = menus_.at(std::string(standIn.Menu))) {
                menuBar_->setActiveAction(menu->menuAction());
            }
        });
    }
    if (!tabOrder.empty()) {
        Control(tabOrder.front()->Name)->setFocus();
    }
    PlaceAll(*this, table, ArrangeForm(table, table.Client));
}

QtForm::~QtForm() {
    // The controls outlive the logic while Qt deletes them.
    for (QObject* control : findChildren<QObject*>()) {
        disconnect(control, nullptr, this, nullptr);
    }
    events_ = nullptr;
    // Hidden while this object is whole: QDialog hides itself on destruction,
    // and the focus leaving an edit then asks the edit's validator.
    hide();
}

QWidget* QtForm::Control(std::string_view name) const {
    const auto found = controls_.find(name);
    if (found == controls_.end()) {
        throw std::out_of_range("no control " + std::string(name));
    }
    return found->second;
}

QWidget* QtForm::Make(const FormControl& control, QWidget* parent) {
    switch (control.Kind) {
    case ControlKind::Panel:
        return Panel(control, parent);
    case ControlKind::Label:
        return Label(control, parent);
    case ControlKind::Button:
        if (control.Has(style::Toggle) || control.Has(style::NoFocus)) {
            auto* button = new QToolButton(parent);
            button->setText(QText(control.Caption));
            button->setCheckable(control.Has(style::Toggle));
            button->setFocusPolicy(Qt::NoFocus);
            return button;
        } else {
            auto* button = new QPushButton(QText(control.Caption), parent);
            button->setDefault(control.Has(style::Default));
            return button;
        }
    case ControlKind::CheckBox:
        return new QCheckBox(QText(control.Caption), parent);
    case ControlKind::RadioButton:
        return new QRadioButton(QText(control.Caption), parent);
    case ControlKind::Edit: {
        const std::string name = control.Name;
        auto* edit = new TNumberEdit(
            [this, name](const std::string& text) {
                return events_ == nullptr || events_->Accepts(name, text);
            },
            parent);
        edit->setText(QText(control.Caption));
        // The window's shortcuts reach it past the field's own keys.
        edit->installEventFilter(this);
        if (control.Max > 0) {
            edit->setMaxLength(control.Max);
        }
        if (control.Has(style::FieldColors)) {
            QPalette pal = edit->palette();
            pal.setColor(QPalette::Active, QPalette::Base, SystemQColor(kColorWindow));
            pal.setColor(QPalette::Inactive, QPalette::Base, SystemQColor(kColorWindow));
            pal.setColor(QPalette::Disabled, QPalette::Base, SystemQColor(kColorBtnFace));
            edit->setPalette(pal);
        }
        return edit;
    }
    case ControlKind::UpDown: {
        auto* upDown =
            new TUpDown(control.Has(style::Horizontal) ? Qt::Horizontal : Qt::Vertical, parent);
        if (*control.Buddy != '\0') {
            upDown->SetBuddy(static_cast<QLineEdit*>(Control(control.Buddy)));
        }
        return upDown;
    }
    case ControlKind::TrackBar: {
        auto* bar = new QSlider(Qt::Horizontal, parent);
        bar->setRange(control.Min, control.Max);
        bar->setPageStep(2);
        bar->setTickPosition(QSlider::TicksAbove);
        bar->setTickInterval(1);
        return bar;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setIconSize(QSize(control.RowHeight, control.RowHeight));
        for (const char* item : control.Items) {
            combo->addItem(QText(item));
        }
        combo->view()->setItemDelegate(new RowDelegate(combo->view(), control));
        return combo;
    }
    case ControlKind::ListBox:
        return new FormList(control, parent);
    case ControlKind::PaintBox: {
        auto* box = new TPaintBox(parent);
        if (control.Has(style::White)) {
            box->setAutoFillBackground(true);
            QPalette pal = box->palette();
            pal.setColor(QPalette::Window, Qt::white);
            box->setPalette(pal);
        }
        return box;
    }
    case ControlKind::Shape:
        return new TShape(parent);
    case ControlKind::Bevel: {
        auto* bevel = new QFrame(parent);
        bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return bevel;
    }
    case ControlKind::StatusBar: {
        auto* bar = new QStatusBar(parent);
        bar->setSizeGripEnabled(false);
        bar->setContentsMargins(3, 3, 3, 3);
        return bar;
    }
    case ControlKind::Splitter: {
        // The bar between two panes: the form hears how far it is dragged.
        auto* bar = new QWidget(parent);
        bar->setCursor(Qt::SizeVerCursor);
        bar->setAutoFillBackground(true);
        return bar;
    }
    }
    return new QWidget(parent);
}

// --- Events ------------------------------------------------------------------------

bool QtForm::Report(FormEvent event) {
    return events_ != nullptr && events_->Handle(event);
}

void QtForm::Connect(const FormControl& control, QWidget* widget) {
    const std::string_view name = control.Name;
    const auto report = [this, name](FormEventKind kind, int value = 0) {
        Report({.Kind = kind, .Control = name, .Value = value});
    };
    switch (control.Kind) {
    case ControlKind::Button:
        if (auto* tool = qobject_cast<QToolButton*>(widget)) {
            connect(tool, &QToolButton::clicked, this, [report, &control](bool down) {
                report(control.Has(style::Toggle) ? FormEventKind::Toggle : FormEventKind::Click,
                       down ? 1 : 0);
            });
        } else {
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    [report] { report(FormEventKind::Click); });
        }
        break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [report](bool on) { report(FormEventKind::Toggle, on ? 1 : 0); });
        break;
    case ControlKind::Edit:
        // Every change but the form's own: typed, pasted or set by another
        // program, as the platform's edits report them.
        connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this,
                [this, name](const QString& text) {
                    Report(
                        {.Kind = FormEventKind::Edit, .Control = name, .Text = text.toStdString()});
                });
        break;
    case ControlKind::UpDown:
        connect(static_cast<TUpDown*>(widget), &TUpDown::Clicked, this,
                [report](int direction) { report(FormEventKind::Step, direction); });
        break;
    case ControlKind::TrackBar: {
        // A drag ends when the handle is let go; a key press, a click on the
        // groove or a turn of the wheel is over at once.
        auto* bar = static_cast<QSlider*>(widget);
        connect(bar, &QSlider::valueChanged, this, [report, bar](int position) {
            report(FormEventKind::Slide, position);
            if (!bar->isSliderDown()) {
                report(FormEventKind::SlideDone, position);
            }
        });
        connect(bar, &QSlider::sliderReleased, this,
                [report, bar] { report(FormEventKind::SlideDone, bar->value()); });
        break;
    }
    case ControlKind::ComboBox:
        connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                [report](int index) { report(FormEventKind::Choose, index); });
        break;
    case ControlKind::ListBox: {
        auto* list = static_cast<FormList*>(widget);
        if (control.Has(style::MultiSelect)) {
            connect(list, &QListWidget::itemSelectionChanged, this, [this, name, list] {
                Report({.Kind = FormEventKind::Select,
                        .Control = name,
                        .Value = list->currentRow(),
                        .Rows = list->SelectedRows()});
            });
        } else {
            connect(list, &QListWidget::currentRowChanged, this,
                    [report](int row) { report(FormEventKind::Select, row); });
            connect(list, &QListWidget::clicked, this, [report](const QModelIndex& index) {
                report(FormEventKind::Select, index.row());
            });
        }
        list->OnDoubleClick = [report] { report(FormEventKind::DoubleClick); };
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, [this, name, list](QPoint at) {
            const QModelIndex index = list->indexAt(at);
            at = list->viewport()->mapTo(list, at);
            Report({.Kind = FormEventKind::ContextMenu,
                    .Control = name,
                    .Value = index.isValid() ? index.row() : -1,
                    .At = {at.x(), at.y()}});
        });
        if (control.Has(style::DragRows)) {
            list->onDragOver = [this, &control](const QPoint& global) {
                return DragOver(control, global, false);
            };
            list->onDragDrop = [this, &control](const QPoint& global) {
                DragOver(control, global, true);
            };
        }
        break;
    }
    case ControlKind::PaintBox: {
        auto* box = static_cast<TPaintBox*>(widget);
        const QString caption = QText(control.Caption);
        if (!caption.isEmpty()) {
            box->OnPaint = [box, caption](QPainter& painter) {
                PaintCaption(painter, *box, caption);
            };
        }
        if (control.Has(style::TabStop)) {
            box->setFocusPolicy(Qt::StrongFocus);
        }
        if (control.Has(style::Mouse) || control.Has(style::TabStop)) {
            Watch(control, box);
        }
        break;
    }
    case ControlKind::Splitter:
        Watch(control, widget);
        break;
    default:
        break;
    }
}

// The control under a dragged row, and the row of the list under it.
bool QtForm::DragOver(const FormControl& list, const QPoint& global, bool drop) {
    std::string_view over;
    for (QWidget* widget = QApplication::widgetAt(global); widget != nullptr && over.empty();
         widget = widget->parentWidget()) {
        for (const auto& [name, control] : controls_) {
            if (control == widget) {
                over = name;
            }
        }
    }
    // The row under the pointer at the list's own height.
    auto* rows = static_cast<FormList*>(Control(list.Name));
    const QPoint at = rows->viewport()->mapFromGlobal(global);
    return Report({.Kind = drop ? FormEventKind::DragDrop : FormEventKind::DragOver,
                   .Control = list.Name,
                   .Value = RowAtY(at.y(), rows->TopIndex(), list.RowHeight, rows->count()),
                   .Over = rows->viewport()->rect().contains(at) ? list.Name : over});
}

void QtForm::MakeMenus() {
    if (!table_.MenuBar.empty()) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setObjectName(QStringLiteral("MainMenu"));
        for (const MenuTitle& title : table_.MenuBar) {
            QMenu* menu = menuBar_->addMenu(QText(title.Caption));
            menu->setObjectName(QString::fromLatin1(title.Name));
            menus_.emplace(title.Name, menu);
        }
    }
    std::map<std::string, QActionGroup*, std::less<>> groups;
    for (const MenuLine& line : table_.Menus) {
        if (menus_.count(line.Menu) == 0) {
            // Menus that no menu bar holds pop up where they are needed.
            auto* popUp = new QMenu(this);
            popUp->setObjectName(QString::fromLatin1(line.Menu));
            popUps_.emplace(line.Menu, popUp);
            menus_.emplace(line.Menu, popUp);
        }
        QMenu* menu = menus_.at(std::string(line.Menu));
        if (line.IsSeparator()) {
            menu->addSeparator()->setObjectName(QString::fromLatin1(line.Name));
            continue;
        }
        if (popUps_.count(line.Menu) != 0) {
            // PopUpMenu tells the choice: the item itself reports nothing.
            QAction* item = menu->addAction(QText(line.Caption));
            item->setObjectName(QString::fromLatin1(line.Name));
            if (line.Default) {
                menu->setDefaultAction(item);
            }
            continue;
        }
        QAction* item = nullptr;
        const std::string_view name = line.Name;
        if (*line.Opens != '\0') {
            QMenu* submenu = menu->addMenu(QText(line.Caption));
            submenu->setObjectName(QString::fromLatin1(line.Opens));
            menus_.emplace(line.Opens, submenu);
            item = submenu->menuAction();
        } else {
            item = menu->addAction(QText(line.Caption));
            item->setShortcut(QKeySequence(QString::fromLatin1(line.Shortcut)));
            item->setShortcutContext(Qt::WindowShortcut);
            item->setCheckable(line.Radio || line.Check);
            item->setData(line.Tag);
            if (line.Radio) {
                QActionGroup*& group = groups[std::string(line.Menu)];
                if (group == nullptr) {
                    group = new QActionGroup(this);
                }
                group->addAction(item);
            }
            connect(item, &QAction::triggered, this,
                    [this, name] { Report({.Kind = FormEventKind::Click, .Control = name}); });
        }
        item->setObjectName(QString::fromLatin1(line.Name));
        item->setStatusTip(QText(line.Hint));
        items_.emplace(line.Name, item);
    }
    for (const auto& [menuName, menu] : menus_) {
        const std::string_view name = menuName;
        connect(menu, &QMenu::aboutToShow, this,
                [this, name] { Report({.Kind = FormEventKind::MenuOpen, .Control = name}); });
    }
}

void QtForm::MakeShortcuts() {
    for (const FormShortcut& key : table_.Shortcuts) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key.Keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        const std::string_view command = key.Command;
        connect(shortcut, &QShortcut::activated, this, [this, command] {
            FormEvent event;
            event.Kind = FormEventKind::Click;
            event.Control = command;
            Report(std::move(event));
        });
    }
}

bool QtForm::IsWindowShortcut(const QKeySequence& keys) const {
    const auto same = [&keys](const char* text) {
        return *text != '\0' && QKeySequence(QString::fromLatin1(text)) == keys;
    };
    return std::any_of(table_.Shortcuts.begin(), table_.Shortcuts.end(),
                       [&](const FormShortcut& key) { return same(key.Keys); }) ||
           std::any_of(table_.Menus.begin(), table_.Menus.end(),
                       [&](const MenuLine& line) { return same(line.Shortcut); });
}

// A field leaves the window's shortcuts alone (its own undo included), so
// they act the same wherever the focus is; paint boxes and splitters tell
// the form what is done to them.
bool QtForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride &&
        IsWindowShortcut(QKeySequence(static_cast<QKeyEvent*>(e)->keyCombination()))) {
        return true;
    }
    const auto found = watched_.find(watched);
    if (found == watched_.end()) {
        return QDialog::eventFilter(watched, e);
    }
    const FormControl& c = *found->second;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        ReportMouse(c, watched, static_cast<QMouseEvent*>(e));
        return true;
    case QEvent::KeyPress:
        return ReportKey(c, static_cast<QKeyEvent*>(e));
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        Report({.Kind = FormEventKind::Focus,
                .Control = c.Name,
                .Value = e->type() == QEvent::FocusIn ? 1 : 0});
        return false;
    default:
        return false;
    }
}

void QtForm::Watch(const FormControl& control, QWidget* widget) {
    watched_.emplace(widget, &control);
    widget->installEventFilter(this);
}

void QtForm::ReportMouse(const FormControl& c, QObject* widget, QMouseEvent* e) {
    const int y = e->globalPosition().toPoint().y();
    const bool left = (e->buttons() & Qt::LeftButton) != 0;
    if (c.Kind == ControlKind::Splitter) {
        if (e->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
            splitterPress_ = y;
            Report({.Kind = FormEventKind::MouseDown, .Control = c.Name});
        } else if (e->type() == QEvent::MouseMove && left) {
            Report({.Kind = FormEventKind::SplitterDrag,
                    .Control = c.Name,
                    .Value = y - splitterPress_});
        }
        return;
    }
    if (!c.Has(style::Mouse)) {
        return;
    }
    FormEvent event{.Control = c.Name, .At = PointOf(e), .Button = ButtonOf(e), .LeftHeld = left};
    switch (e->type()) {
    case QEvent::MouseButtonDblClick:
        // Qt tells the double-click after the second press; should a platform
        // tell it in place of that press, the press follows it.
        event.Kind = FormEventKind::DoubleClick;
        Report(event);
        if (pressed_ == widget) {
            return;
        }
        [[fallthrough]];
    case QEvent::MouseButtonPress:
        pressed_ = widget;
        event.Kind = FormEventKind::MouseDown;
        break;
    case QEvent::MouseButtonRelease:
        pressed_ = nullptr;
        event.Kind = FormEventKind::MouseUp;
        break;
    default:
        event.Kind = FormEventKind::MouseMove;
        break;
    }
    Report(std::move(event));
}

// A key of a paint box that takes the focus: true when the logic took it.
bool QtForm::ReportKey(const FormControl& c, QKeyEvent* e) {
    const auto* key = std::find_if(std::begin(kBoxKeys), std::end(kBoxKeys),
                                   [e](const auto& k) { return k.first == e->key(); });
    const Qt::KeyboardModifiers mods = e->modifiers();
    return key != std::end(kBoxKeys) &&
           Report({.Kind = FormEventKind::Key,
                   .Control = c.Name,
                   .Value = static_cast<int>(key->second),
                   .Modifiers =
                       static_cast<std::uint8_t>((mods & Qt::ShiftModifier ? keymod::Shift : 0) |
                                                 (mods & Qt::ControlModifier ? keymod::Ctrl : 0) |
                                                 (mods & Qt::AltModifier ? keymod::Alt : 0))});
}

// Hints of menu items, as Qt tells them, reach the status bar through the
// logic, which knows what the bar shows when no item is highlighted (Qt then
// tells an empty hint). Qt names no item: the table's hints do.
bool QtForm::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        for (const FormControl& control : table_.Controls) {
            if (control.Kind != ControlKind::StatusBar) {
                continue;
            }
            const std::string tip = static_cast<QStatusTipEvent*>(e)->tip().toStdString();
            const std::string_view item = MenuItemOfHint(table_, tip);
            const bool known = tip.empty() || !item.empty();
            if (!known || !Report({.Kind = FormEventKind::MenuHighlight, .Control = item})) {
                SetText(control.Name, tip);
            }
            return true;
        }
    }
    return QDialog::event(e);
}

void QtForm::dragEnterEvent(QDragEnterEvent* e) {
    if (!LocalFiles(e->mimeData()).empty()) {
        e->acceptProposedAction();
    }
}

// Reported once the drop is over: the import may ask and tell, and the
// program the files came from should not wait for that.
void QtForm::dropEvent(QDropEvent* e) {
    std::vector<std::string> files = LocalFiles(e->mimeData());
    if (!files.empty()) {
        e->acceptProposedAction();
        QTimer::singleShot(0, this, [this, files] {
            Report({.Kind = FormEventKind::FilesDropped, .Files = files});
        });
    }
}

void QtForm::reject() {
    Report({.Kind = FormEventKind::Click, .Control = EscPresses(table_)});
}

void QtForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A field that has the focus as the window opens starts selected, as the
    // platform's dialog manager shows it.
    if (auto* field = qobject_cast<QLineEdit*>(focusWidget())) {
        field->selectAll();
    }
    Report({.Kind = FormEventKind::Show});
}

void QtForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (menuBar_ != nullptr) {
        menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
    }
    if (!Report({.Kind = FormEventKind::Resize})) {
        PlaceAll(*this, table_, ArrangeForm(table_, ClientSize()));
    }
}

void QtForm::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // Closing from outside (the window system): the logic decides.
    event->ignore();
    QTimer::singleShot(0, this, [this] { Report({.Kind = FormEventKind::CloseRequest}); });
}

// --- What the logic shows --------------------------------------------------------------

void QtForm::SetText(std::string_view control, const std::string& text) {
    QWidget* widget = Control(control);
    const QSignalBlocker quiet(widget);
    const QString shown = QText(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown);
        if (table_.Control(control).Has(style::FitText)) {
            label->adjustSize();
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != shown) {
            edit->setText(shown);
        }
    } else if (auto* bar = qobject_cast<QStatusBar*>(widget)) {
        text.empty() ? bar->clearMessage() : bar->showMessage(shown);
    }
}

void QtForm::SetTextColor(std::string_view control, TColor color) {
    QWidget* widget = Control(control);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, QColorOf(color));
    widget->setPalette(pal);
}

void QtForm::SetEnabled(std::string_view control, bool enabled) {
    Control(control)->setEnabled(enabled);
}

void QtForm::SetVisible(std::string_view control, bool visible) {
    Control(control)->setVisible(visible);
}

void QtForm::SetChecked(std::string_view control, bool checked) {
    auto* button = static_cast<QAbstractButton*>(Control(control));
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void QtForm::SetPosition(std::string_view control, int position, int, int) {
    if (auto* bar = qobject_cast<QSlider*>(Control(control))) {
        const QSignalBlocker quiet(bar);
        bar->setValue(position);
    }
}

void QtForm::SetPicture(std::string_view control, const Bitmap24& picture) {
    static_cast<TPaintBox*>(Control(control))->SetPicture(picture);
}

void QtForm::SetTextsOver(std::string_view control, const std::vector<TextAt>& texts) {
    auto* box = static_cast<TPaintBox*>(Control(control));
    box->OnPaint = [box, texts](QPainter& painter) { PaintTextsOver(painter, *box, texts); };
    box->update();
}

void QtForm::SetShape(std::string_view control, const ShapeLook& look) {
    auto* shape = static_cast<TShape*>(Control(control));
    const TRect& r = look.Bounds;
    shape->setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    if (look.Filled) {
        shape->SetBrush(QColorOf(look.Brush));
    } else {
        shape->SetNoBrush();
    }
    shape->SetPen(QColorOf(look.Pen),
                  look.Outline == ShapeOutline::Dotted ? Qt::DotLine : Qt::SolidLine);
}

void QtForm::SetRows(std::string_view control, const std::vector<ListRow>& rows) {
    QWidget* widget = Control(control);
    const QSignalBlocker quiet(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Picture) {
                const QPixmap picture = ToQPixmap(*rows[i].Picture, rows[i].Transparent);
                combo->setItemIcon(static_cast<int>(i), QIcon(picture));
                combo->setItemData(static_cast<int>(i), picture.toImage(), kRowPictureRole);
            }
        }
        return;
    }
    auto* list = static_cast<FormList*>(widget);
    list->setUpdatesEnabled(false);
    const int count = static_cast<int>(rows.size());
    while (list->count() > count) {
        delete list->takeItem(list->count() - 1);
    }
    for (int i = 0; i < count; ++i) {
        if (i >= list->count()) {
            list->addItem(new QListWidgetItem);
        }
        const ListRow& row = rows[static_cast<std::size_t>(i)];
        QListWidgetItem* item = list->item(i);
        if (item->text() != QText(row.Text)) {
            item->setText(QText(row.Text));
        }
        item->setData(kRowPictureRole,
                      row.Picture ? QVariant(ToQPixmap(*row.Picture, row.Transparent).toImage())
                                  : QVariant());
        item->setData(kDimmedRole, row.Dimmed);
    }
    list->setUpdatesEnabled(true);
    list->viewport()->update();
}

void QtForm::SetSelection(std::string_view control, const std::vector<int>& rows, int current) {
    QWidget* widget = Control(control);
    const QSignalBlocker quiet(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(current);
        return;
    }
    auto* list = static_cast<FormList*>(widget);
    if (list->selectionMode() == QAbstractItemView::SingleSelection) {
        list->setCurrentRow(current);
        return;
    }
    QItemSelection selection;
    for (const int row : rows) {
        const QModelIndex index = list->model()->index(row, 0);
        selection.select(index, index);
    }
    if (current >= 0) {
        list->selectionModel()->setCurrentIndex(list->model()->index(current, 0),
                                                QItemSelectionModel::NoUpdate);
    }
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void QtForm::ScrollRows(std::string_view control, int rows) {
    QScrollBar* bar = static_cast<FormList*>(Control(control))->verticalScrollBar();
    bar->setValue(bar->value() + rows);
}

ListScroll QtForm::Scroll(std::string_view control) const {
    auto* list = static_cast<FormList*>(Control(control));
    const int top = list->TopIndex();
    return {top, LastVisibleRow(list->viewport()->height(), top, table_.Control(control).RowHeight,
                                list->count())};
}

void QtForm::Place(const std::vector<Placement>& places) {
    const int menuHeight = menuBar_ != nullptr ? menuBar_->sizeHint().height() : 0;
    for (const Placement& place : places) {
        QWidget* widget = Control(place.Control);
        const Rect96& r = place.Bounds;
        const int top = r.Top + (widget->parentWidget() == this ? menuHeight : 0);
        if (table_.Control(place.Control).Has(style::FitText)) {
            widget->move(r.Left, top);
            widget->adjustSize();
        } else {
            widget->setGeometry(r.Left, top, r.Width, r.Height);
        }
    }
}

void QtForm::SetItemEnabled(std::string_view item, bool enabled) {
    items_.at(std::string(item))->setEnabled(enabled);
}

void QtForm::SetItemChecked(std::string_view item, bool checked) {
    items_.at(std::string(item))->setChecked(checked);
}

void QtForm::SetItemText(std::string_view item, const std::string& caption) {
    items_.at(std::string(item))->setText(QText(caption));
}

// The menu runs its own event loop; the command runs after it has closed, so
// it may open the next dialog.
std::optional<std::string> QtForm::PopUpMenu(std::span<const MenuLine>, std::string_view menuName,
                                             const std::vector<std::string>& disabled,
                                             const std::vector<std::string>& hidden,
                                             std::string_view control, TPoint at) {
    QMenu* menu = popUps_.at(std::string(menuName));
    const auto listed = [](const std::vector<std::string>& names, const QString& name) {
        return std::find(names.begin(), names.end(), name.toStdString()) != names.end();
    };
    for (QAction* item : menu->actions()) {
        item->setEnabled(!listed(disabled, item->objectName()));
        item->setVisible(!listed(hidden, item->objectName()));
    }
    QAction* chosen = menu->exec(Control(control)->mapToGlobal(QPoint(at.X, at.Y)));
    if (chosen == nullptr || chosen->isSeparator()) {
        return std::nullopt;
    }
    return chosen->objectName().toStdString();
}

// --- The window -------------------------------------------------------------------------

void QtForm::SetTitle(const std::string& text) {
    setWindowTitle(QText(text));
}

Size96 QtForm::ClientSize() const {
    const int menuHeight = menuBar_ != nullptr ? menuBar_->sizeHint().height() : 0;
    return {width(), height() - menuHeight};
}

Size96 QtForm::TextSize(const std::string& text) const {
    const QSize size = fontMetrics().size(0, QText(text));
    return {size.width(), size.height()};
}

WindowBounds QtForm::Bounds() const {
    return {pos().x(), pos().y(), width(), height()};
}

void QtForm::SetBounds(const WindowBounds& bounds) {
    move(bounds.Left, bounds.Top);
    resize(bounds.Width, bounds.Height);
}

std::optional<ScreenSize> QtForm::Screen() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return ScreenSize{screen->geometry().width(), screen->geometry().height()};
    }
    return std::nullopt;
}

void QtForm::Post(std::function<void()> later) {
    QMetaObject::invokeMethod(this, std::move(later), Qt::QueuedConnection);
}

void QtForm::Close(bool ok) {
    closing_ = true;
    if (isModal()) {
        QDialog::done(ok ? QDialog::Accepted : QDialog::Rejected);
    } else {
        close();
    }
}

} // namespace pelmora
