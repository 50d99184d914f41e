// tavrin-host: a stand-in for the Tavrin launcher. It keeps pads in a pad file,
// exports the launcher's functions for plug-ins, and drives a plug-in module
// through its seven entry points from the command line.
#include "host/HostCommands.h"

#include "host/HostApi.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmora::host {

const char* const kUsage =
    R"(Usage: tavrin-host [--module PATH] [--settings FILE] [--pads FILE] COMMAND
       tavrin-host run --pads FILE --settings FILE [--module PATH] COMMAND
       tavrin-host --version
       tavrin-host --help     (--help or -h anywhere shows this and runs nothing)

Loads the plug-in module (trPELM.trx beside this program unless --module
names another), gives it the settings file, starts it, runs COMMAND and ends
it, which writes the settings file back: the order the launcher follows.

Commands:
  menu                 print the plug-in menu as the launcher shows it, one
                       numbered item a line
  click N [--pad ID]   click menu item N from pad ID (the first pad when
                       --pad is not given); item 1 applies the first pattern,
                       which becomes the pad's WallPaper
  name                 print the plug-in's name
  explanation          print the plug-in's explanation
  info                 print both
  import FILE [--pad ID]
                       click the menu's import command and choose FILE in its
                       file dialog
  gui                  open the launcher's window: the pads drawn with their
                       wallpapers and the plug-in menu, clicked from the
                       selected pad; the dialogs are the user's to answer
                       (not on Windows yet)

Files: without --settings and --pads the launcher keeps its files in
  $XDG_DATA_HOME/tavrin-host/   ($HOME/.local/share/tavrin-host/ when
                                XDG_DATA_HOME is not set; on Windows
                                %APPDATA%\tavrin-host\)
as Pelmora.ini (the settings file) and pads.ini (the pad file). The first run
creates a pad file with two sample pads and a settings file holding the
bundled sample patterns. "run" before the command is accepted and changes
nothing.

The pad file holds one section per pad, named by the pad's identifier:
  [1]
  BtnWidth=80
  BtnHeight=60
  BtnCaption=1
  BtnSmallIcon=0
  BtnColor=$8000000F
  WallPaper=
Texts in both files are Shift-JIS. A pad's handle, the value a plug-in's menu
click receives, is 4096 plus the pad's place in the pad file (4096 for the
first); TRAGetPadID gives the place plus 1 for it, and 0 for a value that is no
pad's handle. The two files must be different files. Dialogs the plug-in opens
are answered here: messages are printed and confirmed, a file dialog gets FILE,
other dialogs are cancelled.
docs/file-formats.md describes the files.

Exit status: 0 when the command's entry point answered true, 2 when it
answered false, 1 on any other error.
)";

namespace {

std::int32_t ParseNumber(const std::string& text, const char* what) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used);
        if (used == text.size() && value >= INT32_MIN && value <= INT32_MAX) {
            return static_cast<std::int32_t>(value);
        }
    } catch (const std::exception&) {
    }
    throw UsageError(std::string(what) + " must be a number: " + text);
}

bool IsCommand(const std::string& word) {
    for (const char* command : {"info", "name", "explanation", "menu", "click", "import", "gui"}) {
        if (word == command) {
            return true;
        }
    }
    return false;
}

} // namespace

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    std::vector<std::string> words;
    // "run" is the older spelling of the same command line.
    for (std::size_t i = !args.empty() && args[0] == "run" ? 1 : 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError(arg + " needs a value");
            }
            return args[++i];
        };
        if (arg == "--pads") {
            options.pads = Utf8ToFsPath(value());
        } else if (arg == "--settings") {
            options.settings = Utf8ToFsPath(value());
        } else if (arg == "--module") {
            options.module = Utf8ToFsPath(value());
        } else if (arg == "--pad") {
            options.pad = ParseNumber(value(), "--pad");
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError("unknown option " + arg);
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        throw UsageError("a command is required");
    }
    options.command = words[0];
    if (!IsCommand(options.command)) {
        throw UsageError("unknown command " + options.command);
    }
    const bool needsArgument = options.command == "click" || options.command == "import";
    if (words.size() != (needsArgument ? 2u : 1u)) {
        throw UsageError("wrong number of arguments for " + options.command);
    }
    if (needsArgument) {
        options.argument = words[1];
    }
    return options;
}

