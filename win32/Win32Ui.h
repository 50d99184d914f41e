#pragma once
// What every Win32 view of the project shares: texts at the wide-character
// API, the windows' font and DPI scaling, owners for hooks, timers and window
// classes, handlers that run in the arithmetic's floating-point environment
// and let no exception out, controls subclassed and found again by their
// documented names, and the core's 24-bit bitmaps shown on a device context.
#include "logic/Form.h"
#include "platform/bitmap.h"
#include "platform/prompts.h"
#include "platform/win32/gdi.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelmora::win32ui {

// --- Texts and the module ----------------------------------------------------
// The views speak UTF-8 (the logic's texts), the controls UTF-16: Widen and
// Narrow (platform/win32/wide.h), which throw CodecError for text that is not
// well formed. Windows classes belong to ModuleInstance().
using win32::GdiObject;
using win32::ModuleInstance;
using win32::Narrow;
using win32::ResolvedFaceName;
using win32::TextExtent;
using win32::Widen;
std::wstring WindowText(HWND window);
std::string WindowTextUtf8(HWND window);

// --- DPI ------------------------------------------------------------------------
inline constexpr int kBaseDpi = 96;

// The DPI a window is shown at: the window's own where the system knows it,
// the screen's otherwise. A process that is not DPI-aware always gets 96.
int WindowDpi(HWND window);

// Positions and sizes are given in pixels at 96 dpi and scaled to the window's
// DPI; the core's bitmaps keep their pixels and are scaled when shown.
class Scale {
public:
    explicit Scale(int dpi = kBaseDpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}
    int Dpi() const { return dpi_; }
    int operator()(int pixels96) const { return MulDiv(pixels96, dpi_, kBaseDpi); }
    // Device pixels back to 96-dpi pixels: the nearest, enough to hold them,
    // or the 96-dpi pixel they lie in (also below zero).
    int Unscale(int pixels) const { return MulDiv(pixels, kBaseDpi, dpi_); }
    int UnscaleUp(int pixels) const { return (pixels * kBaseDpi + dpi_ - 1) / dpi_; }
    int Floor(int pixels) const;
    bool IsIdentity() const { return dpi_ == kBaseDpi; }
    // Pictures grow by whole pixels only, so each of their pixels stays a
    // square block of the screen's: twice as large from 192 dpi on.
    Scale WholePixels() const { return Scale(kBaseDpi * std::max(1, dpi_ / kBaseDpi)); }

private:
    int dpi_;
};

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

// --- Bitmaps -------------------------------------------------------------------------------
// How a bitmap is shown: pixels of `Transparent` show `Behind` instead.
struct BitmapLook {
    std::optional<TColor> Transparent;
    TColor Behind = 0x00FFFFFF;
};

// Shows `bitmap` with its top-left corner at (x, y): pixel for pixel at 96
// dpi (SetDIBitsToDevice), each pixel a block of scale(1)-sized pixels above
// it (StretchDIBits, no smoothing). No GDI object is created.
void DrawBitmap24(HDC dc, int x, int y, const Bitmap24& bitmap, const Scale& scale,
                  const BitmapLook& look = {});

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
