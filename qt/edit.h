#pragma once
// The pattern editor window: a modeless window that edits a working copy of the
// pattern library, previews the current pattern as one button cell and tries it
// on the pad.
#include "library/PatternLibrary.h"
#include "pattern/PadInfo.h"
#include "pattern/patrn.h"
#include "platform/bitmap.h"

#include <QWidget>

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QSplitter;
class QStatusBar;

namespace pelmora {

class PatternLibrary;
class TShape;
struct TIniData;

namespace editor_detail {
class PartsListBox;
class PatternListBox;
class PreviewBox;
} // namespace editor_detail

// What the window needs from the module and, through it, from the host. Texts
// handed to the host are Shift-JIS.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Refills the current button layout from the current pad.
    virtual void ReadPadInfo() = 0;
    virtual const TPadInfo& PadInfo() const = 0;
    // The pad's "WallPaper" setting; nullopt when the host has none.
    virtual std::optional<std::string> GetPadWallPaper() = 0;
    virtual void SetPadWallPaper(const std::string& value) = 0;
    // Where a kept trial wallpaper goes (the settings file with ".bmp"), as a
    // file and as the text handed to the pad.
    virtual std::filesystem::path WallpaperFile() const = 0;
    virtual std::string WallpaperText() const = 0;
    // A new empty temporary file whose name begins with "pel".
    virtual std::filesystem::path CreateTrialFile() = 0;
    // A file path as the text handed to the pad.
    virtual std::string HostPathText(const std::filesystem::path& path) const = 0;
    // The name prompt: true when a name was accepted; `name` then holds it.
    virtual bool AskPatternName(const std::string& promptUtf8, std::string& name,
                                const PatternLibrary& names) = 0;
    // Appends the patterns of a file the user picks to `list`; false when
    // nothing was read.
    virtual bool ImportPatterns(PatternLibrary& list) = 0;
    // Writes the entries to a pattern file the user picks.
    virtual void ExportPatterns(const std::vector<TExportEntry>& entries) = 0;
    // The window is gone: the plug-in menu lists the patterns again.
    virtual void EditorClosed() = 0;
};

// One row of the editor's pattern list.
struct EditorRow {
    std::string Name; // Shift-JIS
    std::unique_ptr<TPatrn> Pattern;
};

// The parts list keeps each row's preview icon (a QImage whose white pixels
// are transparent) in this item role; a row without one holds nothing there.
inline constexpr int kPartIconRole = Qt::UserRole + 1;

