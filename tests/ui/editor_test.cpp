// The pattern editor window, driven through its real controls with mouse and
// key events; the pad and the module's file dialogs are a fake host, and the
// dialogs are answered by the scripted dialog service.
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "logic/EditorHost.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/inifile.h"
#include "plugin/ModuleState.h"
#include "qt/edit.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
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
    explicit FakeHost(const fs::path& folder) : folder_(folder) {
        nextPad = DerivePadInfo(PadValues{80, 60, 1, 0, static_cast<std::int32_t>(0x8000000F)}, 12);
        pad = nextPad;
    }

    TPadInfo pad;
    TPadInfo nextPad;
    int padReads = 0;
    std::optional<std::string> wallPaper = std::string("old.bmp");
    int wallPaperReads = 0;
    std::vector<std::string> wallPaperSets;
    fs::path trialFolder;   // empty: the system's temporary folder
    fs::path wallpaperFile; // empty: settings.bmp in the session's folder
    std::vector<std::string> askedNames;
    std::vector<std::string> askedLists;
    std::optional<fs::path> importFile;
    std::vector<std::vector<std::string>> exported;
    std::vector<std::vector<const TPatrn*>> exportedPatterns;
    int closed = 0;

    void ReadPadInfo() override {
        ++padReads;
        pad = nextPad;
    }
    const TPadInfo& PadInfo() const override { return pad; }
    std::optional<std::string> GetPadWallPaper() override {
        ++wallPaperReads;
        return wallPaper;
    }
    bool SetPadWallPaper(const std::string& value) override {
        wallPaperSets.push_back(value);
        wallPaper = value;
        return true;
    }
    fs::path WallpaperFile() const override {
        return wallpaperFile.empty() ? folder_ / "settings.bmp" : wallpaperFile;
    }
    std::string WallpaperText() const override { return WallpaperFile().string(); }
    fs::path CreateTrialFile() override {
        const QString folder =
            trialFolder.empty() ? QDir::tempPath() : QString::fromStdString(trialFolder.string());
        QTemporaryFile file(folder + "/pelXXXXXX");
        file.setAutoRemove(false);
        if (!file.open()) {
            throw std::runtime_error("no temporary file");
        }
        return fs::path(file.fileName().toStdString());
    }
    std::string HostPathText(const fs::path& path) const override { return path.string(); }
    bool AskPatternName(const std::string& prompt, std::string& name,
                        const PatternLibrary& names) override {
        askedNames.push_back(U8(name));
        std::string list;
        for (const std::string& n : names.Names()) {
            list += U8(n) + ";";
        }
        askedLists.push_back(list);
        const std::optional<std::string> answer =
            CurrentPrompts().Input("パターン名の指定", prompt, U8(name), 255);
        if (!answer) {
            return false;
        }
        name = Utf8ToSjis(*answer);
        return true;
    }
    bool ImportPatterns(PatternLibrary& list) override {
        if (!importFile) {
            return false;
        }
        LoadPatterns(IniFile::Load(*importFile), list);
        return true;
    }
    void ExportPatterns(const std::vector<TExportEntry>& entries) override {
        std::vector<std::string> names;
        std::vector<const TPatrn*> patterns;
        for (const TExportEntry& entry : entries) {
            names.push_back(U8(entry.Name));
            patterns.push_back(entry.Pattern);
        }
        exported.push_back(names);
        exportedPatterns.push_back(patterns);
    }
    void EditorClosed() override { ++closed; }

private:
    fs::path folder_;
};

std::unique_ptr<TPatrn> PatternWithLumi(int lumi) {
    auto pattern = std::make_unique<TPatrn>();
    pattern->Lumi = lumi;
    return pattern;
}

