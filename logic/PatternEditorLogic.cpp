// The pattern list, the preview, the pad commands, OK, Cancel and closing.
// The parts pane is in PatternEditorParts.cpp.
#include "logic/PatternEditorLogic.h"

#include "library/IniData.h"
#include "library/SettingsFile.h"
#include "library/Wallpaper.h"
#include "logic/EditorHost.h"
#include "logic/FormWindow.h"
#include "logic/WallpaperTrial.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/prompts.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <utility>

namespace pelmora {
namespace {

constexpr int kMinPaneHeight = 100;

constexpr const char* kConfirmTitle = "確認";
constexpr const char* kNewPatternBase = "新規パターン";
constexpr const char* kRenamePrompt = "変更後のパターン名を入力して下さい。";
constexpr const char* kDeleteQuestionEnd = "を削除してもよろしいですか？";
constexpr const char* kKeepTrialQuestion = "仮適用した壁紙をそのまま使いますか？";
constexpr const char* kDiscardQuestion = "編集結果を破棄してよろしいですか？";
constexpr const char* kTooLargeToKeep = "設定ファイルが上限の ";
constexpr const char* kTooLargeToKeepEnd =
    " を超えるため、編集結果を確定できません。パターンか部品を減らして下さい。";

// What the Edit menu calls the steps.
constexpr const char* kStepNewPattern = "パターンの新規作成";
constexpr const char* kStepCopyPattern = "パターンの複製作成";
constexpr const char* kStepRenamePattern = "パターンの名前変更";
constexpr const char* kStepMovePattern = "パターンの移動";
constexpr const char* kStepDeletePattern = "パターンの削除";
constexpr const char* kStepImport = "インポート";

bool Ask(Prompts& dialogs, const char* question, MsgButtons buttons, MsgResult yes) {
    return dialogs.Message(question, MsgKind::Confirmation, buttons, kConfirmTitle) == yes;
}

void ShowError(Prompts& dialogs, const std::string& text) {
    try {
        dialogs.Message(text, MsgKind::Error, MsgButtons::Ok);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

} // namespace

// --- Creation and destruction -----------------------------------------------

PatternEditorLogic::PatternEditorLogic(PatternLibrary& library, TIniData& settings,
                                       EditorHost& host, EditorDialogs& dialogs,
                                       PatternEditorView& view)
    : library_(library), settings_(settings), host_(host), dialogs_(dialogs), view_(view),
      trial_(std::make_unique<WallpaperTrial>(host)) {
    PlaceWindow();
    for (int i = 0; i < library_.Count(); ++i) {
        rows_.push_back({library_.Name(i), library_.Pattern(i).Clone()});
    }
    ShowRows();
    view_.ShowPreview(previewBmp_);
    mnPatternClick();
    mnPartsClick();
    UpdateEditMenu();
}

PatternEditorLogic::~PatternEditorLogic() {
    trial_.reset();
    try {
        const WindowBounds bounds = view_.Bounds();
        settings_.Left = bounds.Left;
        settings_.Top = bounds.Top;
        settings_.Width = bounds.Width;
        settings_.Height = bounds.Height;
        settings_.PrevHeight = firstShow_ ? prevHeight_ : view_.PreviewHeight();
        host_.EditorClosed();
    } catch (...) {
        // A window that is going has no one to report to.
    }
}

// A window stored on a larger screen comes back at the edge; the corrected
// value is also what is stored again.
void PatternEditorLogic::PlaceWindow() {
    if (const std::optional<ScreenSize> screen = view_.Screen()) {
        if (screen->Width < settings_.Left) {
            settings_.Left = 0;
        }
        if (screen->Height < settings_.Top) {
            settings_.Top = 0;
        }
    }
    prevHeight_ = std::max(settings_.PrevHeight, kMinPaneHeight);
    view_.SetBounds({settings_.Left, settings_.Top, settings_.Width, settings_.Height},
                    prevHeight_);
}

void PatternEditorLogic::ShowEventError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowError(host_.Dialogs(), e.what());
    } catch (...) {
        ShowError(host_.Dialogs(), kUnexpectedErrorText);
    }
}

void PatternEditorLogic::FormShow() {
    if (!firstShow_) {
        return;
    }
    Guarded([&] {
        UpdatePadInfo();
        if (!rows_.empty()) {
            SelectOnly(0);
        }
        SelectionChange();
    });
    firstShow_ = false;
}

// --- State ----------------------------------------------------------------------

int PatternEditorLogic::CurrentIndex() const {
    return selected_.size() == 1 ? selected_.front() : -1;
}

TPatrn* PatternEditorLogic::CurrentPattern() {
    const int row = CurrentIndex();
    return row < 0 ? nullptr : rows_[static_cast<std::size_t>(row)].Pattern.get();
}

bool PatternEditorLogic::IsTrialApplied() const {
    return trial_ && trial_->Applied();
}

const std::filesystem::path& PatternEditorLogic::TrialFilePath() const {
    return trial_->File();
}

std::vector<std::string> PatternEditorLogic::RowNames() const {
    std::vector<std::string> names;
    names.reserve(rows_.size());
    for (const EditorRow& row : rows_) {
        names.push_back(row.Name);
    }
    return names;
}

// The rows' names as a list for the name prompt and the import, which only
// look at the names; the patterns there are stand-ins.
PatternLibrary PatternEditorLogic::NameList() const {
    PatternLibrary names;
    for (const EditorRow& row : rows_) {
        names.Append(row.Name, std::make_unique<TPatrn>());
    }
    return names;
}

// --- The list and what it shows ----------------------------------------------------

void PatternEditorLogic::ShowRows() {
    std::vector<std::string> names;
    names.reserve(rows_.size());
    for (const EditorRow& row : rows_) {
        names.push_back(DisplayText(row.Name));
    }
    view_.ShowPatternRows(names);
    view_.ShowPatternSelection(selected_, CurrentIndex());
}

void PatternEditorLogic::SelectOnly(int row) {
    selected_ = {row};
    view_.ShowPatternSelection(selected_, row);
}

void PatternEditorLogic::PatternListClick(const std::vector<int>& selected) {
    Guarded([&] {
        selected_.clear();
        for (const int row : selected) {
            if (row >= 0 && row < static_cast<int>(rows_.size())) {
                selected_.push_back(row);
            }
        }
        std::sort(selected_.begin(), selected_.end());
        selected_.erase(std::unique(selected_.begin(), selected_.end()), selected_.end());
        SelectionChange();
    });
}

void PatternEditorLogic::SelectionChange() {
    // A drag of the colour controls does not reach into another pattern.
    history_.EndGesture();
    mnPatternClick();
    UpdatePreview();
    UpdatePartsList();
    DescribeCurrentPart();
}

// Painted fresh each time, so the preview (and a trial made from it) is
// exactly the wallpaper the pattern gives.
void PatternEditorLogic::UpdatePreview() {
    previewBmp_ = Bitmap24();
    if (const TPatrn* pattern = CurrentPattern()) {
        previewBmp_ = DrawWallpaper(*pattern, host_.PadInfo());
    }
    view_.ShowPreview(previewBmp_);
}

void PatternEditorLogic::UpdatePadInfo() {
    const TPadInfo& pad = host_.PadInfo();
    const char* caption = pad.BtnCaption == 0   ? "表示なし"
                          : pad.BtnCaption == 1 ? "アイコンの下"
                                                : "アイコンの右";
    const char* smallIcon = pad.BtnSmallIcon != 0 ? "オン" : "オフ";
    const auto color = static_cast<TColor>(pad.BtnColor);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(color));
    const std::string values = std::to_string(pad.BtnWidth) + "×" + std::to_string(pad.BtnHeight) +
                               "\n" + caption + "\n" + smallIcon + "\n    " + hex;
    const bool buttonFace = ResolveColor(color) == SystemColor(kColorBtnFace);
    view_.ShowPadInfo(values, buttonFace ? "□" : "■",
                      buttonFace ? SystemColor(kColorWindowText) : ResolveColor(color));
}

