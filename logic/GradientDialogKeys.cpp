// The gradient editor's own undo and redo, and the handle strip's keys.
#include "logic/GradientDialogLogic.h"

#include "logic/GradientDialogPaint.h"

#include <algorithm>
#include <utility>

namespace pelmora {

bool GradDialogState::SameEdit(const GradDialogState& other) const {
    return Stops == other.Stops && Kind == other.Kind && Angle == other.Angle &&
           CenterX == other.CenterX && CenterY == other.CenterY && Normalize == other.Normalize &&
           WrapEnds == other.WrapEnds;
}

std::size_t StepBytes(const GradDialogState& state) {
    return sizeof(GradDialogState) + state.Stops.capacity() * sizeof(TCol);
}

GradDialogState GradientDialogLogic::Capture() const {
    const TGrad& g = *target_;
    return {g.Stops(), g.Kind, g.Angle, g.CenterX, g.CenterY, g.Normalize, wrapEnds_, selected_};
}

void GradientDialogLogic::Restore(const GradDialogState& state) {
    TGrad& g = *target_;
    g.SetStops(state.Stops);
    g.Kind = state.Kind;
    g.Angle = state.Angle;
    g.CenterX = state.CenterX;
    g.CenterY = state.CenterY;
    g.Normalize = state.Normalize;
    work_.CopyStops(g);
    wrapEnds_ = state.WrapEnds;
    selected_ = std::clamp(state.Selected, 0, work_.Count() - 1);
    dragIndex_ = -1;
    menuIndex_ = -1;
    dragOut_ = false;
    angleDrag_ = false;
    centerDrag_ = false;
    LoadControls();
}

void GradientDialogLogic::Edit(const std::function<void()>& action, int gesture,
                               std::optional<GradDialogState> from) {
    if (editing_) {
        action();
        return;
    }
    const GradDialogState before = from ? std::move(*from) : Capture();
    editing_ = true;
    // A change that failed half-way is still turned back by the step.
    const auto commit = [&] {
        editing_ = false;
        if (!Capture().SameEdit(before) && !history_.Continues(gesture)) {
            history_.Record(before, "", gesture);
        }
    };
    try {
        action();
    } catch (...) {
        commit();
        throw;
    }
    commit();
}

// Undo in the middle of a drag takes the drag back: it is the step not yet
// recorded.
void GradientDialogLogic::Undo() {
    const bool dragging = dragIndex_ != -1 || angleDrag_ || centerDrag_;
    std::optional<GradDialogState> start = std::exchange(gestureStart_, std::nullopt);
    if (dragging && start) {
        Restore(*start);
        return;
    }
    history_.Undo([this](GradDialogState& step) {
        GradDialogState now = Capture();
        Restore(step);
        step = std::move(now);
    });
}

void GradientDialogLogic::Redo() {
    if (dragIndex_ != -1 || angleDrag_ || centerDrag_) {
        return;
    }
    gestureStart_.reset();
    history_.Redo([this](GradDialogState& step) {
        GradDialogState now = Capture();
        Restore(step);
        step = std::move(now);
    });
}

void GradientDialogLogic::pbPtrFocus(bool focused) {
    stripFocused_ = focused;
    RepaintStrip();
}

bool GradientDialogLogic::pbPtrKeyDown(FormKey key, std::uint8_t modifiers) {
    if ((modifiers & (keymod::Ctrl | keymod::Alt)) != 0 || key == FormKey::Up ||
        key == FormKey::Down) {
        return false;
    }
    // A handle held down with the mouse is the mouse's.
    if (dragIndex_ == -1) {
        Edit([&] { StripKey(key, (modifiers & keymod::Shift) != 0); });
    }
    return true;
}

void GradientDialogLogic::Select(int index) {
    selected_ = std::clamp(index, 0, work_.Count() - 1);
    RepaintStrip();
}

// Moves, deletions and additions go through the working copy, which refuses
// them for the end stops and beyond the neighbours; the four-corner kind is
// the target's, so it is looked at here.
void GradientDialogLogic::StripKey(FormKey key, bool shift) {
    const int last = work_.Count() - 1;
    const bool locked = target_->Kind == gkQuad;
    if (locked && (shift || key == FormKey::Delete || key == FormKey::Insert)) {
        return;
    }
    switch (key) {
    case FormKey::Left:
    case FormKey::Right: {
        const int step = key == FormKey::Left ? -1 : 1;
        if (!shift) {
            return Select(selected_ + step);
        }
        // One position: the gradient's unit, one percent.
        work_.SetPos(selected_, work_.GetPos(selected_) + step);
        return ApplyStops();
    }
    case FormKey::Home:
        return Select(0);
    case FormKey::End:
        return Select(last);
    case FormKey::Delete:
        // The stop after it takes its place, and the selection.
        work_.DeleteStop(selected_);
        return ApplyStops();
    case FormKey::Enter:
    case FormKey::Space:
        return ChangeStopColor(selected_);
    case FormKey::Insert: {
        // Only where a position lies strictly between the two.
        const int from = work_.GetPos(selected_);
        const int to = work_.GetPos(selected_ + 1);
        if (selected_ >= last || to - from < 2) {
            return;
        }
        if (const int added = work_.AddStop(RoundEven32(static_cast<Extended>(from + to) / 2));
            added > 0) {
            selected_ = added;
            ApplyStops();
        }
        return;
    }
    case FormKey::Up:
    case FormKey::Down:
        return;
    }
}

} // namespace pelmora