// One editor session: a library, the settings record, the fake host, the
// scripted dialogs and the window.
struct Session {
    explicit Session(const std::vector<std::string>& names = {}) : host(Folder()) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            library.Append(Sj(names[i].c_str()), PatternWithLumi(static_cast<int>(i)));
        }
        settings.Left = 10;
        settings.Top = 20;
        settings.Width = 600;
        settings.Height = 450;
        settings.PrevHeight = 140;
    }
    ~Session() {
        if (form) {
            std::unique_ptr<TEditForm> owned(form.data());
        }
    }

    static fs::path Folder() {
        static QTemporaryDir dir;
        return fs::path(dir.path().toStdString());
    }

    void Open() {
        form = new TEditForm(library, settings, host);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        list()->setFocus();
    }

    QListWidget* list() const { return form->findChild<QListWidget*>("PatternList"); }
    QAction* action(const char* name) const { return form->findChild<QAction*>(name); }
    template <typename T> T* control(const char* name) const { return form->findChild<T*>(name); }

    std::vector<std::string> rowTexts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < list()->count(); ++i) {
            texts.push_back(list()->item(i)->text().toStdString());
        }
        return texts;
    }
    std::vector<std::string> rowNames() const {
        std::vector<std::string> names;
        for (const EditorRow& row : form->Logic().Rows()) {
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

    PatternLibrary library;
    TIniData settings;
    FakeHost host;
    ScopedScriptedPrompts prompts;
    QPointer<TEditForm> form;
};

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private slots:
    void windowCarriesItsNamesAndTexts();
    void emptyLibraryThenNew();
    void newGivesNumberedNames();
    void copyGivesNextFreeNumber();
    void renameAcceptedAndCancelled();
    void deleteAsksWithEverySelectedName();
    void deleteCancelledKeepsRows();
    void severalSelectedDisableSingleRowCommands();
    void upAndDownStopAtTheEnds();
    void clickBelowTheLastRowKeepsTheSelection();
    void dragMovesARow();
    void dragOnEdgeRowsScrolls();
    void previewIsTheWallpaper();
    void infoPanelShowsThePad();
    void recaptureReadsThePadAgain();
    void trialTwiceThenUndoRestoresFirstWallpaper();
    void trialWithoutOldWallpaperUndoesToEmpty();
    void doubleClickTriesThePattern();
    void okAfterTrialKeepsItBesideTheSettings();
    void okAfterTrialDeclinedRestores();
    void okWithoutChangesLeavesLibraryAlone();
    void okAfterChangesReplacesLibrary();
    void cancelWithoutChangesClosesAtOnce();
    void cancelAfterChangesAsks();
    void cancelAfterTrialRestoresWallpaper();
    void enterIsOkAndEscIsCancel();
    void enterOnFocusedCancelIsCancel();
    void altLFocusesTheList();
    void okWhoseWallpaperCannotBeWrittenChangesNothing();
    void destroyedDuringTrialPutsWallpaperBack();
    void boundsCorrectedAndStored();
    void exportWritesSelectedRowsInOrder();
    void importAppendsRowsKeepingSelection();
    void fileErrorShowsBoxAndWindowStays();
    void hintsGoToStatusBar();
};

