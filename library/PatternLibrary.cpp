#include "library/PatternLibrary.h"

#include "platform/fileio.h"
#include "platform/inttext.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace pelmora {

namespace {

std::string Candidate(std::string_view base, std::int64_t k) {
    std::string name(base);
    if (k > 1) {
        name += IntToStr(k);
    }
    return name;
}

// Finds the first free candidate, starting at candidate `k` (1 is the base
// itself), and returns its number.
template <typename Present>
std::int64_t FirstFree(std::string_view base, std::int64_t k, Present present) {
    while (present(Candidate(base, k))) {
        k = k == 1 ? 2 : k + 1;
    }
    return k;
}

} // namespace

const PatternLibrary::Entry& PatternLibrary::At(int index) const {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("パターン番号 " + std::to_string(index) +
                                " はライブラリにありません。");
    }
    return entries_[static_cast<std::size_t>(index)];
}

const std::string& PatternLibrary::Name(int index) const {
    return At(index).Name;
}

TPatrn& PatternLibrary::Pattern(int index) const {
    return *At(index).Pattern;
}

bool PatternLibrary::Contains(std::string_view name) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.Name == name; });
}

std::vector<std::string> PatternLibrary::Names() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const Entry& e : entries_) {
        names.push_back(e.Name);
    }
    return names;
}

void PatternLibrary::Append(std::string name, std::unique_ptr<TPatrn> pattern) {
    if (!pattern) {
        throw std::invalid_argument("追加するパターンがありません。");
    }
    entries_.push_back(Entry{std::move(name), std::move(pattern)});
}

void PatternLibrary::Truncate(int count) {
    if (count >= 0 && count < Count()) {
        entries_.erase(entries_.begin() + count, entries_.end());
    }
}

std::string UniquePatternName(std::string_view base, const std::vector<std::string>& names) {
    const auto present = [&](const std::string& c) {
        return std::find(names.begin(), names.end(), c) != names.end();
    };
    return Candidate(base, FirstFree(base, 1, present));
}

std::string UniquePatternName(std::string_view base, const PatternLibrary& names) {
    return UniquePatternName(base, names.Names());
}

namespace {

// The "Name" value of a section; empty when it has none.
std::string_view SectionName(const IniFile::Section& section) {
    for (const auto& [key, value] : section.Values) {
        if (SameIniName(key, "Name")) {
            return value;
        }
    }
    return {};
}

} // namespace

std::string LoadPatterns(const IniFile& ini, PatternLibrary& library) {
    const int before = library.Count();
    try {
        // Everything that grows with the file is made its final size at once:
        // growing step by step would, at its worst, hold three times the room.
        const auto count = std::count_if(ini.Sections().begin(), ini.Sections().end(),
                                         [](const auto& s) { return !SectionName(s).empty(); });
        library.Reserve(before + static_cast<int>(count));
        std::unordered_set<std::string> taken;
        taken.reserve(static_cast<std::size_t>(before + count));
        for (int i = 0; i < before; ++i) {
            taken.insert(library.Name(i));
        }
        // Names only grow, so a base's next free number is never below the
        // last one found; remembering it keeps files full of one name linear.
        // Only names found taken are remembered.
        std::unordered_map<std::string, std::int64_t> nextNumber;
        const auto present = [&](const std::string& c) { return taken.count(c) != 0; };

        std::string report;
        for (const IniFile::Section& section : ini.Sections()) {
            const std::string_view name = SectionName(section);
            if (name.empty()) {
                continue;
            }
            auto pattern = std::make_unique<TPatrn>();
            pattern->LoadFromIni(section);
            pattern->EnsureBase();

            std::string unique(name);
            if (present(unique)) {
                const std::string base(name);
                std::int64_t& start = nextNumber.try_emplace(base, 1).first->second;
                start = FirstFree(base, start, present);
                unique = Candidate(base, start);
            }
            taken.insert(unique);
            report += '"' + unique + "\"\r\n";
            library.Append(std::move(unique), std::move(pattern));
        }
        return report;
    } catch (...) {
        library.Truncate(before);
        throw;
    }
}

std::string LoadPatterns(const IniFile& ini, PatternLibrary& library,
                         const std::filesystem::path& file) {
    try {
        return LoadPatterns(ini, library);
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Read, file, FileProblem::OutOfMemory);
    }
}

void SavePatterns(IniFile& ini, const PatternLibrary& library) {
    for (int i = 0; i < library.Count(); ++i) {
        library.Pattern(i).SaveToIni(ini, i, library.Name(i));
    }
}

} // namespace pelmora
