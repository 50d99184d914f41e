#pragma once
// The settings file as the end of the plug-in writes it, and whether what it
// would write can be read again.
#include "library/IniData.h"

#include <cstddef>

namespace pelmora {

class IniFile;
class PatternLibrary;

// Writes section "Main", then entry i of the library into section i.
void WriteSettingsFile(IniFile& ini, const TIniData& settings, const PatternLibrary& library);

// The length of the text WriteSettingsFile gives, counted one value at a time
// without making it; counting stops once it passes `stopAbove`.
std::size_t SettingsFileSize(const TIniData& settings, const PatternLibrary& library,
                             std::size_t stopAbove = static_cast<std::size_t>(-1));

// Whether that text is within the read limit (kMaxInputFileSize), so that the
// file written at the end is read at the next start. An import or an editor
// OK that would make it false is refused: a settings file the plug-in would
// not read back locks the user out of every pattern.
bool SettingsFileFits(const TIniData& settings, const PatternLibrary& library);

} // namespace pelmora
