// The editor's parts pane as real widgets: the parts list, the Parts menu and
// the colour-adjustment controls show what the logic tells them (whose rules
// are tested in tests/logic), their events reach it, and the real gradient
// and fine-adjust dialogs are answered on the active modal widget. The walk-through at
// the end opens the editor through the plug-in's entry points, with this
// executable standing in for the launcher.
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "logic/EditorHost.h"
#include "logic/FineAdjustWindow.h"
#include "logic/GradientDialogWindow.h"
#include "platform/bmp.h"
#include "platform/clipboard.h"
#include "platform/cp932.h"
#include "platform/inifile.h"
#include "platform/syscolors.h"
#include "plugin/EntryPoints.h"
#include "plugin/HostFunctions.h"
#include "plugin/QtComposition.h"
#include "qt/Controls.h"
#include "qt/Dialogs.h"
#include "qt/PatternEditor.h"
#include "tests/support/DialogAnswer.h"
#include "tests/support/QtForms.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SplitterDrag.h"
#include "tests/support/UiWait.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace pelmora;
using pelmora::testing::ScopedScriptedPrompts;
namespace fs = std::filesystem;

// --- The launcher's side of the walk-through ---------------------------------------

namespace {

constexpr std::int32_t kPadIdOffset = 1000;

// Pad settings by pad identifier, as the launcher keeps them.
std::map<std::int32_t, std::map<std::string, std::string>>& Pads() {
    static std::map<std::int32_t, std::map<std::string, std::string>> pads;
    return pads;
}

} // namespace

#define HOST_EXPORT extern "C" __attribute__((visibility("default")))

HOST_EXPORT std::int32_t TRAGetPadID(std::int32_t pad) {
    return pad + kPadIdOffset;
}

HOST_EXPORT std::int32_t TRAGetPadInit(std::int32_t padId, const char* key, char* buffer,
                                       std::int32_t size) {
    const auto pad = Pads().find(padId);
    if (pad == Pads().end() || pad->second.count(key) == 0 || size <= 0) {
        return 0;
    }
    const std::string& text = pad->second.at(key);
    const std::size_t length =
        std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return 1;
}

HOST_EXPORT std::int32_t TRASetPadInit(std::int32_t padId, const char* key, const char* value) {
    Pads()[padId][key] = value;
    return 1;
}

// The plug-in names it asks the launcher to rebuild the menu for, in order.
std::vector<std::string>& MenuChanges() {
    static std::vector<std::string> names;
    return names;
}

HOST_EXPORT std::int32_t TRAChangePluginMenus(const char* pluginName) {
    MenuChanges().emplace_back(pluginName != nullptr ? pluginName : "");
    return 1;
}

HOST_EXPORT std::intptr_t TRAGetPadWnd(std::int32_t) {
    return 0;
}

// Looked up by the plug-in but never called.
#define UNUSED_HOST_FUNCTION(name)                                                                 \
    HOST_EXPORT std::int32_t name() {                                                              \
        return 0;                                                                                  \
    }
PELMORA_UNCALLED_HOST_FUNCTIONS(UNUSED_HOST_FUNCTION)

namespace {

std::string Sj(const char* utf8) {
    return Utf8ToSjis(utf8);
}

constexpr TColor kRed = 0x000000FF;
constexpr TColor kBlue = 0x00FF0000;
constexpr TColor kGreen = 0x0000FF00;

// The window's pad, trial file and wallpaper, without the launcher.
class PadHost final : public EditorHost {
public:
    PadHost(const fs::path& folder, Prompts& dialogs) : folder_(folder), dialogs_(dialogs) {
        Pad = DerivePadInfo(PadValues{80, 60, 1, 0, static_cast<std::int32_t>(0x8000000F)}, 12);
    }

    TPadInfo Pad;
    std::optional<std::string> WallPaper = std::string("old.bmp");

    void ReadPadInfo() override {}
    const TPadInfo& PadInfo() const override { return Pad; }
    std::optional<std::string> GetPadWallPaper() override { return WallPaper; }
    bool SetPadWallPaper(const std::string& value) override {
        WallPaper = value;
        return true;
    }
    fs::path WallpaperFile() const override { return folder_ / "settings.bmp"; }
    std::string WallpaperText() const override { return WallpaperFile().string(); }
    fs::path CreateTrialFile() override {
        QTemporaryFile file(QDir::tempPath() + "/pelXXXXXX");
        file.setAutoRemove(false);
        if (!file.open()) {
            throw std::runtime_error("no temporary file");
        }
        return fs::path(file.fileName().toStdString());
    }
    std::string HostPathText(const fs::path& path) const override { return path.string(); }
    bool AskPatternName(const std::string&, std::string&, const PatternLibrary&) override {
        return false;
    }
    bool ImportPatterns(PatternLibrary&) override { return false; }
    bool ExportPatterns(const std::vector<TExportEntry>&) override { return false; }
    void EditorClosed() override {}
    Prompts& Dialogs() override { return dialogs_; }
    TextClipboard& Clipboard() override { return clipboard_; }

private:
    MemoryClipboard clipboard_;
    fs::path folder_;
    Prompts& dialogs_;
};

// Answers the next modal dialog of a window class (see DialogAnswer): keep
// the result alive until the call that opens the dialog has returned, then
// check it.
[[nodiscard]] std::unique_ptr<testing::DialogAnswer<QtForm>>
WhenModal(const char* what, const char* windowClass, std::function<void(QtForm*)> answer) {
    return std::make_unique<testing::DialogAnswer<QtForm>>(
        QString::fromUtf8(what), QString::fromLatin1(windowClass), std::move(answer));
}

template <typename T> T* Child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// The icon as drawn: the preview with its white pixels transparent.
bool IconShows(const QVariant& icon, const std::optional<Bitmap24>& preview) {
    if (!preview) {
        return icon.isNull();
    }
    if (icon.isNull()) {
        return false;
    }
    const QImage image = icon.value<QImage>();
    if (image.width() != preview->Width() || image.height() != preview->Height()) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const TColor c = preview->Pixel(x, y);
            const QRgb p = image.pixel(x, y);
            const bool same = c == 0x00FFFFFF
                                  ? qAlpha(p) == 0
                                  : qAlpha(p) == 255 && qRed(p) == RedOf(c) &&
                                        qGreen(p) == GreenOf(c) && qBlue(p) == BlueOf(c);
            if (!same) {
                return false;
            }
        }
    }
    return true;
}

