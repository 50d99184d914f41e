#include "library/SettingsFile.h"

#include "library/PatternLibrary.h"
#include "platform/cp932.h"
#include "platform/hostpath.h"
#include "platform/inttext.h"

#include <new>
#include <stdexcept>
#include <system_error>

namespace pelmora {

namespace {

void WriteMain(IniTextWriter& writer, const TIniData& data) {
    writer.Section(kMainSection);
    ForEachMainValue(data,
                     [&](std::string_view key, std::string_view value) { writer.Key(key, value); });
}

void WritePatterns(IniTextWriter& writer, const NamedPatterns& patterns, int firstSection) {
    for (int i = 0; i < patterns.Count; ++i) {
        writer.Section(IntToStr(firstSection + i));
        writer.Key("Name", patterns.Name(i));
        patterns.Pattern(i).ForEachStoredValue(
            [&](std::string_view key, std::string_view value) { writer.Key(key, value); });
    }
}

std::string WholeText(std::size_t size, const std::function<void(IniTextWriter&)>& write) {
    std::string text;
    text.reserve(size);
    IniTextWriter writer([&](std::string_view piece) { text += piece; });
    write(writer);
    writer.Finish();
    return text;
}

// FNV-1a, 64 bits.
class Digest {
public:
    void Add(std::string_view piece) {
        for (const char c : piece) {
            value_ = (value_ ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
        }
    }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325u;
};

std::uint64_t BytesDigest(std::string_view bytes) {
    Digest digest;
    digest.Add(bytes);
    return digest.Value();
}

SettingsSaveResult Kept(const std::filesystem::path& file, const std::string& text,
                        const SettingsSave& save, std::string reason) {
    SettingsSaveResult result;
    result.Status = SettingsSaveResult::Outcome::Kept;
    try {
        result.KeptIn = KeepInRecoveryFile(file, text, save.FallbackFolder, save.Options);
    } catch (const FileError& error) {
        throw SettingsNotKept(reason + "\n" + error.what());
    }
    result.Reason = std::move(reason);
    return result;
}

} // namespace

NamedPatterns PatternsOf(const PatternLibrary& library) {
    return NamedPatterns{
        library.Count(),
        [&library](int i) -> std::string_view { return library.Name(i); },
        [&library](int i) -> const TPatrn& { return library.Pattern(i); },
    };
}

NamedPatterns PatternsOf(const std::vector<TExportEntry>& entries) {
    return NamedPatterns{
        static_cast<int>(entries.size()),
        [&entries](int i) -> std::string_view { return entries[static_cast<std::size_t>(i)].Name; },
        [&entries](int i) -> const TPatrn& {
            return *entries[static_cast<std::size_t>(i)].Pattern;
        },
    };
}

void WriteSettingsFile(IniFile& ini, const TIniData& settings, const PatternLibrary& library) {
    WriteIniData(ini, settings);
    SavePatterns(ini, library);
}

void WriteSettingsText(const TIniData& settings, const NamedPatterns& patterns,
                       const IniTextWriter::Sink& sink) {
    IniTextWriter writer(sink);
    WriteMain(writer, settings);
    WritePatterns(writer, patterns, 0);
    writer.Finish();
}

std::string SettingsFileText(const TIniData& settings, const NamedPatterns& patterns) {
    return WholeText(SettingsFileSize(settings, patterns), [&](IniTextWriter& writer) {
        WriteMain(writer, settings);
        WritePatterns(writer, patterns, 0);
    });
}

std::string PatternFileText(const NamedPatterns& patterns) {
    std::size_t size = 0;
    IniTextWriter counter([&](std::string_view piece) { size += piece.size(); });
    WritePatterns(counter, patterns, 1);
    counter.Finish();
    return WholeText(size, [&](IniTextWriter& writer) { WritePatterns(writer, patterns, 1); });
}

// Every section and key written is new (sections "Main", "0", "1", ...; keys
// "Name" and the pattern's), so each adds its own line to the text.
std::size_t SettingsFileSize(const TIniData& settings, const NamedPatterns& patterns,
                             std::size_t stopAbove) {
    std::size_t size = 0;
    IniTextWriter main([&](std::string_view piece) { size += piece.size(); });
    WriteMain(main, settings);
    main.Finish();
    for (int i = 0; i < patterns.Count && size <= stopAbove; ++i) {
        size +=
            IniFile::SectionTextSize(IntToStr(i)) + IniFile::KeyTextSize("Name", patterns.Name(i));
        patterns.Pattern(i).ForEachStoredValue([&](std::string_view key, std::string_view value) {
            size += IniFile::KeyTextSize(key, value);
        });
    }
    return size;
}

std::size_t SettingsFileSize(const TIniData& settings, const PatternLibrary& library,
                             std::size_t stopAbove) {
    return SettingsFileSize(settings, PatternsOf(library), stopAbove);
}

bool SettingsFileFits(const TIniData& settings, const NamedPatterns& patterns) {
    return SettingsFileSize(settings, patterns, kMaxInputFileSize) <= kMaxInputFileSize;
}

bool SettingsFileFits(const TIniData& settings, const PatternLibrary& library) {
    return SettingsFileFits(settings, PatternsOf(library));
}

std::uint64_t SettingsFileDigest(const TIniData& settings, const PatternLibrary& library) {
    Digest digest;
    WriteSettingsText(settings, PatternsOf(library),
                      [&](std::string_view piece) { digest.Add(piece); });
    return digest.Value();
}

SettingsAtStart ReadSettingsFile(const std::filesystem::path& file) {
    SettingsAtStart start;
    std::string bytes;
    try {
        bytes = ReadWholeFile(file, kMaxInputFileSize, &start.Origin.Stamp);
    } catch (const FileError& error) {
        const FileProblem problem = error.Problem();
        if (problem != FileProblem::NotFound && problem != FileProblem::FolderNotFound &&
            problem != FileProblem::NotReady) {
            throw;
        }
        std::error_code ignored;
        const std::filesystem::path folder =
            file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        if (std::filesystem::is_directory(folder, ignored)) {
            if (problem != FileProblem::NotFound) {
                throw;
            }
            start.Origin.Kind = SettingsOrigin::Kind::Absent;
        } else {
            start.Origin.Kind = SettingsOrigin::Kind::FolderMissing;
        }
        return start;
    }
    start.Origin.BytesDigest = BytesDigest(bytes);
    const bool empty = bytes.empty();
    start.Ini = IniFile::ParseFile(std::move(bytes), file);
    // Bytes that hold no section at all are not a settings file this system
    // can read (another program's, or damaged): the end never replaces them.
    start.Origin.Kind = start.Ini.Sections().empty() && !empty ? SettingsOrigin::Kind::Unreadable
                                                               : SettingsOrigin::Kind::Read;
    return start;
}

namespace {

// Whether the file now at `file` has the bytes the start read, though it is
// another file or was written again (a synchronising tool, a backup put
// back): replacing it loses nothing. `stamp` receives how it is now.
bool HoldsWhatTheStartRead(const std::filesystem::path& file, const SettingsOrigin& origin,
                           FileStamp& stamp) {
    try {
        return BytesDigest(ReadWholeFile(file, kMaxInputFileSize, &stamp)) == origin.BytesDigest;
    } catch (const FileError&) {
        return false;
    }
}

bool NothingThere(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::symlink_status(file, error).type() ==
           std::filesystem::file_type::not_found;
}

SettingsSaveResult Result(SettingsSaveResult::Outcome outcome, std::string reason = {}) {
    SettingsSaveResult result;
    result.Status = outcome;
    result.Reason = std::move(reason);
    return result;
}

constexpr const char* kFolderMissingReason = "開始したときに設定ファイルのフォルダーが見つからなか"
                                             "ったため、設定ファイルには書き込みませんでした。";
constexpr const char* kUnreadableReason = "開始したときに設定ファイルから設定を読み取れなかったため"
                                          "、設定ファイルを上書きしませんでした。";

} // namespace

SettingsSaveResult SaveSettingsFile(const std::filesystem::path& file, const SettingsSave& save) {
    if (!SettingsFileFits(save.Settings, save.Library)) {
        throw FileError(FileAction::Write, file, FileProblem::TooLarge,
                        LimitText(kMaxInputFileSize));
    }
    const bool unchanged = SettingsFileDigest(save.Settings, save.Library) == save.StartDigest;
    const SettingsOrigin& origin = save.Origin;
    if (origin.Kind == SettingsOrigin::Kind::FolderMissing ||
        origin.Kind == SettingsOrigin::Kind::Unreadable) {
        // Nothing was read, so an unchanged library holds nothing to keep.
        if (unchanged) {
            return Result(SettingsSaveResult::Outcome::Skipped);
        }
        return Kept(file, SettingsFileText(save.Settings, PatternsOf(save.Library)), save,
                    origin.Kind == SettingsOrigin::Kind::FolderMissing ? kFolderMissingReason
                                                                       : kUnreadableReason);
    }
    WriteOptions options = save.Options;
    options.Expected =
        origin.Kind == SettingsOrigin::Kind::Read ? Expect::SameFile : Expect::Nothing;
    options.Stamp = origin.Stamp;
    const std::string text = SettingsFileText(save.Settings, PatternsOf(save.Library));
    for (int attempt = 0;; ++attempt) {
        try {
            WriteWholeFile(file, text, options);
            return Result(SettingsSaveResult::Outcome::Written);
        } catch (const FileError& error) {
            if (error.Problem() != FileProblem::Changed) {
                if (unchanged) {
                    return Result(SettingsSaveResult::Outcome::Failed, error.what());
                }
                return Kept(file, text, save, error.what());
            }
            if (origin.Kind == SettingsOrigin::Kind::Absent && unchanged) {
                return Result(SettingsSaveResult::Outcome::Skipped); // another program's file
            }
            // Once more, if what is there now is nothing, or what the start read.
            FileStamp now;
            if (attempt == 0 && origin.Kind == SettingsOrigin::Kind::Read && NothingThere(file)) {
                options.Expected = Expect::Nothing;
            } else if (attempt == 0 && origin.Kind == SettingsOrigin::Kind::Read &&
                       HoldsWhatTheStartRead(file, origin, now)) {
                options.Stamp = now;
            } else {
                return Kept(file, text, save, error.what());
            }
        }
    }
}

namespace {

constexpr const char* kImportTooLarge = "インポートすると設定ファイルが上限の ";
constexpr const char* kImportTooLargeEnd = " を超えるため、インポートしませんでした。";
constexpr const char* kNothingImported = "ファイル \"";
constexpr const char* kNothingImportedEnd =
    "\" からパターンを読み込めませんでした。名前 (Name) のあるパターンが 1 つもありません。";

// The folder of a file as a Shift-JIS text, or `current` when the path is one
// Shift-JIS cannot hold.
std::string ImportFolder(const std::filesystem::path& file, const std::string& current) {
    try {
        return FolderOfPath(FsPathToHost(file));
    } catch (const CodecError&) {
        return current;
    }
}

} // namespace

std::string ImportPatternFile(const std::filesystem::path& file, PatternLibrary& names,
                              TIniData& settings) {
    // A file that is not there is an error here, not an empty pattern file.
    const IniFile ini = IniFile::LoadExisting(file);
    TIniData after = settings;
    after.ImportDir = ImportFolder(file, settings.ImportDir);
    const int before = names.Count();
    std::string report;
    try {
        report = LoadPatterns(ini, names, file);
        if (names.Count() == before) {
            // A file in another format, or damaged: not an empty success.
            throw std::runtime_error(kNothingImported + PathText(file) + kNothingImportedEnd);
        }
        if (!SettingsFileFits(after, names)) {
            throw std::runtime_error(kImportTooLarge + LimitText(kMaxInputFileSize) +
                                     kImportTooLargeEnd);
        }
    } catch (const std::bad_alloc&) {
        names.Truncate(before);
        throw FileError(FileAction::Read, file, FileProblem::OutOfMemory);
    } catch (...) {
        names.Truncate(before);
        throw;
    }
    settings.ImportDir = std::move(after.ImportDir);
    return report;
}

} // namespace pelmora