namespace {

std::filesystem::path DataFolder() {
#ifdef _WIN32
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || *appData == L'\0') {
        throw std::runtime_error("APPDATA is not set: name the files with --settings and --pads");
    }
    return std::filesystem::path(appData) / "tavrin-host";
#else
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome == '/') {
        return std::filesystem::path(dataHome) / "tavrin-host";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        throw std::runtime_error("HOME is not set: name the files with --settings and --pads");
    }
    return std::filesystem::path(home) / ".local" / "share" / "tavrin-host";
#endif
}

std::filesystem::path SelfFolder() {
#ifdef _WIN32
    std::wstring self(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    self.resize(length);
    return length == 0 ? std::filesystem::path(".") : std::filesystem::path(self).parent_path();
#else
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path(".") : self.parent_path();
#endif
}

// The bundled samples: the source tree's when it is still there, else a
// samples/ folder beside the program or in ../share/tavrin-host/.
std::optional<std::filesystem::path> SamplesFolder() {
    std::vector<std::filesystem::path> candidates;
#ifdef TAVRIN_HOST_SAMPLES_DIR
    candidates.emplace_back(TAVRIN_HOST_SAMPLES_DIR);
#endif
    candidates.push_back(SelfFolder() / "samples");
    candidates.push_back(SelfFolder() / ".." / "share" / "tavrin-host" / "samples");
    for (const std::filesystem::path& folder : candidates) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) {
            return folder;
        }
    }
    return std::nullopt;
}

void WriteSamplePads(const std::filesystem::path& file) {
    IniFile pads;
    const auto pad = [&](const char* id, int width, int height, int caption, int smallIcon,
                         const char* color) {
        pads.WriteInteger(id, "BtnWidth", width);
        pads.WriteInteger(id, "BtnHeight", height);
        pads.WriteInteger(id, "BtnCaption", caption);
        pads.WriteInteger(id, "BtnSmallIcon", smallIcon);
        pads.WriteString(id, "BtnColor", color);
        pads.WriteString(id, "WallPaper", "");
    };
    // Large icons with the name below in the system button colour, and small
    // icons with the name at the right on a blue button.
    pad("1", 80, 60, 1, 0, "$8000000F");
    pad("2", 120, 40, 2, 1, "$00C08040");
    pads.Save(file);
}

// Every pattern of the sample files, in file-name order, numbered as the
// plug-in numbers its library; names repeated across files are made unique
// by the plug-in when it loads them.
bool WriteSampleSettings(const std::filesystem::path& file) {
    const std::optional<std::filesystem::path> samples = SamplesFolder();
    if (!samples) {
        return false;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(*samples)) {
        if (entry.path().extension() == ".ptn") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    IniFile settings;
    int number = 0;
    for (const std::filesystem::path& sample : files) {
        const IniFile patterns = IniFile::Load(sample);
        for (const IniFile::Section& section : patterns.Sections()) {
            if (patterns.ReadString(section.Name, "Name", "").empty()) {
                continue;
            }
            const std::string name = std::to_string(number++);
            for (const auto& [key, value] : section.Values) {
                settings.WriteString(name, key, value);
            }
        }
    }
    settings.Save(file);
    return true;
}

// Which files come from the data folder.
struct DefaultFiles {
    bool Pads = false;
    bool Settings = false;
};

// Names the data folder's files for those not given on the command line.
DefaultFiles NameDefaultFiles(Options& options) {
    DefaultFiles defaults{options.pads.empty(), options.settings.empty()};
    if (defaults.Pads || defaults.Settings) {
        const std::filesystem::path folder = DataFolder();
        if (defaults.Pads) {
            options.pads = folder / "pads.ini";
        }
        if (defaults.Settings) {
            options.settings = folder / "Pelmora.ini";
        }
    }
    return defaults;
}

// True when two names reach the same file: the same file when both exist
// (links followed, hard links included), else the same path once links, "."
// and ".." are resolved.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::exists(a, error) && std::filesystem::exists(b, error)) {
        return std::filesystem::equivalent(a, b, error);
    }
    // A name that cannot be resolved (a link loop) is compared as written;
    // opening it reports the fault.
    const auto resolved = [](const std::filesystem::path& path) {
        std::error_code unresolved;
        std::filesystem::path full = std::filesystem::weakly_canonical(path, unresolved);
        return unresolved ? std::filesystem::absolute(path).lexically_normal() : full;
    };
    return resolved(a) == resolved(b);
}