// A pattern with parts of the given kinds (kind index, fill) after the base part.
std::unique_ptr<TPatrn> PatternOf(const std::vector<std::pair<int, int>>& parts) {
    auto pattern = std::make_unique<TPatrn>();
    for (const auto& [kind, fill] : parts) {
        TParts& part = pattern->AddNew();
        part.Area = static_cast<std::uint8_t>(kind / 2);
        part.IsFrame = kind % 2 == 1;
        part.Fill = static_cast<std::uint8_t>(fill);
        part.Color = kGreen;
    }
    return pattern;
}

struct Session {
    Session()
        : Host(Folder(), *Prompts),
          Dialogs(Forms, [this]() -> pelmora::Prompts& { return *Prompts; }) {
        Settings.Left = 10;
        Settings.Top = 20;
        Settings.Width = 640;
        Settings.Height = 480;
        Settings.PrevHeight = 120;
    }
    ~Session() {
        if (Form) {
            std::unique_ptr<TEditForm> owned(Form.data());
        }
    }

    static fs::path Folder() {
        static QTemporaryDir dir;
        return fs::path(dir.path().toStdString());
    }

    void Add(const char* name, std::unique_ptr<TPatrn> pattern) {
        Library.Append(Sj(name), std::move(pattern));
    }

    void Open() {
        Form = new TEditForm(Library, Settings, Host, Dialogs);
        Form->show();
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form));
        parts()->setFocus();
    }

    QListWidget* patterns() const { return Child<QListWidget>(Form, "PatternList"); }
    QListWidget* parts() const { return Child<QListWidget>(Form, "PartsList"); }
    QAction* action(const char* name) const { return Child<QAction>(Form, name); }
    QSlider* slider(const char* name) const { return Child<QSlider>(Form, name); }
    TPatrn& pattern() const { return *Form->Logic().CurrentPattern(); }

    std::vector<std::string> rowTexts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < parts()->count(); ++i) {
            texts.push_back(parts()->item(i)->text().toStdString());
        }
        return texts;
    }
    std::vector<std::string> partNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < pattern().Count(); ++i) {
            names.push_back(pattern().Parts(i)->GetName());
        }
        return names;
    }
    bool iconMatches(int row) const {
        return IconShows(parts()->item(row)->data(kRowPictureRole),
                         pattern().Parts(row)->CreatePreview(20, Host.Pad));
    }
    QPoint partCentre(int row) const {
        return parts()->visualItemRect(parts()->item(row)).center();
    }
    void clickPart(int row) {
        QTest::mouseClick(parts()->viewport(), Qt::LeftButton, {}, partCentre(row));
    }
    void clickPattern(int row, Qt::KeyboardModifiers modifiers = {}) {
        QListWidget* list = patterns();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(parts(), static_cast<Qt::Key>(key), modifiers);
    }
    // Picks an item of the Parts menu as a click would; false when it is disabled.
    bool pick(const char* name) {
        QAction* item = action(name);
        if (item == nullptr || !item->isEnabled()) {
            return false;
        }
        item->trigger();
        return true;
    }
    void dragPart(int from, const std::vector<int>& over) {
        QWidget* viewport = parts()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, partCentre(from));
        for (int row : over) {
            QTest::mouseMove(viewport, partCentre(row));
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, partCentre(over.back()));
    }
    // The colours a row's picture holds, grabbed from the screen.
    QImage rowImage(int row) const {
        return parts()->viewport()->grab(parts()->visualItemRect(parts()->item(row))).toImage();
    }

    ScopedScriptedPrompts Prompts;
    PatternLibrary Library;
    TIniData Settings;
    PadHost Host;
    QtModalForms Forms;
    FormEditorDialogs Dialogs;
    QPointer<TEditForm> Form;
};

// The pixel left of `maxX` farthest from the row's `background`: the text's
// own colour where a stroke covers whole pixels.
QColor Ink(const QImage& image, int maxX, const QColor& background) {
    const auto distance = [&](const QColor& c) {
        return qAbs(c.red() - background.red()) + qAbs(c.green() - background.green()) +
               qAbs(c.blue() - background.blue());
    };
    QColor ink = background;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < std::min(image.width(), maxX); ++x) {
            if (distance(image.pixelColor(x, y)) > distance(ink)) {
                ink = image.pixelColor(x, y);
            }
        }
    }
    return ink;
}

} // namespace

class PartsTest : public QObject {
    Q_OBJECT

private slots:
    void paneAndMenuCarryTheirNamesAndTexts();
    void newPatternShowsTwoRowsWithIcons();
    void menuShowsTheRulesAndMarks();
    void shortcutsReachThePartCommands();
    void fillZeroGreysTheRowAndButtonColourBringsTheIconBack();
    void newPartIsReadableOnTheSelection();
    void gradientDialogPresetCancelAndOk();
    void fineAdjustCancelAndOk();
    void draggingPartsKeepsTheBasePart();
    void statusBarDescribesTheSelectedPart();
    void colourAdjustmentStoresPositions();
    void colourGroupFitsAtTheSmallestSizes();
    void selectingAnotherPatternAndBackIsNoChange();
    void altROpensThePartsMenu();
    void windowDestroyedUnderAnOpenDialog();
    void launcherMenuShowsOnlyTheTitleWhileEditing();
    void designAPatternFromTheLauncher();
};