// --- Enabling rules -------------------------------------------------------------------

bool PatternEditorLogic::IsEnabled(EditItem item) {
    const int selected = static_cast<int>(selected_.size());
    const TPatrn* pattern = CurrentPattern();
    const bool one = pattern != nullptr;
    const int i = PartIndex();
    const int n = one ? pattern->Count() : 0;
    const TParts* part = one && i >= 0 ? pattern->Parts(i) : nullptr;
    switch (item) {
    case EditItem::mnExport:
    case EditItem::mnDelete:
    case EditItem::mnCopyPattern:
        return selected >= 1;
    case EditItem::mnRename:
    case EditItem::mnUpper:
    case EditItem::mnLower:
    case EditItem::mnPad:
        return selected == 1;
    case EditItem::mnUndo:
        return IsTrialApplied();
    case EditItem::mnPNew:
    case EditItem::mnAll:
    case EditItem::mnIcon:
    case EditItem::mnIconF:
    case EditItem::mnName:
    case EditItem::mnNameF:
    case EditItem::mnFill:
    case EditItem::mnMono:
    case EditItem::mnGrad:
    case EditItem::mnBtn:
        return one;
    case EditItem::mnArea:
    case EditItem::mnPDelete:
        return one && i >= 1;
    case EditItem::mnCopyPart:
        return part != nullptr;
    case EditItem::mnCopyGrad:
        return part != nullptr && part->Fill == fkGrad;
    case EditItem::mnPUpper:
        return one && i >= 2;
    case EditItem::mnPLower:
        return one && i >= 1 && i < n - 1;
    // Without a current part these keep what they showed last.
    case EditItem::mnNon:
        return part == nullptr || i != 0;
    case EditItem::mnBtnF:
        return part == nullptr || part->IsFrame;
    case EditItem::mnEditUndo:
        return history_.CanUndo();
    case EditItem::mnEditRedo:
        return history_.CanRedo();
    default:
        return true;
    }
}