void EditorTest::windowCarriesItsNamesAndTexts() {
    Session s({"A"});
    s.Open();
    QCOMPARE(s.form->objectName(), QString("TEditForm"));
    QCOMPARE(s.form->windowTitle(), QString("パターンの詳細編集"));
    QVERIFY(!(s.form->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(s.form->windowFlags() & Qt::WindowMinMaxButtonsHint));
    QCOMPARE(s.form->minimumSize(), QSize(550, 400));
    for (const char* name : {"pnTop", "pnLeft", "pnRight", "pnRBottom", "pnRBTop", "pnRBBottom",
                             "bvInfo", "pnBottom"}) {
        QVERIFY2(s.control<QWidget>(name) != nullptr, name);
    }
    for (const char* name :
         {"lbPattern", "lbParts", "lbInfoTitle", "lbInfoItem", "lbInfo", "lbInfoCol", "pbPreview",
          "Splitter1", "StatusBar", "btOK", "btCamcel", "MainMenu", "mnFile", "mnPattern"}) {
        QVERIFY2(s.form->findChild<QObject*>(name) != nullptr, name);
    }
    QCOMPARE(s.control<QLabel>("lbPattern")->text(), QString("パターン一覧(&Ｌ)："));
    QCOMPARE(s.control<QLabel>("lbParts")->text(), QString("部品一覧(&S)："));
    QCOMPARE(s.control<QLabel>("lbInfoTitle")->text(), QString("---パッド設定情報---"));
    QCOMPARE(s.control<QPushButton>("btCamcel")->text(), QString("キャンセル"));
    QCOMPARE(s.control<QPushButton>("btOK")->size(), QSize(75, 25));
    QCOMPARE(s.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(s.list()->visualItemRect(s.list()->item(0)).height(), 12);

    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        const char* hint;
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
        QAction* action = s.action(item.name);
        QVERIFY2(action != nullptr, item.name);
        QCOMPARE(action->text(), QString::fromUtf8(item.caption));
        QCOMPARE(action->shortcut(), item.shortcut);
        QCOMPARE(action->statusTip(), QString::fromUtf8(item.hint));
    }
}

void EditorTest::emptyLibraryThenNew() {
    Session s;
    s.Open();
    QCOMPARE(s.list()->count(), 0);
    QCOMPARE(s.form->Logic().Preview().Width(), 0);
    QVERIFY(!s.form->Logic().IsModified());

    s.key(Qt::Key_Insert);
    QCOMPARE(s.rowNames(), std::vector<std::string>{"新規パターン"});
    QCOMPARE(s.selectedRows(), std::vector<int>{0});
    const TPatrn& made = *s.form->Logic().Rows()[0].Pattern;
    QCOMPARE(made.Count(), 2);
    QCOMPARE(made.Parts(0)->Fill, std::uint8_t(fkBtn));
    QCOMPARE(made.Parts(0)->IsFrame, false);
    QCOMPARE(made.Parts(1)->Area, std::uint8_t(paAll));
    QCOMPARE(made.Parts(1)->IsFrame, true);
    QCOMPARE(made.Parts(1)->Fill, std::uint8_t(fkBtnF));
    QCOMPARE(s.form->Logic().Preview().Width(), 84);
    QCOMPARE(s.form->Logic().Preview().Height(), 64);
    QVERIFY(s.form->Logic().IsModified());
}

void EditorTest::newGivesNumberedNames() {
    Session s({"A"});
    s.Open();
    for (int i = 0; i < 3; ++i) {
        s.action("mnNew")->trigger();
    }
    const std::vector<std::string> expected{"A", "新規パターン", "新規パターン2", "新規パターン3"};
    QCOMPARE(s.rowNames(), expected);
    QCOMPARE(s.rowTexts(), expected);
    QCOMPARE(s.selectedRows(), std::vector<int>{3});
}

void EditorTest::copyGivesNextFreeNumber() {
    Session s({"A", "B"});
    s.Open();
    s.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B", "A2"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{2});
    s.click(0);
    s.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B", "A2", "A3"}));
    // A deep copy: its own object with the same settings.
    QVERIFY(s.form->Logic().Rows()[3].Pattern.get() != s.form->Logic().Rows()[0].Pattern.get());
    QCOMPARE(s.form->Logic().Rows()[3].Pattern->Lumi, 0);
    QVERIFY(s.form->Logic().IsModified());
}

void EditorTest::renameAcceptedAndCancelled() {
    Session s({"A", "B"});
    s.Open();
    s.click(1);
    s.prompts->inputAnswers.push_back(std::nullopt);
    s.key(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(s.host.askedNames, std::vector<std::string>{"B"});
    QCOMPARE(s.host.askedLists, std::vector<std::string>{"A;B;"});
    QCOMPARE(s.prompts->shown.back().text, std::string("変更後のパターン名を入力して下さい。"));
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B"}));
    QVERIFY(!s.form->Logic().IsModified());

    s.prompts->inputAnswers.push_back(std::string("ボタン"));
    s.key(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "ボタン"}));
    QCOMPARE(s.list()->item(1)->text(), QString("ボタン"));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QVERIFY(s.form->Logic().IsModified());
}

void EditorTest::deleteAsksWithEverySelectedName() {
    Session s({"A", "B", "C", "D"});
    s.Open();
    s.click(0);
    s.click(2, Qt::ShiftModifier);
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1, 2}));
    s.prompts->messageAnswers.push_back(MsgResult::Ok);
    s.key(Qt::Key_Delete);
    QCOMPARE(s.prompts->Messages(),
             std::vector<std::string>{"\"A\"\r\n\"B\"\r\n\"C\"\r\nを削除してもよろしいですか？"});
    QCOMPARE(s.prompts->shown.back().title, std::string("確認"));
    QCOMPARE(s.prompts->shown.back().kind, MsgKind::Confirmation);
    QCOMPARE(s.prompts->shown.back().buttons, MsgButtons::OkCancel);
    QCOMPARE(s.rowNames(), std::vector<std::string>{"D"});
    QCOMPARE(s.selectedRows(), std::vector<int>{0});
    QCOMPARE(s.form->Logic().Rows()[0].Pattern->Lumi, 3);

    // Rows apart from each other, by Ctrl-click.
    Session t({"A", "B", "C", "D"});
    t.Open();
    t.click(1);
    t.click(3, Qt::ControlModifier);
    t.prompts->messageAnswers.push_back(MsgResult::Ok);
    t.key(Qt::Key_Delete);
    QCOMPARE(t.prompts->Messages(),
             std::vector<std::string>{"\"B\"\r\n\"D\"\r\nを削除してもよろしいですか？"});
    QCOMPARE(t.rowNames(), (std::vector<std::string>{"A", "C"}));
    QCOMPARE(t.selectedRows(), std::vector<int>{0});
    QVERIFY(t.form->Logic().IsModified());
}