// The gradient dialog and the fine-adjust dialog are shown modally with their
// own event loop; tests answer them through QApplication::activeModalWidget().
// The colour dialog goes through the dialog service.
class TEditForm : public QWidget {
    Q_OBJECT

public:
    // Copies `library`; takes its bounds from `settings` and stores them back
    // there when destroyed. Creates the trial file (throws when it cannot).
    TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
              QWidget* parent = nullptr);
    ~TEditForm() override;

    TEditForm(const TEditForm&) = delete;
    TEditForm& operator=(const TEditForm&) = delete;

    // The working list, for the parts pane and for tests.
    const std::vector<EditorRow>& Rows() const { return rows_; }
    // The current pattern: the one selected row, or none.
    TPatrn* CurrentPattern();
    bool IsModified() const { return Modified; }
    bool IsTrialApplied() const { return TrialApplied; }
    const std::filesystem::path& TrialFilePath() const { return TrialFile; }
    const Bitmap24& Preview() const { return PreviewBmp; }
    // Marks the working list as changed (also used by the parts pane).
    void SetModified() { Modified = true; }
    // Re-renders the current pattern into the preview.
    void UpdatePreview();
    void SetStatusText(const QString& text);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Window construction.
    void CreateMenu();
    void CreateLayout();
    QAction* AddItem(QMenu* menu, const char* name, const char* caption, const char* hint,
                     const QKeySequence& shortcut, void (TEditForm::*command)());
    void PlaceWindow();
    void CopyLibrary();

    // Runs a window event; an error shows its text in an error box.
    template <typename F> void Guarded(F&& action) {
        try {
            action();
        } catch (...) {
            ShowEventError(std::current_exception());
        }
    }
    static void ShowEventError(const std::exception_ptr& error);

    // The list and its selection.
    int SelectedCount() const;
    std::vector<int> SelectedRows() const;
    int CurrentIndex() const;
    std::vector<std::string> RowNames() const;
    PatternLibrary NameList() const;
    void AppendRow(std::string name, std::unique_ptr<TPatrn> pattern);
    void SelectOnly(int row);

    // What the window shows.
    void PatternListClick();
    void UpdatePadInfo();
    void mnPatternClick();

    // The parts pane: the parts of the current pattern and its colour adjustment.
    void CreatePartsPane(QWidget* pane);
    void CreatePartsMenu();
    void DisconnectPartsPane();
    void UpdatePartsList();
    void ClearPartsList();
    int PartIndex() const;
    TParts* CurrentPart();
    void SetPartRow(int row, const TParts& part);
    void SelectPartRow(int row);
    void PartsListClick();
    void mnPartsClick();
    void ColorAdjustChange();

    // Part commands.
    void mnNewPartClick(QAction* entry);
    void mnAreaClick();
    void mnFillClick(QAction* entry);
    void mnPUpperClick();
    void mnPLowerClick();
    void mnPDeleteClick();
    void MovePart(int from, int to);
    bool PartsListDragOver(const QPoint& global);
    void PartsListDragDrop(const QPoint& global);
    // After a part command: the pattern is shown again and counts as changed.
    void PartChanged();

    // Pattern commands.
    void mnNewClick();
    void mnCopyClick();
    void mnRenameClick();
    void mnUpperClick();
    void mnLowerClick();
    void mnDeleteClick();
    void MovePattern(int from, int to);
    void mnImportClick();
    void mnExportClick();

    // Pad commands.
    void mnInfoClick();
    void mnPadClick();
    void mnUndoClick();

    // OK and Cancel.
    void mnExitClick();
    void mnCancelClick();
    void ReplaceLibrary();
    void CloseWindow();

    // Dragging rows: each drag-over event scrolls at most one row.
    bool PatternListDragOver(const QPoint& global);
    void PatternListDragDrop(const QPoint& global);

    PatternLibrary& library_;
    TIniData& settings_;
    EditorHost& host_;
    std::vector<EditorRow> rows_;

    bool Modified = false;
    bool TrialApplied = false;
    std::string OldWallPaper;
    std::filesystem::path TrialFile;
    Bitmap24 PreviewBmp;
    bool FirstShow = true;
    int NameColWidth = 0;  // used by the parts list
    int prevHeight_ = 100; // preview strip height until the window is shown

    bool closing_ = false;        // OK or Cancel decided to close
    bool selectionGuard_ = false; // programmatic selection changes
    bool partsGuard_ = false;     // programmatic changes of the parts list's current row
    // Raised while the colour-adjustment controls are set from a pattern, so
    // that setting them is not taken for the user's change.
    bool adjustGuard_ = false;

    // Controls (owned by their Qt parents).
    QMenuBar* MainMenu = nullptr;
    QMenu* mnFile = nullptr;
    QAction* mnImport = nullptr;
    QAction* mnExport = nullptr;
    QAction* mnExit = nullptr;
    QAction* mnCancel = nullptr;
    QMenu* mnPattern = nullptr;
    QAction* mnNew = nullptr;
    QAction* mnCopy = nullptr;
    QAction* mnRename = nullptr;
    QAction* mnUpper = nullptr;
    QAction* mnLower = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnInfo = nullptr;
    QAction* mnPad = nullptr;
    QAction* mnUndo = nullptr;
    QMenu* mnParts = nullptr;
    QMenu* mnPNew = nullptr;
    QAction* mnAll = nullptr;
    QAction* mnIcon = nullptr;
    QAction* mnIconF = nullptr;
    QAction* mnName = nullptr;
    QAction* mnNameF = nullptr;
    QAction* mnArea = nullptr;
    QMenu* mnFill = nullptr;
    QActionGroup* fillGroup_ = nullptr;
    QAction* mnNon = nullptr;
    QAction* mnMono = nullptr;
    QAction* mnGrad = nullptr;
    QAction* mnBtn = nullptr;
    QAction* mnBtnF = nullptr;
    QAction* mnPUpper = nullptr;
    QAction* mnPLower = nullptr;
    QAction* mnPDelete = nullptr;

    QFrame* pnTop = nullptr;
    QFrame* pnLeft = nullptr;
    QLabel* lbPattern = nullptr;
    editor_detail::PatternListBox* PatternList = nullptr;
    QFrame* pnRight = nullptr;
    QLabel* lbParts = nullptr;
    QFrame* pnRBottom = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* pnRBTop = nullptr;
    editor_detail::PreviewBox* pbPreview = nullptr;
    QFrame* bvInfo = nullptr;
    QLabel* lbInfoTitle = nullptr;
    QLabel* lbInfoItem = nullptr;
    QLabel* lbInfo = nullptr;
    QLabel* lbInfoCol = nullptr;
    QFrame* pnRBBottom = nullptr;
    editor_detail::PartsListBox* PartsList = nullptr;
    QWidget* pnAdjust = nullptr; // the colour-adjustment group
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    TShape* Shape1 = nullptr;
    QLabel* lbLumi = nullptr;
    QSlider* tbLumi = nullptr;
    QLabel* lbHue = nullptr;
    QSlider* tbHue = nullptr;
    QCheckBox* cbBtnCol = nullptr;
    QStatusBar* StatusBar = nullptr;
    QFrame* pnBottom = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCamcel = nullptr;
};

} // namespace pelmora
