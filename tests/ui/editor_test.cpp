// The pattern editor window as a real widget: its controls, what they show,
// and the mouse and key events that reach the editor's logic (whose rules are
// tested in tests/logic). The pad and the module's file dialogs are a fake
// host; the dialogs are answered by the scripted dialog service.
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "logic/EditorHost.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/inifile.h"
#include "platform/qt/QtClipboard.h"
#include "qt/Dialogs.h"
#include "qt/PatternEditor.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SplitterDrag.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace pelmora;
using pelmora::testing::ScopedScriptedPrompts;
namespace fs = std::filesystem;

namespace {

std::string U8(const std::string& sjis) {
    return SjisToUtf8(sjis);
}
std::string Sj(const char* utf8) {
    return Utf8ToSjis(utf8);
}

// A pad that keeps its wallpaper setting and records what the window asks.
class FakeHost final : public EditorHost {
public:
    FakeHost(const fs::path& folder, Prompts& dialogs) : folder_(folder), dialogs_(dialogs) {
        NextPad = DerivePadInfo(PadValues{80, 60, 1, 0, static_cast<std::int32_t>(0x8000000F)}, 12);
        Pad = NextPad;
    }

    TPadInfo Pad;
    TPadInfo NextPad;
    int PadReads = 0;
    std::optional<std::string> WallPaper = std::string("old.bmp");
    std::vector<std::string> WallPaperSets;
    std::optional<fs::path> ImportFile;
    std::vector<std::vector<std::string>> Exported;
    int Closed = 0;

    void ReadPadInfo() override {
        ++PadReads;
        Pad = NextPad;
    }
    const TPadInfo& PadInfo() const override { return Pad; }
    std::optional<std::string> GetPadWallPaper() override { return WallPaper; }
    bool SetPadWallPaper(const std::string& value) override {
        WallPaperSets.push_back(value);
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
    bool AskPatternName(const std::string& prompt, std::string& name,
                        const PatternLibrary&) override {
        const std::optional<std::string> answer =
            dialogs_.Input("パターン名の指定", prompt, U8(name), 255);
        if (!answer) {
            return false;
        }
        name = Utf8ToSjis(*answer);
        return true;
    }
    bool ImportPatterns(PatternLibrary& list) override {
        if (!ImportFile) {
            return false;
        }
        LoadPatterns(IniFile::Load(*ImportFile), list);
        return true;
    }
    bool ExportPatterns(const std::vector<TExportEntry>& entries) override {
        std::vector<std::string> names;
        for (const TExportEntry& entry : entries) {
            names.push_back(U8(entry.Name));
        }
        Exported.push_back(names);
        return true;
    }
    void EditorClosed() override { ++Closed; }
    Prompts& Dialogs() override { return dialogs_; }
    TextClipboard& Clipboard() override { return clipboard_; }

private:
    QtClipboard clipboard_; // the system's: the clipboard commands reach it
    fs::path folder_;
    Prompts& dialogs_;
};

std::unique_ptr<TPatrn> PatternWithLumi(int lumi) {
    auto pattern = std::make_unique<TPatrn>();
    pattern->Lumi = lumi;
    return pattern;
}

// One editor session: a library, the settings record, the fake host, the
// scripted dialogs and the window.
struct Session {
    explicit Session(const std::vector<std::string>& names = {})
        : Host(Folder(), *Prompts),
          Dialogs(Forms, [this]() -> pelmora::Prompts& { return *Prompts; }) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            Library.Append(Sj(names[i].c_str()), PatternWithLumi(static_cast<int>(i)));
        }
        Settings.Left = 10;
        Settings.Top = 20;
        Settings.Width = 600;
        Settings.Height = 450;
        Settings.PrevHeight = 140;
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