void PartsTest::paneAndMenuCarryTheirNamesAndTexts() {
    Session s;
    s.Add("A", PatternOf({}));
    s.Open();
    struct Caption {
        const char* Name;
        const char* Text;
    };
    for (const Caption& c : {Caption{"Label1", "全体の色調整"}, Caption{"lbLumi", "明るさ(&B)："},
                             Caption{"lbHue", "色合い(&H)："}}) {
        QLabel* label = Child<QLabel>(s.Form, c.Name);
        QVERIFY2(label != nullptr, c.Name);
        QCOMPARE(label->text(), QString::fromUtf8(c.Text));
    }
    QCOMPARE(Child<QLabel>(s.Form, "Label3")->text().front(), QChar('-'));
    QCOMPARE(Child<QLabel>(s.Form, "Label3")->text().back(), QChar('+'));
    QCOMPARE(Child<QLabel>(s.Form, "lbLumi")->buddy(), s.slider("tbLumi"));
    QCOMPARE(Child<QLabel>(s.Form, "lbHue")->buddy(), s.slider("tbHue"));
    QCOMPARE(Child<QLabel>(s.Form, "lbParts")->buddy(), s.parts());
    QCOMPARE(Child<TShape>(s.Form, "Shape1")->size(), QSize(1, 75));
    QCOMPARE(Child<QCheckBox>(s.Form, "cbBtnCol")->text(), QString("ボタン色部品も調整する(&T)"));
    QCOMPARE(s.slider("tbLumi")->minimum(), -8);
    QCOMPARE(s.slider("tbLumi")->maximum(), 8);
    QCOMPARE(s.slider("tbHue")->minimum(), -6);
    QCOMPARE(s.slider("tbHue")->maximum(), 6);
    QCOMPARE(s.slider("tbHue")->tickPosition(), QSlider::TicksAbove);
    QCOMPARE(s.parts()->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(s.parts()->visualItemRect(s.parts()->item(0)).height(), 24);

    QMenu* parts = Child<QMenu>(s.Form, "mnParts");
    QCOMPARE(parts->title(), QString("部品(&Ｒ)"));
    QCOMPARE(Child<QMenu>(s.Form, "mnPNew")->menuAction()->statusTip(),
             QString("新しく部品を作成する"));
    QCOMPARE(Child<QMenu>(s.Form, "mnFill")->title(), QString("描画色の設定(&M)"));
    QCOMPARE(Child<QMenu>(s.Form, "mnFill")->menuAction()->statusTip(),
             QString("選択した部品の描画色を設定する"));

    struct Item {
        const char* Name;
        const char* Caption;
        QKeySequence Shortcut;
        const char* Hint;
    };
    const Item items[] = {
        {"mnAll", "ボタン枠(&F)", {}, "ボタン枠部分に1ドット幅の枠を描画する"},
        {"mnIcon", "アイコン領域(&I)", {}, "アイコン領域に描画する"},
        {"mnIconF", "アイコン領域枠(&C)", {}, "アイコン領域の外側に1ドット幅の枠を描画する"},
        {"mnName", "ボタン名領域(&N)", {}, "ボタン名領域に描画する"},
        {"mnNameF", "ボタン名領域枠(&M)", {}, "ボタン名領域の外側に1ドット幅の枠を描画する"},
        {"mnArea", "描画範囲の微調整(&T)...", {}, "選択した部品の描画範囲を微調整する"},
        {"mnNon", "無効(&N)", {}, "描画しない"},
        {"mnMono", "単色(&M)...", {}, "単色で描画する"},
        {"mnGrad", "グラデーション(&G)...", {}, "グラデーションで描画する"},
        {"mnBtn", "ボタン色(&B)", {}, "パッドに設定されたボタン色で描画する"},
        {"mnBtnF", "ボタン枠色(&F)", {}, "パッドに設定されたボタン色による枠色で描画する"},
        {"mnPUpper", "上へ(&U)", QKeySequence("Ctrl+Alt+U"),
         "選択した部品の順序を上に移動する(ドラッグ&ドロップでも可能)"},
        {"mnPLower", "下へ(&L)", QKeySequence("Ctrl+Alt+L"),
         "選択した部品の順序を下に移動する(ドラッグ&ドロップでも可能)"},
        {"mnPDelete", "削除(&Ｄ)", QKeySequence("Ctrl+Del"), "選択した部品を削除する"},
    };
    for (const Item& item : items) {
        QAction* action = s.action(item.Name);
        QVERIFY2(action != nullptr, item.Name);
        QCOMPARE(action->text(), QString::fromUtf8(item.Caption));
        QCOMPARE(action->shortcut(), item.Shortcut);
        QCOMPARE(action->statusTip(), QString::fromUtf8(item.Hint));
    }

    // Order, separators after the new-part entries and after the fills; the
    // new-part entries carry their region, the fills form one radio group.
    const QList<QAction*> top = parts->actions();
    QCOMPARE(top.size(), 8);
    QCOMPARE(top[0], Child<QMenu>(s.Form, "mnPNew")->menuAction());
    QVERIFY(top[1]->isSeparator());
    QCOMPARE(top[2], s.action("mnArea"));
    QCOMPARE(top[3], Child<QMenu>(s.Form, "mnFill")->menuAction());
    QVERIFY(top[4]->isSeparator());
    QCOMPARE(top[5], s.action("mnPUpper"));
    QCOMPARE(top[7], s.action("mnPDelete"));
    std::vector<int> tags;
    for (QAction* entry : Child<QMenu>(s.Form, "mnPNew")->actions()) {
        tags.push_back(entry->data().toInt());
    }
    QCOMPARE(tags, (std::vector<int>{0, 1, 1, 2, 2}));
    const QList<QAction*> fills = Child<QMenu>(s.Form, "mnFill")->actions();
    QCOMPARE(fills.size(), 5);
    for (QAction* fill : fills) {
        QVERIFY(fill->isCheckable());
        QVERIFY(fill->actionGroup() != nullptr && fill->actionGroup()->isExclusive());
    }
}

void PartsTest::newPatternShowsTwoRowsWithIcons() {
    Session s;
    s.Open();
    QCOMPARE(s.parts()->count(), 0);
    QTest::keyClick(s.patterns(), Qt::Key_Insert);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"ボタン背景", "ボタン枠"}));
    QCOMPARE(s.parts()->currentRow(), 0);
    QVERIFY(s.iconMatches(0));
    QVERIFY(s.iconMatches(1));
    QVERIFY(!s.parts()->item(0)->data(kRowPictureRole).isNull());

    // The icon is drawn after the widest kind name, at 2 + width + 2 from the
    // row's left and 2 below its top: the base part's icon is the button face.
    const int nameWidth = QFontMetrics(s.parts()->font()).horizontalAdvance("ボタン名領域枠");
    const QImage row = s.rowImage(1);
    const QImage unselected = row.copy(2 + nameWidth + 2, 2, 20, 20);
    // The frame's bevel: light top-left, shadow bottom-right.
    QCOMPARE(unselected.pixelColor(0, 5), QColor(255, 255, 255));
    QCOMPARE(unselected.pixelColor(19, 5), QColor(160, 160, 160));
    // Inside the frame the list's background shows through.
    QCOMPARE(unselected.pixelColor(10, 10), s.parts()->palette().base().color());
    QCOMPARE(s.rowImage(0).pixelColor(2 + nameWidth + 2 + 10, 12), QColor(240, 240, 240));
}

