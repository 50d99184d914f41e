#pragma once
// Driving the module's modal dialogs from inside their own message loops.
//
// The dialogs (EditGradient, AdjustArea, the input box) return only when their dialog has
// closed, so a test hands the dialog a script first: steps that run one after
// another, each as soon as its condition holds, from a thread timer that
// every modal loop dispatches (the dialog's own, a pop-up menu's, a colour
// dialog's). A timer message comes only when nothing else is queued, so a
// step sees what the messages an earlier step posted or sent have done.
//
//   DialogScript script;
//   script.OnDialog(kGradDlgClass, [&](HWND dialog) { ...send clicks... });
//   script.When("the stop is added", [&] { return g.Count() == 3; }, [&] { ...close... });
//   const bool ok = ModalDialogs(nullptr, prompts).Dialogs.EditGradient(g);
//   EXPECT_TRUE(script.Finished());
//
// A step whose condition does not hold within kWaitLimitMs fails the script,
// naming the step, and so does a dialog still open that long after the last
// step; what is then open (menus, the platform's dialogs, the
// dialog under test) is closed, so the call under test returns and the test
// fails instead of hanging.
#include "UiWait.h"
#include "win32/Dialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace pelmora::uitest {

// The module's modal dialogs as the editor opens them, over `owner`.
struct ModalDialogs {
    ModalDialogs(HWND owner, Prompts& prompts)
        : Forms([owner] { return owner; }, prompts),
          Dialogs(Forms, [&prompts]() -> Prompts& { return prompts; }) {}
    Win32ModalForms Forms;
    FormEditorDialogs Dialogs;
};

class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Runs `act` once `ready` holds.
    DialogScript& When(std::string what, std::function<bool()> ready, std::function<void()> act);
    // Runs `act` on the dialog of that window class once it is shown and active.
    DialogScript& OnDialog(const std::wstring& className, std::function<void(HWND)> act);
    // Runs `act` on the pop-up menu once one is shown: its window and its items.
    DialogScript& OnMenu(std::string what, std::function<void(HWND, HMENU)> act);

    // Every step ran and none timed out.
    ::testing::AssertionResult Finished() const;

    void Tick(); // from the timer

private:
    struct Step {
        std::string What;
        std::function<bool()> Ready;
        std::function<void()> Act;
    };
    void Abandon();

    std::deque<Step> steps_;
    DWORD frontSince_ = 0;
    DWORD idleSince_ = 0; // the last step ran; the dialog should be closing
    std::vector<std::string> problems_;
    bool abandoned_ = false;
    UINT_PTR timer_ = 0;
};

// The documented window classes of the module's dialogs.
inline constexpr const wchar_t* kGradDlgClass = L"TGradDlg";
inline constexpr const wchar_t* kValueFormClass = L"TValueForm";

// The visible pop-up menu window of this thread, or null.
HWND ShownMenu();
// The visible, enabled top-level window of this thread with that class, or null.
HWND ShownWindow(const std::wstring& className);

// A control of a dialog found by its documented name; fails the test when absent.
HWND Named(HWND dialog, const char* name);

// A pixel of a window as it shows now (0x00BBGGRR).
std::uint32_t PixelOf(HWND window, int x, int y);

// A control's place in its parent's client area.
struct Rect {
    LONG Left, Top, Width, Height;
    bool operator==(const Rect&) const = default;
};
void PrintTo(const Rect& r, std::ostream* os);
Rect PlaceOf(HWND control);

// Mouse messages sent to a window, at a point of its client area.
void SendMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
void SendClick(HWND window, int x, int y);
// Clicks the increasing (right or up) or decreasing arrow of a named up-down.
void ClickArrow(HWND dialog, const char* name, bool increase);
// A key pressed where the focus is, through the dialog's own loop.
void PostKey(WPARAM key);
// Alt+letter, as the dialog manager receives it.
void PostAltKey(wchar_t letter);
// Gives a control the focus as the dialog manager does (the default button follows).
void FocusControl(HWND dialog, HWND control);

} // namespace pelmora::uitest
