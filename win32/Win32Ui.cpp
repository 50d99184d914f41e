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

} // namespace

// The system's reason is in its text, in the user's language.
std::runtime_error CannotOpenWindow() {
    return std::runtime_error(CannotOpenWindowText(win32::ErrorText(GetLastError())));
}

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

// --- Hooks, timers -------------------------------------------------------------

ThreadHook::ThreadHook(int kind, HOOKPROC procedure)
    : hook_(SetWindowsHookExW(kind, procedure, nullptr, GetCurrentThreadId())) {
    if (hook_ == nullptr) {
        throw CannotOpenWindow();
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
        throw CannotOpenWindow();
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

GdiObject CreateDialogFont(int dpi, int pixels96) {
    return win32::CreateFontOf(kFormFontFaces, Scale(dpi)(pixels96), SHIFTJIS_CHARSET);
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
        throw CannotOpenWindow();
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

} // namespace pelmora::win32ui
