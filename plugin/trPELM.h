#pragma once
// The seven functions the launcher calls. Texts are Shift-JIS; true is -1,
// false 0.
#include "plugin/TRAPI.h"

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