    void Open() {
        Form = new TEditForm(Library, Settings, Host, Dialogs);
        Form->show();
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form));
        list()->setFocus();
    }

    QListWidget* list() const { return Form->findChild<QListWidget*>("PatternList"); }
    QAction* action(const char* name) const { return Form->findChild<QAction*>(name); }
    template <typename T> T* control(const char* name) const { return Form->findChild<T*>(name); }

    std::vector<std::string> rowTexts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < list()->count(); ++i) {
            texts.push_back(list()->item(i)->text().toStdString());
        }
        return texts;
    }
    std::vector<std::string> rowNames() const {
        std::vector<std::string> names;
        for (const EditorRow& row : Form->Logic().Rows()) {
            names.push_back(U8(row.Name));
        }
        return names;
    }
    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < list()->count(); ++i) {
            if (list()->item(i)->isSelected()) {
                rows.push_back(i);
            }
        }
        return rows;
    }
    QPoint rowCentre(int row) const { return list()->visualItemRect(list()->item(row)).center(); }
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, rowCentre(row));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(list(), static_cast<Qt::Key>(key), modifiers);
    }
    // Lets a closed window be deleted.
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    ScopedScriptedPrompts Prompts;
    PatternLibrary Library;
    TIniData Settings;
    FakeHost Host;
    QtModalForms Forms;
    FormEditorDialogs Dialogs;
    QPointer<TEditForm> Form;
};

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private slots:
    void windowCarriesItsNamesAndTexts();
    void shortcutsAndButtonsReachTheCommands();
    void clicksSelectRows();
    void clickBelowTheLastRowKeepsTheSelection();
    void severalSelectedDisableSingleRowCommands();
    void dragMovesARow();
    void dragOnEdgeRowsScrolls();
    void previewPaintsTheCell();
    void infoPanelShowsThePad();
    void doubleClickTriesThePattern();
    void keyboardUndoesATrial();
    void okAndCancelCloseTheWindow();
    void enterIsOkAndEscIsCancel();
    void enterOnFocusedCancelIsCancel();
    void altLFocusesTheList();
    void boundsCorrectedAndStored();
    void hintsGoToStatusBar();
    void editMenuUndoesAndRedoes();
    void perPadWallpaperFileIsACheckedEntry();
    void clipboardAndDroppedFilesReachTheLogic();
};