// Opening the Parts menu shows its rules and the current part's fill mark;
// a picked fill moves the mark.
void PartsTest::menuShowsTheRulesAndMarks() {
    Session s;
    s.Add("A", PatternOf({{1, 4}, {3, 1}}));
    s.Add("B", PatternOf({}));
    s.Open();
    QCOMPARE(s.parts()->currentRow(), 0);
    QMenu* menu = Child<QMenu>(s.Form, "mnParts");
    menu->popup(s.Form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (const char* name : {"mnArea", "mnPUpper", "mnPLower", "mnPDelete", "mnNon", "mnBtnF"}) {
        QVERIFY2(!s.action(name)->isEnabled(), name);
    }
    for (const char* name : {"mnMono", "mnGrad", "mnBtn"}) {
        QVERIFY2(s.action(name)->isEnabled(), name);
    }
    QVERIFY(Child<QMenu>(s.Form, "mnPNew")->menuAction()->isEnabled());
    QVERIFY(Child<QMenu>(s.Form, "mnFill")->menuAction()->isEnabled());
    QVERIFY(s.action("mnBtn")->isChecked());
    menu->hide();

    s.Prompts->ColorAnswers.push_back(kRed);
    QVERIFY(s.pick("mnMono"));
    QVERIFY(s.action("mnMono")->isChecked());
    QVERIFY(!s.action("mnBtn")->isChecked());
    // A cancelled choice leaves the mark where the fill is.
    s.Prompts->ColorAnswers.push_back(std::nullopt);
    s.clickPart(1);
    QVERIFY(s.pick("mnMono"));
    QVERIFY(s.action("mnBtnF")->isChecked());
    QVERIFY(!s.action("mnMono")->isChecked());

    // Several patterns selected: the pane is empty and its menu off.
    s.clickPattern(1, Qt::ControlModifier);
    QCOMPARE(s.parts()->count(), 0);
    menu->popup(s.Form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QVERIFY(!Child<QMenu>(s.Form, "mnPNew")->menuAction()->isEnabled());
    QVERIFY(!Child<QMenu>(s.Form, "mnFill")->menuAction()->isEnabled());
    menu->hide();
}

// Up, Down and Delete by their shortcuts, which act only when enabled; the
// part's Ctrl+Del is not the pattern's Del.
void PartsTest::shortcutsReachThePartCommands() {
    Session s;
    s.Add("A", PatternOf({{2, 1}, {3, 3}, {5, 3}}));
    s.Open();
    s.key(Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
    s.key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    s.key(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(s.partNames(), (std::vector<std::string>{"ボタン背景", "アイコン領域",
                                                      "アイコン領域枠", "ボタン名領域枠"}));
    QVERIFY(!s.Form->Logic().IsModified());

    s.clickPart(2);
    s.key(Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"ボタン背景", "アイコン領域枠", "アイコン領域",
                                                     "ボタン名領域枠"}));
    QCOMPARE(s.parts()->currentRow(), 1);
    QVERIFY(s.iconMatches(1));
    QVERIFY(s.iconMatches(2));
    s.key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(s.parts()->currentRow(), 2);
    s.key(Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(s.Prompts->Shown.empty());
    QCOMPARE(s.rowTexts(),
             (std::vector<std::string>{"ボタン背景", "アイコン領域", "ボタン名領域枠"}));
    QCOMPARE(s.parts()->currentRow(), 0);
    QCOMPARE(s.patterns()->count(), 1);
    QCOMPARE(s.Form->Logic().Preview(), DrawWallpaper(s.pattern(), s.Host.Pad));
}

void PartsTest::fillZeroGreysTheRowAndButtonColourBringsTheIconBack() {
    Session s;
    s.Add("A", PatternOf({{3, 1}}));
    s.Open();
    s.clickPart(0);
    const int textEnd = 2 + QFontMetrics(s.parts()->font()).horizontalAdvance("ボタン名領域枠");
    const QColor base = s.parts()->palette().base().color();
    const QColor grey(109, 109, 109);
    QVERIFY(Ink(s.rowImage(1), textEnd, base).lightness() < 40);

    s.clickPart(1);
    QVERIFY(s.pick("mnNon"));
    QCOMPARE(s.pattern().Parts(1)->Fill, std::uint8_t(fkNon));
    QVERIFY(s.parts()->item(1)->data(kRowPictureRole).isNull());
    s.clickPart(0);
    QVERIFY(qAbs(Ink(s.rowImage(1), textEnd, base).red() - grey.red()) < 12);

    s.clickPart(1);
    QVERIFY(s.pick("mnBtn"));
    QCOMPARE(s.pattern().Parts(1)->Fill, std::uint8_t(fkBtn));
    QVERIFY(s.iconMatches(1));
    // The colour the part had stays for a later single-colour choice.
    QCOMPARE(s.pattern().Parts(1)->Color, kGreen);
}

// A part just added is the selected row and paints nothing yet: its name is
// written like any selected row's, and turns grey once another row is selected.
void PartsTest::newPartIsReadableOnTheSelection() {
    Session s;
    s.Add("A", PatternOf({}));
    s.Open();
    const int textEnd = 2 + QFontMetrics(s.parts()->font()).horizontalAdvance("ボタン名領域枠");
    const QPalette palette = s.parts()->palette();
    const QColor selection = palette.highlight().color();
    QVERIFY(s.pick("mnIcon"));
    QCOMPARE(s.parts()->currentRow(), 1);
    const QColor newRow = Ink(s.rowImage(1), textEnd, selection);
    s.clickPart(0);
    const QColor paintingRow = Ink(s.rowImage(0), textEnd, selection);
    const QColor unselected = Ink(s.rowImage(1), textEnd, palette.base().color());
    QCOMPARE(newRow, palette.highlightedText().color());
    QCOMPARE(paintingRow, newRow);
    // Smoothed edges only: no stroke of this font covers whole pixels in grey.
    QVERIFY2(qAbs(unselected.red() - 109) < 12, qPrintable(unselected.name()));
}

// The real gradient dialog opens on the part's gradient; Cancel after edits
// leaves the part as it was, OK stores the dialog's gradient.
void PartsTest::gradientDialogPresetCancelAndOk() {
    Session s;
    auto pattern = PatternOf({{2, 2}});
    const std::string stored = "1,90,10,-20,0,,0000FF0000,640000FF00";
    pattern->Parts(1)->GradText = stored;
    s.Add("A", std::move(pattern));
    s.Open();
    s.clickPart(1);
    QVERIFY(s.action("mnGrad")->isChecked());

    std::string shown;
    auto answer = WhenModal("the gradient dialog", "TGradDlg", [&](QtForm* dialog) {
        shown = testing::WindowOf<GradientDialogWindow>(dialog).Logic().Target().SaveToText();
        auto* kinds = Child<QComboBox>(dialog, "cbKind");
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);
        QTest::mouseClick(Child<QPushButton>(dialog, "btCancel"), Qt::LeftButton);
    });
    QVERIFY(s.pick("mnGrad"));
    QVERIFY2(answer->Answered(), answer->Failure());
    QCOMPARE(QString::fromStdString(shown), QString::fromStdString(stored));
    QCOMPARE(s.pattern().Parts(1)->GradText, stored);
    QVERIFY(!s.Form->Logic().IsModified());

    answer = WhenModal("the gradient dialog", "TGradDlg", [&](QtForm* dialog) {
        auto* kinds = Child<QComboBox>(dialog, "cbKind");
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);
        QTest::mouseClick(Child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
    });
    QVERIFY(s.pick("mnGrad"));
    QVERIFY2(answer->Answered(), answer->Failure());
    const TParts& part = *s.pattern().Parts(1);
    QCOMPARE(part.Fill, std::uint8_t(fkGrad));
    TGrad result;
    result.LoadFromText(part.GradText);
    QCOMPARE(result.Kind, std::uint8_t(gkArc));
    QCOMPARE(result.CenterX, 10);
    QCOMPARE(result.GetColor(0), kBlue);
    QVERIFY(s.iconMatches(1));
    QVERIFY(s.Form->Logic().IsModified());
}

// The real fine-adjust dialog opens on the part's adjustments; Cancel leaves
// them, OK stores the dialog's.
void PartsTest::fineAdjustCancelAndOk() {
    Session s;
    s.Add("A", PatternOf({{3, 1}}));
    s.Open();
    s.clickPart(1);

    auto answer = WhenModal("the fine-adjust dialog", "TValueForm", [&](QtForm* dialog) {
        QTest::mouseClick(Child<QPushButton>(dialog, "btReset"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(dialog, "Cancel"), Qt::LeftButton);
    });
    QVERIFY(s.pick("mnArea"));
    QVERIFY2(answer->Answered(), answer->Failure());
    QCOMPARE(s.pattern().Parts(1)->Outer, TTrim{});
    QVERIFY(!s.Form->Logic().IsModified());

    // Reset puts the icon frame one pixel outside the icon; one more pixel of
    // thickness on the left.
    TTrim outerShown{9, 9, 9, 9};
    answer = WhenModal("the fine-adjust dialog", "TValueForm", [&](QtForm* dialog) {
        outerShown = testing::WindowOf<FineAdjustWindow>(dialog).Logic().GetOuter();
        QTest::mouseClick(Child<QPushButton>(dialog, "btReset"), Qt::LeftButton);
        QTest::mouseClick(Child<QRadioButton>(dialog, "rbIn"), Qt::LeftButton);
        TUpDown* left = Child<TUpDown>(dialog, "udLeft");
        QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(left->width() - 5, left->height() / 2));
        QTest::mouseClick(Child<QPushButton>(dialog, "OK"), Qt::LeftButton);
    });
    QVERIFY(s.pick("mnArea"));
    QVERIFY2(answer->Answered(), answer->Failure());
    QCOMPARE(outerShown, TTrim{});
    const TParts& part = *s.pattern().Parts(1);
    QCOMPARE(part.Outer, (TTrim{1, 1, 1, 1}));
    QCOMPARE(part.Thick, (TTrim{2, 1, 1, 1}));
    QVERIFY(s.iconMatches(1));
    QVERIFY(s.Form->Logic().IsModified());
}

void PartsTest::draggingPartsKeepsTheBasePart() {
    Session s;
    s.Add("A", PatternOf({{1, 4}, {2, 1}, {5, 3}}));
    s.Open();
    const std::vector<std::string> start = s.partNames();

    // Onto row 0: refused.
    s.dragPart(3, {2, 1, 0});
    QCOMPARE(s.partNames(), start);
    QVERIFY(!s.Form->Logic().IsModified());

    // Row 3 onto row 1: the former part 1 moves to index 2.
    s.dragPart(3, {2, 1});
    QCOMPARE(s.partNames(), (std::vector<std::string>{"ボタン背景", "ボタン名領域枠", "ボタン枠",
                                                      "アイコン領域"}));
    QCOMPARE(s.rowTexts(), s.partNames());
    QCOMPARE(s.parts()->currentRow(), 1);

    // Below the last row is no row to drop on.
    QWidget* viewport = s.parts()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, s.partCentre(2));
    QTest::mouseMove(viewport, s.partCentre(3));
    const QPoint below(s.partCentre(3).x(), s.partCentre(3).y() + 30);
    QTest::mouseMove(viewport, below);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
    QCOMPARE(s.pattern().Parts(2)->GetName(), std::string("ボタン枠"));
}

void PartsTest::statusBarDescribesTheSelectedPart() {
    Session s;
    auto pattern = PatternOf({{4, 1}, {3, 2}});
    pattern->Parts(2)->Outer = {2, 0, 0, -1};
    s.Add("A", std::move(pattern));
    s.Add("B", PatternOf({}));
    s.Open();
    QStatusBar* status = Child<QStatusBar>(s.Form, "StatusBar");
    s.clickPart(1);
    QCOMPARE(status->currentMessage(), QString("描画範囲：ボタン名領域   描画色：単色"));
    s.key(Qt::Key_Down);
    QCOMPARE(status->currentMessage(),
             QString("描画範囲：アイコン領域枠 [左:外(2), 上:-, 右:-, 下:内(1)]   "
                     "描画色：グラデーション"));
    // A pattern selection describes the part current then.
    s.clickPattern(1);
    QCOMPARE(status->currentMessage(), QString("描画範囲：ボタン背景   描画色：ボタン色"));
}

// The keys of the track bars and a click on the check box reach the pattern.
void PartsTest::colourAdjustmentStoresPositions() {
    Session s;
    s.Add("A", PatternOf({{3, 1}}));
    s.Open();
    QSlider* lumi = s.slider("tbLumi");
    QSlider* hue = s.slider("tbHue");
    lumi->setFocus();
    QTest::keyClick(lumi, Qt::Key_Home);
    QCOMPARE(lumi->value(), -8);
    QCOMPARE(s.pattern().Lumi, -8);
    hue->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(hue, Qt::Key_Right);
    }
    QCOMPARE(s.pattern().Hue, 6);
    QCheckBox* trim = Child<QCheckBox>(s.Form, "cbBtnCol");
    QTest::mouseClick(trim, Qt::LeftButton, {}, QPoint(5, trim->height() / 2));
    QVERIFY(s.pattern().BtnColTrim);
    QCOMPARE(s.Form->Logic().Preview(), DrawWallpaper(s.pattern(), s.Host.Pad));
}

