// The editor's undo and redo: how each change becomes one step of the
// history, what an undo or redo shows, and the Edit menu.
#include "logic/PatternEditorLogic.h"

#include <string_view>
#include <utility>

namespace pelmora {
namespace {

const char* CaptionOf(EditItem item) {
    for (const MenuLine& line : EditMenus()) {
        if (std::string_view(line.Name) == ItemName(item)) {
            return line.Caption;
        }
    }
    return "";
}

// "元に戻す(&U)" naming "部品の削除" reads "元に戻す: 部品の削除(&U)".
std::string StepCaption(EditItem item, const std::string& label) {
    std::string caption = CaptionOf(item);
    if (!label.empty()) {
        const std::size_t mnemonic = caption.find("(&");
        caption.insert(mnemonic == std::string::npos ? caption.size() : mnemonic, ": " + label);
    }
    return caption;
}

} // namespace

EditorSelection PatternEditorLogic::Selection(bool withPart) const {
    return {selected_, withPart ? PartIndex() : -1};
}

void PatternEditorLogic::ChangeRows(RowChange change, std::optional<std::vector<int>> selectAfter,
                                    const char* label) {
    EditorSelection before = Selection(false);
    change.Apply(rows_);
    if (selectAfter) {
        selected_ = std::move(*selectAfter);
        ShowRows();
        SelectionChange();
    } else {
        ShowRows();
    }
    Record(std::move(change), std::move(before), label);
}

void PatternEditorLogic::ChangePattern(const char* label,
                                       const std::function<void(TPatrn&)>& change, int gesture) {
    const int row = CurrentIndex();
    if (row < 0) {
        return;
    }
    std::unique_ptr<TPatrn>& pattern = rows_[static_cast<std::size_t>(row)].Pattern;
    if (history_.Continues(gesture)) {
        // The open step holds the pattern as the gesture found it.
        change(*pattern);
        return;
    }
    EditorSelection before = Selection(true);
    std::unique_ptr<TPatrn> old = pattern->Duplicate();
    try {
        change(*pattern);
    } catch (...) {
        pattern = std::move(old);
        try {
            UpdatePartsList();
            UpdatePreview();
        } catch (...) {
            // The error that stopped the change is the one to tell.
        }
        throw;
    }
    Record(RowChange::Replace(row, std::move(old)), std::move(before), label, gesture);
}

void PatternEditorLogic::Record(RowChange change, EditorSelection before, const char* label,
                                int gesture) {
    try {
        EditorSelection after = Selection(before.Part >= 0);
        history_.Record({std::move(change), std::move(before), std::move(after)}, label, gesture);
    } catch (...) {
        // The change stands, but no step can turn it back: the steps before
        // it would skip it, so they go too.
        unrecorded_ = true;
        history_.Clear();
        UpdateEditMenu();
        throw;
    }
    UpdateEditMenu();
}

void PatternEditorLogic::mnEditUndoClick() {
    Guarded([&] {
        EditorSelection shown;
        bool names = false;
        const bool undone = history_.Undo([&](EditorStep& step) {
            step.Rows.Apply(rows_);
            names = step.Rows.ChangesNames();
            shown = step.Before;
        });
        if (undone) {
            ShowStep(shown, names);
        }
    });
}

void PatternEditorLogic::mnEditRedoClick() {
    Guarded([&] {
        EditorSelection shown;
        bool names = false;
        const bool redone = history_.Redo([&](EditorStep& step) {
            step.Rows.Apply(rows_);
            names = step.Rows.ChangesNames();
            shown = step.After;
        });
        if (redone) {
            ShowStep(shown, names);
        }
    });
}

// The rows that came back, selected as they were, with the part that
// changed current: the user sees what the step did.
void PatternEditorLogic::ShowStep(const EditorSelection& shown, bool namesChanged) {
    selected_.clear();
    for (const int row : shown.Rows) {
        if (row >= 0 && row < static_cast<int>(rows_.size())) {
            selected_.push_back(row);
        }
    }
    if (namesChanged) {
        ShowRows();
    } else {
        view_.ShowPatternSelection(selected_, CurrentIndex());
    }
    SelectionChange();
    if (shown.Part >= 0 && shown.Part < static_cast<int>(partRows_.size())) {
        partIndex_ = shown.Part;
        view_.ShowPartRows(partRows_, partIndex_);
        mnPartsClick();
        DescribeCurrentPart();
    }
    UpdateEditMenu();
}

void PatternEditorLogic::mnEditClick() {
    UpdateEditMenu();
    UpdateClipboardItems();
}

void PatternEditorLogic::UpdateEditMenu() {
    view_.SetItemEnabled(EditItem::mnEditUndo, history_.CanUndo());
    view_.SetItemEnabled(EditItem::mnEditRedo, history_.CanRedo());
    view_.SetItemCaption(EditItem::mnEditUndo,
                         StepCaption(EditItem::mnEditUndo, history_.UndoLabel()));
    view_.SetItemCaption(EditItem::mnEditRedo,
                         StepCaption(EditItem::mnEditRedo, history_.RedoLabel()));
}

} // namespace pelmora
