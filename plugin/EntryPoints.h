#pragma once
// The seven functions the launcher calls. Texts are Shift-JIS; true is -1,
// false 0. A composition root defines them for its module context with
// PELMORA_DEFINE_ENTRY_POINTS.
#include "plugin/HostBinding.h"

#include <cstdint>

#if defined(_WIN32)
#define PELMORA_ENTRY extern "C" __declspec(dllexport)
#else
#define PELMORA_ENTRY extern "C" __attribute__((visibility("default")))
#endif

inline constexpr std::int32_t kTrxTrue = -1;
inline constexpr std::int32_t kTrxFalse = 0;
inline constexpr int kMenuRecordSize = 128;
inline constexpr int kMenuCaptionSize = 64;

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetName(char* buffer, std::int32_t size);
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetExplanation(char* buffer, std::int32_t size);
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXSetInitFile(const char* path);
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXBeginPlugin();
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXEndPlugin();
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetMenu(std::int32_t number, char* record);
PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXMenuClick(std::int32_t number, std::int32_t pad);

// Pointer types for a host that looks the entry points up by name.
using TRXGetTextProc = std::int32_t(PELMORA_WINAPI*)(char* buffer, std::int32_t size);
using TRXSetInitFileProc = std::int32_t(PELMORA_WINAPI*)(const char* path);
using TRXNoArgProc = std::int32_t(PELMORA_WINAPI*)();
using TRXGetMenuProc = std::int32_t(PELMORA_WINAPI*)(std::int32_t number, char* record);
using TRXMenuClickProc = std::int32_t(PELMORA_WINAPI*)(std::int32_t number, std::int32_t pad);

namespace pelmora {

struct ModuleContext;
// Where the entry points find the module: made on its first use.
using ModuleSource = ModuleContext& (*)();

// What each entry point does. None lets an exception out: an error is shown
// through the module's dialog service and gives false.
namespace entry {
std::int32_t GetName(ModuleSource module, char* buffer, std::int32_t size);
std::int32_t GetExplanation(ModuleSource module, char* buffer, std::int32_t size);
std::int32_t SetInitFile(ModuleSource module, const char* path);
std::int32_t BeginPlugin(ModuleSource module);
std::int32_t EndPlugin(ModuleSource module);
std::int32_t GetMenu(ModuleSource module, std::int32_t number, char* record);
std::int32_t MenuClick(ModuleSource module, std::int32_t number, std::int32_t pad);
} // namespace entry

} // namespace pelmora

// The seven exported functions of a module whose context `source` gives.
#define PELMORA_DEFINE_ENTRY_POINTS(source)                                                        \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetName(char* buffer, std::int32_t size) {        \
        return ::pelmora::entry::GetName(source, buffer, size);                                    \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetExplanation(char* buffer, std::int32_t size) { \
        return ::pelmora::entry::GetExplanation(source, buffer, size);                             \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXSetInitFile(const char* path) {                   \
        return ::pelmora::entry::SetInitFile(source, path);                                        \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXBeginPlugin() {                                   \
        return ::pelmora::entry::BeginPlugin(source);                                              \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXEndPlugin() {                                     \
        return ::pelmora::entry::EndPlugin(source);                                                \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetMenu(std::int32_t number, char* record) {      \
        return ::pelmora::entry::GetMenu(source, number, record);                                  \
    }                                                                                              \
    PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXMenuClick(std::int32_t number,                    \
                                                           std::int32_t pad) {                     \
        return ::pelmora::entry::MenuClick(source, number, pad);                                   \
    }
