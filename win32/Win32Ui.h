#pragma once
// What every Win32 view of the project shares: texts at the wide-character
// API, the windows' font and DPI scaling, child controls placed in 96-dpi
// units and found again by their documented names, window procedures that run
// in the arithmetic's floating-point environment and let no exception out,
// paint boxes that show the core's 24-bit bitmaps, and a count of the GDI
// objects, hooks and timers the views hold (Wine's GetGuiResources counts
// nothing, so the views count their own).
#include "platform/bitmap.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace pelmora::win32ui {

// --- Texts ------------------------------------------------------------------
// The views speak UTF-8 (the logic's texts); the controls UTF-16. Both throw
// CodecError for text that is not well formed.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);
std::string WindowTextUtf8(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view utf8);

// --- The module ---------------------------------------------------------------
// The instance of the module these views are linked into (the DLL, not the
// launcher's executable): window classes are registered for it.
HINSTANCE ModuleInstance();

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
    // Device pixels back to 96-dpi pixels: the nearest, or enough to hold them.
    int Unscale(int pixels) const { return MulDiv(pixels, kBaseDpi, dpi_); }
    int UnscaleUp(int pixels) const { return (pixels * kBaseDpi + dpi_ - 1) / dpi_; }
    bool IsIdentity() const { return dpi_ == kBaseDpi; }

private:
    int dpi_;
};

// A rectangle in 96-dpi pixels, relative to the parent's client area.
struct Rect96 {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Rect96&) const = default;
};

// --- GDI objects ------------------------------------------------------------------
// Every GDI object the views create is held by one of these; the count of live
// ones lets tests prove that a closed window left nothing behind.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object); // takes ownership; null is allowed
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(HGDIOBJ object = nullptr);
    HGDIOBJ Get() const { return object_; }
    HFONT Font() const { return static_cast<HFONT>(object_); }
    HBRUSH Brush() const { return static_cast<HBRUSH>(object_); }
    HPEN Pen() const { return static_cast<HPEN>(object_); }
    explicit operator bool() const { return object_ != nullptr; }

private:
    HGDIOBJ object_ = nullptr;
};

// What the views hold now: GDI objects, window hooks and timers. USER
// windows are counted by the tests themselves (EnumThreadWindows).
struct ResourceCounts {
    long GdiObjects = 0;
    long Hooks = 0;
    long Timers = 0;
    bool operator==(const ResourceCounts&) const = default;
};
ResourceCounts LiveResources();

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
    HHOOK Get() const { return hook_; }

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
    bool Running() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

// --- Fonts --------------------------------------------------------------------------
// The windows' font: "ＭＳ Ｐゴシック" at `pixels96` pixels high (at 96 dpi) in
// the Shift-JIS character set, scaled to `dpi`. Where the system has no such
// face, a face of the "MS UI Gothic" family it has, else IPAPGothic (the
// Linux views' metric-compatible face, which Wine finds among the system's
// fonts), else whatever it resolves the name to.
GdiObject CreateDialogFont(int dpi, int pixels96 = 12);
// The face the system actually chose for a font.
std::wstring ResolvedFaceName(HFONT font);

// --- Handlers -----------------------------------------------------------------------
// Shows an error a handler ran into in the platform's error box, with the
// error's text; never throws.
void ShowHandlerError(const std::exception_ptr& error) noexcept;

// Runs one event handler as the entry points run: with the floating-point
// environment the colour arithmetic needs, and without letting an exception
// reach the system (it is shown; RunHandlerOr then gives `onError`).
template <typename F> void RunHandler(F&& handler) noexcept;
template <typename R, typename F> R RunHandlerOr(R onError, F&& handler) noexcept;

// --- Windows and controls ---------------------------------------------------------------
// A window whose messages go to an object: HandleMessage runs for every
// message after WM_NCCREATE, under RunHandler; an exception there is shown and
// the message falls to DefWindowProc.
class MessageWindow {
public:
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return window_; }

protected:
    MessageWindow() = default;
    // Registers `className` once for the module and creates the window.
    void CreateWindowOf(const wchar_t* className, DWORD exStyle, const std::wstring& caption,
                        DWORD style, const RECT& bounds, HWND parent, HMENU menuOrId);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window now, without telling this object any more: for a
    // derived class's destructor, while its members still exist.
    void DestroyWindowNow();
    // The window is gone (WM_NCDESTROY has run).
    virtual void Destroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Registers a window class of the module once; the module's classes are
// removed again by UnregisterWindowClasses (when the plug-in ends).
void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, UINT style = 0,
                         HBRUSH background = nullptr);
void UnregisterWindowClasses();

// What a child control is made of. `Name` is the control's documented name,
// which tests find it by; `Caption` is UTF-8.
struct ControlPlan {
    const wchar_t* Class = nullptr;
    const char* Name = "";
    const char* Caption = "";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int Id = 0;
    Rect96 Bounds;
};

// Creates a visible child control placed by `scale`, in `font`. Throws
// std::runtime_error when the system refuses.
HWND CreateControl(HWND parent, const ControlPlan& plan, const Scale& scale, HFONT font);
// Moves a child to a rectangle in 96-dpi units.
void PlaceControl(HWND control, const Rect96& bounds, const Scale& scale);
// A child's rectangle in its parent's client area, in device pixels.
RECT ChildRect(HWND control);

// The documented name a window carries (empty when none); the name is a
// string with static storage.
void SetControlName(HWND window, const char* name);
std::string ControlName(HWND window);
// The first window below `root` (any depth) with that name, or null.
HWND FindControl(HWND root, std::string_view name);

// --- Panels -----------------------------------------------------------------------------------
// Window class "TPanel": a container drawn in the button-face colour with an
// optional bevel along its edge. It hands its children's notifications
// (commands, scrolling, owner drawing, colours) to its own parent, so the
// top-level window gets them wherever its controls sit; keyboard navigation
// walks into it (WS_EX_CONTROLPARENT).
inline constexpr const wchar_t* kPanelClass = L"TPanel";
enum class Bevel { None, Raised, Lowered, Box };
HWND CreatePanel(HWND parent, const char* name, int id, const Rect96& bounds, const Scale& scale,
                 Bevel bevel);
// The width of a panel's bevel, in 96-dpi pixels.
int BevelWidth(Bevel bevel);

// --- Paint boxes and bitmaps ------------------------------------------------------------
// Window class "TPaintBox": a control that shows what its owner paints, with
// no background of its own (the painter fills it).
inline constexpr const wchar_t* kPaintBoxClass = L"TPaintBox";
using PaintHandler = std::function<void(HDC dc, const RECT& client)>;
// Creates a paint box that calls `paint` (under RunHandler) for WM_PAINT.
HWND CreatePaintBox(HWND parent, const char* name, int id, const Rect96& bounds, const Scale& scale,
                    PaintHandler paint);
// Asks a paint box to paint again.
void Repaint(HWND paintBox);

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

template <typename R, typename F> R RunHandlerOr(R onError, F&& handler) noexcept {
    const FloatEnvironmentScope arithmetic;
    try {
        return handler();
    } catch (...) {
        ShowHandlerError(std::current_exception());
        return onError;
    }
}

template <typename F> void RunHandler(F&& handler) noexcept {
    const FloatEnvironmentScope arithmetic;
    try {
        handler();
    } catch (...) {
        ShowHandlerError(std::current_exception());
    }
}

} // namespace pelmora::win32ui
