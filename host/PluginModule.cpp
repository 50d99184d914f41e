#include "host/PluginModule.h"

#include <dlfcn.h>
#include <string>

namespace pelmora::host {
namespace {

template <typename Proc> Proc Entry(void* handle, const char* name, const std::string& file) {
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        throw std::runtime_error("the plug-in \"" + file + "\" has no entry point " + name);
    }
    return reinterpret_cast<Proc>(symbol);
}

} // namespace

PluginModule::PluginModule(const std::filesystem::path& file) {
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load the plug-in \"" + file.string() +
                                 "\": " + (reason != nullptr ? reason : "unknown error"));
    }
    const std::string name = file.string();
    try {
        GetName = Entry<TRXGetTextProc>(handle_, "TRXGetName", name);
        GetExplanation = Entry<TRXGetTextProc>(handle_, "TRXGetExplanation", name);
        SetInitFile = Entry<TRXSetInitFileProc>(handle_, "TRXSetInitFile", name);
        BeginPlugin = Entry<TRXNoArgProc>(handle_, "TRXBeginPlugin", name);
        EndPlugin = Entry<TRXNoArgProc>(handle_, "TRXEndPlugin", name);
        GetMenu = Entry<TRXGetMenuProc>(handle_, "TRXGetMenu", name);
        MenuClick = Entry<TRXMenuClickProc>(handle_, "TRXMenuClick", name);
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

PluginModule::~PluginModule() {
    dlclose(handle_);
}

} // namespace pelmora::host
