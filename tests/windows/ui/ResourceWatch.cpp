#include "ResourceWatch.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace pelmora::uitest {
namespace {

struct Tracked {
    std::set<HGDIOBJ> Gdi;
    std::multiset<HWND> DcWindows;
    std::set<HWND> Windows;
    std::set<HHOOK> Hooks;
    std::set<std::pair<HWND, UINT_PTR>> Timers;
    std::set<HACCEL> Accelerators;
    std::set<HMENU> Menus;
    std::set<std::wstring> Classes;
};

Tracked& State() {
    static Tracked tracked;
    return tracked;
}

std::wstring ClassKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        return L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name));
    }
    return name;
}

template <typename H> H KeepGdi(H object) {
    if (object != nullptr) {
        State().Gdi.insert(object);
    }
    return object;
}

// --- The wrappers: each calls the system and notes what changed ---------------------

HFONT WINAPI MyCreateFontIndirectW(const LOGFONTW* look) {
    return KeepGdi(CreateFontIndirectW(look));
}
HBRUSH WINAPI MyCreateSolidBrush(COLORREF color) {
    return KeepGdi(CreateSolidBrush(color));
}
HBRUSH WINAPI MyCreateBrushIndirect(const LOGBRUSH* look) {
    return KeepGdi(CreateBrushIndirect(look));
}
HPEN WINAPI MyCreatePen(int style, int width, COLORREF color) {
    return KeepGdi(CreatePen(style, width, color));
}
HBITMAP WINAPI MyCreateCompatibleBitmap(HDC dc, int width, int height) {
    return KeepGdi(CreateCompatibleBitmap(dc, width, height));
}
HBITMAP WINAPI MyCreateBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
    return KeepGdi(CreateBitmap(width, height, planes, bits, data));
}
HBITMAP WINAPI MyCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                  HANDLE section, DWORD offset) {
    return KeepGdi(CreateDIBSection(dc, info, usage, bits, section, offset));
}
HRGN WINAPI MyCreateRectRgn(int left, int top, int right, int bottom) {
    return KeepGdi(CreateRectRgn(left, top, right, bottom));
}
HDC WINAPI MyCreateCompatibleDC(HDC dc) {
    return KeepGdi(CreateCompatibleDC(dc));
}
BOOL WINAPI MyDeleteObject(HGDIOBJ object) {
    State().Gdi.erase(object);
    return DeleteObject(object);
}
BOOL WINAPI MyDeleteDC(HDC dc) {
    State().Gdi.erase(dc);
    return DeleteDC(dc);
}
HDC WINAPI MyGetDC(HWND window) {
    const HDC dc = GetDC(window);
    if (dc != nullptr) {
        State().DcWindows.insert(window);
    }
    return dc;
}
HDC WINAPI MyGetWindowDC(HWND window) {
    const HDC dc = GetWindowDC(window);
    if (dc != nullptr) {
        State().DcWindows.insert(window);
    }
    return dc;
}
int WINAPI MyReleaseDC(HWND window, HDC dc) {
    if (const auto found = State().DcWindows.find(window); found != State().DcWindows.end()) {
        State().DcWindows.erase(found);
    }
    return ReleaseDC(window, dc);
}
HWND WINAPI MyCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR caption, DWORD style, int x,
                              int y, int width, int height, HWND parent, HMENU menu,
                              HINSTANCE instance, LPVOID param) {
    const HWND window = CreateWindowExW(exStyle, className, caption, style, x, y, width, height,
                                        parent, menu, instance, param);
    if (window != nullptr) {
        State().Windows.insert(window);
    }
    return window;
}
HHOOK WINAPI MySetWindowsHookExW(int kind, HOOKPROC procedure, HINSTANCE module, DWORD thread) {
    const HHOOK hook = SetWindowsHookExW(kind, procedure, module, thread);
    if (hook != nullptr) {
        State().Hooks.insert(hook);
    }
    return hook;
}
BOOL WINAPI MyUnhookWindowsHookEx(HHOOK hook) {
    State().Hooks.erase(hook);
    return UnhookWindowsHookEx(hook);
}
UINT_PTR WINAPI MySetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC procedure) {
    const UINT_PTR timer = SetTimer(window, id, ms, procedure);
    if (timer != 0) {
        State().Timers.insert({window, window != nullptr ? id : timer});
    }
    return timer;
}
BOOL WINAPI MyKillTimer(HWND window, UINT_PTR id) {
    State().Timers.erase({window, id});
    return KillTimer(window, id);
}
HACCEL WINAPI MyCreateAcceleratorTableW(LPACCEL table, int count) {
    const HACCEL accelerators = CreateAcceleratorTableW(table, count);
    if (accelerators != nullptr) {
        State().Accelerators.insert(accelerators);
    }
    return accelerators;
}
BOOL WINAPI MyDestroyAcceleratorTable(HACCEL accelerators) {
    State().Accelerators.erase(accelerators);
    return DestroyAcceleratorTable(accelerators);
}
HMENU WINAPI MyCreateMenu() {
    const HMENU menu = CreateMenu();
    State().Menus.insert(menu);
    return menu;
}
HMENU WINAPI MyCreatePopupMenu() {
    const HMENU menu = CreatePopupMenu();
    State().Menus.insert(menu);
    return menu;
}
ATOM WINAPI MyRegisterClassExW(const WNDCLASSEXW* windowClass) {
    const ATOM atom = RegisterClassExW(windowClass);
    if (atom != 0) {
        State().Classes.insert(ClassKey(windowClass->lpszClassName));
    }
    return atom;
}
ATOM WINAPI MyRegisterClassW(const WNDCLASSW* windowClass) {
    const ATOM atom = RegisterClassW(windowClass);
    if (atom != 0) {
        State().Classes.insert(ClassKey(windowClass->lpszClassName));
    }
    return atom;
}
BOOL WINAPI MyUnregisterClassW(LPCWSTR name, HINSTANCE instance) {
    const BOOL done = UnregisterClassW(name, instance);
    if (done) {
        State().Classes.erase(ClassKey(name));
    }
    return done;
}