void PatternEditorLogic::mnPatternClick() {
    for (const EditItem item :
         {EditItem::mnExport, EditItem::mnRename, EditItem::mnUpper, EditItem::mnLower,
          EditItem::mnDelete, EditItem::mnPad, EditItem::mnUndo}) {
        view_.SetItemEnabled(item, IsEnabled(item));
    }
    view_.SetItemChecked(EditItem::mnPerPadFile, settings_.WallPaperPerPad);
    UpdateClipboardItems();
}

// --- Dispatch ---------------------------------------------------------------------------

void PatternEditorLogic::MenuClick(EditItem item) {
    if (!IsEnabled(item)) {
        return;
    }
    switch (item) {
    case EditItem::mnImport:
        return mnImportClick();
    case EditItem::mnExport:
        return mnExportClick();
    case EditItem::mnExit:
        return mnExitClick();
    case EditItem::mnCancel:
        return mnCancelClick();
    case EditItem::mnNew:
        return mnNewClick();
    case EditItem::mnCopy:
        return mnCopyClick();
    case EditItem::mnRename:
        return mnRenameClick();
    case EditItem::mnUpper:
        return mnUpperClick();
    case EditItem::mnLower:
        return mnLowerClick();
    case EditItem::mnDelete:
        return mnDeleteClick();
    case EditItem::mnInfo:
        return mnInfoClick();
    case EditItem::mnPerPadFile:
        return mnPerPadFileClick();
    case EditItem::mnPad:
        return mnPadClick();
    case EditItem::mnUndo:
        return mnUndoClick();
    case EditItem::mnAll:
    case EditItem::mnIcon:
    case EditItem::mnIconF:
    case EditItem::mnName:
    case EditItem::mnNameF:
        return mnNewPartClick(item);
    case EditItem::mnArea:
        return mnAreaClick();
    case EditItem::mnNon:
    case EditItem::mnMono:
    case EditItem::mnGrad:
    case EditItem::mnBtn:
    case EditItem::mnBtnF:
        return mnFillClick(item);
    case EditItem::mnPUpper:
        return mnPUpperClick();
    case EditItem::mnPLower:
        return mnPLowerClick();
    case EditItem::mnPDelete:
        return mnPDeleteClick();
    case EditItem::mnEditUndo:
        return mnEditUndoClick();
    case EditItem::mnEditRedo:
        return mnEditRedoClick();
    case EditItem::mnCopyPattern:
        return mnCopyPatternClick();
    case EditItem::mnCopyPart:
        return mnCopyPartClick();
    case EditItem::mnCopyGrad:
        return mnCopyGradClick();
    case EditItem::mnPaste:
        return mnPasteClick();
    case EditItem::mnPNew:
    case EditItem::mnFill:
        return; // submenus
    }
}

// --- Pattern commands -------------------------------------------------------------------

void PatternEditorLogic::mnNewClick() {
    Guarded([&] {
        std::string name = UniquePatternName(Utf8ToSjis(kNewPatternBase), RowNames());
        auto pattern = std::make_unique<TPatrn>();
        TParts& frame = pattern->AddNew();
        frame.Area = paAll;
        frame.IsFrame = true;
        frame.Fill = fkBtnF;
        const int at = static_cast<int>(rows_.size());
        std::vector<EditorRow> added;
        added.push_back({std::move(name), std::move(pattern)});
        ChangeRows(RowChange::Insert({at}, std::move(added)), std::vector<int>{at},
                   kStepNewPattern);
    });
}