// The whole colour-adjustment group shows inside the lower pane, and its
// check box takes a click, at the window's minimum size with the splitter at
// either end.
void PartsTest::colourGroupFitsAtTheSmallestSizes() {
    Session s;
    s.Add("A", PatternOf({}));
    s.Open();
    s.Form->resize(s.Form->minimumSize());
    QTRY_COMPARE_WITH_TIMEOUT(s.Form->size(), QSize(550, 400), kSlowMachineTimeoutMs);
    auto* splitter = Child<QWidget>(s.Form, "Splitter1");
    QWidget* pane = Child<QWidget>(s.Form, "pnRBBottom");
    auto* trim = Child<QCheckBox>(s.Form, "cbBtnCol");
    for (const int previewHeight : {0, 10000}) {
        DragSplitter(splitter, previewHeight == 0 ? -10000 : 10000);
        for (const char* name :
             {"Label1", "Label3", "Shape1", "lbLumi", "tbLumi", "lbHue", "tbHue", "cbBtnCol"}) {
            QWidget* control = Child<QWidget>(s.Form, name);
            const QRect area(control->mapTo(pane, QPoint(0, 0)), control->size());
            QVERIFY2(control->isVisible() && pane->rect().contains(area), name);
        }
        QTest::mouseClick(trim, Qt::LeftButton, {}, QPoint(5, trim->height() / 2));
    }
    QVERIFY(!s.pattern().BtnColTrim);
    QVERIFY(s.Form->Logic().IsModified());
}

