#pragma once
// The steps a window can undo and redo, for any kind of step. A step holds
// what it needs to turn the window's state back, and applying it the other
// way round turns it forward again; the history keeps their order, their
// labels, where the user stands among them and whether that is where the
// window began. A step may stay open while one gesture (a drag, a key held
// down) goes on, so that the whole gesture is one step.
//
// Step needs a function `std::size_t StepBytes(const Step&)` (found by
// argument-dependent lookup): roughly the memory it holds, which the
// history keeps within its budget.
#include <cstddef>
#include <deque>
#include <string>
#include <utility>

namespace pelmora {

template <typename Step> class UndoHistory {
public:
    // At least `maxSteps` steps are kept while they hold no more than
    // `maxBytes` in all; beyond either, the oldest go first. The newest
    // step is always kept.
    UndoHistory(std::size_t maxSteps, std::size_t maxBytes)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // A new step after the current position, labelled for the menu (UTF-8).
    // The steps that could have been redone go. A nonzero `gesture` keeps
    // the step open for that gesture (see Continues).
    void Record(Step step, std::string label, int gesture = 0) {
        DropRedo();
        const std::size_t bytes = StepBytes(step);
        steps_.push_back({std::move(step), std::move(label), bytes});
        bytes_ += bytes;
        position_ = steps_.size();
        gesture_ = gesture;
        while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
            bytes_ -= steps_.front().Bytes;
            steps_.pop_front();
            --position_;
            if (clean_ == 0) {
                clean_ = kNowhere; // the state the window began with is out of reach
            } else if (clean_ != kNowhere) {
                --clean_;
            }
        }
    }

    // Whether a change belongs to the newest step, still open for `gesture`:
    // the caller then leaves that step as it is.
    bool Continues(int gesture) const {
        return gesture != 0 && gesture == gesture_ && position_ == steps_.size() && !steps_.empty();
    }
    // The gesture is over: the next change is a step of its own.
    void EndGesture() { gesture_ = 0; }

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // What the next undo or redo does; empty when there is none.
    std::string UndoLabel() const { return CanUndo() ? steps_[position_ - 1].Label : ""; }
    std::string RedoLabel() const { return CanRedo() ? steps_[position_].Label : ""; }

    // Applies the step before the position to the window's state with
    // `apply(Step&)`, which turns the state back and leaves in the step what
    // turns it forward again. False when there is nothing to undo. When
    // `apply` throws, the position stays where it was.
    template <typename Apply> bool Undo(Apply&& apply) {
        if (!CanUndo()) {
            return false;
        }
        gesture_ = 0;
        Apply1(steps_[position_ - 1], apply);
        --position_;
        return true;
    }
    // The same for the step after the position.
    template <typename Apply> bool Redo(Apply&& apply) {
        if (!CanRedo()) {
            return false;
        }
        gesture_ = 0;
        Apply1(steps_[position_], apply);
        ++position_;
        return true;
    }

    // Whether the state differs from the one the window began with (as far
    // as the steps tell: undoing every step comes back to it).
    bool Changed() const { return position_ != clean_; }

    std::size_t Count() const { return steps_.size(); }
    std::size_t Bytes() const { return bytes_; }
    void Clear() {
        steps_.clear();
        bytes_ = 0;
        clean_ = clean_ == position_ ? 0 : kNowhere;
        position_ = 0;
        gesture_ = 0;
    }

private:
    struct Entry {
        Step Change;
        std::string Label;
        std::size_t Bytes = 0;
    };
    static constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

    template <typename Apply> void Apply1(Entry& entry, Apply& apply) {
        apply(entry.Change);
        bytes_ -= entry.Bytes;
        entry.Bytes = StepBytes(entry.Change);
        bytes_ += entry.Bytes;
    }
    void DropRedo() {
        while (steps_.size() > position_) {
            bytes_ -= steps_.back().Bytes;
            steps_.pop_back();
        }
        if (clean_ != kNowhere && clean_ > position_) {
            clean_ = kNowhere;
        }
    }

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<Entry> steps_;
    std::size_t position_ = 0; // steps before it are done, those from it on undone
    std::size_t clean_ = 0;    // the position of the state the window began with
    std::size_t bytes_ = 0;
    int gesture_ = 0;
};

} // namespace pelmora
