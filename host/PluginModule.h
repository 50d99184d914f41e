#pragma once
// A plug-in module loaded with its seven entry points.
#include "plugin/EntryPoints.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace pelmora::host {

class PluginModule {
public:
    // Throws std::runtime_error when the file cannot be loaded or lacks an entry point.
    explicit PluginModule(const std::filesystem::path& file);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    TRXGetTextProc GetName = nullptr;
    TRXGetTextProc GetExplanation = nullptr;
    TRXSetInitFileProc SetInitFile = nullptr;
    TRXNoArgProc BeginPlugin = nullptr;
    TRXNoArgProc EndPlugin = nullptr;
    TRXGetMenuProc GetMenu = nullptr;
    TRXMenuClickProc MenuClick = nullptr;

private:
    // Binds the seven entry points of `file`; `find(name)` gives the address
    // of an export, or null when there is none.
    template <typename Find> void BindEntries(Find find, const std::string& file);

    void* handle_ = nullptr;
};

template <typename Find> void PluginModule::BindEntries(Find find, const std::string& file) {
    const auto bind = [&](auto& entry, const char* name) {
        void* symbol = find(name);
        if (symbol == nullptr) {
            throw std::runtime_error("the plug-in \"" + file + "\" has no entry point " + name);
        }
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(symbol);
    };
    bind(GetName, "TRXGetName");
    bind(GetExplanation, "TRXGetExplanation");
    bind(SetInitFile, "TRXSetInitFile");
    bind(BeginPlugin, "TRXBeginPlugin");
    bind(EndPlugin, "TRXEndPlugin");
    bind(GetMenu, "TRXGetMenu");
    bind(MenuClick, "TRXMenuClick");
}

} // namespace pelmora::host
