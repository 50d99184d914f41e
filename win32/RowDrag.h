#pragma once
// Rows of a list box dragged with the mouse inside the list: a press, then a
// move beyond the system's drag distance. The owner decides at each move (and
// every 100 ms while the pointer rests, so resting on an edge row keeps
// scrolling) whether a drop would be taken there; releasing the button there
// drops. Esc ends the drag without a drop. The owner hears of the press as
// soon as the list has selected the pressed row, so the drag is judged by
// the row it moves, not by the one selected before.
#include "win32/Win32Ui.h"

#include <functional>

namespace pelmora::win32ui {

class ListRowDrag {
public:
    // Positions are in screen coordinates.
    using Over = std::function<bool(POINT screen)>;
    using Drop = std::function<void(POINT screen)>;
    using Pressed = std::function<void()>;

    // Errors of the drag are shown through `dialogs`.
    ListRowDrag(HWND list, Prompts& dialogs, Over over, Drop drop, Pressed pressed = {});
    ~ListRowDrag();
    ListRowDrag(const ListRowDrag&) = delete;
    ListRowDrag& operator=(const ListRowDrag&) = delete;

    bool Dragging() const { return dragging_; }

private:
    static LRESULT CALLBACK Subclass(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void DragOver(POINT screen);
    void EndDrag();
    POINT ToScreen(LPARAM lParam) const;

    HWND list_;
    Prompts& dialogs_;
    Over over_;
    Drop drop_;
    Pressed pressed_;
    WindowTimer repeat_;
    POINT press_ = {};
    POINT last_ = {};
    bool armed_ = false;
    bool dragging_ = false;
    bool accepted_ = false;
};

} // namespace pelmora::win32ui