void EditorTest::deleteCancelledKeepsRows() {
    Session s({"A", "B"});
    s.Open();
    s.prompts->messageAnswers.push_back(MsgResult::Cancel);
    s.key(Qt::Key_Delete);
    QCOMPARE(s.prompts->Messages().size(), std::size_t(1));
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B"}));
    QVERIFY(!s.form->Logic().IsModified());

    // Deleting the last row leaves an empty list and no preview.
    Session t({"A"});
    t.Open();
    t.prompts->messageAnswers.push_back(MsgResult::Ok);
    t.key(Qt::Key_Delete);
    QCOMPARE(t.list()->count(), 0);
    QCOMPARE(t.form->Logic().Preview().Width(), 0);
    QVERIFY(!t.action("mnDelete")->isEnabled());
}

void EditorTest::severalSelectedDisableSingleRowCommands() {
    Session s({"A", "B", "C"});
    s.Open();
    QCOMPARE(s.form->Logic().Preview().Width(), 84);
    s.click(1, Qt::ControlModifier);
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1}));
    QCOMPARE(s.form->Logic().Preview().Width(), 0);
    QVERIFY(s.form->Logic().CurrentPattern() == nullptr);

    // Opening the menu runs the rules as well.
    QMenu* menu = s.form->findChild<QMenu*>("mnPattern");
    menu->popup(s.form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (const char* name : {"mnRename", "mnUpper", "mnLower", "mnPad", "mnUndo"}) {
        QVERIFY2(!s.action(name)->isEnabled(), name);
    }
    for (const char* name :
         {"mnNew", "mnCopy", "mnDelete", "mnInfo", "mnExport", "mnImport", "mnExit", "mnCancel"}) {
        QVERIFY2(s.action(name)->isEnabled(), name);
    }
    menu->hide();

    // Their shortcuts do nothing.
    s.key(Qt::Key_R, Qt::ControlModifier);
    s.key(Qt::Key_U, Qt::ControlModifier);
    s.key(Qt::Key_L, Qt::ControlModifier);
    s.key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(s.prompts->shown.empty());
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B", "C"}));
    QCOMPARE(s.selectedRows(), (std::vector<int>{0, 1}));
    QVERIFY(s.host.wallPaperSets.empty());
    QVERIFY(!s.form->Logic().IsModified());

    // Nothing selected: export and delete are off too.
    s.click(0, Qt::ControlModifier);
    s.click(1, Qt::ControlModifier);
    QVERIFY(s.selectedRows().empty());
    QVERIFY(!s.action("mnExport")->isEnabled());
    QVERIFY(!s.action("mnDelete")->isEnabled());
    s.key(Qt::Key_E, Qt::ControlModifier);
    QVERIFY(s.prompts->shown.empty());
    QVERIFY(s.host.exported.empty());
}

// A click on no row is no choice: the pattern stays current.
void EditorTest::clickBelowTheLastRowKeepsTheSelection() {
    Session s({"A", "B"});
    s.Open();
    s.click(1);
    const QPoint below(s.rowCentre(1).x(), s.rowCentre(1).y() + 40);
    QVERIFY(s.list()->viewport()->rect().contains(below));
    QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QCOMPARE(s.form->Logic().Preview(), DrawWallpaper(s.library.Pattern(1), s.host.pad));
    QCOMPARE(s.form->findChild<QListWidget*>("PartsList")->count(), 1);
}

void EditorTest::upAndDownStopAtTheEnds() {
    Session s({"A", "B", "C"});
    s.Open();
    s.key(Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B", "C"}));
    QVERIFY(!s.form->Logic().IsModified());

    s.key(Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"B", "A", "C"}));
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"B", "A", "C"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QCOMPARE(s.form->Logic().CurrentPattern()->Lumi, 0);
    QVERIFY(s.form->Logic().IsModified());

    s.click(2);
    s.key(Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"B", "A", "C"}));
    s.key(Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"B", "C", "A"}));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
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
    QVERIFY(s.form->Logic().IsModified());

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
    QVERIFY(!t.form->Logic().IsModified());
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
    QVERIFY(!s.form->Logic().IsModified());
}

