// Loading a plug-in module on Windows: LoadLibraryW and its exports by name.
#include "host/PluginModule.h"

#include "platform/fileio.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <string>

namespace pelmora::host {

PluginModule::PluginModule(const std::filesystem::path& file) {
    const std::string name = PathText(file);
    handle_ = LoadLibraryW(file.c_str());
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load the plug-in \"" + name +
                                 "\": " + win32::ErrorText(GetLastError()));
    }
    try {
        BindEntries(
            [this](const char* entry) {
                return reinterpret_cast<void*>(
                    GetProcAddress(static_cast<HMODULE>(handle_), entry));
            },
            name);
    } catch (...) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        throw;
    }
}

PluginModule::~PluginModule() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

} // namespace pelmora::host
