#include "host/PluginModule.h"

#include <dlfcn.h>
#include <string>

namespace pelmora::host {

PluginModule::PluginModule(const std::filesystem::path& file) {
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load the plug-in \"" + file.string() +
                                 "\": " + (reason != nullptr ? reason : "unknown error"));
    }
    const std::string name = file.string();
    try {
        BindEntries([this](const char* entry) { return dlsym(handle_, entry); }, name);
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

PluginModule::~PluginModule() {
    dlclose(handle_);
}

} // namespace pelmora::host
