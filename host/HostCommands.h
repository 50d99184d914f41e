#pragma once
// The stand-in launcher's command line, the same on every platform: options,
// the default files, and loading, starting, driving and ending the plug-in.
// What depends on the toolkit around it (answering the plug-in's dialogs,
// the launcher's window) comes through HostFrontEnd.
#include "host/PadStore.h"
#include "host/PluginModule.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmora::host {

extern const char* const kUsage;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::filesystem::path pads;
    std::filesystem::path settings;
    std::filesystem::path module;
    std::string command;
    std::string argument; // UTF-8
    std::optional<std::int32_t> pad;
};

// `args` are UTF-8, without the program's name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& args);
// Fills in the default files and creates them on the first run.
void UseDefaultFiles(Options& options);

class HostFrontEnd {
public:
    virtual ~HostFrontEnd() = default;
    // The file the plug-in's next file dialog is answered with.
    virtual void SetFileAnswer(const std::filesystem::path& file) = 0;
    // The launcher's window, until it is closed; returns the exit status.
    virtual int RunWindow(PluginModule& plugin, PadStore& pads) = 0;
};

// Loads the pads and the module, hands it the settings file, starts it, runs
// the command and ends it, as the launcher does. Returns the exit status: 0
// when the command's entry point answered true, 2 when it answered false.
int RunHost(const Options& options, HostFrontEnd& frontEnd);

// The whole program for `args` (UTF-8, without the program's name): usage,
// errors and the exit status. `prepare` runs once the options are known,
// before the module is loaded, and gives the front end.
int HostMain(const std::vector<std::string>& args,
             const std::function<HostFrontEnd&(const Options&)>& prepare);

} // namespace pelmora::host
