// The history's bookkeeping on its own: where the user stands, the redo
// steps a new step drops, the oldest steps going beyond the step count or the
// memory budget, and whether the state is the one the window began with.
#include "logic/UndoHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {

// A step that adds `Delta` to a number, and what it holds.
struct AddStep {
    int Delta = 0;
    std::size_t Held = 1;
};
std::size_t StepBytes(const AddStep& step) {
    return step.Held;
}

namespace {

struct Counter {
    int Value = 0;
    UndoHistory<AddStep> History;

    explicit Counter(std::size_t steps = 100, std::size_t bytes = 1000) : History(steps, bytes) {}
    void Add(int delta, std::size_t held = 1, int gesture = 0) {
        if (History.Continues(gesture)) {
            Value += delta;
            return;
        }
        Value += delta;
        History.Record({-delta, held}, "+" + std::to_string(delta), gesture);
    }
    bool Undo() {
        return History.Undo([this](AddStep& s) {
            Value += s.Delta;
            s.Delta = -s.Delta;
        });
    }
    bool Redo() {
        return History.Redo([this](AddStep& s) {
            Value += s.Delta;
            s.Delta = -s.Delta;
        });
    }
};

TEST(UndoHistory, UndoRedoAndANewStepDroppingTheRedoSteps) {
    Counter c;
    EXPECT_FALSE(c.Undo());
    EXPECT_FALSE(c.History.Changed());
    c.Add(1);
    c.Add(10);
    EXPECT_EQ(c.History.UndoLabel(), "+10");
    EXPECT_TRUE(c.Undo());
    EXPECT_EQ(c.Value, 1);
    EXPECT_EQ(c.History.RedoLabel(), "+10");
    EXPECT_TRUE(c.Undo());
    EXPECT_EQ(c.Value, 0);
    EXPECT_FALSE(c.History.Changed());
    EXPECT_TRUE(c.Redo());
    EXPECT_EQ(c.Value, 1);
    c.Add(100);
    EXPECT_FALSE(c.History.CanRedo());
    EXPECT_EQ(c.History.Count(), 2u);
    EXPECT_EQ(c.History.Bytes(), 2u);
    c.Undo();
    c.Undo();
    EXPECT_EQ(c.Value, 0);
    EXPECT_FALSE(c.History.Changed());
}

TEST(UndoHistory, AGestureIsOneStepUntilItEnds) {
    Counter c;
    c.Add(1, 1, 7);
    c.Add(2, 1, 7); // the same drag
    c.Add(3, 1, 8); // another control
    c.History.EndGesture();
    c.Add(4, 1, 8);
    EXPECT_EQ(c.History.Count(), 3u);
    c.Undo();
    c.Undo();
    EXPECT_EQ(c.Value, 3);
    // After an undo the next change starts a step of its own.
    c.Add(5, 1, 7);
    EXPECT_EQ(c.History.Count(), 2u);
}

// Beyond the count or the budget the oldest steps go (the newest always
// stays); the state the window began with is then out of reach.
TEST(UndoHistory, TheOldestStepsGoBeyondTheLimits) {
    const struct {
        std::size_t MaxSteps;
        std::size_t MaxBytes;
        std::vector<std::size_t> Held;
        std::size_t Kept;
    } cases[] = {
        {3, 1000, {1, 1, 1, 1, 1}, 3},
        {100, 10, {4, 4, 4}, 2},
        {100, 10, {4, 50}, 1},
        {100, 10, {4, 4}, 2},
    };
    for (const auto& c : cases) {
        Counter counter(c.MaxSteps, c.MaxBytes);
        std::size_t total = 0;
        for (const std::size_t held : c.Held) {
            counter.Add(1, held);
        }
        EXPECT_EQ(counter.History.Count(), c.Kept);
        for (std::size_t i = c.Held.size() - c.Kept; i < c.Held.size(); ++i) {
            total += c.Held[i];
        }
        EXPECT_EQ(counter.History.Bytes(), total);
        while (counter.Undo()) {
        }
        EXPECT_EQ(counter.Value, static_cast<int>(c.Held.size() - c.Kept));
        EXPECT_EQ(counter.History.Changed(), c.Kept != c.Held.size());
    }
}

// A new step after undoing back to the start: undoing it is the start again.
TEST(UndoHistory, UndoingANewStepAfterUndoingEverythingIsTheStartAgain) {
    Counter c;
    c.Add(1);
    c.Undo();
    EXPECT_FALSE(c.History.Changed());
    c.Add(2);
    EXPECT_TRUE(c.History.Changed());
    c.Undo();
    EXPECT_FALSE(c.History.Changed());
    EXPECT_EQ(c.Value, 0);
}

} // namespace
} // namespace pelmora