void PartsTest::selectingAnotherPatternAndBackIsNoChange() {
    Session s;
    auto first = PatternOf({});
    first->Lumi = 4;
    first->Hue = 8;
    auto second = PatternOf({{1, 4}});
    second->Lumi = -2;
    second->BtnColTrim = true;
    s.Add("A", std::move(first));
    s.Add("B", std::move(second));
    s.Open();
    s.clickPattern(1);
    QCOMPARE(s.slider("tbLumi")->value(), -2);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"ボタン背景", "ボタン枠"}));
    s.clickPattern(0);
    QCOMPARE(s.slider("tbLumi")->value(), 4);
    QCOMPARE(s.slider("tbHue")->value(), 4);
    QVERIFY(!Child<QCheckBox>(s.Form, "cbBtnCol")->isChecked());
    QVERIFY(!s.Form->Logic().IsModified());
    QCOMPARE(s.Library.Pattern(1).Lumi, -2);
}

void PartsTest::altROpensThePartsMenu() {
    Session s;
    s.Add("A", PatternOf({}));
    s.Open();
    QMenu* menu = Child<QMenu>(s.Form, "mnParts");
    QTest::keyClick(s.parts(), Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kSlowMachineTimeoutMs);
    // N opens the new-part entries, C picks the icon-area frame.
    QTest::keyClick(menu, Qt::Key_N);
    QMenu* entries = Child<QMenu>(s.Form, "mnPNew");
    QTRY_VERIFY_WITH_TIMEOUT(entries->isVisible(), kSlowMachineTimeoutMs);
    QTest::keyClick(entries, Qt::Key_C);
    QTRY_COMPARE_WITH_TIMEOUT(s.pattern().Count(), 2, kSlowMachineTimeoutMs);
    QCOMPARE(s.pattern().Parts(1)->GetName(), std::string("アイコン領域枠"));
}

// The plug-in may end (and destroy the window) while one of its modal
// dialogs is open: the dialog survives the window and its answer is dropped.
void PartsTest::windowDestroyedUnderAnOpenDialog() {
    for (const char* command : {"mnArea", "mnGrad"}) {
        Session s;
        s.Add("A", PatternOf({{3, 1}}));
        s.Open();
        s.clickPart(1);
        bool survived = false;
        const auto endTheWindow = [&](QDialog* dialog) {
            delete s.Form.data();
            survived = dialog->isVisible();
            dialog->accept();
        };
        std::unique_ptr<testing::DialogAnswer<QtForm>> adjust;
        std::unique_ptr<testing::DialogAnswer<QtForm>> gradient;
        if (std::string(command) == "mnArea") {
            adjust = WhenModal("the fine-adjust dialog", "TValueForm", endTheWindow);
        } else {
            gradient = WhenModal("the gradient dialog", "TGradDlg", endTheWindow);
        }
        QVERIFY(s.pick(command));
        QVERIFY2(adjust ? adjust->Answered() : gradient->Answered(),
                 adjust ? adjust->Failure() : gradient->Failure());
        QVERIFY2(s.Form.isNull(), command);
        QVERIFY2(survived, command);
        QCOMPARE(s.Library.Pattern(0).Parts(1)->Fill, std::uint8_t(fkMono));
    }
}

