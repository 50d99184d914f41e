#include "UiHost.h"

#include "plugin/HostBinding.h"
#include "plugin/HostFunctions.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

namespace pelmora::uitest {
namespace {

constexpr UINT kClickMessage = WM_APP + 0x51;

std::string Convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) {
        return {};
    }
    const int wideLength =
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}

template <typename Proc> Proc Entry(HMODULE module, const char* name) {
    const FARPROC symbol = GetProcAddress(module, name);
    if (symbol == nullptr) {
        throw std::runtime_error(std::string("trPELM.trx has no entry point ") + name);
    }
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(symbol));
}

// The launcher's pad: a plain top-level window the plug-in's dialogs belong
// to, which also carries posted menu clicks into the message loop.
struct PostedClick {
    LoadedModule* Module;
    std::int32_t Number;
    std::int32_t Pad;
};

LRESULT CALLBACK PadProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kClickMessage) {
        const auto* click = reinterpret_cast<PostedClick*>(lParam);
        click->Module->Click(click->Number, click->Pad);
        delete click;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND PadWindow() {
    static const HWND window = [] {
        WNDCLASSW padClass = {};
        padClass.lpfnWndProc = PadProcedure;
        padClass.hInstance = GetModuleHandleW(nullptr);
        padClass.lpszClassName = L"TavrinTestPad";
        RegisterClassW(&padClass);
        return CreateWindowExW(0, L"TavrinTestPad", L"Tavrin pad", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                               120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

} // namespace

UiHostState& Host() {
    static UiHostState host;
    return host;
}

std::vector<HostCall> UiHostState::CallsTo(const std::string& function) const {
    std::vector<HostCall> found;
    std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(found),
                 [&](const HostCall& c) { return c.Function == function; });
    return found;
}

std::string Sjis(const std::string& utf8) {
    return Convert(utf8, CP_UTF8, 932);
}

std::string FromSjis(const std::string& sjis) {
    return Convert(sjis, 932, CP_UTF8);
}

std::string SjisPath(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    const int length = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

std::filesystem::path ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path NewFolder(const std::string& prefix) {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::runtime_error("no temporary folder could be created");
}

LoadedModule::LoadedModule() {
    Host().PadWindow = PadWindow();
    const std::filesystem::path file = ProgramFolder() / L"trPELM.trx";
    module_ = LoadLibraryW(file.c_str());
    if (module_ == nullptr) {
        throw std::runtime_error("trPELM.trx cannot be loaded from " + file.string());
    }
    setInitFile_ = Entry<SetInitFileProc>(module_, "TRXSetInitFile");
    begin_ = Entry<NoArgProc>(module_, "TRXBeginPlugin");
    end_ = Entry<NoArgProc>(module_, "TRXEndPlugin");
    getMenu_ = Entry<GetMenuProc>(module_, "TRXGetMenu");
    menuClick_ = Entry<MenuClickProc>(module_, "TRXMenuClick");
}

LoadedModule::~LoadedModule() {
    FreeLibrary(module_);
}

std::int32_t LoadedModule::SetInitFile(const std::filesystem::path& settings) {
    // The launcher hands over Shift-JIS paths.
    return setInitFile_(SjisPath(settings).c_str());
}

std::int32_t LoadedModule::Begin() {
    return begin_();
}

std::int32_t LoadedModule::End() {
    return end_();
}

std::vector<MenuItem> LoadedModule::Menu() {
    std::vector<MenuItem> items;
    for (std::int32_t number = 0;; ++number) {
        char record[128] = {};
        if (getMenu_(number, record) == 0) {
            return items;
        }
        items.push_back({FromSjis(std::string(record, strnlen(record, 64)))});
    }
}

int LoadedModule::MenuNumber(const std::string& captionUtf8) {
    const std::vector<MenuItem> items = Menu();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Caption == captionUtf8) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::int32_t LoadedModule::Click(std::int32_t number, std::int32_t pad) {
    return menuClick_(number, pad);
}

void LoadedModule::PostClick(std::int32_t number, std::int32_t pad) {
    PostMessageW(PadWindow(), kClickMessage, 0,
                 reinterpret_cast<LPARAM>(new PostedClick{this, number, pad}));
}

} // namespace pelmora::uitest

// --- The host functions the plug-in binds ------------------------------------------

using pelmora::uitest::Host;

PELMORA_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadID(std::int32_t pad) {
    Host().Calls.push_back({"TRAGetPadID", {std::to_string(pad)}});
    return pad + pelmora::uitest::UiHostState::kPadIdOffset;
}

PELMORA_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadInit(std::int32_t padId, const char* key,
                                                              char* buffer, std::int32_t size) {
    Host().Calls.push_back({"TRAGetPadInit", {std::to_string(padId), key}});
    const auto pad = Host().Pads.find(padId);
    const bool found = pad != Host().Pads.end() && pad->second.count(key) != 0;
    const std::string text = found ? pad->second.at(key) : std::string();
    const std::size_t length =
        std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return found ? 1 : 0;
}

PELMORA_HOST_EXPORT std::int32_t PELMORA_WINAPI TRASetPadInit(std::int32_t padId, const char* key,
                                                              const char* value) {
    Host().Calls.push_back({"TRASetPadInit", {std::to_string(padId), key, value}});
    Host().Pads[padId][key] = value;
    return 1;
}

PELMORA_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAChangePluginMenus(const char* name) {
    Host().Calls.push_back({"TRAChangePluginMenus", {name}});
    return -1;
}

PELMORA_HOST_EXPORT std::intptr_t PELMORA_WINAPI TRAGetPadWnd(std::int32_t) {
    return reinterpret_cast<std::intptr_t>(Host().PadWindow);
}

#define UNUSED_HOST_FUNCTION(name)                                                                 \
    PELMORA_HOST_EXPORT std::int32_t PELMORA_WINAPI name() {                                       \
        Host().Calls.push_back({#name, {}});                                                       \
        return 0;                                                                                  \
    }
PELMORA_UNCALLED_HOST_FUNCTIONS(UNUSED_HOST_FUNCTION)
