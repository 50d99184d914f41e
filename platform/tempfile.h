#pragma once
// Unique temporary files in the system's temporary-files folder.
#include <filesystem>

namespace pelmora {

// A new, empty, uniquely named file whose name begins with "pel"; throws
// FileError when none can be created.
std::filesystem::path CreateTrialFile();

} // namespace pelmora