void EditorTest::windowCarriesItsNamesAndTexts() {
    Session s({"A"});
    s.Open();
    QCOMPARE(s.Form->objectName(), QString("TEditForm"));
    QCOMPARE(s.Form->windowTitle(), QString("パターンの詳細編集"));
    QVERIFY(!(s.Form->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(s.Form->windowFlags() & Qt::WindowMinMaxButtonsHint));
    QCOMPARE(s.Form->minimumSize(), QSize(550, 400));
    for (const char* name : {"pnTop", "pnLeft", "pnRight", "pnRBottom", "pnRBTop", "pnRBBottom",
                             "bvInfo", "pnBottom"}) {
        QVERIFY2(s.control<QWidget>(name) != nullptr, name);
    }
    for (const char* name :
         {"lbPattern", "lbParts", "lbInfoTitle", "lbInfoItem", "lbInfo", "lbInfoCol", "pbPreview",
          "Splitter1", "StatusBar", "btOK", "btCamcel", "MainMenu", "mnFile", "mnPattern"}) {
        QVERIFY2(s.Form->findChild<QObject*>(name) != nullptr, name);
    }
    QCOMPARE(s.control<QLabel>("lbPattern")->text(), QString("パターン一覧(&Ｌ)："));
    QCOMPARE(s.control<QLabel>("lbParts")->text(), QString("部品一覧(&S)："));
    QCOMPARE(s.control<QLabel>("lbInfoTitle")->text(), QString("---パッド設定情報---"));
    QCOMPARE(s.control<QPushButton>("btCamcel")->text(), QString("キャンセル"));
    QCOMPARE(s.control<QPushButton>("btOK")->size(), QSize(75, 25));
    QCOMPARE(s.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(s.list()->visualItemRect(s.list()->item(0)).height(), 12);

    struct Item {
        const char* Name;
        const char* Caption;
        QKeySequence Shortcut;
        const char* Hint;
    };
    const Item items[] = {
        {"mnImport", "インポート(&I)...", QKeySequence("Ctrl+I"),
         "外部ファイルからパターンを入力する"},
        {"mnExport", "エクスポート(&E)...", QKeySequence("Ctrl+E"),
         "選択したパターンを外部ファイルに出力する"},
        {"mnExit",
         "設定して閉じる(&X)",
         {},
         "編集した結果をメニューに設定して本画面を閉じる(OKボタン)"},
        {"mnCancel",
         "キャンセルして閉じる(&C)",
         {},
         "編集した結果を破棄して本画面を閉じる(キャンセルボタン)"},
        {"mnNew", "新規作成(&N)", QKeySequence("Ins"), "新しくパターンを作成する"},
        {"mnCopy", "複製作成(&C)", QKeySequence("Ctrl+C"),
         "選択したパターンを複写して新しくパターンを作成する"},
        {"mnRename", "名前変更(&R)", QKeySequence("Ctrl+R"), "選択したパターンの名前を変更する"},
        {"mnUpper", "上へ(&U)", QKeySequence("Ctrl+U"),
         "選択したパターンの順序を上に移動する(ドラッグ&ドロップでも可能)"},
        {"mnLower", "下へ(&L)", QKeySequence("Ctrl+L"),
         "選択したパターンの順序を下に移動する(ドラッグ&ドロップでも可能)"},
        {"mnDelete", "削除(&D)", QKeySequence("Del"), "選択したパターンを削除する"},
        {"mnInfo", "パッド設定情報の取り込み(&P)", {}, "現在のパッド設定情報を再度取り込む"},
        {"mnPad", "パッドに仮適用(&A)", QKeySequence("Ctrl+A"),
         "選択したパターンで壁紙を生成しパッドに仮適用する(ダブルクリックでも可能)"},
        {"mnUndo", "仮適用の取り消し(&D)", {}, "仮適用した壁紙を本画面を表示する直前の状態に戻す"},
    };
    for (const Item& item : items) {
        QAction* action = s.action(item.Name);
        QVERIFY2(action != nullptr, item.Name);
        QCOMPARE(action->text(), QString::fromUtf8(item.Caption));
        QCOMPARE(action->shortcut(), item.Shortcut);
        QCOMPARE(action->statusTip(), QString::fromUtf8(item.Hint));
    }
}

// Each shortcut, menu item and button runs its command.
void EditorTest::shortcutsAndButtonsReachTheCommands() {
    Session s({"A", "B"});
    const fs::path file = Session::Folder() / "shortcut-import.ptn";
    IniFile ini;
    PatternWithLumi(7)->SaveToIni(ini, 1, "X");
    ini.Save(file);
    s.Host.ImportFile = file;
    s.Open();
    s.key(Qt::Key_Insert);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B", "新規パターン"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{2});
    s.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(s.rowTexts().back(), std::string("新規パターン2"));
    s.key(Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(s.rowTexts()[2], std::string("新規パターン2"));
    s.key(Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(s.rowTexts()[3], std::string("新規パターン2"));
    s.Prompts->InputAnswers.push_back(std::string("R"));
    s.key(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(s.rowTexts()[3], std::string("R"));
    s.Prompts->MessageAnswers.push_back(MsgResult::Ok);
    s.key(Qt::Key_Delete);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B", "新規パターン"}));
    s.key(Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(s.rowTexts().back(), std::string("X"));
    s.key(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(s.Host.Exported, std::vector<std::vector<std::string>>{{"A"}});

    const int reads = s.Host.PadReads;
    s.action("mnInfo")->trigger();
    QCOMPARE(s.Host.PadReads, reads + 1);
    s.key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(s.Form->Logic().IsTrialApplied());
    s.action("mnUndo")->trigger();
    QVERIFY(!s.Form->Logic().IsTrialApplied());

    s.Prompts->MessageAnswers.push_back(MsgResult::Cancel);
    QTest::mouseClick(s.control<QPushButton>("btCamcel"), Qt::LeftButton);
    s.Prompts->MessageAnswers.push_back(MsgResult::Cancel);
    s.action("mnCancel")->trigger();
    QCOMPARE(s.Prompts->Messages(),
             (std::vector<std::string>{"\"R\"\r\nを削除してもよろしいですか？",
                                       "編集結果を破棄してよろしいですか？",
                                       "編集結果を破棄してよろしいですか？"}));
    s.action("mnExit")->trigger();
    s.settle();
    QVERIFY(s.Form.isNull());
    QCOMPARE(s.Library.Count(), 4);
}

// Clicks, Shift-clicks and Ctrl-clicks select rows; the logic works on what
// the list shows.
void EditorTest::clicksSelectRows() {
    Session s({"A", "B", "C", "D"});
    s.Open();
    QCOMPARE(s.selectedRows(), std::vector<int>{0});
    s.click(2, Qt::ShiftModifier);
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1, 2}));
    QCOMPARE(s.Form->Logic().SelectedRows(), (std::vector<int>{0, 1, 2}));
    s.click(3);
    s.click(1, Qt::ControlModifier);
    QCOMPARE(s.Form->Logic().SelectedRows(), (std::vector<int>{1, 3}));
    s.click(1, Qt::ControlModifier);
    QCOMPARE(s.Form->Logic().SelectedRows(), std::vector<int>{3});
    QCOMPARE(s.Form->Logic().Preview(), DrawWallpaper(s.Library.Pattern(3), s.Host.Pad));
}

void EditorTest::clickBelowTheLastRowKeepsTheSelection() {
    Session s({"A", "B"});
    s.Open();
    s.click(1);
    const QPoint below(s.rowCentre(1).x(), s.rowCentre(1).y() + 40);
    QVERIFY(s.list()->viewport()->rect().contains(below));
    QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QCOMPARE(s.Form->Logic().Preview(), DrawWallpaper(s.Library.Pattern(1), s.Host.Pad));
    QCOMPARE(s.Form->findChild<QListWidget*>("PartsList")->count(), 1);
}

// Opening the menu shows its rules; shortcuts of disabled items do nothing.
void EditorTest::severalSelectedDisableSingleRowCommands() {
    Session s({"A", "B", "C"});
    s.Open();
    s.click(1, Qt::ControlModifier);
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1}));
    QMenu* menu = s.Form->findChild<QMenu*>("mnPattern");
    menu->popup(s.Form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (const char* name : {"mnRename", "mnUpper", "mnLower", "mnPad", "mnUndo"}) {
        QVERIFY2(!s.action(name)->isEnabled(), name);
    }
    for (const char* name :
         {"mnNew", "mnCopy", "mnDelete", "mnInfo", "mnExport", "mnImport", "mnExit", "mnCancel"}) {
        QVERIFY2(s.action(name)->isEnabled(), name);
    }
    menu->hide();

    s.key(Qt::Key_R, Qt::ControlModifier);
    s.key(Qt::Key_U, Qt::ControlModifier);
    s.key(Qt::Key_L, Qt::ControlModifier);
    s.key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(s.Prompts->Shown.empty());
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B", "C"}));
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1}));
    QVERIFY(s.Host.WallPaperSets.empty());
    QVERIFY(!s.Form->Logic().IsModified());

    // Nothing selected: export and delete are off too.
    s.click(0, Qt::ControlModifier);
    s.click(1, Qt::ControlModifier);
    QVERIFY(s.selectedRows().empty());
    QVERIFY(!s.action("mnExport")->isEnabled());
    QVERIFY(!s.action("mnDelete")->isEnabled());
    s.key(Qt::Key_E, Qt::ControlModifier);
    s.key(Qt::Key_Delete);
    QVERIFY(s.Prompts->Shown.empty());
    QVERIFY(s.Host.Exported.empty());
}

