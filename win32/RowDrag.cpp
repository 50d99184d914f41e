#include "win32/RowDrag.h"

#include "logic/RowDragGesture.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

namespace pelmora::win32ui {
namespace {

constexpr UINT_PTR kRepeatTimer = 0x5244; // "RD"
constexpr UINT kRepeatMs = 100;

void ShowCursor(LPCWSTR shape) {
    SetCursor(LoadCursorW(nullptr, shape));
}

struct RowDrag {
    HWND List = nullptr;
    RowDragHandlers Handlers;
    WindowTimer Repeat;
    RowDragGesture Gesture;

    POINT ToScreen(LPARAM lParam) const {
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(List, &p);
        return p;
    }

    void DragOver(POINT screen) {
        Gesture.Judged({screen.x, screen.y}, Handlers.Over(screen));
        ShowCursor(Gesture.Taken() ? IDC_ARROW : IDC_NO);
    }

    void End() {
        if (Gesture.End()) {
            Repeat.Stop();
            ShowCursor(IDC_ARROW);
        }
    }

    std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_LBUTTONDOWN: {
            End();
            const POINT press = ToScreen(lParam);
            Gesture.Press({press.x, press.y}, true);
            // The list selects the row first; it tells its owner only at the release.
            const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
            Handlers.Pressed();
            return result;
        }
        case WM_MOUSEMOVE: {
            if ((wParam & MK_LBUTTON) == 0) {
                return std::nullopt;
            }
            const bool started = !Gesture.Dragging();
            const POINT p = ToScreen(lParam);
            if (!Gesture.Move({p.x, p.y}, GetSystemMetrics(SM_CXDRAG),
                              GetSystemMetrics(SM_CYDRAG))) {
                return std::nullopt;
            }
            if (started) {
                Repeat.Start(List, kRepeatTimer, kRepeatMs);
            }
            DragOver(p);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kRepeatTimer) {
                return std::nullopt;
            }
            if (Gesture.Dragging()) {
                DragOver({Gesture.LastSpot().X, Gesture.LastSpot().Y});
            }
            return 0;
        case WM_LBUTTONUP: {
            if (!Gesture.Dragging()) {
                Gesture.End();
                return std::nullopt;
            }
            const bool accepted = Gesture.Taken();
            End();
            // The list ends its own tracking and lets the mouse go.
            DefSubclassProc(List, message, wParam, lParam);
            if (accepted) {
                Handlers.Drop(ToScreen(lParam));
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (!Gesture.Dragging() || wParam != VK_ESCAPE) {
                return std::nullopt;
            }
            End();
            ReleaseCapture();
            return 0;
        case WM_SETCURSOR:
            if (!Gesture.Dragging()) {
                return std::nullopt;
            }
            ShowCursor(Gesture.Taken() ? IDC_ARROW : IDC_NO);
            return TRUE;
        default:
            return std::nullopt;
        }
    }
};

} // namespace

void DragRows(HWND list, Prompts& dialogs, RowDragHandlers handlers) {
    // Shared by the subclass's copies of its handler; freed with the list.
    auto drag = std::make_shared<RowDrag>();
    drag->List = list;
    drag->Handlers = std::move(handlers);
    Subclass(list, dialogs, [drag](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        return drag->Handle(message, wParam, lParam);
    });
}

} // namespace pelmora::win32ui
