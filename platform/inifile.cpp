#include "platform/inifile.h"

#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/inttext.h"
#include "platform/unicodetext.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace pelmora {

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal for exactly the names SameIniName takes as equal.
std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = AsciiLower(c);
    }
    return folded;
}

std::string_view StripBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

// Calls onSection(name) for every section header and onKey(key, value) for
// every key of a section, in order; lines end at LF, CR LF or a lone CR.
template <typename OnSection, typename OnKey>
void ForEachEntry(std::string_view text, OnSection onSection, OnKey onKey) {
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        const std::string_view line = StripBlanks(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            ++start;
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            onSection(StripBlanks(line.substr(1, line.size() - 2)));
            inSection = true;
            continue;
        }
        // Lines before the first section, and lines without an equals sign
        // (which name no key), carry nothing and are dropped.
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos) {
            onKey(StripBlanks(line.substr(0, equals)), StripBlanks(line.substr(equals + 1)));
        }
    }
}

const std::string_view* FindValue(const IniFile::Section& section, std::string_view key) {
    for (const auto& [name, value] : section.Values) {
        if (SameIniName(name, key)) {
            return &value;
        }
    }
    return nullptr;
}

constexpr std::size_t kStorageBlockSize = 64 * 1024;

} // namespace

bool SameIniName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

IniFile IniFile::Load(const std::filesystem::path& path) {
    try {
        return LoadExisting(path);
    } catch (const FileError& error) {
        if (error.Problem() != FileProblem::NotFound) {
            throw;
        }
    }
    return IniFile();
}

IniFile IniFile::LoadExisting(const std::filesystem::path& path, FileStamp* stamp) {
    return ParseFile(ReadWholeFile(path, kMaxInputFileSize, stamp), path);
}

IniFile IniFile::ParseFile(std::string bytes, const std::filesystem::path& path) {
    const TextEncoding encoding = EncodingOf(bytes);
    try {
        return Parse(ToShiftJisText(std::move(bytes)));
    } catch (const CodecError& error) {
        throw FileError(FileAction::Read, path, FileProblem::Unconvertible,
                        std::string(EncodingName(encoding)) + ": " + error.what());
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Read, path, FileProblem::OutOfMemory);
    }
}

IniFile IniFile::Parse(std::string text) {
    IniFile ini;
    ini.storage_.push_back(std::make_unique<std::string>(std::move(text)));
    const std::string_view all = *ini.storage_.back();
    // Every list is counted first and allocated once at its final size: lists
    // grown step by step would, at their worst, take three times the room.
    std::size_t sectionCount = 0;
    ForEachEntry(
        all, [&](std::string_view) { ++sectionCount; }, [](std::string_view, std::string_view) {});
    std::vector<std::size_t> keyCounts(sectionCount, 0);
    std::size_t section = 0;
    ForEachEntry(
        all, [&](std::string_view) { ++section; },
        [&](std::string_view, std::string_view) { ++keyCounts[section - 1]; });
    ini.sections_.reserve(sectionCount);
    ForEachEntry(
        all,
        [&](std::string_view name) {
            ini.sections_.push_back(Section{name, {}});
            ini.sections_.back().Values.reserve(keyCounts[ini.sections_.size() - 1]);
        },
        [&](std::string_view key, std::string_view value) {
            ini.sections_.back().Values.emplace_back(key, value);
        });
    return ini;
}

IniFile::IniFile(const IniFile& other) {
    auto block = std::make_unique<std::string>();
    block->reserve(other.TextSize());
    storage_.push_back(std::move(block));
    sections_.reserve(other.sections_.size());
    for (const Section& section : other.sections_) {
        sections_.push_back(Section{Store(section.Name), {}});
        sections_.back().Values.reserve(section.Values.size());
        for (const auto& [key, value] : section.Values) {
            const std::string_view storedKey = Store(key);
            sections_.back().Values.emplace_back(storedKey, Store(value));
        }
    }
}

IniFile& IniFile::operator=(const IniFile& other) {
    if (this != &other) {
        *this = IniFile(other);
    }
    return *this;
}

