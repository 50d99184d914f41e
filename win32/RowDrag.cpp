#include "win32/RowDrag.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>

namespace pelmora::win32ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x5244; // "RD"
constexpr UINT_PTR kRepeatTimer = 0x5244;
constexpr UINT kRepeatMs = 100;

HCURSOR Cursor(LPCWSTR shape) {
    return LoadCursorW(nullptr, shape);
}

} // namespace

ListRowDrag::ListRowDrag(HWND list, Prompts& dialogs, Over over, Drop drop, Pressed pressed)
    : list_(list), dialogs_(dialogs), over_(std::move(over)), drop_(std::move(drop)),
      pressed_(std::move(pressed)) {
    SetWindowSubclass(list_, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

ListRowDrag::~ListRowDrag() {
    EndDrag();
    if (IsWindow(list_)) {
        RemoveWindowSubclass(list_, Subclass, kSubclassId);
    }
}

LRESULT CALLBACK ListRowDrag::Subclass(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(list, Subclass, kSubclassId);
        return DefSubclassProc(list, message, wParam, lParam);
    }
    auto* drag = reinterpret_cast<ListRowDrag*>(self);
    return RunHandlerOr(drag->dialogs_, LRESULT{0},
                        [&] { return drag->Handle(message, wParam, lParam); });
}

POINT ListRowDrag::ToScreen(LPARAM lParam) const {
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(list_, &p);
    return p;
}

LRESULT ListRowDrag::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        EndDrag();
        armed_ = true;
        press_ = ToScreen(lParam);
        // The list selects the row first; it tells its owner only at the release.
        const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
        if (pressed_) {
            pressed_();
        }
        return result;
    }
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) == 0) {
            break;
        }
        if (armed_ && !dragging_) {
            const POINT p = ToScreen(lParam);
            // A held button drags rows; it never sweeps a selection.
            if (std::abs(p.x - press_.x) >= GetSystemMetrics(SM_CXDRAG) ||
                std::abs(p.y - press_.y) >= GetSystemMetrics(SM_CYDRAG)) {
                dragging_ = true;
                repeat_.Start(list_, kRepeatTimer, kRepeatMs);
            }
        }
        if (dragging_) {
            DragOver(ToScreen(lParam));
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            if (dragging_) {
                DragOver(last_);
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (dragging_) {
            const bool accepted = accepted_;
            EndDrag();
            // The list ends its own tracking and lets the mouse go.
            DefSubclassProc(list_, message, wParam, lParam);
            if (accepted && drop_) {
                drop_(ToScreen(lParam));
            }
            return 0;
        }
        armed_ = false;
        break;
    case WM_KEYDOWN:
        if (dragging_ && wParam == VK_ESCAPE) {
            EndDrag();
            ReleaseCapture();
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (dragging_) {
            SetCursor(Cursor(accepted_ ? IDC_ARROW : IDC_NO));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(list_, message, wParam, lParam);
}

void ListRowDrag::DragOver(POINT screen) {
    last_ = screen;
    accepted_ = over_ && over_(screen);
    SetCursor(Cursor(accepted_ ? IDC_ARROW : IDC_NO));
}

void ListRowDrag::EndDrag() {
    if (dragging_) {
        dragging_ = false;
        repeat_.Stop();
        SetCursor(Cursor(IDC_ARROW));
    }
    armed_ = false;
    accepted_ = false;
}

} // namespace pelmora::win32ui
