#pragma once
// The stand-in launcher's pads: text settings per pad, kept in a pad file
// (settings format, Shift-JIS), one section per pad named by the pad's number
// in decimal (any 32-bit number):
//
//   [1]
//   BtnWidth=80
//   BtnHeight=60
//   BtnCaption=1
//   BtnSmallIcon=0
//   BtnColor=$8000000F
//   WallPaper=
//
// The plug-in never sees pad numbers. A pad's handle, the value a menu click
// passes to the plug-in, is kFirstPadHandle plus the pad's place in the file
// (0 for the first); TRAGetPadID turns a handle into the pad's identifier for
// the other pad calls, its place plus 1. kNoPadId, never an identifier, stands
// for a handle no pad has. So every pad number is usable, nothing overflows,
// and no pad can be mistaken for another or for none.
#include "platform/inifile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::host {

inline constexpr std::int32_t kFirstPadHandle = 0x1000;
inline constexpr std::int32_t kNoPadId = 0;

class PadStore {
public:
    // A missing pad file is an error: the launcher has no pads without one.
    static PadStore Load(const std::filesystem::path& file);

    bool HasPad(std::int32_t number) const;
    // The pads' numbers in file order.
    const std::vector<std::int32_t>& PadNumbers() const { return numbers_; }

    // The handle of pad `number`, which must exist.
    std::int32_t HandleOf(std::int32_t number) const;
    // The plug-in's identifier for the pad with `handle`; kNoPadId when none has it.
    std::int32_t IdForHandle(std::int32_t handle) const;
    // The pad an identifier stands for.
    std::optional<std::int32_t> NumberForId(std::int32_t id) const;

    std::optional<std::string> Get(std::int32_t number, const std::string& key) const;
    // False when there is no such pad.
    bool Set(std::int32_t number, const std::string& key, const std::string& value);

    bool Modified() const { return modified_; }
    // Writes the pad file back (atomically) when something changed.
    void SaveIfModified();

private:
    std::optional<std::size_t> PlaceOf(std::int32_t number) const;

    std::filesystem::path file_;
    IniFile ini_;
    std::vector<std::int32_t> numbers_;
    bool modified_ = false;
};

} // namespace pelmora::host
