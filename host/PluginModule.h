#pragma once
// A plug-in module loaded with its seven entry points.
#include "plugin/trPELM.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

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
    void* handle_ = nullptr;
};

} // namespace pelmora::host