std::string_view IniFile::Store(std::string_view text) {
    std::string* block = storage_.empty() ? nullptr : storage_.back().get();
    if (block == nullptr || block->capacity() - block->size() < text.size()) {
        auto fresh = std::make_unique<std::string>();
        fresh->reserve(std::max(kStorageBlockSize, text.size()));
        block = fresh.get();
        storage_.push_back(std::move(fresh));
    }
    // Within its capacity a block never moves, so earlier views stay valid.
    const std::size_t at = block->size();
    block->append(text);
    return std::string_view(*block).substr(at, text.size());
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& section : sections_) {
        if (SameIniName(section.Name, name)) {
            return &section;
        }
    }
    return nullptr;
}

bool IniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const std::string_view* value = FindValue(*found, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(*value);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const auto value = Value(section, key);
    return value ? *value : std::string(fallback);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const auto value = Value(section, key);
    return value ? StrToIntDef(*value, fallback) : fallback;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    BuildWriteIndex();
    const auto [sectionAt, newSection] =
        sectionIndex_.try_emplace(FoldedName(section), sections_.size());
    if (newSection) {
        sections_.push_back(Section{Store(section), {}});
        keyIndex_.emplace_back();
    }
    Section& target = sections_[sectionAt->second];
    // A line break inside a value would end its line early and let the rest be
    // read as keys or sections of their own; it is stored as a blank instead.
    std::string oneLine(value);
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string_view stored = Store(oneLine);
    const auto [keyAt, newKey] =
        keyIndex_[sectionAt->second].try_emplace(FoldedName(key), target.Values.size());
    if (newKey) {
        target.Values.emplace_back(Store(key), stored);
    } else {
        target.Values[keyAt->second].second = stored;
    }
}

void IniFile::BuildWriteIndex() {
    if (indexed_) {
        return;
    }
    sectionIndex_.clear();
    keyIndex_.assign(sections_.size(), {});
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        sectionIndex_.try_emplace(FoldedName(sections_[s].Name), s);
        const auto& values = sections_[s].Values;
        for (std::size_t k = 0; k < values.size(); ++k) {
            keyIndex_[s].try_emplace(FoldedName(values[k].first), k);
        }
    }
    indexed_ = true;
}

void IniFile::Clear() {
    sections_.clear();
    storage_.clear();
    sectionIndex_.clear();
    keyIndex_.clear();
    indexed_ = false;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, IntToStr(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::size_t IniFile::TextSize() const {
    std::size_t size = 0;
    for (const auto& section : sections_) {
        size += SectionTextSize(section.Name); // "[name]\r\n", the empty line
        for (const auto& [key, value] : section.Values) {
            size += KeyTextSize(key, value); // "key=value\r\n"
        }
    }
    return size;
}

std::string IniFile::ToText() const {
    std::string text;
    text.reserve(TextSize());
    for (const auto& section : sections_) {
        text += '[';
        text += section.Name;
        text += "]\r\n";
        for (const auto& [key, value] : section.Values) {
            text += key;
            text += '=';
            text += value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void IniTextWriter::Section(std::string_view name) {
    Finish();
    sink_("[");
    sink_(name);
    sink_("]\r\n");
    inSection_ = true;
}

void IniTextWriter::Key(std::string_view key, std::string_view value) {
    sink_(key);
    sink_("=");
    if (value.find_first_of("\r\n") == std::string_view::npos) {
        sink_(value);
    } else {
        std::string oneLine(value);
        std::replace_if(
            oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        sink_(oneLine);
    }
    sink_("\r\n");
}

void IniTextWriter::Finish() {
    if (inSection_) {
        sink_("\r\n");
        inSection_ = false;
    }
}

void IniFile::Save(const std::filesystem::path& path) const {
    std::string text;
    try {
        if (TextSize() > kMaxInputFileSize) {
            throw FileError(FileAction::Write, path, FileProblem::TooLarge,
                            LimitText(kMaxInputFileSize));
        }
        text = ToText();
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Write, path, FileProblem::OutOfMemory);
    }
    WriteWholeFile(path, text);
}

} // namespace pelmora
