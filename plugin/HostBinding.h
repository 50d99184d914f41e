#pragma once
// The binding to the launcher: the functions that its main executable exports,
// looked up by name once, when the module's context is made.
#include <array>
#include <cstdint>
#include <functional>

// The launcher's calling convention (the Windows API one on 32-bit Windows).
#if defined(_WIN32) && !defined(_WIN64)
#define PELMORA_WINAPI __stdcall
#else
#define PELMORA_WINAPI
#endif

namespace pelmora {

inline constexpr int kHostFunctionCount = 25;
// The host functions in binding order.
extern const char* const kHostFunctionNames[kHostFunctionCount];

using TRAGetPadIDProc = std::int32_t(PELMORA_WINAPI*)(std::int32_t pad);
using TRAGetPadInitProc = std::int32_t(PELMORA_WINAPI*)(std::int32_t padId, const char* key,
                                                        char* buffer, std::int32_t size);
using TRASetPadInitProc = std::int32_t(PELMORA_WINAPI*)(std::int32_t padId, const char* key,
                                                        const char* value);
using TRAChangePluginMenusProc = std::int32_t(PELMORA_WINAPI*)(const char* pluginName);
using TRAGetPadWndProc = std::intptr_t(PELMORA_WINAPI*)(std::int32_t padId);

// Looks a name up; nullptr when it is not there.
using HostSymbolLookup = std::function<void*(const char* name)>;

class HostBinding {
public:
    // Binds every host function through `lookup` (replacing any earlier
    // binding) and returns Complete().
    bool Bind(const HostSymbolLookup& lookup);
    // Binds from the exports of the process's main executable.
    bool BindMainExecutable();
    // True only when all 25 host functions were found.
    bool Complete() const { return complete_; }

    // The host calls the plug-in makes. Calling one while the binding is
    // incomplete throws std::logic_error: the entry points check first.
    std::int32_t TRAGetPadID(std::int32_t pad) const;
    std::int32_t TRAGetPadInit(std::int32_t padId, const char* key, char* buffer,
                               std::int32_t size) const;
    std::int32_t TRASetPadInit(std::int32_t padId, const char* key, const char* value) const;
    std::int32_t TRAChangePluginMenus(const char* pluginName) const;
    // The pad's window (an HWND on Windows), 0 when the host shows none. Asked
    // on Windows only, for the window the dialogs belong to.
    std::intptr_t TRAGetPadWnd(std::int32_t padId) const;

private:
    template <typename Proc> Proc Function(int index) const;

    std::array<void*, kHostFunctionCount> functions_{};
    bool complete_ = false;
};

} // namespace pelmora
