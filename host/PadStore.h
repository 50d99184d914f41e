#pragma once
// The stand-in launcher's pads: text settings per pad identifier, kept in a
// pad file (settings format, Shift-JIS), one section per pad named by its
// identifier in decimal:
//
//   [1]
//   BtnWidth=80
//   BtnHeight=60
//   BtnCaption=1
//   BtnSmallIcon=0
//   BtnColor=$8000000F
//   WallPaper=
//
// A pad's handle, the value the launcher passes to a plug-in's menu click, is
// its identifier plus kPadHandleBase; TRAGetPadID maps it back.
#include "platform/inifile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::host {

inline constexpr std::int32_t kPadHandleBase = 0x1000;
inline constexpr std::int32_t kNoPad = -1;

class PadStore {
public:
    // A missing pad file is an error: the launcher has no pads without one.
    static PadStore Load(const std::filesystem::path& file);

    bool HasPad(std::int32_t id) const;
    std::vector<std::int32_t> PadIds() const;
    // The pad's identifier for a handle, kNoPad when no pad has that handle.
    std::int32_t IdForHandle(std::int32_t handle) const;
    static std::int32_t HandleForId(std::int32_t id) { return id + kPadHandleBase; }

    std::optional<std::string> Get(std::int32_t id, const std::string& key) const;
    // False when there is no such pad.
    bool Set(std::int32_t id, const std::string& key, const std::string& value);

    bool Modified() const { return modified_; }
    // Writes the pad file back (atomically) when something changed.
    void SaveIfModified();

private:
    std::filesystem::path file_;
    IniFile ini_;
    bool modified_ = false;
};

} // namespace pelmora::host
