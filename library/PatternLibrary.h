#pragma once
// The pattern library: an ordered list of named patterns with unique names,
// and loading it from and saving it to a settings-format file.
#include "pattern/Pattern.h"
#include "platform/inifile.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Names are Shift-JIS bytes, compared byte for byte. The list owns its patterns.
class PatternLibrary {
public:
    struct Entry {
        std::string Name;
        std::unique_ptr<TPatrn> Pattern;
    };

    int Count() const { return static_cast<int>(entries_.size()); }
    // Both throw std::out_of_range for an index outside the list.
    const std::string& Name(int index) const;
    TPatrn& Pattern(int index) const;
    // True when some entry has exactly this name.
    bool Contains(std::string_view name) const;
    std::vector<std::string> Names() const;

    // Appends an entry; the caller keeps the names unique (UniquePatternName).
    void Append(std::string name, std::unique_ptr<TPatrn> pattern);
    // Frees every pattern.
    void Clear() { entries_.clear(); }
    // Removes (and frees) the entries from position `count` on.
    void Truncate(int count);
    // Makes room for `count` entries in all.
    void Reserve(int count) { entries_.reserve(static_cast<std::size_t>(std::max(count, 0))); }

private:
    const Entry& At(int index) const;
    std::vector<Entry> entries_;
};

// The first of base, base2, base3, ... that is not among the names.
std::string UniquePatternName(std::string_view base, const std::vector<std::string>& names);
std::string UniquePatternName(std::string_view base, const PatternLibrary& names);

// Writes entry i of the library into section i (decimal), with its name.
void SavePatterns(IniFile& ini, const PatternLibrary& library);

// One pattern of an export: its name (Shift-JIS) and the pattern, owned elsewhere.
struct TExportEntry {
    std::string Name;
    const TPatrn* Pattern = nullptr;
};

// Appends every section with a non-empty "Name", in file order, to `library`,
// each under a name made unique in it. Returns the report: each final name in
// double quotes followed by CR LF (Shift-JIS bytes). All or nothing: when it
// fails, `library` is as it was.
std::string LoadPatterns(const IniFile& ini, PatternLibrary& library);
// The same for the patterns of the file `ini` was read from: running out of
// memory is a FileError naming `file`, as any other failure to read it.
std::string LoadPatterns(const IniFile& ini, PatternLibrary& library,
                         const std::filesystem::path& file);

} // namespace pelmora
