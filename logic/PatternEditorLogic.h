#pragma once
// The pattern editor window without its toolkit: the working copy of the
// library, the selection, the parts of the current pattern, the trial
// wallpaper, every command with its enabling rule, OK, Cancel and closing.
// It tells an PatternEditorView what to show and asks the user through the dialog
// service, the host (EditorHost) and the editor's own dialogs
// (EditorDialogs). A view forwards the user's events to the methods below,
// which are named after the control and the event.
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "logic/PatternEditorHistory.h"
#include "logic/PatternEditorView.h"
#include "pattern/Pattern.h"
#include "platform/bitmap.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class EditorDialogs;
class EditorHost;
class WallpaperTrial;
struct TIniData;

// Where a dragged pattern row is over.
enum class DragSpot { PatternList, PatternLabel, StatusBar, Elsewhere };

class PatternEditorLogic {
public:
    // Copies `library` and creates the trial file (throws when it cannot);
    // places the window from `settings`, correcting a position off the screen.
    PatternEditorLogic(PatternLibrary& library, TIniData& settings, EditorHost& host,
                       EditorDialogs& dialogs, PatternEditorView& view);
    // Removes the trial file (putting the pad's wallpaper back when a trial is
    // still on), stores the window's bounds in `settings` and tells the host
    // the editor is gone. The view must still answer.
    ~PatternEditorLogic();
    PatternEditorLogic(const PatternEditorLogic&) = delete;
    PatternEditorLogic& operator=(const PatternEditorLogic&) = delete;

    // --- State --------------------------------------------------------------
    const std::vector<EditorRow>& Rows() const { return rows_; }
    const std::vector<int>& SelectedRows() const { return selected_; }
    // The one selected row, or -1.
    int CurrentIndex() const;
    // The current pattern: the one selected row's, or none.
    TPatrn* CurrentPattern();
    // The parts list's current row while a pattern is current; -1 otherwise.
    int PartIndex() const;
    // Whether the working copy differs from the library: undoing every step
    // makes it the same again.
    bool IsModified() const { return unrecorded_ || history_.Changed(); }
    const EditorHistory& History() const { return history_; }
    bool IsTrialApplied() const;
    const std::filesystem::path& TrialFilePath() const;
    const Bitmap24& Preview() const { return previewBmp_; }
    // Whether an item is enabled by its menu's rules now.
    bool IsEnabled(EditItem item);

    // --- Window events ------------------------------------------------------
    // Every event shows an error in an error box; the window stays open.
    void FormShow();
    // A menu item, its shortcut or its button; does nothing when the item's
    // rules leave it disabled.
    void MenuClick(EditItem item);
    // The enabling rules of the Pattern (and File) menu, of the Parts menu
    // and of the Edit menu (which also names the steps).
    void mnPatternClick();
    void mnPartsClick();
    void mnEditClick();

    // The user changed the pattern list's selection.
    void PatternListClick(const std::vector<int>& selected);
    void PatternListDblClick();
    // Whether a dragged row may be dropped at the row under the pointer
    // (`itemAtPos`, the row count below the last row); scrolls the list by at
    // most one row at the list's edges.
    bool PatternListDragOver(DragSpot spot, int itemAtPos, const ListScroll& scroll);
    void PatternListDragDrop(int itemAtPos);

    // The user made `row` the parts list's current row.
    void PartsListClick(int row);
    // The hint of the menu item the user highlights; empty when none is
    // highlighted (the menu closed), and the bar describes the current part
    // again.
    void MenuHighlight(const std::string& hint);
    // `itemAtPos` as above; -1 when the pointer is not over the list.
    bool PartsListDragOver(int itemAtPos);
    void PartsListDragDrop(int itemAtPos);
    // A track bar moved or the check box was clicked: the controls' states.
    // The changes until ColorAdjustDone (the end of a drag or a key press)
    // are one step.
    void ColorAdjustChange(int lumi, int hue, bool btnColTrim);
    void ColorAdjustDone();
    // Files dropped on the window (UTF-8 paths): imported as the import
    // command imports, all in one step; those that cannot be read are named
    // in one message.
    void FilesDropped(const std::vector<std::string>& paths);
    // Whether the clipboard holds any text to paste (the context menu's rule;
    // the Edit menu's paste stays enabled and tells what it cannot paste).
    bool ClipboardHasText();

