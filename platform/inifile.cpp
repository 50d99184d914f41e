#include "platform/inifile.h"

#include "platform/fileio.h"
#include "platform/inttext.h"

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

// Splits at LF, CR LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '\n' || text[pos] == '\r') {
            lines.push_back(text.substr(start, pos - start));
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
                ++pos;
            }
            start = pos + 1;
        }
        ++pos;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

const std::string* FindValue(const IniFile::Section& section, std::string_view key) {
    for (const auto& [name, value] : section.values) {
        if (SameIniName(name, key)) {
            return &value;
        }
    }
    return nullptr;
}

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
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        return IniFile();
    }
    return Parse(ReadWholeFile(path));
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    Section* current = nullptr;
    for (const std::string_view rawLine : SplitLines(text)) {
        const std::string_view line = StripBlanks(rawLine);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            ini.sections_.push_back(
                Section{std::string(StripBlanks(line.substr(1, line.size() - 2))), {}});
            current = &ini.sections_.back();
            continue;
        }
        // Lines before the first section, and lines without an equals sign
        // (which name no key), carry nothing and are dropped.
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        current->values.emplace_back(std::string(StripBlanks(line.substr(0, equals))),
                                     std::string(StripBlanks(line.substr(equals + 1))));
    }
    return ini;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& section : sections_) {
        if (SameIniName(section.name, name)) {
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
    const std::string* value = FindValue(*found, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    return *value;
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
    // A line break inside a value would end its line early and let the rest be
    // read as keys or sections of their own; it is stored as a blank instead.
    std::string oneLine(value);
    for (char& c : oneLine) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    BuildWriteIndex();
    const auto [sectionAt, newSection] =
        sectionIndex_.try_emplace(FoldedName(section), sections_.size());
    if (newSection) {
        sections_.push_back(Section{std::string(section), {}});
        keyIndex_.emplace_back();
    }
    Section& target = sections_[sectionAt->second];
    const auto [keyAt, newKey] =
        keyIndex_[sectionAt->second].try_emplace(FoldedName(key), target.values.size());
    if (newKey) {
        target.values.emplace_back(std::string(key), std::move(oneLine));
    } else {
        target.values[keyAt->second].second = std::move(oneLine);
    }
}

void IniFile::BuildWriteIndex() {
    if (indexed_) {
        return;
    }
    sectionIndex_.clear();
    keyIndex_.assign(sections_.size(), {});
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        sectionIndex_.try_emplace(FoldedName(sections_[s].name), s);
        const auto& values = sections_[s].values;
        for (std::size_t k = 0; k < values.size(); ++k) {
            keyIndex_[s].try_emplace(FoldedName(values[k].first), k);
        }
    }
    indexed_ = true;
}

void IniFile::Clear() {
    sections_.clear();
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

std::string IniFile::ToText() const {
    std::string text;
    for (const auto& section : sections_) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const auto& [key, value] : section.values) {
            text += key;
            text += '=';
            text += value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void IniFile::Save(const std::filesystem::path& path) const {
    WriteFileAtomic(path, ToText());
}

} // namespace pelmora
