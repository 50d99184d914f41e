#pragma once
// In-memory settings-format (INI) file. Section and key names match without
// regard to letter case (ASCII letters only); sections and keys keep their
// order. Texts are the file's own bytes (Shift-JIS), never converted here.
//
// Reading: lines end with LF, CR LF or a lone CR; every line is stripped of
// codes <= 32 at both ends; empty lines and lines starting with ';' are
// skipped; "[name]" opens a section (name stripped); "key=value" splits at the
// first '=' with both sides stripped. Lines before the first section, and lines
// of a section that hold no '=', are dropped. A repeated key stays in the list,
// but lookups and writes find the first.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pelmora {

struct FileStamp;

// Memory: the file's bytes are kept once, and sections and keys point into
// them (40 bytes per section, 32 per key), so reading costs a small multiple
// of the file's size however it is shaped.
class IniFile {
public:
    // Both views point into the IniFile's own storage and stay valid as long
    // as it lives, also when it is moved.
    using KeyValue = std::pair<std::string_view, std::string_view>; // key, value
    struct Section {
        std::string_view Name;
        std::vector<KeyValue> Values;
    };

    IniFile() = default;
    IniFile(IniFile&&) noexcept = default;
    IniFile& operator=(IniFile&&) noexcept = default;
    // A copy has storage of its own.
    IniFile(const IniFile& other);
    IniFile& operator=(const IniFile& other);

    // A file that does not exist reads as empty. A file that cannot be read
    // (see ReadWholeFile: not a regular file, over kMaxInputFileSize) or that
    // there is not memory enough for throws FileError naming it. A file with
    // a byte-order mark is read as the Unicode text it announces, in
    // Shift-JIS (Unconvertible when a character has no Shift-JIS form).
    static IniFile Load(const std::filesystem::path& path);
    // The same, but a file that does not exist is an error too (NotFound);
    // `stamp`, when given, receives the stamp of the file read.
    static IniFile LoadExisting(const std::filesystem::path& path, FileStamp* stamp = nullptr);
    static IniFile Parse(std::string text);
    // Parses a whole file's bytes as LoadExisting does (byte-order marks);
    // failures are FileErrors naming `path`.
    static IniFile ParseFile(std::string bytes, const std::filesystem::path& path);

    // Sections in order of appearance. A repeated section header opens a new
    // entry here; lookups by name find the first.
    const std::vector<Section>& Sections() const { return sections_; }
    bool SectionExists(std::string_view section) const;

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // Integer text; a missing key or one that is not an integer gives the fallback.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // An integer that is true when not 0.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // A new key goes at the end of its section, a new section at the end of the
    // file; an existing key keeps its place. CR and LF in a value are stored as
    // blanks, so a value can never break its line into keys or sections.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    void Clear();

    // "[name]" line, key=value lines, then an empty line, per section; CR LF ends.
    std::string ToText() const;
    // The length of ToText(), without making it, and what one section header
    // (with the empty line closing the section) and one key add to it.
    std::size_t TextSize() const;
    static std::size_t SectionTextSize(std::string_view name) { return name.size() + 6; }
    static std::size_t KeyTextSize(std::string_view key, std::string_view value) {
        return key.size() + value.size() + 3;
    }
    // Replaces the file (see WriteWholeFile). A text larger than
    // kMaxInputFileSize is refused (FileError, TooLarge) and nothing is
    // written: no file is written that Load would refuse.
    void Save(const std::filesystem::path& path) const;

private:
    const Section* FindSection(std::string_view name) const;
    void BuildWriteIndex();
    std::string_view Store(std::string_view text);

    // Blocks of text the views point into; a block never moves or grows
    // beyond the capacity it was made with.
    std::vector<std::unique_ptr<std::string>> storage_;
    std::vector<Section> sections_;

    // Where writes land, by letter-case-folded name: the first section of each
    // name, and per section the first key of each name. Built on the first
    // write, so writing a whole library stays linear in its size; reading
    // needs no index.
    bool indexed_ = false;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    std::vector<std::unordered_map<std::string, std::size_t>> keyIndex_;
};

// Settings-format text made section by section and key by key and handed on
// in pieces, never held whole: the text ToText gives for an IniFile into
// which the same sections and keys were written, each for the first time.
// A value is kept on one line as WriteString keeps it.
class IniTextWriter {
public:
    using Sink = std::function<void(std::string_view piece)>;
    explicit IniTextWriter(Sink sink) : sink_(std::move(sink)) {}
    void Section(std::string_view name);
    void Key(std::string_view key, std::string_view value);
    // Closes the last section; the text is complete.
    void Finish();

private:
    Sink sink_;
    bool inSection_ = false;
};

// Letter-case-insensitive (ASCII) comparison used for section and key names.
bool SameIniName(std::string_view a, std::string_view b);

} // namespace pelmora
