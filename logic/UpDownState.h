#pragma once
// The value behind an up-down control: a position within a range that arrow
// clicks step by an increment, either stopping at a limit or wrapping round to
// the other one. The dialogs' logic keeps it, so every view steps alike.
#include <algorithm>
#include <cstdint>

namespace pelmora {

struct UpDownState {
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int Increment = 1;
    bool Wrap = false;

    // Changes the range and clamps the position into it.
    void SetRange(int min, int max) {
        Min = min;
        Max = max;
        SetPosition(Position);
    }
    void SetPosition(int position) { Position = std::clamp(position, Min, std::max(Min, Max)); }
    // A value typed into the buddy field; true when it had to be clamped, so
    // the field must show the position instead of what was typed.
    bool SetTyped(int typed) {
        SetPosition(typed);
        return Position != typed;
    }
    // One arrow click: direction > 0 is the up or right arrow.
    void Step(int direction) {
        if (direction == 0) {
            return;
        }
        const std::int64_t next =
            std::int64_t{Position} + std::int64_t{Increment} * (direction > 0 ? 1 : -1);
        if (next > Max) {
            Position = Wrap ? Min : Max;
        } else if (next < Min) {
            Position = Wrap ? Max : Min;
        } else {
            Position = static_cast<int>(next);
        }
    }
};

} // namespace pelmora
