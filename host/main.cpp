// tavrin-host: a stand-in for the Tavrin launcher. It keeps pads in a pad file,
// exports the launcher's functions for plug-ins, and drives a plug-in module
// through its seven entry points from the command line.
#include "host/DialogAnswerer.h"
#include "host/HostApi.h"
#include "host/HostWindow.h"
#include "host/PadStore.h"
#include "host/PluginModule.h"
#include "platform/cp932.h"

#include <QApplication>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::host {
namespace {

constexpr const char* kUsage =
    R"(Usage: tavrin-host run --pads PADS.ini --settings SETTINGS.ini [--module PATH] COMMAND

Loads the plug-in module (trPELM.trx beside this program unless --module
names another), gives it SETTINGS.ini as its settings file, starts it, runs
COMMAND and ends it, which writes the settings file back.

Commands:
  info                 print the plug-in's name and explanation
  menu                 print the plug-in menu, one numbered item a line
  click ITEM --pad ID  click menu item ITEM from pad ID; item 1 applies the
                       first pattern, which becomes the pad's WallPaper
  import FILE [--pad ID]
                       click the menu's import command and choose FILE in its
                       file dialog
  gui                  open the launcher's window: the pads drawn with their
                       wallpapers and the plug-in menu, clicked from the
                       selected pad; the dialogs are the user's to answer

PADS.ini holds one section per pad, named by the pad's identifier:
  [1]
  BtnWidth=80
  BtnHeight=60
  BtnCaption=1
  BtnSmallIcon=0
  BtnColor=$8000000F
  WallPaper=
Texts in both files are Shift-JIS. A pad's handle, the value a plug-in's menu
click receives, is its identifier plus 4096. Dialogs the plug-in opens are
answered here: messages are printed and confirmed, other dialogs cancelled.

Exit status: 0 when the command's entry point answered true, 2 when it
answered false, 1 on any other error.
)";

struct Options {
    std::filesystem::path pads;
    std::filesystem::path settings;
    std::filesystem::path module;
    std::string command;
    std::string argument;
    std::optional<std::int32_t> pad;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

Options ParseOptions(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "run") {
        throw UsageError("the first word must be \"run\"");
    }
    Options options;
    std::vector<std::string> words;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError(arg + " needs a value");
            }
            return args[++i];
        };
        if (arg == "--pads") {
            options.pads = value();
        } else if (arg == "--settings") {
            options.settings = value();
        } else if (arg == "--module") {
            options.module = value();
        } else if (arg == "--pad") {
            options.pad = ParseNumber(value(), "--pad");
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError("unknown option " + arg);
        } else {
            words.push_back(arg);
        }
    }
    if (options.pads.empty() || options.settings.empty()) {
        throw UsageError("--pads and --settings are required");
    }
    if (words.empty()) {
        throw UsageError("a command is required");
    }
    options.command = words[0];
    if (options.command != "info" && options.command != "menu" && options.command != "click" &&
        options.command != "import" && options.command != "gui") {
        throw UsageError("unknown command " + options.command);
    }
    const bool needsArgument = options.command == "click" || options.command == "import";
    if (words.size() != (needsArgument ? 2u : 1u)) {
        throw UsageError("wrong number of arguments for " + options.command);
    }
    if (needsArgument) {
        options.argument = words[1];
    }
    if (options.command == "click" && !options.pad) {
        throw UsageError("click needs --pad");
    }
    return options;
}

std::filesystem::path DefaultModulePath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(".") : self.parent_path()) / "trPELM.trx";
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
                             options.pads.string());
        }
        return *options.pad;
    }
    const std::vector<std::int32_t> ids = pads.PadIds();
    if (ids.empty()) {
        throw UsageError("there is no pad in " + options.pads.string());
    }
    return ids.front();
}

int RunCommand(const Options& options, PluginModule& plugin, PadStore& pads,
               DialogAnswerer& answerer) {
    if (options.command == "info") {
        std::array<char, 1024> text{};
        plugin.GetName(text.data(), text.size());
        std::printf("%s\n", Display(text.data()).c_str());
        plugin.GetExplanation(text.data(), text.size());
        std::printf("%s\n", Display(text.data()).c_str());
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
        const std::int32_t result = plugin.MenuClick(item, PadStore::HandleForId(pad));
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
        answerer.SetFileAnswer(QString::fromStdString(
            std::filesystem::absolute(options.argument).lexically_normal().string()));
        const std::int32_t result = plugin.MenuClick(item, PadStore::HandleForId(pad));
        std::printf("import: %s\n", result != kTrxFalse ? "true" : "false");
        return ExitFor(result);
    }
    throw UsageError("unknown command " + options.command);
}

int Run(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 1 : 0;
    }
    const Options options = ParseOptions(args);

    const bool gui = options.command == "gui";
    // Nobody sits at a command line's dialogs: they open off screen and the
    // answerer deals with them.
    if (!gui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!gui && !qEnvironmentVariableIsSet("QT_LOGGING_RULES")) {
        // Qt's notes about the off-screen platform mean nothing to the user.
        qputenv("QT_LOGGING_RULES", "default.warning=false;qt.qpa.*=false");
    }
    QApplication application(argc, argv);
    std::optional<DialogAnswerer> answerer;
    if (!gui) {
        answerer.emplace(stdout);
    }

    PadStore pads = PadStore::Load(options.pads);
    State().pads = &pads;
    PluginModule plugin(options.module.empty() ? DefaultModulePath() : options.module);

    const std::string settings = Utf8ToSjis(std::filesystem::absolute(options.settings).string());
    plugin.SetInitFile(settings.c_str());
    if (plugin.BeginPlugin() == kTrxFalse) {
        std::fprintf(stderr, "tavrin-host: the plug-in did not start\n");
        return 2;
    }
    int status = 1;
    try {
        status = gui ? RunHostWindow(plugin, pads) : RunCommand(options, plugin, pads, *answerer);
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

} // namespace
} // namespace pelmora::host

int main(int argc, char** argv) {
    try {
        return pelmora::host::Run(argc, argv);
    } catch (const pelmora::host::UsageError& e) {
        std::fprintf(stderr, "tavrin-host: %s\n(tavrin-host --help shows the usage)\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrin-host: %s\n", e.what());
    }
    return 1;
}
