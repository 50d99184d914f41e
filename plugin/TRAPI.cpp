#include "plugin/TRAPI.h"

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

struct HostBinding {
    std::array<void*, kHostFunctionCount> functions{};
    bool complete = false;
};

HostBinding& Binding() {
    static HostBinding binding;
    return binding;
}

template <typename Proc> Proc Function(HostIndex index) {
    const HostBinding& binding = Binding();
    if (!binding.complete) {
        throw std::logic_error(std::string("Tavrin の関数 ") + kHostFunctionNames[index] +
                               " を呼び出せません。");
    }
    return reinterpret_cast<Proc>(binding.functions[index]);
}

// The launcher binds us before any entry point is called: do it while loading.
const bool kBoundAtLoad = BindHostApiFromMainExecutable();

} // namespace

bool HostApiComplete() {
    return Binding().complete;
}

bool BindHostApi(const HostSymbolLookup& lookup) {
    HostBinding binding;
    binding.complete = true;
    for (int i = 0; i < kHostFunctionCount; ++i) {
        binding.functions[i] = lookup ? lookup(kHostFunctionNames[i]) : nullptr;
        binding.complete = binding.complete && binding.functions[i] != nullptr;
    }
    Binding() = binding;
    return binding.complete;
}

bool BindHostApiFromMainExecutable() {
#ifdef _WIN32
    const HMODULE main = GetModuleHandleA(nullptr);
    if (reinterpret_cast<std::uintptr_t>(main) < 32) {
        return BindHostApi(nullptr);
    }
    return BindHostApi(
        [main](const char* name) { return reinterpret_cast<void*>(GetProcAddress(main, name)); });
#else
    // The process's own handle; it stays open for the life of the process,
    // like the main executable it stands for.
    void* main = dlopen(nullptr, RTLD_NOW);
    if (main == nullptr) {
        return BindHostApi(nullptr);
    }
    return BindHostApi([main](const char* name) { return dlsym(main, name); });
#endif
}

std::int32_t TRAGetPadID(std::int32_t pad) {
    return Function<TRAGetPadIDProc>(kGetPadID)(pad);
}

std::int32_t TRAGetPadInit(std::int32_t padId, const char* key, char* buffer, std::int32_t size) {
    return Function<TRAGetPadInitProc>(kGetPadInit)(padId, key, buffer, size);
}

std::int32_t TRASetPadInit(std::int32_t padId, const char* key, const char* value) {
    return Function<TRASetPadInitProc>(kSetPadInit)(padId, key, value);
}

std::int32_t TRAChangePluginMenus(const char* pluginName) {
    return Function<TRAChangePluginMenusProc>(kChangePluginMenus)(pluginName);
}

std::intptr_t TRAGetPadWnd(std::int32_t padId) {
    return Function<TRAGetPadWndProc>(kGetPadWnd)(padId);
}

} // namespace pelmora
