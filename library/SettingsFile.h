#pragma once
// The settings file as a whole: its text as the end of the plug-in writes it,
// whether that text can be read again, what the start found at its path, and
// the end's save, which replaces only the file the start read and keeps
// everything else in a recovery file.
#include "library/IniData.h"
#include "platform/fileio.h"
#include "platform/inifile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class PatternLibrary;
class TPatrn;
struct TExportEntry;

// The named patterns a file holds, in order: the library, the editor's rows
// or an export's selection.
struct NamedPatterns {
    int Count = 0;
    std::function<std::string_view(int index)> Name;
    std::function<const TPatrn&(int index)> Pattern;
};
NamedPatterns PatternsOf(const PatternLibrary& library);
NamedPatterns PatternsOf(const std::vector<TExportEntry>& entries);

// Writes section "Main", then entry i of the library into section i.
void WriteSettingsFile(IniFile& ini, const TIniData& settings, const PatternLibrary& library);

// The same text, handed on piece by piece.
void WriteSettingsText(const TIniData& settings, const NamedPatterns& patterns,
                       const IniTextWriter::Sink& sink);
// The whole text, made at its final size at once.
std::string SettingsFileText(const TIniData& settings, const NamedPatterns& patterns);
// A pattern file's text: entry i in section i + 1, no "Main".
std::string PatternFileText(const NamedPatterns& patterns);

// The length of that text, counted one value at a time without making it;
// counting stops once it passes `stopAbove`.
std::size_t SettingsFileSize(const TIniData& settings, const NamedPatterns& patterns,
                             std::size_t stopAbove = static_cast<std::size_t>(-1));
std::size_t SettingsFileSize(const TIniData& settings, const PatternLibrary& library,
                             std::size_t stopAbove = static_cast<std::size_t>(-1));

// Whether that text is within the read limit (kMaxInputFileSize), so that the
// file written at the end is read at the next start. An import or an editor
// OK that would make it false is refused: a settings file the plug-in would
// not read back locks the user out of every pattern.
bool SettingsFileFits(const TIniData& settings, const NamedPatterns& patterns);
bool SettingsFileFits(const TIniData& settings, const PatternLibrary& library);

// Appends the patterns of a pattern file (or a settings file, whose "Main"
// has no name) to `names`, as an import does: each under a name made unique
// there. All or nothing: a file that cannot be read, that holds no pattern,
// or whose patterns would take the settings file of `settings` (with
// `names` for its library) past the read limit throws, and `names` is as it
// was. Afterwards settings.ImportDir is the file's folder. Returns the report
// of LoadPatterns (Shift-JIS).
std::string ImportPatternFile(const std::filesystem::path& file, PatternLibrary& names,
                              TIniData& settings);
// What the report is followed by when it is shown (UTF-8).
inline constexpr const char* kImportedText = "をインポートしました。";

// A digest of that text, made without making the text: the end tells by it
// whether anything changed since the start.
std::uint64_t SettingsFileDigest(const TIniData& settings, const PatternLibrary& library);

// What the start found at the settings file's path; the end replaces only that.
struct SettingsOrigin {
    enum class Kind {
        Absent,        // no file, in a folder that is there: the end creates it
        FolderMissing, // no folder either (a drive or share not there)
        Read,          // a file, read; `stamp` is how it was
        Unreadable,    // a file with content but no section at all
    };
    Kind Kind = Kind::Absent;
    FileStamp Stamp;
    std::uint64_t BytesDigest = 0; // of the bytes read (Read, Unreadable)
};

struct SettingsAtStart {
    IniFile Ini;
    SettingsOrigin Origin;
};

// Reads the settings file. A file that is not there reads as empty (Absent,
// or FolderMissing when its folder is not there either); any other failure
// throws FileError.
SettingsAtStart ReadSettingsFile(const std::filesystem::path& file);

// Neither the settings file nor a recovery file could take the text; what()
// gives both reasons.
class SettingsNotKept : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the end's save went.
struct SettingsSaveResult {
    enum class Outcome {
        Written, // the settings file holds the text
        Skipped, // the start read nothing and nothing changed: nothing to keep
        Failed,  // nothing changed, but the file could not be written; it is
                 // as the start read it; `reason` says why
        Kept,    // the text is in `keptIn`; `reason` says why not in the file
    };
    Outcome Status = Outcome::Written;
    std::filesystem::path KeptIn;
    std::string Reason; // UTF-8
};

struct SettingsSave {
    const TIniData& Settings;
    const PatternLibrary& Library;
    SettingsOrigin Origin;
    std::uint64_t StartDigest = 0;
    // Where the text goes when even the settings file's folder cannot take it.
    std::filesystem::path FallbackFolder;
    WriteOptions Options; // waits (tests)
};

// The end's save. The file is replaced only when it is the one the start
// read, unchanged since (or a copy of it with the same bytes, as a
// synchronising tool leaves), and created when there is none now; a file
// that appeared or changed since the start, a start that found no folder or
// no settings in the file, and a write that fails send the text to a
// recovery file (KeepInRecoveryFile) instead, unless nothing changed since
// the start and the file still holds all of it. A text over the read limit is refused (FileError,
// TooLarge) before it is made, and the old file stays. Throws SettingsNotKept
// when no place could take the text.
SettingsSaveResult SaveSettingsFile(const std::filesystem::path& file, const SettingsSave& save);

} // namespace pelmora
