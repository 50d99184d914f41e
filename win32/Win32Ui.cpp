#include "win32/Win32Ui.h"

#include "platform/prompts.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace pelmora::win32ui {
namespace {

constexpr const char* kUnexpectedError = "予期しないエラーが発生しました。";
constexpr const wchar_t* kNameProperty = L"Pelmora.Name";
// The face the windows were laid out for, the family it belongs to, and the
// metric-compatible face the Linux views use, which Wine finds among the
// system's fonts where Windows' own faces are missing.
constexpr const wchar_t* kDialogFaces[] = {L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic",
                                           L"IPAPGothic"};

// What the views hold now; single-threaded like the windows themselves.
ResourceCounts& Live() {
    static ResourceCounts counts;
    return counts;
}

std::vector<std::wstring>& RegisteredClasses() {
    static std::vector<std::wstring> classes;
    return classes;
}

std::runtime_error SystemError(const char* what) {
    return std::runtime_error(std::string(what) + ": " + win32::ErrorText(GetLastError()));
}

} // namespace

// --- Texts ------------------------------------------------------------------------------

std::wstring Wide(std::string_view utf8) {
    return win32::Widen(utf8);
}

std::string Utf8(std::wstring_view utf16) {
    return win32::Narrow(utf16);
}

std::string WindowTextUtf8(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
}

void SetWindowTextUtf8(HWND window, std::string_view utf8) {
    SetWindowTextW(window, Wide(utf8).c_str());
}

// --- The module -----------------------------------------------------------------------------

HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
        return module;
    }();
    return instance;
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

GdiObject::GdiObject(HGDIOBJ object) : object_(object) {
    if (object_ != nullptr) {
        ++Live().GdiObjects;
    }
}

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept {
    if (this != &other) {
        Reset();
        object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
}

void GdiObject::Reset(HGDIOBJ object) {
    if (object_ != nullptr) {
        DeleteObject(object_);
        --Live().GdiObjects;
    }
    object_ = object;
    if (object_ != nullptr) {
        ++Live().GdiObjects;
    }
}

ResourceCounts LiveResources() {
    return Live();
}

ThreadHook::ThreadHook(int kind, HOOKPROC procedure)
    : hook_(SetWindowsHookExW(kind, procedure, nullptr, GetCurrentThreadId())) {
    if (hook_ == nullptr) {
        throw SystemError("a window hook was refused");
    }
    ++Live().Hooks;
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
        --Live().Hooks;
    }
}

void WindowTimer::Start(HWND window, UINT_PTR id, UINT milliseconds) {
    Stop();
    if (SetTimer(window, id, milliseconds, nullptr) == 0) {
        throw SystemError("a timer was refused");
    }
    window_ = window;
    id_ = id;
    ++Live().Timers;
}

void WindowTimer::Stop() {
    if (window_ != nullptr) {
        // The window may be gone already, and its timers with it.
        if (IsWindow(window_)) {
            KillTimer(window_, id_);
        }
        window_ = nullptr;
        --Live().Timers;
    }
}

// --- Fonts ------------------------------------------------------------------------------------

std::wstring ResolvedFaceName(HFONT font) {
    const HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return {};
    }
    const HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteDC(dc);
    return face;
}

GdiObject CreateDialogFont(int dpi, int pixels96) {
    LOGFONTW look = {};
    look.lfHeight = -MulDiv(pixels96, dpi, kBaseDpi);
    look.lfWeight = FW_NORMAL;
    look.lfCharSet = SHIFTJIS_CHARSET;
    look.lfQuality = DEFAULT_QUALITY;
    look.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    GdiObject first;
    for (const wchar_t* face : kDialogFaces) {
        lstrcpynW(look.lfFaceName, face, LF_FACESIZE);
        GdiObject font(CreateFontIndirectW(&look));
        if (!font) {
            continue;
        }
        const std::wstring resolved = ResolvedFaceName(font.Font());
        const bool family = std::any_of(std::begin(kDialogFaces), std::end(kDialogFaces),
                                        [&](const wchar_t* f) { return resolved == f; });
        if (family) {
            return font;
        }
        if (!first) {
            first = std::move(font);
        }
    }
    if (!first) {
        throw SystemError("the windows' font cannot be made");
    }
    return first;
}

// --- Handlers ----------------------------------------------------------------------------------

