#pragma once
// Common ground for the module tests: a fresh module state, the fake host,
// scripted dialogs and a temporary folder for the settings file.
#include "FakeHost.h"
#include "tests/support/ScriptedPrompts.h"

#include "library/PatternLibrary.h"
#include "pattern/Pattern.h"
#include "platform/cp932.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "plugin/EntryPoints.h"
#include "plugin/ModuleContext.h"
#include "plugin/ModuleOperations.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmora::testing {

inline std::string Sjis(const char* utf8) {
    return Utf8ToSjis(utf8);
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A path as the host hands it over: Shift-JIS, in the system's own form.
inline std::string HostPath(const std::filesystem::path& path) {
    return FsPathToHost(path);
}

// A folder as the plug-in remembers it: its path and a closing separator.
inline std::string FolderText(const std::filesystem::path& folder) {
    return HostPath(folder) + static_cast<char>(std::filesystem::path::preferred_separator);
}

// A new empty folder under the system's temporary folder.
inline std::filesystem::path NewFolder() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / ("pelmora-module-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::runtime_error("no temporary folder could be created");
}

// Points the system's temporary-files folder (where a save that cannot go
// beside its file keeps what it could not write) at a folder of the test's.
class ScopedSystemTemp {
public:
    explicit ScopedSystemTemp(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
#ifdef _WIN32
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t old[32768];
            const DWORD length = GetEnvironmentVariableW(name, old, 32768);
            saved_.emplace_back(name, length > 0 ? std::wstring(old, length) : std::wstring());
            SetEnvironmentVariableW(name, folder.c_str());
        }
#else
        const char* old = std::getenv("TMPDIR");
        had_ = old != nullptr;
        saved_ = had_ ? old : "";
        ::setenv("TMPDIR", folder.c_str(), 1);
#endif
    }
    ~ScopedSystemTemp() {
#ifdef _WIN32
        for (const auto& [name, value] : saved_) {
            SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
        }
#else
        if (had_) {
            ::setenv("TMPDIR", saved_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
#endif
    }
    ScopedSystemTemp(const ScopedSystemTemp&) = delete;
    ScopedSystemTemp& operator=(const ScopedSystemTemp&) = delete;

private:
#ifdef _WIN32
    std::vector<std::pair<std::wstring, std::wstring>> saved_;
#else
    bool had_ = false;
    std::string saved_;
#endif
};

// A pattern that differs from the default one, so that renders can be told apart.
inline std::unique_ptr<TPatrn> MakePattern(std::int32_t lumi) {
    auto pattern = std::make_unique<TPatrn>();
    pattern->Lumi = lumi * 10;
    pattern->BtnColTrim = true;
    return pattern;
}

// Settings-file text with a "Main" section and the given pattern names.
inline std::string SettingsText(const std::vector<std::string>& names) {
    IniFile ini;
    ini.WriteInteger("Main", "Left", 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        MakePattern(static_cast<std::int32_t>(i))->SaveToIni(ini, static_cast<int>(i), names[i]);
    }
    return ini.ToText();
}

// The names of the patterns a settings or pattern file's text holds.
inline std::vector<std::string> LibraryNames(const std::string& settingsText) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(settingsText), library);
    return library.Names();
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Host().Reset();
        TestEditor().Opens = false;
        TestEditor().Closes = 0;
        ASSERT_TRUE(TestModule().Host.BindMainExecutable());
        TestModule().State = TModuleState{};
        dir_ = NewFolder();
        settings_ = dir_ / "Pelmora.ini";
        systemTempDir_ = NewFolder();
        systemTemp_ = std::make_unique<ScopedSystemTemp>(systemTempDir_);
    }

    void TearDown() override {
        systemTemp_.reset();
        TestModule().State = TModuleState{};
        TestModule().Host.BindMainExecutable();
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(dir_, ignored);
        std::filesystem::remove_all(systemTempDir_, ignored);
    }

    // Writes the settings file (when given), hands its path over and starts.
    std::int32_t Start(const std::string* text = nullptr) {
        if (text != nullptr) {
            WriteBytes(settings_, *text);
        }
        EXPECT_EQ(TRXSetInitFile(HostPath(settings_).c_str()), kTrxTrue);
        return TRXBeginPlugin();
    }
    std::int32_t StartWith(const std::vector<std::string>& names) {
        const std::string text = SettingsText(names);
        return Start(&text);
    }

    // The caption of menu item `number`, or nullopt when the menu has none.
    std::optional<std::string> MenuCaption(std::int32_t number) {
        std::array<char, kMenuRecordSize> record;
        record.fill('\xAA');
        if (TRXGetMenu(number, record.data()) != kTrxTrue) {
            return std::nullopt;
        }
        for (std::size_t i = kMenuCaptionSize; i < record.size(); ++i) {
            EXPECT_EQ(record[i], 0) << "byte " << i << " of item " << number;
        }
        return std::string(record.data());
    }

    // Every item until the first number that gives none.
    std::vector<std::string> Menu() {
        std::vector<std::string> items;
        for (std::int32_t n = 0;; ++n) {
            const std::optional<std::string> caption = MenuCaption(n);
            if (!caption) {
                return items;
            }
            items.push_back(*caption);
        }
    }

    void SetPad(std::int32_t padValue, std::map<std::string, std::string> settings) {
        Host().Pads[padValue + FakeHost::kPadIdOffset] = std::move(settings);
    }

    // The files of `folder` whose names begin with `start`.
    static std::vector<std::filesystem::path> FilesStartingWith(const std::filesystem::path& folder,
                                                                const std::string& start) {
        std::vector<std::filesystem::path> found;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
            if (entry.path().filename().string().rfind(start, 0) == 0) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    std::filesystem::path dir_;
    std::filesystem::path settings_;
    ScopedScriptedPrompts prompts_{TestModule().Dialogs};
    std::filesystem::path systemTempDir_; // the system's temporary-files folder meanwhile
    std::unique_ptr<ScopedSystemTemp> systemTemp_;
};

} // namespace pelmora::testing
