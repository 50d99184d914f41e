#include "win32/Win32Ui.h"

#include "logic/FormWindow.h"
#include "platform/win32/wide.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace pelmora::win32ui {
namespace {

constexpr const wchar_t* kNameProperty = L"Pelmora.Name";
// Registered classes of the module and how many holders each has.
std::vector<std::pair<std::wstring, int>>& ClassUsers() {
    static std::vector<std::pair<std::wstring, int>> users;
    return users;
}

// A hook, timer or window class the system refused: the window cannot be
// had, for the system's reason (its text, in the user's language).
std::runtime_error SystemError() {
    return std::runtime_error(CannotOpenWindowText(win32::ErrorText(GetLastError())));
}

} // namespace

// --- Texts --------------------------------------------------------------------------------

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string WindowTextUtf8(HWND window) {
    return Narrow(WindowText(window));
}

// --- DPI ------------------------------------------------------------------------------------

int WindowDpi(HWND window) {
    // Windows 10's own answer per window; older systems have one DPI.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

// --- GDI objects, hooks, timers -------------------------------------------------------------

ThreadHook::ThreadHook(int kind, HOOKPROC procedure)
    : hook_(SetWindowsHookExW(kind, procedure, nullptr, GetCurrentThreadId())) {
    if (hook_ == nullptr) {
        throw SystemError();
    }
}

ThreadHook& ThreadHook::operator=(ThreadHook&& other) noexcept {
    if (this != &other) {
        Reset();
        hook_ = std::exchange(other.hook_, nullptr);
    }
    return *this;
}

void ThreadHook::Reset() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
}

void WindowTimer::Start(HWND window, UINT_PTR id, UINT milliseconds) {
    Stop();
    if (SetTimer(window, id, milliseconds, nullptr) == 0) {
        throw SystemError();
    }
    window_ = window;
    id_ = id;
}

void WindowTimer::Stop() {
    if (window_ != nullptr) {
        // The window may be gone already, and its timers with it.
        if (IsWindow(window_)) {
            KillTimer(window_, id_);
        }
        window_ = nullptr;
    }
}

// --- Fonts ------------------------------------------------------------------------------------

int Scale::Floor(int pixels) const {
    const long long scaled = static_cast<long long>(pixels) * kBaseDpi;
    const long long dpi = dpi_;
    return static_cast<int>(scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi));
}

GdiObject CreateDialogFont(int dpi, int pixels96) {
    return win32::CreateFontOf(kFormFontFaces, MulDiv(pixels96, dpi, kBaseDpi), SHIFTJIS_CHARSET);
}

// --- Handlers ----------------------------------------------------------------------------------

void ShowHandlerError(Prompts& dialogs, const std::exception_ptr& error) noexcept {
    try {
        std::string text = kUnexpectedErrorText;
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {
        }
        dialogs.Message(text, MsgKind::Error, MsgButtons::Ok);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

// --- Window classes -----------------------------------------------------------------------------

WindowClass::WindowClass(const wchar_t* name, WNDPROC procedure, UINT style)
    : WindowClass(name, procedure, style, 0, nullptr) {}

WindowClass WindowClass::Dialog(const wchar_t* name) {
    return WindowClass(name, DefDlgProcW, 0, DLGWINDOWEXTRA,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

WindowClass::WindowClass(const wchar_t* name, WNDPROC procedure, UINT style, int extra,
                         HBRUSH background)
    : name_(name) {
    auto& users = ClassUsers();
    const auto found = std::find_if(users.begin(), users.end(),
                                    [&](const auto& user) { return user.first == name_; });
    if (found != users.end()) {
        ++found->second;
        return;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.cbWndExtra = extra;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) == 0) {
        name_.clear();
        throw SystemError();
    }
    users.emplace_back(name_, 1);
}

WindowClass::~WindowClass() {
    if (name_.empty()) {
        return;
    }
    auto& users = ClassUsers();
    const auto found = std::find_if(users.begin(), users.end(),
                                    [&](const auto& user) { return user.first == name_; });
    if (found != users.end() && --found->second == 0) {
        UnregisterClassW(name_.c_str(), ModuleInstance());
        users.erase(found);
    }
}

// --- Controls
// -------------------------------------------------------------------------------------

namespace {

// Each handler is its own subclass, known by its address: a control may have
// several, and the same procedure twice would otherwise replace the first.
struct SubclassData {
    Prompts& Dialogs;
    SubclassHandler Handle;
};

LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data) {
    auto* subclass = reinterpret_cast<SubclassData*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProcedure, id);
        delete subclass;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    // After an error, as without a handler: the control's own procedure.
    const std::optional<LRESULT> answer =
        RunHandlerOr(subclass->Dialogs, std::optional<LRESULT>(),
                     [&] { return subclass->Handle(window, message, wParam, lParam); });
    return answer ? *answer : DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void Subclass(HWND control, Prompts& dialogs, SubclassHandler handle) {
    auto owned = std::make_unique<SubclassData>(SubclassData{dialogs, std::move(handle)});
    const auto id = reinterpret_cast<UINT_PTR>(owned.get());
    if (SetWindowSubclass(control, SubclassProcedure, id,
                          reinterpret_cast<DWORD_PTR>(owned.get()))) {
        owned.release(); // the control's now: freed at WM_NCDESTROY
    }
}

void SetControlName(HWND window, const char* name) {
    SetPropW(window, kNameProperty, const_cast<char*>(name));
}

std::string ControlName(HWND window) {
    const auto* name = static_cast<const char*>(GetPropW(window, kNameProperty));
    return name != nullptr ? name : "";
}

void DrawBitmap24(HDC dc, int x, int y, const Bitmap24& bitmap, const Scale& scale,
                  const BitmapLook& look) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    // 32-bit rows need no padding; pixels are B, G, R, unused as in the core.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    std::uint32_t* out = pixels.data();
    const auto toDib = [](TColor rgb) {
        return (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
    };
    const std::uint32_t behind = toDib(look.Behind);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = bitmap.Row(row);
        for (int column = 0; column < width; ++column, in += 3) {
            const std::uint32_t dib =
                std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16;
            *out++ = look.Transparent && dib == toDib(*look.Transparent) ? behind : dib;
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, as the core keeps its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (scale.IsIdentity()) {
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    } else {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, x, y, scale(width), scale(height), 0, 0, width, height, pixels.data(),
                      &info, DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
}

} // namespace pelmora::win32ui