void PatternEditorLogic::mnCopyClick() {
    Guarded([&] {
        const int row = CurrentIndex();
        if (row < 0) {
            return;
        }
        const EditorRow& source = rows_[static_cast<std::size_t>(row)];
        std::string name = UniquePatternName(source.Name, RowNames());
        const int at = static_cast<int>(rows_.size());
        std::vector<EditorRow> added;
        added.push_back({std::move(name), source.Pattern->Clone()});
        ChangeRows(RowChange::Insert({at}, std::move(added)), std::vector<int>{at},
                   kStepCopyPattern);
    });
}

void PatternEditorLogic::mnRenameClick() {
    Guarded([&] {
        const int row = CurrentIndex();
        if (row < 0) {
            return;
        }
        std::string name = rows_[static_cast<std::size_t>(row)].Name;
        const std::weak_ptr<int> alive = Alive();
        const bool accepted = host_.AskPatternName(kRenamePrompt, name, NameList());
        if (alive.expired() || !accepted) {
            return;
        }
        if (name != rows_[static_cast<std::size_t>(row)].Name) {
            ChangeRows(RowChange::Rename(row, std::move(name)), std::vector<int>{row},
                       kStepRenamePattern);
            return;
        }
        selected_ = {row};
        ShowRows();
        SelectionChange();
    });
}

void PatternEditorLogic::mnUpperClick() {
    Guarded([&] {
        const int row = CurrentIndex();
        if (row >= 1) {
            MovePattern(row, row - 1);
        }
    });
}

void PatternEditorLogic::mnLowerClick() {
    Guarded([&] {
        const int row = CurrentIndex();
        if (row >= 0 && row < static_cast<int>(rows_.size()) - 1) {
            MovePattern(row, row + 1);
        }
    });
}

void PatternEditorLogic::MovePattern(int from, int to) {
    if (from == to) {
        return;
    }
    ChangeRows(RowChange::Move(from, to), std::vector<int>{to}, kStepMovePattern);
}

void PatternEditorLogic::mnDeleteClick() {
    Guarded([&] {
        const std::vector<int> doomed = selected_;
        if (doomed.empty()) {
            return;
        }
        std::string question;
        for (const int row : doomed) {
            question += "\"" + DisplayText(rows_[static_cast<std::size_t>(row)].Name) + "\"\r\n";
        }
        question += kDeleteQuestionEnd;
        const std::weak_ptr<int> alive = Alive();
        const bool confirmed =
            host_.Dialogs().Message(question, MsgKind::Confirmation, MsgButtons::OkCancel,
                                    kConfirmTitle) == MsgResult::Ok;
        if (alive.expired() || !confirmed) {
            return;
        }
        std::vector<int> after;
        if (rows_.size() > doomed.size()) {
            after = {0};
        }
        ChangeRows(RowChange::Remove(doomed), std::move(after), kStepDeletePattern);
    });
}

void PatternEditorLogic::mnImportClick() {
    Guarded([&] {
        PatternLibrary list = NameList();
        const int before = list.Count();
        const std::weak_ptr<int> alive = Alive();
        const bool imported = host_.ImportPatterns(list);
        if (alive.expired() || !imported) {
            return;
        }
        std::vector<int> positions;
        std::vector<EditorRow> added;
        for (int i = before; i < list.Count(); ++i) {
            positions.push_back(static_cast<int>(rows_.size() + added.size()));
            added.push_back({list.Name(i), list.Pattern(i).Clone()});
        }
        if (!added.empty()) {
            // The selection stays as it was.
            ChangeRows(RowChange::Insert(std::move(positions), std::move(added)), std::nullopt,
                       kStepImport);
        }
        mnPatternClick();
    });
}

void PatternEditorLogic::mnExportClick() {
    Guarded([&] {
        std::vector<TExportEntry> entries;
        for (const int row : selected_) {
            const EditorRow& entry = rows_[static_cast<std::size_t>(row)];
            entries.push_back({entry.Name, entry.Pattern.get()});
        }
        if (!entries.empty()) {
            host_.ExportPatterns(entries);
        }
    });
}

// --- Pad commands ------------------------------------------------------------------------

void PatternEditorLogic::mnInfoClick() {
    Guarded([&] {
        host_.ReadPadInfo();
        UpdatePadInfo();
        UpdatePreview();
    });
}

// A choice of the module, not an edit of the library: it holds at once, for
// the menu's patterns too, and Cancel leaves it as it is. A trial still goes
// to the trial file; keeping it writes the file this choice names.
void PatternEditorLogic::mnPerPadFileClick() {
    settings_.WallPaperPerPad = !settings_.WallPaperPerPad;
    view_.SetItemChecked(EditItem::mnPerPadFile, settings_.WallPaperPerPad);
}

