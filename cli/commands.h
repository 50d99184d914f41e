#pragma once
// The pelmora command line: "render" paints one pattern of a settings or
// pattern file into a BMP wallpaper cell, "list" prints the pattern names.
#include <iosfwd>
#include <string>
#include <vector>

namespace pelmora::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs the command line `args` (without the program name). Normal output goes
// to `out`, errors to `err` as one line each starting "pelmora: ". Returns the
// exit code: 0 done, 1 failure (files, unknown pattern, cell size), 2 usage.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pelmora::cli