// The plug-in rewrites its settings file at the end, which would throw away
// every pad if the two were one file.
void RefuseOneFileForBoth(const Options& options) {
    if (SameFile(options.pads, options.settings)) {
        throw UsageError("--pads and --settings name the same file (" + PathText(options.pads) +
                         "): the plug-in would write its settings over the pads");
    }
}

// Creates the data folder's files on the first run.
void SeedDefaultFiles(const Options& options, DefaultFiles defaults) {
    if (defaults.Pads && !std::filesystem::exists(options.pads)) {
        std::filesystem::create_directories(options.pads.parent_path());
        WriteSamplePads(options.pads);
        std::fprintf(stderr, "tavrin-host: created %s with two sample pads\n",
                     PathText(options.pads).c_str());
    }
    if (defaults.Settings && !std::filesystem::exists(options.settings)) {
        std::filesystem::create_directories(options.settings.parent_path());
        if (WriteSampleSettings(options.settings)) {
            std::fprintf(stderr, "tavrin-host: created %s with the sample patterns\n",
                         PathText(options.settings).c_str());
        } else {
            std::fprintf(stderr, "tavrin-host: no sample patterns found; the plug-in starts with "
                                 "an empty library\n");
        }
    }
}

} // namespace

void UseDefaultFiles(Options& options) {
    const DefaultFiles defaults = NameDefaultFiles(options);
    RefuseOneFileForBoth(options);
    SeedDefaultFiles(options, defaults);
}