void EditorTest::dragMovesARow() {
    Session s({"A", "B", "C", "D", "E"});
    s.Open();
    QWidget* viewport = s.list()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, s.rowCentre(3));
    QTest::mouseMove(viewport, s.rowCentre(2));
    QTest::mouseMove(viewport, s.rowCentre(1));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, s.rowCentre(1));
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "D", "B", "C", "E"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QVERIFY(s.Form->Logic().IsModified());

    // A drop below the last row is refused.
    Session t({"A", "B"});
    t.Open();
    QWidget* tv = t.list()->viewport();
    const QPoint below(t.rowCentre(1).x(), t.rowCentre(1).y() + 40);
    QTest::mousePress(tv, Qt::LeftButton, Qt::NoModifier, t.rowCentre(0));
    QTest::mouseMove(tv, t.rowCentre(1));
    QTest::mouseMove(tv, below);
    QTest::mouseRelease(tv, Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(t.rowNames(), (std::vector<std::string>{"A", "B"}));
    QVERIFY(!t.Form->Logic().IsModified());
}

void EditorTest::dragOnEdgeRowsScrolls() {
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        names.push_back("P" + std::to_string(i));
    }
    Session s(names);
    s.Open();
    QListWidget* list = s.list();
    QWidget* viewport = list->viewport();
    QScrollBar* bar = list->verticalScrollBar();
    const int visible = viewport->height() / 12;
    QVERIFY(visible < 50);

    // Held on the last visible row, each move scrolls one row down.
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, s.rowCentre(1));
    QTest::mouseMove(viewport, s.rowCentre(3));
    QCOMPARE(bar->value(), 0);
    const QPoint bottom(5, viewport->height() - 1);
    QTest::mouseMove(viewport, bottom);
    QCOMPARE(bar->value(), 1);
    QTest::mouseMove(viewport, bottom + QPoint(1, 0));
    QCOMPARE(bar->value(), 2);

    // On the top row (while scrolled), each move scrolls one row up.
    QTest::mouseMove(viewport, QPoint(5, 2));
    QCOMPARE(bar->value(), 1);

    // Over the label above the list, one row up; over the status bar, one down.
    QLabel* label = s.control<QLabel>("lbPattern");
    QTest::mouseMove(viewport, viewport->mapFromGlobal(label->mapToGlobal(label->rect().center())));
    QCOMPARE(bar->value(), 0);
    QTest::mouseMove(viewport, viewport->mapFromGlobal(label->mapToGlobal(QPoint(3, 3))));
    QCOMPARE(bar->value(), 0);
    QStatusBar* status = s.control<QStatusBar>("StatusBar");
    QTest::mouseMove(viewport,
                     viewport->mapFromGlobal(status->mapToGlobal(status->rect().center())));
    QCOMPARE(bar->value(), 1);

    // Dropped on the status bar: nothing moves.
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier,
                        viewport->mapFromGlobal(status->mapToGlobal(status->rect().center())));
    QCOMPARE(s.rowNames(), names);
    QVERIFY(!s.Form->Logic().IsModified());
}

