#pragma once
// The Win32 UI tests' launcher: the test program exports the 25 host
// functions, keeps pad settings, owns a pad window that the plug-in's dialogs
// belong to, and loads the real trPELM.trx (found beside the test program)
// with LoadLibraryW, driving it through its seven entry points.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pelmora::uitest {

struct HostCall {
    std::string Function;
    std::vector<std::string> Args; // Shift-JIS as the plug-in passed them
    bool operator==(const HostCall&) const = default;
};

struct UiHostState {
    // Pad identifier = pad value + kPadIdOffset.
    static constexpr std::int32_t kPadIdOffset = 1000;
    std::map<std::int32_t, std::map<std::string, std::string>> Pads;
    std::vector<HostCall> Calls;
    HWND PadWindow = nullptr;

    std::vector<HostCall> CallsTo(const std::string& function) const;
    int MenuRequests() const { return static_cast<int>(CallsTo("TRAChangePluginMenus").size()); }
};

UiHostState& Host();

// Shift-JIS <-> UTF-8 for the texts the plug-in exchanges with the host.
std::string Sjis(const std::string& utf8);
std::string FromSjis(const std::string& sjis);
std::string SjisPath(const std::filesystem::path& path);

// A 128-byte menu record's caption.
struct MenuItem {
    std::string Caption; // UTF-8
};

// The real module, loaded for one test.
class LoadedModule {
public:
    // Loads trPELM.trx from beside the test program; throws when it cannot.
    LoadedModule();
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    HMODULE Handle() const { return module_; }

    std::int32_t SetInitFile(const std::filesystem::path& settings);
    std::int32_t Begin();
    std::int32_t End();
    // The menu as the host lists it now, up to the first missing item.
    std::vector<MenuItem> Menu();
    std::int32_t Click(std::int32_t number, std::int32_t pad);
    // Posts the click to the test's own message queue, so that it runs inside
    // the message loop (and inside any modal loop that is running then).
    void PostClick(std::int32_t number, std::int32_t pad);
    // The menu number of a caption, -1 when absent.
    int MenuNumber(const std::string& captionUtf8);

private:
    using TextProc = std::int32_t(WINAPI*)(char*, std::int32_t);
    using SetInitFileProc = std::int32_t(WINAPI*)(const char*);
    using NoArgProc = std::int32_t(WINAPI*)();
    using GetMenuProc = std::int32_t(WINAPI*)(std::int32_t, void*);
    using MenuClickProc = std::int32_t(WINAPI*)(std::int32_t, std::int32_t);

    HMODULE module_ = nullptr;
    SetInitFileProc setInitFile_ = nullptr;
    NoArgProc begin_ = nullptr;
    NoArgProc end_ = nullptr;
    GetMenuProc getMenu_ = nullptr;
    MenuClickProc menuClick_ = nullptr;
    HWND clickTarget_ = nullptr;
};

// The folder the test program and the module are in.
std::filesystem::path ProgramFolder();
// A new empty folder under the system's temporary folder; removed by the caller.
std::filesystem::path NewFolder(const std::string& prefix);

} // namespace pelmora::uitest