void ShowHandlerError(const std::exception_ptr& error) noexcept {
    try {
        std::string text = kUnexpectedError;
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {
        }
        CurrentPrompts().Message(text, MsgKind::Error, MsgButtons::Ok);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

// --- Windows and controls -----------------------------------------------------------------------

MessageWindow::~MessageWindow() {
    DestroyWindowNow();
}

void MessageWindow::DestroyWindowNow() {
    if (window_ != nullptr) {
        // The object is going: what the window still receives is not its.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(window_, nullptr));
    }
}

void MessageWindow::CreateWindowOf(const wchar_t* className, DWORD exStyle,
                                   const std::wstring& caption, DWORD style, const RECT& bounds,
                                   HWND parent, HMENU menuOrId) {
    RegisterWindowClass(className, Procedure);
    CreateWindowExW(exStyle, className, caption.c_str(), style, bounds.left, bounds.top,
                    bounds.right - bounds.left, bounds.bottom - bounds.top, parent, menuOrId,
                    ModuleInstance(), this);
    if (window_ == nullptr) {
        throw SystemError("a window cannot be made");
    }
}

LRESULT MessageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT MessageWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MessageWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = RunHandlerOr(DefWindowProcW(window, WM_NULL, 0, 0), [&] {
        return self->HandleMessage(message, wParam, lParam);
    });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        RunHandler([&] { self->Destroyed(); });
    }
    return result;
}

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, UINT style,
                         HBRUSH background) {
    std::vector<std::wstring>& classes = RegisteredClasses();
    if (std::find(classes.begin(), classes.end(), className) != classes.end()) {
        return;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        throw SystemError("a window class cannot be registered");
    }
    classes.emplace_back(className);
}

void UnregisterWindowClasses() {
    for (const std::wstring& name : RegisteredClasses()) {
        UnregisterClassW(name.c_str(), ModuleInstance());
    }
    RegisteredClasses().clear();
}

HWND CreateControl(HWND parent, const ControlPlan& plan, const Scale& scale, HFONT font) {
    const HWND control = CreateWindowExW(
        plan.ExStyle, plan.Class, Wide(plan.Caption).c_str(), plan.Style | WS_CHILD | WS_VISIBLE,
        scale(plan.Bounds.Left), scale(plan.Bounds.Top), scale(plan.Bounds.Width),
        scale(plan.Bounds.Height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(plan.Id)),
        ModuleInstance(), nullptr);
    if (control == nullptr) {
        throw SystemError("a control cannot be made");
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetControlName(control, plan.Name);
    return control;
}

void PlaceControl(HWND control, const Rect96& bounds, const Scale& scale) {
    SetWindowPos(control, nullptr, scale(bounds.Left), scale(bounds.Top), scale(bounds.Width),
                 scale(bounds.Height), SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ChildRect(HWND control) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void SetControlName(HWND window, const char* name) {
    SetPropW(window, kNameProperty, const_cast<char*>(name));
}

std::string ControlName(HWND window) {
    const auto* name = static_cast<const char*>(GetPropW(window, kNameProperty));
    return name != nullptr ? name : "";
}

namespace {

struct NameSearch {
    std::string_view name;
    HWND found = nullptr;
};

BOOL CALLBACK MatchName(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<NameSearch*>(search);
    if (ControlName(window) == s->name) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindControl(HWND root, std::string_view name) {
    NameSearch search{name};
    EnumChildWindows(root, MatchName, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// --- Panels
// ---------------------------------------------------------------------------------------

namespace {

bool IsChildNotification(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsChildNotification(message)) {
        if (const HWND parent = GetParent(window)) {
            return SendMessageW(parent, message, wParam, lParam);
        }
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        RECT client = {};
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        switch (static_cast<Bevel>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        case Bevel::Raised:
            DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
            break;
        case Bevel::Lowered:
            DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
            break;
        case Bevel::Box:
            DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
            break;
        case Bevel::None:
            break;
        }
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int BevelWidth(Bevel bevel) {
    return bevel == Bevel::None ? 0 : bevel == Bevel::Box ? 2 : 1;
}

HWND CreatePanel(HWND parent, const char* name, int id, const Rect96& bounds, const Scale& scale,
                 Bevel bevel) {
    RegisterWindowClass(kPanelClass, PanelProcedure, CS_HREDRAW | CS_VREDRAW);
    const HWND panel = CreateWindowExW(
        WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
        scale(bounds.Left), scale(bounds.Top), scale(bounds.Width), scale(bounds.Height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    if (panel == nullptr) {
        throw SystemError("a panel cannot be made");
    }
    SetWindowLongPtrW(panel, GWLP_USERDATA, static_cast<LONG_PTR>(bevel));
    SetControlName(panel, name);
    return panel;
}

// --- Paint boxes and bitmaps --------------------------------------------------------------------

namespace {

LRESULT CALLBACK PaintBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* paint = reinterpret_cast<PaintHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        RECT client = {};
        GetClientRect(window, &client);
        if (paint != nullptr && *paint) {
            RunHandler([&] { (*paint)(dc, client); });
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete paint; // owned by the window since CreatePaintBox
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HWND CreatePaintBox(HWND parent, const char* name, int id, const Rect96& bounds, const Scale& scale,
                    PaintHandler paint) {
    RegisterWindowClass(kPaintBoxClass, PaintBoxProcedure);
    auto handler = std::make_unique<PaintHandler>(std::move(paint));
    const HWND box = CreateWindowExW(
        0, kPaintBoxClass, L"", WS_CHILD | WS_VISIBLE, scale(bounds.Left), scale(bounds.Top),
        scale(bounds.Width), scale(bounds.Height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), handler.get());
    if (box == nullptr) {
        throw SystemError("a paint box cannot be made");
    }
    handler.release(); // the window's now: freed at WM_NCDESTROY
    SetControlName(box, name);
    return box;
}

void Repaint(HWND paintBox) {
    InvalidateRect(paintBox, nullptr, FALSE);
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