void EditorTest::previewIsTheWallpaper() {
    Session s({"A", "B"});
    s.library.Pattern(1).AddNew().Fill = fkMono; // black icon-less cell part
    s.library.Pattern(1).Parts(1)->Area = paIcon;
    s.Open();
    QCOMPARE(s.form->Logic().Preview(), DrawWallpaper(s.library.Pattern(0), s.host.pad));
    s.click(1);
    QCOMPARE(s.form->Logic().Preview(), DrawWallpaper(s.library.Pattern(1), s.host.pad));
    QVERIFY(!(s.form->Logic().Preview() == DrawWallpaper(s.library.Pattern(0), s.host.pad)));
}

void EditorTest::infoPanelShowsThePad() {
    Session s({"A"});
    s.Open();
    QLabel* info = s.control<QLabel>("lbInfo");
    QLabel* mark = s.control<QLabel>("lbInfoCol");
    QCOMPARE(info->text(), QString("80×60\nアイコンの下\nオフ\n    8000000F"));
    QCOMPARE(mark->text(), QString("□"));
    QCOMPARE(s.control<QLabel>("lbInfoItem")->text(),
             QString(" ・ボタンサイズ：\n ・ボタン名：\n ・小さいアイコン：\n ・ボタン色："));
}

void EditorTest::recaptureReadsThePadAgain() {
    struct Case {
        PadValues values;
        const char* text;
        const char* mark;
        QColor markColor;
    };
    const Case cases[] = {
        {{120, 40, 2, 1, 0x00FF0000},
         "120×40\nアイコンの右\nオン\n    00FF0000",
         "■",
         QColor(0, 0, 255)},
        {{40, 60, 0, 0, 0x00F0F0F0}, "40×60\n表示なし\nオフ\n    00F0F0F0", "□", QColor(0, 0, 0)},
        {{20, 20, 1, 0, static_cast<std::int32_t>(0xFF00000F)},
         "20×20\nアイコンの下\nオフ\n    FF00000F",
         "□",
         QColor(0, 0, 0)},
    };
    for (const Case& c : cases) {
        Session s({"A"});
        s.Open();
        const int reads = s.host.padReads;
        s.host.nextPad = DerivePadInfo(c.values, 12);
        s.action("mnInfo")->trigger();
        QCOMPARE(s.host.padReads, reads + 1);
        QCOMPARE(s.control<QLabel>("lbInfo")->text(), QString(c.text));
        QLabel* mark = s.control<QLabel>("lbInfoCol");
        QCOMPARE(mark->text(), QString(c.mark));
        QCOMPARE(mark->palette().color(QPalette::WindowText), c.markColor);
        QCOMPARE(s.form->Logic().Preview().Width(), c.values.BtnWidth + 4);
        QCOMPARE(s.form->Logic().Preview().Height(), c.values.BtnHeight + 4);
    }
}

void EditorTest::trialTwiceThenUndoRestoresFirstWallpaper() {
    Session s({"A", "B"});
    s.Open();
    const std::string trial = s.form->Logic().TrialFilePath().string();
    QVERIFY(fs::path(trial).filename().string().rfind("pel", 0) == 0);
    QVERIFY(fs::exists(trial));
    QVERIFY(!s.action("mnUndo")->isEnabled());

    s.key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(s.form->Logic().IsTrialApplied());
    QCOMPARE(s.host.wallPaperReads, 1);
    QCOMPARE(s.host.wallPaperSets, std::vector<std::string>{trial});
    QCOMPARE(LoadBmp(trial), DrawWallpaper(s.library.Pattern(0), s.host.pad));
    QVERIFY(s.action("mnUndo")->isEnabled());

    s.click(1);
    s.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(s.host.wallPaperReads, 1);
    QCOMPARE(s.host.wallPaperSets, (std::vector<std::string>{trial, trial}));

    s.action("mnUndo")->trigger();
    QCOMPARE(s.host.wallPaperSets.back(), std::string("old.bmp"));
    QVERIFY(!s.form->Logic().IsTrialApplied());
    QVERIFY(!s.action("mnUndo")->isEnabled());
    // Trying and undoing changes no pattern.
    QVERIFY(!s.form->Logic().IsModified());

    // The next trial reads the pad's wallpaper afresh.
    s.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(s.host.wallPaperReads, 2);
}

void EditorTest::trialWithoutOldWallpaperUndoesToEmpty() {
    Session s({"A"});
    s.host.wallPaper.reset();
    s.Open();
    s.action("mnPad")->trigger();
    s.action("mnUndo")->trigger();
    QCOMPARE(s.host.wallPaperSets.back(), std::string());
}

