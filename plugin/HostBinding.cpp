#include "plugin/HostBinding.h"

#include <array>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace pelmora {

const char* const kHostFunctionNames[kHostFunctionCount] = {
    "TRAGetPadCount",       "TRAGetPadID",
    "TRAGetNextPadID",      "TRAGetPadWnd",
    "TRAGetPadTabWnd",      "TRAGetPadInit",
    "TRASetPadInit",        "TRAChangePluginButtons",
    "TRAChangePluginMenus", "TRARedrawPluginButtons",
    "TRAGetGroupCount",     "TRAGetGroup",
    "TRAInsertGroup",       "TRARenameGroup",
    "TRACopyGroup",         "TRADeleteGroup",
    "TRAGetButton",         "TRAInsertButton",
    "TRAChangeButton",      "TRADeleteButton",
    "TRACopyButton",        "TRAPasteButton",
    "TRAButtonInClipbord",  "TRARunButton",
    "TRAGetIcon",
};

namespace {

enum HostIndex {
    kGetPadID = 1,
    kGetPadWnd = 3,
    kGetPadInit = 5,
    kSetPadInit = 6,
    kChangePluginMenus = 8
};

} // namespace

template <typename Proc> Proc HostBinding::Function(int index) const {
    if (!complete_) {
        throw std::logic_error(std::string("Tavrin の関数 ") + kHostFunctionNames[index] +
                               " を呼び出せません。");
    }
    return reinterpret_cast<Proc>(functions_[static_cast<std::size_t>(index)]);
}

bool HostBinding::Bind(const HostSymbolLookup& lookup) {
    complete_ = true;
    for (int i = 0; i < kHostFunctionCount; ++i) {
        functions_[static_cast<std::size_t>(i)] = lookup ? lookup(kHostFunctionNames[i]) : nullptr;
        complete_ = complete_ && functions_[static_cast<std::size_t>(i)] != nullptr;
    }
    return complete_;
}

bool HostBinding::BindMainExecutable() {
#ifdef _WIN32
    const HMODULE main = GetModuleHandleA(nullptr);
    if (reinterpret_cast<std::uintptr_t>(main) < 32) {
        return Bind(nullptr);
    }
    return Bind(
        [main](const char* name) { return reinterpret_cast<void*>(GetProcAddress(main, name)); });
#else
    // The process's own handle; it stays open for the life of the process,
    // like the main executable it stands for.
    void* main = dlopen(nullptr, RTLD_NOW);
    if (main == nullptr) {
        return Bind(nullptr);
    }
    return Bind([main](const char* name) { return dlsym(main, name); });
#endif
}

std::int32_t HostBinding::TRAGetPadID(std::int32_t pad) const {
    return Function<TRAGetPadIDProc>(kGetPadID)(pad);
}

std::int32_t HostBinding::TRAGetPadInit(std::int32_t padId, const char* key, char* buffer,
                                        std::int32_t size) const {
    return Function<TRAGetPadInitProc>(kGetPadInit)(padId, key, buffer, size);
}

std::int32_t HostBinding::TRASetPadInit(std::int32_t padId, const char* key,
                                        const char* value) const {
    return Function<TRASetPadInitProc>(kSetPadInit)(padId, key, value);
}

std::int32_t HostBinding::TRAChangePluginMenus(const char* pluginName) const {
    return Function<TRAChangePluginMenusProc>(kChangePluginMenus)(pluginName);
}

std::intptr_t HostBinding::TRAGetPadWnd(std::int32_t padId) const {
    return Function<TRAGetPadWndProc>(kGetPadWnd)(padId);
}

} // namespace pelmora
