#pragma once
// Rows of a list dragged with the mouse inside the list, as both toolkits
// run it: a left press arms the drag; a move of the system's drag distance
// on either axis starts it, and from then on a held button never sweeps a
// selection; the owner judges each spot the pointer reaches, and the same
// spot again while the pointer rests there, so resting on an edge row keeps
// scrolling; letting go drops only where the owner would take the rows; Esc
// ends the drag without a drop.
#include "platform/bitmap.h"

#include <cstdlib>

namespace pelmora {

class RowDragGesture {
public:
    // A press of any button; only the left one arms a drag.
    void Press(TPoint at, bool left) {
        End();
        armed_ = left;
        press_ = at;
    }
    // A move with the left button held; true once the drag is under way.
    bool Move(TPoint at, int distanceX, int distanceY) {
        if (armed_ && !dragging_) {
            dragging_ =
                std::abs(at.X - press_.X) >= distanceX || std::abs(at.Y - press_.Y) >= distanceY;
        }
        return dragging_;
    }
    // The owner's verdict on the spot the pointer is at.
    void Judged(TPoint spot, bool taken) {
        last_ = spot;
        taken_ = taken;
    }
    // Ends the gesture; true when a drag was under way.
    bool End() {
        const bool was = dragging_;
        armed_ = dragging_ = taken_ = false;
        return was;
    }

    bool Dragging() const { return dragging_; }
    // Whether letting go now drops the rows.
    bool Taken() const { return dragging_ && taken_; }
    TPoint LastSpot() const { return last_; }

private:
    TPoint press_{};
    TPoint last_{};
    bool armed_ = false;
    bool dragging_ = false;
    bool taken_ = false;
};

} // namespace pelmora