    // --- Commands -------------------------------------------------------------
    void mnNewClick();
    void mnCopyClick();
    void mnRenameClick();
    void mnUpperClick();
    void mnLowerClick();
    void mnDeleteClick();
    void mnImportClick();
    void mnExportClick();
    void mnInfoClick();
    // Turns a wallpaper file of each pad's own on or off.
    void mnPerPadFileClick();
    void mnPadClick();
    void mnUndoClick();
    void mnExitClick();
    void mnCancelClick();
    // `entry` is one of mnAll .. mnNameF.
    void mnNewPartClick(EditItem entry);
    void mnAreaClick();
    // `entry` is one of mnNon .. mnBtnF.
    void mnFillClick(EditItem entry);
    void mnPUpperClick();
    void mnPLowerClick();
    void mnPDeleteClick();
    void mnEditUndoClick();
    void mnEditRedoClick();
    // The clipboard: the selected patterns as pattern file sections, the
    // current part as its stored line, its gradient as its text; the paste
    // takes any of the three and refuses anything else.
    void mnCopyPatternClick();
    void mnCopyPartClick();
    void mnCopyGradClick();
    void mnPasteClick();

private:
    // Raises a flag for a scope: the one guard idiom of the window.
    class ScopedFlag {
    public:
        explicit ScopedFlag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
        ~ScopedFlag() { flag_ = old_; }
        ScopedFlag(const ScopedFlag&) = delete;
        ScopedFlag& operator=(const ScopedFlag&) = delete;

    private:
        bool& flag_;
        bool old_;
    };

    // Runs a window event; an error shows its text in an error box.
    template <typename F> void Guarded(F&& action) {
        try {
            action();
        } catch (...) {
            ShowEventError(std::current_exception());
        }
    }
    void ShowEventError(const std::exception_ptr& error);
    // Alive while this object is: checked after a modal dialog, during which
    // the plug-in may end and destroy the window.
    std::weak_ptr<int> Alive() const { return life_; }

    void PlaceWindow();
    std::vector<std::string> RowNames() const;
    PatternLibrary NameList() const;
    void ShowRows();
    void SelectOnly(int row);
    void SelectionChange();
    void UpdatePreview();
    void UpdatePadInfo();
    void MovePattern(int from, int to);
    // Copies of the rows, as OK makes them the library.
    NamedPatterns RowPatterns() const;
    PatternLibrary TakeRows();

    // --- The history ---------------------------------------------------------
    // Every change of the working copy is one step, recorded by one of these
    // right after it is made. `label` names it in the Edit menu (UTF-8).
    EditorSelection Selection(bool withPart) const;
    // Applies a change of the rows, then selects `selectAfter` (none: the
    // selection stays, and so do the preview and the parts list).
    void ChangeRows(RowChange change, std::optional<std::vector<int>> selectAfter,
                    const char* label);
    // Runs `change` on the current pattern in place (it also updates the
    // parts pane's rows); when it throws, the pattern is put back as it was.
    // Changes of one `gesture` (nonzero) in a row are one step.
    void ChangePattern(const char* label, const std::function<void(TPatrn&)>& change,
                       int gesture = 0);
    void Record(RowChange change, EditorSelection before, const char* label, int gesture = 0);
    // Shows the rows, the selection and the part a step brings back.
    void ShowStep(const EditorSelection& shown, bool namesChanged);
    void UpdateEditMenu();

    // The clipboard.
    void UpdateClipboardItems();
    // False when the text holds no pattern section.
    bool PastePatterns(const std::string& sjis);
    void PastePart(const std::string& line);
    void PasteGradient(const std::string& line);
    // Throws when the rows would make a settings file too large to be read.
    void CheckPastedSize() const;

    // The parts pane.
    void UpdatePartsList();
    TParts* CurrentPart();
    PartRow RowFor(const TParts& part) const;
    void MovePart(int from, int to);
    void PartChanged();
    // The status bar's description of the current part; empty without one.
    void DescribeCurrentPart();

    PatternLibrary& library_;
    TIniData& settings_;
    EditorHost& host_;
    EditorDialogs& dialogs_;
    PatternEditorView& view_;

    std::vector<EditorRow> rows_;
    std::vector<int> selected_; // ascending
    std::unique_ptr<WallpaperTrial> trial_;
    EditorHistory history_{kEditorHistorySteps, kEditorHistoryBytes};
    // A change was made that the history could not record (no memory): the
    // working copy counts as changed for good.
    bool unrecorded_ = false;
    bool firstShow_ = true;
    Bitmap24 previewBmp_;
    int prevHeight_ = 100; // the preview strip's height until the window is shown

    std::vector<PartRow> partRows_;
    int partIndex_ = -1;
    // Raised while the colour-adjustment controls are set from a pattern, so
    // that setting them is not taken for the user's change.
    bool adjustGuard_ = false;

    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

} // namespace pelmora
