// Loading a plug-in module on Windows: LoadLibraryW and its exports by name.
#include "host/PluginModule.h"

#include "platform/fileio.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <string>

namespace pelmora::host {
namespace {

template <typename Proc> Proc Entry(void* handle, const char* name, const std::string& file) {
    const FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle), name);
    if (symbol == nullptr) {
        throw std::runtime_error("the plug-in \"" + file + "\" has no entry point " + name);
    }
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(symbol));
}

} // namespace

PluginModule::PluginModule(const std::filesystem::path& file) {
    const std::string name = PathText(file);
    handle_ = LoadLibraryW(file.c_str());
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load the plug-in \"" + name +
                                 "\": " + win32::ErrorText(GetLastError()));
    }
    try {
        GetName = Entry<TRXGetTextProc>(handle_, "TRXGetName", name);
        GetExplanation = Entry<TRXGetTextProc>(handle_, "TRXGetExplanation", name);
        SetInitFile = Entry<TRXSetInitFileProc>(handle_, "TRXSetInitFile", name);
        BeginPlugin = Entry<TRXNoArgProc>(handle_, "TRXBeginPlugin", name);
        EndPlugin = Entry<TRXNoArgProc>(handle_, "TRXEndPlugin", name);
        GetMenu = Entry<TRXGetMenuProc>(handle_, "TRXGetMenu", name);
        MenuClick = Entry<TRXMenuClickProc>(handle_, "TRXMenuClick", name);
    } catch (...) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        throw;
    }
}

PluginModule::~PluginModule() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

} // namespace pelmora::host