// The preview paints the cell at its top-left corner on white.
void EditorTest::previewPaintsTheCell() {
    Session s({"A"});
    s.Library.Pattern(0).Parts(0)->Fill = fkMono;
    s.Library.Pattern(0).Parts(0)->Color = 0x000000FF;
    s.Open();
    QWidget* box = s.control<QWidget>("pbPreview");
    const QImage shown = box->grab().toImage();
    QCOMPARE(shown.pixelColor(0, 0), QColor(255, 0, 0));
    QCOMPARE(shown.pixelColor(83, 63), QColor(255, 0, 0));
    QCOMPARE(shown.pixelColor(84, 10), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(10, 64), QColor(Qt::white));
}

void EditorTest::infoPanelShowsThePad() {
    Session s({"A"});
    s.Open();
    QCOMPARE(s.control<QLabel>("lbInfo")->text(),
             QString("80×60\nアイコンの下\nオフ\n    8000000F"));
    QCOMPARE(s.control<QLabel>("lbInfoCol")->text(), QString("□"));
    QCOMPARE(s.control<QLabel>("lbInfoItem")->text(),
             QString(" ・ボタンサイズ：\n ・ボタン名：\n ・小さいアイコン：\n ・ボタン色："));
    // The mark is drawn in the pad's button colour.
    s.Host.NextPad = DerivePadInfo(PadValues{120, 40, 2, 1, 0x00FF0000}, 12);
    s.action("mnInfo")->trigger();
    QLabel* mark = s.control<QLabel>("lbInfoCol");
    QCOMPARE(mark->text(), QString("■"));
    QCOMPARE(mark->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

void EditorTest::doubleClickTriesThePattern() {
    Session s({"A", "B"});
    s.Open();
    QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier, s.rowCentre(1));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QVERIFY(s.Form->Logic().IsTrialApplied());
    QCOMPARE(LoadBmp(s.Form->Logic().TrialFilePath()),
             DrawWallpaper(s.Library.Pattern(1), s.Host.Pad));
}

// OK and Cancel close the window, which is then destroyed with its trial file.
// The README's keyboard route to 仮適用の取り消し(&D), whose letter 削除(&D)
// has first: Alt+P, ↑ to the menu's last entry, Enter.
void EditorTest::keyboardUndoesATrial() {
    Session s({"A", "B"});
    s.Open();
    s.key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(s.Form->Logic().IsTrialApplied());
    s.key(Qt::Key_P, Qt::AltModifier);
    QMenu* menu = s.control<QMenu>("mnPattern");
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kSlowMachineTimeoutMs);
    QTest::keyClick(menu, Qt::Key_Up);
    QCOMPARE(menu->activeAction(), s.action("mnUndo"));
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!s.Form->Logic().IsTrialApplied(), kSlowMachineTimeoutMs);
    QCOMPARE(s.Host.WallPaper, std::optional<std::string>("old.bmp"));
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B"}));
}