// The launcher's plug-in menu while the editor is open: the title alone,
// nothing else clickable, and the whole menu back once the editor is closed,
// with the launcher told to rebuild the menu at each change; not when the
// plug-in ends with the editor open.
void PartsTest::launcherMenuShowsOnlyTheTitleWhileEditing() {
    const auto menu = [] {
        std::vector<std::string> captions;
        std::array<char, kMenuRecordSize> record{};
        for (std::int32_t n = 0; TRXGetMenu(n, record.data()) == kTrxTrue; ++n) {
            captions.emplace_back(record.data());
        }
        return captions;
    };
    for (const char* button : {"btOK", "btCamcel", "TRXEndPlugin"}) {
        ScopedScriptedPrompts prompts(QtModule().Dialogs);
        QTemporaryDir dir;
        const fs::path settings = fs::path(dir.path().toStdString()) / "Pelmora.ini";
        fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings);
        const std::int32_t pad = 2;
        std::map<std::string, std::string>& padSettings = Pads()[pad + kPadIdOffset];
        padSettings = {{"BtnWidth", "80"},        {"BtnHeight", "60"},
                       {"BtnCaption", "1"},       {"BtnSmallIcon", "0"},
                       {"BtnColor", "$00C08040"}, {"WallPaper", "before.bmp"}};
        QtModule().State = TModuleState{};
        QVERIFY(QtModule().Host.BindMainExecutable());
        QCOMPARE(TRXSetInitFile(settings.c_str()), kTrxTrue);
        QVERIFY(TRXBeginPlugin() != kTrxFalse);

        const std::vector<std::string> before = menu();
        QVERIFY(before.size() > 4);
        QCOMPARE(before.front(), std::string("Pelmora(&D)"));
        QCOMPARE(before.back(), Sj("パターンの詳細編集(&E)..."));
        const auto editorItem = static_cast<std::int32_t>(before.size() - 1);

        MenuChanges().clear();
        QCOMPARE(TRXMenuClick(editorItem, pad), 1);
        QCOMPARE(MenuChanges(), std::vector<std::string>{"Pelmora"});
        TEditForm* form = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* editor = qobject_cast<TEditForm*>(window); editor && editor->isVisible()) {
                form = editor;
            }
        }
        QVERIFY2(form != nullptr, button);
        QPointer<TEditForm> alive(form);

        QCOMPARE(menu(), std::vector<std::string>{Sj("Pelmora[詳細編集中]")});
        std::array<char, kMenuRecordSize> record{};
        QCOMPARE(TRXGetMenu(1, record.data()), kTrxFalse);
        for (std::int32_t item : {1, editorItem - 1, editorItem}) {
            QCOMPARE(TRXMenuClick(item, pad), kTrxFalse);
        }
        QCOMPARE(padSettings["WallPaper"], std::string("before.bmp"));
        QCOMPARE(MenuChanges().size(), std::size_t(1));

        if (std::string(button) == "TRXEndPlugin") {
            // The end closes the editor without asking for a menu the plug-in
            // no longer has.
            QCOMPARE(TRXEndPlugin(), kTrxTrue);
            QVERIFY(!alive);
            QCOMPARE(MenuChanges().size(), std::size_t(1));
            QtModule().State = TModuleState{};
            continue;
        }
        QTest::mouseClick(Child<QPushButton>(form, button), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY_WITH_TIMEOUT(!alive, kSlowMachineTimeoutMs);
        QCOMPARE(MenuChanges(), (std::vector<std::string>{"Pelmora", "Pelmora"}));
        QCOMPARE(menu(), before);
        QVERIFY(prompts->Messages().empty());

        // The pattern items act again.
        QCOMPARE(TRXMenuClick(1, pad), kTrxTrue);
        QCOMPARE(fs::path(padSettings["WallPaper"]), settings.parent_path() / "Pelmora.bmp");
        QCOMPARE(TRXEndPlugin(), kTrxTrue);
        QtModule().State = TModuleState{};
    }
}

