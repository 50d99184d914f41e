#pragma once
// What every Win32 view of the project shares: window texts, the windows'
// font, owners for hooks, timers and window classes, handlers that run in the
// arithmetic's floating-point environment and let no exception out, and
// controls subclassed and found again by their documented names. Drawing,
// DPI and texts at the wide-character API are the platform's (platform/win32).
#include "logic/Form.h"
#include "platform/prompts.h"
#include "platform/win32/gdi.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace pelmora::win32ui {

// --- Texts ---------------------------------------------------------------------
// The views speak UTF-8 (the logic's texts), the controls UTF-16: Widen and
// Narrow, which throw CodecError for text that is not well formed.
using namespace win32;
std::wstring WindowText(HWND window);
// What the system refused last (a hook, timer, window class or window), as a
// window that cannot be opened.
std::runtime_error CannotOpenWindow();
std::string WindowTextUtf8(HWND window);

// --- Owned objects ------------------------------------------------------------------
// A window hook of the calling thread, removed with this object.
class ThreadHook {
public:
    ThreadHook() = default;
    // Throws std::runtime_error when the system refuses the hook.
    ThreadHook(int kind, HOOKPROC procedure);
    ~ThreadHook() { Reset(); }
    ThreadHook(ThreadHook&& other) noexcept : hook_(std::exchange(other.hook_, nullptr)) {}
    ThreadHook& operator=(ThreadHook&& other) noexcept;
    ThreadHook(const ThreadHook&) = delete;
    ThreadHook& operator=(const ThreadHook&) = delete;

    void Reset();

private:
    HHOOK hook_ = nullptr;
};

// A timer of a window, killed with this object (or with the window).
class WindowTimer {
public:
    WindowTimer() = default;
    ~WindowTimer() { Stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void Start(HWND window, UINT_PTR id, UINT milliseconds);
    void Stop();

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

// A window class of the module, registered while one of these holds it: the
// module may be unloaded between two windows, and a class left behind would
// point into it. A dialog class has DefDlgProcW and the dialog's extra bytes.
class WindowClass {
public:
    WindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0);
    static WindowClass Dialog(const wchar_t* name);
    ~WindowClass();
    WindowClass(WindowClass&& other) noexcept : name_(std::exchange(other.name_, {})) {}
    WindowClass& operator=(WindowClass&&) = delete;
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;

private:
    WindowClass(const wchar_t* name, WNDPROC procedure, UINT style, int extra, HBRUSH background);
    std::wstring name_;
};

// --- Fonts --------------------------------------------------------------------------
// The windows' font (kFormFontFaces, the first the system has) at `pixels96`
// pixels high at 96 dpi, in the Shift-JIS character set, scaled to `dpi`.
GdiObject CreateDialogFont(int dpi, int pixels96 = kFormFontPixels);

// --- Handlers -----------------------------------------------------------------------
// Shows an error a handler ran into through `dialogs`, with the error's text;
// never throws.
void ShowHandlerError(Prompts& dialogs, const std::exception_ptr& error) noexcept;

// Runs one event handler as the entry points run: with the floating-point
// environment the colour arithmetic needs, and without letting an exception
// reach the system (it is shown through `dialogs`; RunHandlerOr then gives
// `onError`).
template <typename F> void RunHandler(Prompts& dialogs, F&& handler) noexcept;
template <typename R, typename F> R RunHandlerOr(Prompts& dialogs, R onError, F&& handler) noexcept;

// --- Controls ---------------------------------------------------------------------------
// Puts `handle` in front of a control's own procedure (SetWindowSubclass);
// nullopt passes a message on. Under RunHandler, its errors shown through
// `dialogs`; freed with the control.
using SubclassHandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
void Subclass(HWND control, Prompts& dialogs, SubclassHandler handle);

// The documented name a window carries (empty when none); the name is a
// string with static storage.
void SetControlName(HWND window, const char* name);
std::string ControlName(HWND window);

// --- Template definitions -------------------------------------------------------------------
} // namespace pelmora::win32ui

#include "platform/fpenv.h"

namespace pelmora::win32ui {

template <typename R, typename F>
R RunHandlerOr(Prompts& dialogs, R onError, F&& handler) noexcept {
    const FloatEnvironmentScope arithmetic;
    try {
        return handler();
    } catch (...) {
        ShowHandlerError(dialogs, std::current_exception());
        return onError;
    }
}

template <typename F> void RunHandler(Prompts& dialogs, F&& handler) noexcept {
    const FloatEnvironmentScope arithmetic;
    try {
        handler();
    } catch (...) {
        ShowHandlerError(dialogs, std::current_exception());
    }
}

} // namespace pelmora::win32ui