struct Redirect {
    const char* Name;
    void* Wrapper;
};

#define REDIRECT(name)                                                                             \
    { #name, reinterpret_cast < void*>(&My##name) }
const Redirect kRedirects[] = {
    REDIRECT(CreateFontIndirectW),
    REDIRECT(CreateSolidBrush),
    REDIRECT(CreateBrushIndirect),
    REDIRECT(CreatePen),
    REDIRECT(CreateCompatibleBitmap),
    REDIRECT(CreateBitmap),
    REDIRECT(CreateDIBSection),
    REDIRECT(CreateRectRgn),
    REDIRECT(CreateCompatibleDC),
    REDIRECT(DeleteObject),
    REDIRECT(DeleteDC),
    REDIRECT(GetDC),
    REDIRECT(GetWindowDC),
    REDIRECT(ReleaseDC),
    REDIRECT(CreateWindowExW),
    REDIRECT(SetWindowsHookExW),
    REDIRECT(UnhookWindowsHookEx),
    REDIRECT(SetTimer),
    REDIRECT(KillTimer),
    REDIRECT(CreateAcceleratorTableW),
    REDIRECT(DestroyAcceleratorTable),
    REDIRECT(CreateMenu),
    REDIRECT(CreatePopupMenu),
    REDIRECT(RegisterClassExW),
    REDIRECT(RegisterClassW),
    REDIRECT(UnregisterClassW),
};
#undef REDIRECT

// The module's import slots by imported name.
template <typename Visit> void ForEachImport(HMODULE module, Visit visit) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return;
    }
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (import->OriginalFirstThunk != 0
                                                                      ? import->OriginalFirstThunk
                                                                      : import->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            visit(reinterpret_cast<const char*>(byName->Name), slots);
        }
    }
}

void Write(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
    DWORD old = 0;
    VirtualProtect(&slot->u1.Function, sizeof value, PAGE_READWRITE, &old);
    slot->u1.Function = value;
    VirtualProtect(&slot->u1.Function, sizeof value, old, &old);
}

std::map<IMAGE_THUNK_DATA*, ULONG_PTR>& Originals() {
    static std::map<IMAGE_THUNK_DATA*, ULONG_PTR> originals;
    return originals;
}

} // namespace

std::string Describe(const LiveObjects& live) {
    return "GDI objects " + std::to_string(live.GdiObjects) + ", window DCs " +
           std::to_string(live.WindowDcs) + ", windows " + std::to_string(live.Windows) +
           ", hooks " + std::to_string(live.Hooks) + ", timers " + std::to_string(live.Timers) +
           ", accelerator tables " + std::to_string(live.Accelerators) + ", menus " +
           std::to_string(live.Menus) + ", window classes " + std::to_string(live.Classes);
}

ResourceWatch::ResourceWatch(HMODULE module) : module_(module) {
    State() = Tracked{};
    ForEachImport(module_, [this](const char* name, IMAGE_THUNK_DATA* slot) {
        for (const Redirect& redirect : kRedirects) {
            if (std::strcmp(redirect.Name, name) == 0) {
                Originals()[slot] = slot->u1.Function;
                Write(slot, reinterpret_cast<ULONG_PTR>(redirect.Wrapper));
                ++redirected_;
            }
        }
    });
}

ResourceWatch::~ResourceWatch() {
    for (const auto& [slot, original] : Originals()) {
        Write(slot, original);
    }
    Originals().clear();
}

LiveObjects ResourceWatch::Live() const {
    const Tracked& s = State();
    LiveObjects live;
    live.GdiObjects = static_cast<long>(s.Gdi.size());
    live.WindowDcs = static_cast<long>(s.DcWindows.size());
    live.Windows = static_cast<long>(std::count_if(s.Windows.begin(), s.Windows.end(),
                                                   [](HWND w) { return IsWindow(w) != FALSE; }));
    live.Hooks = static_cast<long>(s.Hooks.size());
    // A window's timers end with it.
    live.Timers = static_cast<long>(
        std::count_if(s.Timers.begin(), s.Timers.end(), [](const std::pair<HWND, UINT_PTR>& t) {
            return t.first == nullptr || IsWindow(t.first) != FALSE;
        }));
    live.Accelerators = static_cast<long>(s.Accelerators.size());
    live.Menus = static_cast<long>(
        std::count_if(s.Menus.begin(), s.Menus.end(), [](HMENU m) { return IsMenu(m) != FALSE; }));
    live.Classes = static_cast<long>(s.Classes.size());
    return live;
}

} // namespace pelmora::uitest
