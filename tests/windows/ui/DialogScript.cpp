#include "DialogScript.h"

#include "win32/Win32Ui.h"

#include <commctrl.h>

#include <memory>
#include <utility>

namespace pelmora::uitest {
namespace {

constexpr UINT kTickMs = 15;

DialogScript* gScript = nullptr;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    if (gScript != nullptr) {
        gScript->Tick();
    }
}

struct ClassSearch {
    const wchar_t* Name;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<ClassSearch*>(search);
    if (IsWindowVisible(window) && ClassOf(window) == s->Name) {
        s->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND ThreadWindowOf(const wchar_t* className) {
    ClassSearch search{className};
    EnumThreadWindows(GetCurrentThreadId(), MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

DialogScript::DialogScript() {
    gScript = this;
    idleSince_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, kTickMs, ScriptTick);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, timer_);
    gScript = nullptr;
}

DialogScript& DialogScript::When(std::string what, std::function<bool()> ready,
                                 std::function<void()> act) {
    if (steps_.empty()) {
        frontSince_ = GetTickCount();
    }
    steps_.push_back({std::move(what), std::move(ready), std::move(act)});
    return *this;
}

DialogScript& DialogScript::OnDialog(const std::wstring& className, std::function<void(HWND)> act) {
    auto dialog = std::make_shared<HWND>(nullptr);
    return When(
        "the dialog " + win32ui::Narrow(className) + " shows",
        [dialog, className] {
            *dialog = ShownWindow(className);
            return *dialog != nullptr && GetActiveWindow() == *dialog;
        },
        [dialog, act = std::move(act)] { act(*dialog); });
}

DialogScript& DialogScript::OnMenu(std::string what, std::function<void(HWND, HMENU)> act) {
    return When(
        std::move(what), [] { return ShownMenu() != nullptr; },
        [act = std::move(act)] {
            const HWND menu = ShownMenu();
            act(menu, reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
        });
}

void DialogScript::Tick() {
    if (abandoned_) {
        Abandon();
        return;
    }
    if (steps_.empty()) {
        if (ShownMenu() == nullptr && ShownWindow(L"#32770") == nullptr &&
            ShownWindow(L"TGradDlg") == nullptr && ShownWindow(L"TValueForm") == nullptr) {
            idleSince_ = GetTickCount();
        } else if (GetTickCount() - idleSince_ >= kWaitLimitMs) {
            problems_.push_back("a dialog was still open " + std::to_string(kWaitLimitMs / 1000) +
                                " s after the last step");
            abandoned_ = true;
            Abandon();
        }
        return;
    }
    if (steps_.front().Ready()) {
        // Taken off first: the step may block in a modal loop of its own,
        // inside which the next steps run.
        Step step = std::move(steps_.front());
        steps_.pop_front();
        frontSince_ = GetTickCount();
        idleSince_ = GetTickCount();
        step.Act();
        return;
    }
    if (GetTickCount() - frontSince_ >= kWaitLimitMs) {
        problems_.push_back("did not happen within " + std::to_string(kWaitLimitMs / 1000) +
                            " s: " + steps_.front().What);
        steps_.clear();
        abandoned_ = true;
        Abandon();
    }
}

// Closes what the script left open, a layer at each tick.
void DialogScript::Abandon() {
    if (ShownMenu() != nullptr) {
        EndMenu();
        return;
    }
    for (const wchar_t* name : {L"#32770", L"TGradDlg", L"TValueForm"}) {
        if (const HWND window = ThreadWindowOf(name);
            window != nullptr && IsWindowEnabled(window)) {
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    }
}

::testing::AssertionResult DialogScript::Finished() const {
    if (problems_.empty() && steps_.empty()) {
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    for (const std::string& problem : problems_) {
        failure << problem << "\n";
    }
    for (const Step& step : steps_) {
        failure << "never reached: " << step.What << "\n";
    }
    return failure;
}

HWND ShownMenu() {
    return ThreadWindowOf(L"#32768");
}

HWND ShownWindow(const std::wstring& className) {
    const HWND window = ThreadWindowOf(className.c_str());
    return window != nullptr && IsWindowEnabled(window) ? window : nullptr;
}

HWND Named(HWND dialog, const char* name) {
    const HWND control = FindControl(dialog, name);
    EXPECT_NE(control, nullptr) << "no control named " << name;
    return control;
}

std::uint32_t PixelOf(HWND window, int x, int y) {
    UpdateWindow(window);
    const HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Width << ", " << r.Height << ")";
}

Rect PlaceOf(HWND control) {
    const RECT r = ChildRect(control);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void SendMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    SendMessageW(window, message, keys,
                 MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                            static_cast<WORD>(static_cast<short>(y))));
}

void SendClick(HWND window, int x, int y) {
    SendMouse(window, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    SendMouse(window, WM_LBUTTONUP, x, y);
}

void ClickArrow(HWND dialog, const char* name, bool increase) {
    const HWND arrows = Named(dialog, name);
    RECT r = {};
    GetClientRect(arrows, &r);
    const bool horizontal = (GetWindowLongPtrW(arrows, GWL_STYLE) & UDS_HORZ) != 0;
    const int x = horizontal ? (increase ? r.right * 3 / 4 : r.right / 4) : r.right / 2;
    const int y = horizontal ? r.bottom / 2 : (increase ? r.bottom / 4 : r.bottom * 3 / 4);
    SendClick(arrows, x, y);
}

void PostKey(WPARAM key) {
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void PostAltKey(wchar_t letter) {
    const HWND focus = GetFocus();
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageW(focus, WM_SYSCHAR, letter, kAltDown | 1);
}

void FocusControl(HWND dialog, HWND control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

} // namespace pelmora::uitest