namespace {

std::filesystem::path DefaultModulePath() {
    return SelfFolder() / "trPELM.trx";
}

std::string Display(const std::string& sjis) {
    try {
        return SjisToUtf8(sjis);
    } catch (const CodecError&) {
        return sjis;
    }
}

std::vector<std::string> QueryMenu(const PluginModule& plugin) {
    std::vector<std::string> items;
    for (std::int32_t n = 0;; ++n) {
        std::array<char, kMenuRecordSize> record{};
        if (plugin.GetMenu(n, record.data()) == kTrxFalse) {
            return items;
        }
        record[kMenuCaptionSize - 1] = '\0';
        items.emplace_back(record.data());
    }
}

int ExitFor(std::int32_t result) {
    return result != kTrxFalse ? 0 : 2;
}

std::int32_t ChoosePad(const Options& options, const PadStore& pads) {
    if (options.pad) {
        if (!pads.HasPad(*options.pad)) {
            throw UsageError("there is no pad " + std::to_string(*options.pad) + " in " +
                             PathText(options.pads));
        }
        return *options.pad;
    }
    if (pads.PadNumbers().empty()) {
        throw UsageError("there is no pad in " + PathText(options.pads));
    }
    return pads.PadNumbers().front();
}

int RunCommand(const Options& options, PluginModule& plugin, PadStore& pads,
               HostFrontEnd& frontEnd) {
    if (options.command == "info" || options.command == "name" ||
        options.command == "explanation") {
        std::array<char, 1024> text{};
        if (options.command != "explanation") {
            plugin.GetName(text.data(), text.size());
            std::printf("%s\n", Display(text.data()).c_str());
        }
        if (options.command != "name") {
            plugin.GetExplanation(text.data(), text.size());
            std::string explanation = Display(text.data());
            std::erase(explanation, '\r'); // its lines end in CR LF
            std::printf("%s\n", explanation.c_str());
        }
        return 0;
    }
    if (options.command == "menu") {
        const std::vector<std::string> menu = QueryMenu(plugin);
        for (std::size_t i = 0; i < menu.size(); ++i) {
            std::printf("%zu: %s\n", i, Display(menu[i]).c_str());
        }
        return 0;
    }
    if (options.command == "click") {
        const std::int32_t item = ParseNumber(options.argument, "ITEM");
        const std::int32_t pad = ChoosePad(options, pads);
        QueryMenu(plugin); // the launcher shows the menu before the user picks from it
        const std::int32_t result = plugin.MenuClick(item, pads.HandleOf(pad));
        std::printf("click %d on pad %d: %s\n", item, pad, result != kTrxFalse ? "true" : "false");
        std::printf("pad %d WallPaper=%s\n", pad,
                    Display(pads.Get(pad, "WallPaper").value_or("")).c_str());
        return ExitFor(result);
    }
    if (options.command == "import") {
        const std::int32_t pad = ChoosePad(options, pads);
        const std::vector<std::string> menu = QueryMenu(plugin);
        const std::string importCaption = Utf8ToSjis("パターンのインポート(&I)");
        std::int32_t item = -1;
        for (std::size_t i = 0; i < menu.size(); ++i) {
            if (menu[i] == importCaption) {
                item = static_cast<std::int32_t>(i);
            }
        }
        if (item < 0) {
            throw std::runtime_error("the plug-in menu has no import command");
        }
        frontEnd.SetFileAnswer(
            std::filesystem::absolute(Utf8ToFsPath(options.argument)).lexically_normal());
        const std::int32_t result = plugin.MenuClick(item, pads.HandleOf(pad));
        std::printf("import: %s\n", result != kTrxFalse ? "true" : "false");
        return ExitFor(result);
    }
    throw UsageError("unknown command " + options.command);
}

} // namespace

int RunHost(const Options& options, HostFrontEnd& frontEnd) {
    PadStore pads = PadStore::Load(options.pads);
    State().pads = &pads;
    PluginModule plugin(options.module.empty() ? DefaultModulePath() : options.module);

    const std::string settings = FsPathToHost(std::filesystem::absolute(options.settings));
    plugin.SetInitFile(settings.c_str());
    if (plugin.BeginPlugin() == kTrxFalse) {
        std::fprintf(stderr, "tavrin-host: the plug-in did not start\n");
        return 2;
    }
    const bool gui = options.command == "gui";
    int status = 1;
    try {
        status =
            gui ? frontEnd.RunWindow(plugin, pads) : RunCommand(options, plugin, pads, frontEnd);
    } catch (...) {
        // The plug-in is ended in any case, as the launcher would on closing.
        plugin.EndPlugin();
        pads.SaveIfModified();
        State().pads = nullptr;
        throw;
    }
    const bool ended = plugin.EndPlugin() != kTrxFalse;
    pads.SaveIfModified();
    State().pads = nullptr;
    if (!ended) {
        std::fprintf(stderr, "tavrin-host: the plug-in could not end cleanly\n");
        return 2;
    }
    return status;
}

namespace {

// Whoever adds --help to a command line wants to know what it would do, not
// to have it done.
bool AsksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

} // namespace

int HostMain(const std::vector<std::string>& args,
             const std::function<HostFrontEnd&(const Options&)>& prepare) {
    try {
        if (args.empty() || AsksForHelp(args)) {
            std::fputs(kUsage, args.empty() ? stderr : stdout);
            return args.empty() ? 1 : 0;
        }
        if (args[0] == "--version") {
            std::printf("tavrin-host %s (Pelmora)\n", PELMORA_VERSION);
            return 0;
        }
        Options options = ParseOptions(args);
        UseDefaultFiles(options);
        return RunHost(options, prepare(options));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tavrin-host: %s\n(tavrin-host --help shows the usage)\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrin-host: %s\n", e.what());
    }
    return 1;
}

} // namespace pelmora::host