void EditorTest::doubleClickTriesThePattern() {
    Session s({"A", "B"});
    s.Open();
    QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier, s.rowCentre(1));
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QVERIFY(s.form->Logic().IsTrialApplied());
    QCOMPARE(LoadBmp(s.form->Logic().TrialFilePath()),
             DrawWallpaper(s.library.Pattern(1), s.host.pad));
}

void EditorTest::okAfterTrialKeepsItBesideTheSettings() {
    Session s({"A"});
    s.Open();
    const fs::path trial = s.form->Logic().TrialFilePath();
    fs::remove(s.host.WallpaperFile());
    s.key(Qt::Key_A, Qt::ControlModifier);
    s.prompts->messageAnswers.push_back(MsgResult::Yes);
    QTest::mouseClick(s.control<QPushButton>("btOK"), Qt::LeftButton);
    QCOMPARE(s.prompts->Messages(),
             std::vector<std::string>{"仮適用した壁紙をそのまま使いますか？"});
    QCOMPARE(s.prompts->shown.back().buttons, MsgButtons::YesNo);
    QCOMPARE(s.prompts->shown.back().title, std::string("確認"));
    QCOMPARE(s.host.wallPaperSets.back(), s.host.WallpaperText());
    QCOMPARE(LoadBmp(s.host.WallpaperFile()), DrawWallpaper(s.library.Pattern(0), s.host.pad));
    s.settle();
    QVERIFY(s.form.isNull());
    QVERIFY(!fs::exists(trial));
    QCOMPARE(s.host.closed, 1);
    // Nothing more is set when the window goes.
    QCOMPARE(s.host.wallPaperSets.size(), std::size_t(2));
}

void EditorTest::okAfterTrialDeclinedRestores() {
    Session s({"A"});
    s.Open();
    s.key(Qt::Key_A, Qt::ControlModifier);
    s.prompts->messageAnswers.push_back(MsgResult::No);
    s.action("mnExit")->trigger();
    QCOMPARE(s.host.wallPaperSets.back(), std::string("old.bmp"));
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.host.wallPaperSets.size(), std::size_t(2));
}

void EditorTest::okWithoutChangesLeavesLibraryAlone() {
    Session s({"A", "B"});
    const TPatrn* first = &s.library.Pattern(0);
    s.Open();
    s.click(1);
    QTest::mouseClick(s.control<QPushButton>("btOK"), Qt::LeftButton);
    QVERIFY(s.prompts->shown.empty());
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(&s.library.Pattern(0), first);
    QCOMPARE(s.host.closed, 1);
}

void EditorTest::okAfterChangesReplacesLibrary() {
    Session s({"A", "B"});
    s.Open();
    s.key(Qt::Key_L, Qt::ControlModifier);
    s.key(Qt::Key_Insert);
    const TPatrn* working = s.form->Logic().Rows()[0].Pattern.get();
    QTest::mouseClick(s.control<QPushButton>("btOK"), Qt::LeftButton);
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.library.Names(), (std::vector<std::string>{"B", "A", Sj("新規パターン")}));
    QCOMPARE(s.library.Pattern(0).Lumi, 1);
    QCOMPARE(s.library.Pattern(1).Lumi, 0);
    QCOMPARE(s.library.Pattern(2).Count(), 2);
    QVERIFY(&s.library.Pattern(0) != working);
}

void EditorTest::cancelWithoutChangesClosesAtOnce() {
    Session s({"A"});
    s.Open();
    QTest::mouseClick(s.control<QPushButton>("btCamcel"), Qt::LeftButton);
    QVERIFY(s.prompts->shown.empty());
    s.settle();
    QVERIFY(s.form.isNull());
    QVERIFY(s.host.wallPaperSets.empty());
    QCOMPARE(s.host.closed, 1);
}

void EditorTest::cancelAfterChangesAsks() {
    Session s({"A"});
    const TPatrn* first = &s.library.Pattern(0);
    s.Open();
    s.key(Qt::Key_Insert);
    s.prompts->messageAnswers.push_back(MsgResult::Cancel);
    s.action("mnCancel")->trigger();
    QCOMPARE(s.prompts->Messages(), std::vector<std::string>{"編集結果を破棄してよろしいですか？"});
    QCOMPARE(s.prompts->shown.back().buttons, MsgButtons::OkCancel);
    s.settle();
    QVERIFY(!s.form.isNull());
    QVERIFY(s.form->isVisible());

    s.prompts->messageAnswers.push_back(MsgResult::Ok);
    QTest::mouseClick(s.control<QPushButton>("btCamcel"), Qt::LeftButton);
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.library.Count(), 1);
    QCOMPARE(&s.library.Pattern(0), first);
}