void EditorTest::okAndCancelCloseTheWindow() {
    for (const char* button : {"btOK", "btCamcel"}) {
        Session s({"A"});
        s.Open();
        const fs::path trial = s.Form->Logic().TrialFilePath();
        QVERIFY(fs::exists(trial));
        QTest::mouseClick(s.control<QPushButton>(button), Qt::LeftButton);
        s.settle();
        QVERIFY2(s.Form.isNull(), button);
        QVERIFY(!fs::exists(trial));
        QCOMPARE(s.Host.Closed, 1);
    }
}

void EditorTest::enterIsOkAndEscIsCancel() {
    {
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.key(Qt::Key_Return);
        s.settle();
        QVERIFY(s.Form.isNull());
        QCOMPARE(s.Library.Count(), 2);
    }
    {
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.Prompts->MessageAnswers.push_back(MsgResult::Ok);
        s.key(Qt::Key_Escape);
        QCOMPARE(s.Prompts->Messages().size(), std::size_t(1));
        s.settle();
        QVERIFY(s.Form.isNull());
        QCOMPARE(s.Library.Count(), 1);
    }
    {
        // A close asked for by the window system is a Cancel.
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.Prompts->MessageAnswers.push_back(MsgResult::Cancel);
        QVERIFY(!s.Form->close());
        QTRY_COMPARE_WITH_TIMEOUT(s.Prompts->Messages().size(), std::size_t(1),
                                  kSlowMachineTimeoutMs);
        QVERIFY(!s.Form.isNull());
    }
}

void EditorTest::enterOnFocusedCancelIsCancel() {
    Session s({"A"});
    s.Open();
    s.key(Qt::Key_Insert);
    QPushButton* cancel = s.control<QPushButton>("btCamcel");
    cancel->setFocus();
    s.Prompts->MessageAnswers.push_back(MsgResult::Ok);
    QTest::keyClick(cancel, Qt::Key_Return);
    QCOMPARE(s.Prompts->Messages(), std::vector<std::string>{"編集結果を破棄してよろしいですか？"});
    s.settle();
    QVERIFY(s.Form.isNull());
    QCOMPARE(s.Library.Count(), 1);
}

void EditorTest::altLFocusesTheList() {
    Session s({"A"});
    s.Open();
    QPushButton* ok = s.control<QPushButton>("btOK");
    ok->setFocus();
    QVERIFY(!s.list()->hasFocus());
    QTest::keyClick(ok, Qt::Key_L, Qt::AltModifier);
    QVERIFY(s.list()->hasFocus());
}

void EditorTest::boundsCorrectedAndStored() {
    Session s({"A"});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    s.Settings.Left = screen.width() + 1;
    s.Settings.Top = screen.height() + 1;
    s.Settings.Width = 640;
    s.Settings.Height = 480;
    s.Settings.PrevHeight = 150;
    s.Open();
    QCOMPARE(s.Settings.Left, 0);
    QCOMPARE(s.Settings.Top, 0);
    QCOMPARE(s.Form->pos(), QPoint(0, 0));
    QCOMPARE(s.Form->size(), QSize(640, 480));
    QCOMPARE(s.control<QWidget>("pnRBTop")->height(), 150);

    s.Form->move(30, 40);
    s.Form->resize(700, 500);
    DragSplitter(s.control<QWidget>("Splitter1"), 170 - 150);
    QCOMPARE(s.control<QWidget>("pnRBTop")->height(), 170);
    s.key(Qt::Key_Escape);
    s.settle();
    QVERIFY(s.Form.isNull());
    QCOMPARE(s.Settings.Left, 30);
    QCOMPARE(s.Settings.Top, 40);
    QCOMPARE(s.Settings.Width, 700);
    QCOMPARE(s.Settings.Height, 500);
    QCOMPARE(s.Settings.PrevHeight, 170);

    // Too small a window and preview strip are brought up to their minimums.
    Session t({"A"});
    t.Settings.Width = 400;
    t.Settings.Height = 350;
    t.Settings.PrevHeight = 20;
    t.Open();
    QCOMPARE(t.Form->size(), QSize(550, 400));
    QCOMPARE(t.control<QWidget>("pnRBTop")->height(), 100);
    QVERIFY(t.control<QWidget>("pnRBBottom")->height() >= 100);
}

