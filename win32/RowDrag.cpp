#include "win32/RowDrag.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>
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
    POINT Press = {};
    POINT Last = {};
    bool Armed = false;
    bool Dragging = false;
    bool Accepted = false;

    POINT ToScreen(LPARAM lParam) const {
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(List, &p);
        return p;
    }

    void DragOver(POINT screen) {
        Last = screen;
        Accepted = Handlers.Over(screen);
        ShowCursor(Accepted ? IDC_ARROW : IDC_NO);
    }

    void End() {
        if (Dragging) {
            Dragging = false;
            Repeat.Stop();
            ShowCursor(IDC_ARROW);
        }
        Armed = false;
        Accepted = false;
    }

    std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_LBUTTONDOWN: {
            End();
            Armed = true;
            Press = ToScreen(lParam);
            // The list selects the row first; it tells its owner only at the release.
            const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
            Handlers.Pressed();
            return result;
        }
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) == 0) {
                return std::nullopt;
            }
            if (const POINT p = ToScreen(lParam); Armed && !Dragging) {
                // A held button drags rows; it never sweeps a selection.
                Dragging = std::abs(p.x - Press.x) >= GetSystemMetrics(SM_CXDRAG) ||
                           std::abs(p.y - Press.y) >= GetSystemMetrics(SM_CYDRAG);
                if (Dragging) {
                    Repeat.Start(List, kRepeatTimer, kRepeatMs);
                }
            }
            if (!Dragging) {
                return std::nullopt;
            }
            DragOver(ToScreen(lParam));
            return 0;
        case WM_TIMER:
            if (wParam != kRepeatTimer) {
                return std::nullopt;
            }
            if (Dragging) {
                DragOver(Last);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (!Dragging) {
                Armed = false;
                return std::nullopt;
            }
            const bool accepted = Accepted;
            End();
            // The list ends its own tracking and lets the mouse go.
            DefSubclassProc(List, message, wParam, lParam);
            if (accepted) {
                Handlers.Drop(ToScreen(lParam));
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (!Dragging || wParam != VK_ESCAPE) {
                return std::nullopt;
            }
            End();
            ReleaseCapture();
            return 0;
        case WM_SETCURSOR:
            if (!Dragging) {
                return std::nullopt;
            }
            ShowCursor(Accepted ? IDC_ARROW : IDC_NO);
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