void EditorTest::cancelAfterTrialRestoresWallpaper() {
    Session s({"A"});
    s.Open();
    const fs::path trial = s.form->Logic().TrialFilePath();
    s.key(Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(s.control<QPushButton>("btCamcel"), Qt::LeftButton);
    QVERIFY(s.prompts->shown.empty());
    QCOMPARE(s.host.wallPaperSets, (std::vector<std::string>{trial.string(), "old.bmp"}));
    s.settle();
    QVERIFY(s.form.isNull());
    QVERIFY(!fs::exists(trial));
}

void EditorTest::enterIsOkAndEscIsCancel() {
    {
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.key(Qt::Key_Return);
        s.settle();
        QVERIFY(s.form.isNull());
        QCOMPARE(s.library.Count(), 2);
    }
    {
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.prompts->messageAnswers.push_back(MsgResult::Ok);
        s.key(Qt::Key_Escape);
        QCOMPARE(s.prompts->Messages().size(), std::size_t(1));
        s.settle();
        QVERIFY(s.form.isNull());
        QCOMPARE(s.library.Count(), 1);
    }
    {
        // A close asked for by the window system is a Cancel.
        Session s({"A"});
        s.Open();
        s.key(Qt::Key_Insert);
        s.prompts->messageAnswers.push_back(MsgResult::Cancel);
        QVERIFY(!s.form->close());
        QTRY_COMPARE_WITH_TIMEOUT(s.prompts->Messages().size(), std::size_t(1),
                                  kSlowMachineTimeoutMs);
        QVERIFY(!s.form.isNull());
    }
}

void EditorTest::enterOnFocusedCancelIsCancel() {
    Session s({"A"});
    s.Open();
    s.key(Qt::Key_Insert);
    QPushButton* cancel = s.control<QPushButton>("btCamcel");
    cancel->setFocus();
    s.prompts->messageAnswers.push_back(MsgResult::Ok);
    QTest::keyClick(cancel, Qt::Key_Return);
    QCOMPARE(s.prompts->Messages(), std::vector<std::string>{"編集結果を破棄してよろしいですか？"});
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.library.Count(), 1);
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

void EditorTest::okWhoseWallpaperCannotBeWrittenChangesNothing() {
    Session s({"A"});
    const TPatrn* first = &s.library.Pattern(0);
    s.host.wallpaperFile = Session::Folder() / "no such folder" / "settings.bmp";
    s.Open();
    s.key(Qt::Key_Insert);
    s.key(Qt::Key_A, Qt::ControlModifier);
    s.prompts->messageAnswers.push_back(MsgResult::Yes);
    QTest::mouseClick(s.control<QPushButton>("btOK"), Qt::LeftButton);
    QCOMPARE(s.prompts->shown.size(), std::size_t(2));
    QCOMPARE(s.prompts->shown[1].kind, MsgKind::Error);
    s.settle();
    QVERIFY(!s.form.isNull());
    QVERIFY(s.form->Logic().IsTrialApplied());
    QCOMPARE(s.library.Count(), 1);
    QCOMPARE(&s.library.Pattern(0), first);

    // Declining the trial then closes, with the edits in the library.
    s.prompts->messageAnswers.push_back(MsgResult::No);
    QTest::mouseClick(s.control<QPushButton>("btOK"), Qt::LeftButton);
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.host.wallPaperSets.back(), std::string("old.bmp"));
    QCOMPARE(s.library.Count(), 2);
}

void EditorTest::destroyedDuringTrialPutsWallpaperBack() {
    Session s({"A"});
    s.Open();
    const fs::path trial = s.form->Logic().TrialFilePath();
    s.key(Qt::Key_A, Qt::ControlModifier);
    std::unique_ptr<TEditForm> owned(s.form.data());
    owned.reset();
    QCOMPARE(s.host.wallPaperSets.back(), std::string("old.bmp"));
    QVERIFY(!fs::exists(trial));
    QCOMPARE(s.host.closed, 1);
    QCOMPARE(s.library.Count(), 1);
}