void EditorTest::hintsGoToStatusBar() {
    Session s({"A", "B"});
    s.Open();
    QStatusBar* status = s.control<QStatusBar>("StatusBar");
    // Opened from the menu bar, a highlighted item shows its hint.
    QMenuBar* bar = s.control<QMenuBar>("MainMenu");
    QMenu* menu = s.control<QMenu>("mnPattern");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->actionGeometry(s.action("mnCopy")).center());
    QTRY_COMPARE_WITH_TIMEOUT(status->currentMessage(),
                              QString("選択したパターンを複写して新しくパターンを作成する"),
                              kSlowMachineTimeoutMs);
    // With no item highlighted the bar describes the current part again.
    const QString basePart("描画範囲：ボタン背景   描画色：ボタン色");
    menu->hide();
    QCOMPARE(status->currentMessage(), basePart);
    s.action("mnUndo")->showStatusText(s.list());
    QCOMPARE(status->currentMessage(), QString("仮適用した壁紙を本画面を表示する直前の状態に戻す"));
    // A selection change describes the part that is current then; with no
    // pattern current there is none to describe.
    s.click(1);
    QCOMPARE(status->currentMessage(), basePart);
    s.click(0, Qt::ControlModifier);
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1}));
    QCOMPARE(status->currentMessage(), QString());
}

// The Edit menu's items and keys reach the history; a track bar's drag or
// key press is one step.
void EditorTest::editMenuUndoesAndRedoes() {
    Session s({"A", "B"});
    s.Open();
    QMenuBar* bar = s.control<QMenuBar>("MainMenu");
    QCOMPARE(bar->actions().size(), 4);
    QCOMPARE(bar->actions()[1]->menu(), s.control<QMenu>("mnEdit"));
    QCOMPARE(bar->actions()[1]->text(), QString("編集(&E)"));
    QAction* undo = s.action("mnEditUndo");
    QAction* redo = s.action("mnEditRedo");
    QVERIFY(undo != nullptr && redo != nullptr);
    QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
    QCOMPARE(redo->shortcut(), QKeySequence("Ctrl+Y"));
    QCOMPARE(undo->statusTip(), QString("直前の編集を取り消して元に戻す"));
    QCOMPARE(redo->statusTip(), QString("元に戻した編集をもう一度行う"));
    QCOMPARE(undo->text(), QString("元に戻す(&U)"));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    s.key(Qt::Key_Insert);
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QString("元に戻す: パターンの新規作成(&U)"));
    s.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{0});
    QCOMPARE(redo->text(), QString("やり直し: パターンの新規作成(&R)"));
    QVERIFY(!undo->isEnabled());
    s.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B", "新規パターン"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{2});
    undo->trigger();
    QCOMPARE(s.rowTexts().size(), std::size_t{2});
    s.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(s.rowTexts().size(), std::size_t{3});
    redo->trigger(); // nothing to redo
    QCOMPARE(s.rowTexts().size(), std::size_t{3});

    // Two key presses on the bar are two steps; a drag, however far, is one.
    s.click(0);
    auto* lumi = s.control<QSlider>("tbLumi");
    lumi->setFocus();
    QTest::keyClick(lumi, Qt::Key_Right);
    QTest::keyClick(lumi, Qt::Key_Right);
    lumi->setSliderDown(true);
    for (int at = 3; at <= 6; ++at) {
        lumi->setValue(at);
    }
    lumi->setSliderDown(false);
    QCOMPARE(s.Form->Logic().Rows()[0].Pattern->Lumi, 6);
    QCOMPARE(undo->text(), QString("元に戻す: 明るさの変更(&U)"));
    // Ctrl+Z on the focused bar is the window's.
    QTest::keyClick(lumi, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(lumi->value(), 2);
    QCOMPARE(s.Form->Logic().Rows()[0].Pattern->Lumi, 2);
    undo->trigger();
    QCOMPARE(lumi->value(), 1);
    undo->trigger();
    QCOMPARE(lumi->value(), 0);
    QCOMPARE(undo->text(), QString("元に戻す: パターンの新規作成(&U)"));
}

