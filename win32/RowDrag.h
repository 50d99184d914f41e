#pragma once
// Rows of a list box dragged with the mouse inside the list
// (RowDragGesture), with the system's drag distance: the owner decides at
// each move, and every 100 ms while the pointer rests, whether a drop would
// be taken there. The owner hears of the press as soon as the list has
// selected the pressed row, so the drag is judged by the row it moves, not by
// the one selected before.
#include "win32/Win32Ui.h"

#include <functional>

namespace pelmora::win32ui {

// Positions are in screen coordinates.
struct RowDragHandlers {
    std::function<bool(POINT screen)> Over; // whether a drop there would be taken
    std::function<void(POINT screen)> Drop;
    std::function<void()> Pressed;
};

// Lets the rows of `list` be dragged for as long as it lives; errors of the
// drag are shown through `dialogs`.
void DragRows(HWND list, Prompts& dialogs, RowDragHandlers handlers);

} // namespace pelmora::win32ui