// A user designs a pattern from the launcher (the Windows build's scripted
// session does the same steps): the editor opens from the
// plug-in menu, the pattern is built part by part, tried on the pad, kept,
// and after the plug-in ends it is in the settings file and on the pad.
void PartsTest::designAPatternFromTheLauncher() {
    ScopedScriptedPrompts prompts(QtModule().Dialogs);
    QTemporaryDir dir;
    const fs::path settings = fs::path(dir.path().toStdString()) / "Pelmora.ini";
    const std::int32_t pad = 3;
    Pads()[pad + kPadIdOffset] = {{"BtnWidth", "96"},        {"BtnHeight", "64"},
                                  {"BtnCaption", "1"},       {"BtnSmallIcon", "0"},
                                  {"BtnColor", "$00C08040"}, {"WallPaper", "before.bmp"}};
    QtModule().State = TModuleState{};
    QVERIFY(QtModule().Host.BindMainExecutable());
    QCOMPARE(TRXSetInitFile(settings.c_str()), kTrxTrue);
    QVERIFY(TRXBeginPlugin() != kTrxFalse);

    // The editor's entry is the last of the plug-in menu.
    std::int32_t editorItem = -1;
    std::array<char, kMenuRecordSize> record{};
    for (std::int32_t n = 0; TRXGetMenu(n, record.data()) == kTrxTrue; ++n) {
        if (std::string(record.data()) == Sj("パターンの詳細編集(&E)...")) {
            editorItem = n;
        }
    }
    QVERIFY(editorItem >= 0);
    QCOMPARE(TRXMenuClick(editorItem, pad), 1);
    TEditForm* form = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* editor = qobject_cast<TEditForm*>(window); editor && editor->isVisible()) {
            form = editor;
        }
    }
    QVERIFY(form != nullptr);
    QPointer<TEditForm> alive(form);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto* patterns = Child<QListWidget>(form, "PatternList");
    auto* parts = Child<QListWidget>(form, "PartsList");
    QCOMPARE(patterns->count(), 0);

    // A new pattern, then an icon-area frame from the Parts menu.
    QTest::keyClick(patterns, Qt::Key_Insert);
    QCOMPARE(parts->count(), 2);
    parts->setFocus();
    QTest::keyClick(parts, Qt::Key_R, Qt::AltModifier);
    QMenu* partsMenu = Child<QMenu>(form, "mnParts");
    QTRY_VERIFY_WITH_TIMEOUT(partsMenu->isVisible(), kSlowMachineTimeoutMs);
    QTest::keyClick(partsMenu, Qt::Key_N);
    QMenu* entries = Child<QMenu>(form, "mnPNew");
    QTRY_VERIFY_WITH_TIMEOUT(entries->isVisible(), kSlowMachineTimeoutMs);
    QTest::keyClick(entries, Qt::Key_C);
    QTRY_COMPARE_WITH_TIMEOUT(parts->count(), 3, kSlowMachineTimeoutMs);
    QCOMPARE(parts->currentRow(), 2);
    TParts& frame = *form->Logic().CurrentPattern()->Parts(2);

    // A red-to-blue radial gradient: both end stops recoloured by
    // double-clicks on their handles.
    prompts->ColorAnswers = {kRed, kBlue};
    const auto gradientAnswer = WhenModal("the gradient dialog", "TGradDlg", [](QtForm* dialog) {
        QWidget* strip = Child<QWidget>(dialog, "pbPtr");
        for (int handle : {5, 5 + 270}) {
            QTest::mouseDClick(dialog->windowHandle(), Qt::LeftButton, {},
                               strip->mapTo(dialog, QPoint(handle, 18)));
            QCoreApplication::sendPostedEvents(); // the colour dialog the double-click posts
        }
        auto* kinds = Child<QComboBox>(dialog, "cbKind");
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);
        QTest::mouseClick(Child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
    });
    QVERIFY(Child<QAction>(form, "mnGrad")->isEnabled());
    Child<QAction>(form, "mnGrad")->trigger();
    QVERIFY2(gradientAnswer->Answered(), gradientAnswer->Failure());
    QCOMPARE(frame.Fill, std::uint8_t(fkGrad));
    TGrad gradient;
    gradient.LoadFromText(frame.GradText);
    QCOMPARE(gradient.Kind, std::uint8_t(gkRadiate));
    QCOMPARE(gradient.GetColor(0), kRed);
    QCOMPARE(gradient.GetColor(gradient.Count() - 1), kBlue);

    // Two pixels thick, one pixel outside the icon.
    const auto adjust = WhenModal("the fine-adjust dialog", "TValueForm", [](QtForm* dialog) {
        QTest::mouseClick(Child<QPushButton>(dialog, "btReset"), Qt::LeftButton);
        QTest::mouseClick(Child<QRadioButton>(dialog, "rbIn"), Qt::LeftButton);
        // Each arrow moves its inner edge inward: left's right arrow, top's
        // down arrow, right's left arrow, bottom's up arrow.
        const auto click = [dialog](const char* name, int x, int y) {
            TUpDown* arrows = Child<TUpDown>(dialog, name);
            QTest::mouseClick(
                arrows, Qt::LeftButton, {},
                QPoint(x < 0 ? arrows->width() + x : x, y < 0 ? arrows->height() + y : y));
        };
        click("udLeft", -5, 12);
        click("udTop", 20, -3);
        click("udRight", 3, 12);
        click("udBottom", 20, 3);
        QTest::mouseClick(Child<QPushButton>(dialog, "OK"), Qt::LeftButton);
    });
    Child<QAction>(form, "mnArea")->trigger();
    QVERIFY2(adjust->Answered(), adjust->Failure());
    QCOMPARE(frame.Outer, (TTrim{1, 1, 1, 1}));
    QCOMPARE(frame.Thick, (TTrim{2, 2, 2, 2}));

    // Brighter by two steps, hue one step back.
    QSlider* lumi = Child<QSlider>(form, "tbLumi");
    lumi->setFocus();
    QTest::keyClick(lumi, Qt::Key_Right);
    QTest::keyClick(lumi, Qt::Key_Right);
    QSlider* hue = Child<QSlider>(form, "tbHue");
    hue->setFocus();
    QTest::keyClick(hue, Qt::Key_Left);
    QCOMPARE(form->Logic().CurrentPattern()->Lumi, 2);
    QCOMPARE(form->Logic().CurrentPattern()->Hue, -2);
    const std::string designed = [&] {
        IniFile ini;
        form->Logic().CurrentPattern()->SaveToIni(ini, 0, Sj("新規パターン"));
        return ini.ToText();
    }();

    // Tried on the pad: the pad shows the preview from the trial file.
    // The dialogs are gone; the editor is the active window again.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    patterns->setFocus();
    QTest::keyClick(patterns, Qt::Key_A, Qt::ControlModifier);
    const std::string trial = Pads()[pad + kPadIdOffset]["WallPaper"];
    QCOMPARE(fs::path(trial), form->Logic().TrialFilePath());
    const TPadInfo layout = QtModule().State.PadInfo;
    QCOMPARE(LoadBmp(trial), form->Logic().Preview());

    // OK, keeping the trial wallpaper.
    prompts->MessageAnswers.push_back(MsgResult::Yes);
    QTest::mouseClick(Child<QPushButton>(form, "btOK"), Qt::LeftButton);
    QCOMPARE(prompts->Messages(), std::vector<std::string>{"仮適用した壁紙をそのまま使いますか？"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QVERIFY(!fs::exists(trial));

    QCOMPARE(TRXEndPlugin(), kTrxTrue);
    const IniFile stored = IniFile::Load(settings);
    PatternLibrary library;
    LoadPatterns(stored, library);
    QCOMPARE(library.Count(), 1);
    QCOMPARE(library.Name(0), Sj("新規パターン"));
    IniFile again;
    library.Pattern(0).SaveToIni(again, 0, library.Name(0));
    QCOMPARE(again.ToText(), designed);

    const fs::path wallpaper = fs::path(dir.path().toStdString()) / "Pelmora.bmp";
    QCOMPARE(Pads()[pad + kPadIdOffset]["WallPaper"], wallpaper.string());
    const Bitmap24 onPad = LoadBmp(wallpaper);
    QCOMPARE(onPad.Width(), 100);
    QCOMPARE(onPad, DrawWallpaper(library.Pattern(0), layout));
    QtModule().State = TModuleState{};

    // The Windows build's scripted session does the same; scripts/windows
    // compares what both wrote.
    if (const QByteArray out = qgetenv("PELMORA_SESSION_OUT"); !out.isEmpty()) {
        const fs::path folder(out.toStdString());
        fs::create_directories(folder);
        for (const fs::path& file : {settings, wallpaper}) {
            fs::copy_file(file, folder / file.filename(), fs::copy_options::overwrite_existing);
        }
    }
}

QTEST_MAIN(PartsTest)
#include "parts_test.moc"