void EditorTest::boundsCorrectedAndStored() {
    Session s({"A"});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    s.settings.Left = screen.width() + 1;
    s.settings.Top = screen.height() + 1;
    s.settings.Width = 640;
    s.settings.Height = 480;
    s.settings.PrevHeight = 150;
    s.Open();
    QCOMPARE(s.settings.Left, 0);
    QCOMPARE(s.settings.Top, 0);
    QCOMPARE(s.form->pos(), QPoint(0, 0));
    QCOMPARE(s.form->size(), QSize(640, 480));
    QCOMPARE(s.control<QWidget>("pnRBTop")->height(), 150);

    s.form->move(30, 40);
    s.form->resize(700, 500);
    QSplitter* splitter = s.control<QSplitter>("Splitter1");
    splitter->setSizes({170, splitter->height() - 170});
    QCOMPARE(s.control<QWidget>("pnRBTop")->height(), 170);
    s.key(Qt::Key_Escape);
    s.settle();
    QVERIFY(s.form.isNull());
    QCOMPARE(s.settings.Left, 30);
    QCOMPARE(s.settings.Top, 40);
    QCOMPARE(s.settings.Width, 700);
    QCOMPARE(s.settings.Height, 500);
    QCOMPARE(s.settings.PrevHeight, 170);

    // Too small a window and preview strip are brought up to their minimums.
    Session t({"A"});
    t.settings.Width = 400;
    t.settings.Height = 350;
    t.settings.PrevHeight = 20;
    t.Open();
    QCOMPARE(t.form->size(), QSize(550, 400));
    QCOMPARE(t.control<QWidget>("pnRBTop")->height(), 100);
    QVERIFY(t.control<QWidget>("pnRBBottom")->height() >= 100);
}

void EditorTest::exportWritesSelectedRowsInOrder() {
    Session s({"A", "B", "C", "D", "E"});
    s.Open();
    s.click(4);
    s.click(1, Qt::ControlModifier);
    s.click(2, Qt::ControlModifier);
    s.key(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(s.host.exported.size(), std::size_t(1));
    QCOMPARE(s.host.exported[0], (std::vector<std::string>{"B", "C", "E"}));
    QCOMPARE(s.host.exportedPatterns[0][2], s.form->Logic().Rows()[4].Pattern.get());
    QVERIFY(!s.form->Logic().IsModified());
}

void EditorTest::importAppendsRowsKeepingSelection() {
    Session s({"A", "B"});
    const fs::path file = Session::Folder() / "import.ptn";
    IniFile ini;
    PatternWithLumi(7)->SaveToIni(ini, 1, "A");
    PatternWithLumi(8)->SaveToIni(ini, 2, "X");
    ini.Save(file);
    s.host.importFile = file;
    s.Open();
    s.click(1);
    s.key(Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(s.rowNames(), (std::vector<std::string>{"A", "B", "A2", "X"}));
    QCOMPARE(s.rowTexts(), (std::vector<std::string>{"A", "B", "A2", "X"}));
    QCOMPARE(s.form->Logic().Rows()[2].Pattern->Lumi, 7);
    QCOMPARE(s.selectedRows(), std::vector<int>{1});
    QVERIFY(s.form->Logic().IsModified());

    // A cancelled import changes nothing.
    Session t({"A"});
    t.Open();
    t.key(Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(t.rowNames(), std::vector<std::string>{"A"});
    QVERIFY(!t.form->Logic().IsModified());
}

void EditorTest::fileErrorShowsBoxAndWindowStays() {
    // The trial file cannot be written once its folder is gone.
    const fs::path folder = Session::Folder() / "gone";
    fs::create_directories(folder);
    Session t({"A"});
    t.host.trialFolder = folder;
    t.Open();
    fs::remove_all(folder);
    t.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(t.prompts->shown.size(), std::size_t(1));
    QCOMPARE(t.prompts->shown[0].kind, MsgKind::Error);
    QVERIFY(!t.prompts->shown[0].text.empty());
    QVERIFY(!t.form->Logic().IsTrialApplied());
    QVERIFY(t.host.wallPaperSets.empty());
    QVERIFY(t.form->isVisible());
    // The window goes on working.
    t.key(Qt::Key_Insert);
    QCOMPARE(t.list()->count(), 2);
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
    menu->hide();
    s.action("mnUndo")->showStatusText(s.list());
    QCOMPARE(status->currentMessage(), QString("仮適用した壁紙を本画面を表示する直前の状態に戻す"));
    // A selection change clears it.
    s.click(1);
    QCOMPARE(status->currentMessage(), QString());
}

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