// Beyond the original: a wallpaper file of each pad's own, a checked entry of
// the Pattern menu (Alt+P, W) that turns the settings record's choice.
void EditorTest::perPadWallpaperFileIsACheckedEntry() {
    for (const bool stored : {false, true}) {
        Session s({"A"});
        s.Settings.WallPaperPerPad = stored;
        s.Open();
        QAction* entry = s.action("mnPerPadFile");
        QVERIFY(entry != nullptr);
        QVERIFY(s.control<QMenu>("mnPattern")->actions().contains(entry));
        QVERIFY(entry->isCheckable());
        QCOMPARE(entry->isChecked(), stored);

        s.key(Qt::Key_P, Qt::AltModifier);
        QMenu* menu = s.control<QMenu>("mnPattern");
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kSlowMachineTimeoutMs);
        QTest::keyClick(menu, Qt::Key_W);
        QTRY_COMPARE_WITH_TIMEOUT(s.Settings.WallPaperPerPad, !stored, kSlowMachineTimeoutMs);
        QCOMPARE(entry->isChecked(), !stored);
        QVERIFY(!menu->isVisible());
        QVERIFY(!s.Form->Logic().IsModified());

        // And back with the mouse.
        QMenuBar* bar = s.control<QMenuBar>("MainMenu");
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          bar->actionGeometry(menu->menuAction()).center());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(entry).center());
        QTRY_COMPARE_WITH_TIMEOUT(s.Settings.WallPaperPerPad, stored, kSlowMachineTimeoutMs);
        QCOMPARE(entry->isChecked(), stored);
    }
}

// The clipboard is the system's, as text; the keys, the parts list's context
// menu and files dropped on the window reach the logic.
void EditorTest::clipboardAndDroppedFilesReachTheLogic() {
    Session s({"A"});
    s.Open();
    QClipboard* clipboard = QGuiApplication::clipboard();
    s.key(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(clipboard->text(), QString(R"(0,"0,0,0,0","1,1,1,1",3)"));
    clipboard->setText(R"(3,"0,0,0,0","2,2,2,2",1,255)");
    s.key(Qt::Key_V, Qt::ControlModifier);
    auto* parts = s.control<QListWidget>("PartsList");
    QCOMPARE(parts->count(), 2);
    QCOMPARE(parts->currentRow(), 1);
    QCOMPARE(s.action("mnPaste")->shortcut(), QKeySequence("Ctrl+V"));

    // The context menu acts on the row it was asked over.
    clipboard->setText("x");
    QTimer poll;
    poll.setInterval(5);
    QStringList shown;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            poll.stop();
            for (QAction* item : menu->actions()) {
                shown << item->objectName() + (item->isEnabled() ? "" : "-");
            }
            QTest::keyClick(menu, Qt::Key_B);
        }
    });
    poll.start();
    const QPoint row0 = parts->visualItemRect(parts->item(0)).center();
    QContextMenuEvent ask(QContextMenuEvent::Mouse, row0, parts->viewport()->mapToGlobal(row0));
    QApplication::sendEvent(parts->viewport(), &ask);
    QCOMPARE(shown, (QStringList{"pmCopyPart", "pmCopyGrad-", "", "pmPaste"}));
    QCOMPARE(clipboard->text(), QString(R"(0,"0,0,0,0","1,1,1,1",3)"));
    QCOMPARE(parts->currentRow(), 0);

    // Files of this computer are taken; anything else is not.
    const fs::path file = Session::Folder() / "dropped.ptn";
    IniFile ini;
    ini.WriteString("1", "Name", "Dropped");
    WriteWholeFile(file, ini.ToText());
    QMimeData web;
    web.setUrls({QUrl("https://example.invalid/a.ptn")});
    QDragEnterEvent enterWeb(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.Form, &enterWeb);
    QVERIFY(!enterWeb.isAccepted());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.Form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.Form, &drop);
    QTRY_COMPARE_WITH_TIMEOUT(s.rowTexts(), (std::vector<std::string>{"A", "Dropped"}),
                              kSlowMachineTimeoutMs);
    QCOMPARE(s.Prompts->Messages().back(), std::string("\"Dropped\"\r\nをインポートしました。"));
}

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