void PatternEditorLogic::PatternListDblClick() {
    mnPadClick();
}

void PatternEditorLogic::mnPadClick() {
    Guarded([&] {
        if (CurrentIndex() < 0) {
            return;
        }
        host_.ReadPadInfo();
        UpdatePadInfo();
        UpdatePreview();
        trial_->Try(previewBmp_);
        mnPatternClick();
    });
}

void PatternEditorLogic::mnUndoClick() {
    Guarded([&] {
        if (!trial_->Applied()) {
            return;
        }
        trial_->Undo();
        mnPatternClick();
    });
}

// --- OK and Cancel -----------------------------------------------------------------------

// The rows are weighed first: a library whose settings file the plug-in
// could not read back is refused, and the window stays as it is. The trial
// is settled before the library is replaced, so a wallpaper that cannot be
// copied leaves both the library and the window as they were.
void PatternEditorLogic::mnExitClick() {
    Guarded([&] {
        if (IsModified() && !SettingsFileFits(settings_, RowPatterns())) {
            throw std::runtime_error(kTooLargeToKeep + LimitText(kMaxInputFileSize) +
                                     kTooLargeToKeepEnd);
        }
        if (trial_->Applied()) {
            const std::weak_ptr<int> alive = Alive();
            const bool keep =
                Ask(host_.Dialogs(), kKeepTrialQuestion, MsgButtons::YesNo, MsgResult::Yes);
            if (alive.expired()) {
                return;
            }
            if (keep) {
                trial_->Keep();
            } else {
                trial_->Undo();
            }
        }
        if (IsModified()) {
            library_ = TakeRows();
        }
        view_.CloseWindow();
    });
}

void PatternEditorLogic::mnCancelClick() {
    Guarded([&] {
        if (IsModified()) {
            const std::weak_ptr<int> alive = Alive();
            const bool discard =
                Ask(host_.Dialogs(), kDiscardQuestion, MsgButtons::OkCancel, MsgResult::Ok);
            if (alive.expired() || !discard) {
                return;
            }
        }
        if (trial_->Applied()) {
            trial_->Undo();
        }
        view_.CloseWindow();
    });
}

NamedPatterns PatternEditorLogic::RowPatterns() const {
    return NamedPatterns{
        static_cast<int>(rows_.size()),
        [this](int i) -> std::string_view { return rows_[static_cast<std::size_t>(i)].Name; },
        [this](int i) -> const TPatrn& { return *rows_[static_cast<std::size_t>(i)].Pattern; },
    };
}

// The rows' patterns move into the new library rather than being copied: the
// window is closing, and a third copy of a large library is what would run
// a 32-bit launcher out of memory; nor are the steps kept. The window shows
// no rows afterwards.
PatternLibrary PatternEditorLogic::TakeRows() {
    PatternLibrary edited;
    edited.Reserve(static_cast<int>(rows_.size()));
    const bool modified = IsModified();
    history_.Clear();
    unrecorded_ = modified;
    for (EditorRow& row : rows_) {
        edited.Append(std::move(row.Name), std::move(row.Pattern));
    }
    rows_.clear();
    selected_.clear();
    return edited;
}

// --- Dragging rows ---------------------------------------------------------------------------

bool PatternEditorLogic::PatternListDragOver(DragSpot spot, int itemAtPos,
                                             const ListScroll& scroll) {
    const int count = static_cast<int>(rows_.size());
    switch (spot) {
    case DragSpot::PatternList:
        if (scroll.TopIndex > 0 && itemAtPos == scroll.TopIndex) {
            view_.ScrollPatternList(-1);
            return false;
        }
        if (scroll.LastVisibleRow < count - 1 && itemAtPos == scroll.LastVisibleRow) {
            view_.ScrollPatternList(1);
            return false;
        }
        return selected_.size() == 1 && itemAtPos >= 0 && itemAtPos < count;
    case DragSpot::PatternLabel:
        if (scroll.TopIndex > 0) {
            view_.ScrollPatternList(-1);
        }
        return false;
    case DragSpot::StatusBar:
        if (scroll.TopIndex < count - 1) {
            view_.ScrollPatternList(1);
        }
        return false;
    case DragSpot::Elsewhere:
        break;
    }
    return false;
}

void PatternEditorLogic::PatternListDragDrop(int itemAtPos) {
    Guarded([&] {
        const int current = CurrentIndex();
        if (current >= 0 && itemAtPos >= 0 && itemAtPos < static_cast<int>(rows_.size())) {
            MovePattern(current, itemAtPos);
        }
    });
}

} // namespace pelmora
