// tavrin-host on Windows: the command line, with the plug-in's dialogs (the
// platform's own) answered as they come up. The launcher's window is not
// part of the Windows stand-in yet.
#include "host/HostCommands.h"
#include "host/win32/DialogAnswerer.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::host {
namespace {

class Win32FrontEnd final : public HostFrontEnd {
public:
    Win32FrontEnd() : answerer_(stdout) {}
    void SetFileAnswer(const std::filesystem::path& file) override {
        answerer_.SetFileAnswer(file);
    }
    int RunWindow(PluginModule&, PadStore&) override {
        throw UsageError("the launcher's window (gui) is not available on Windows yet");
    }

private:
    Win32DialogAnswerer answerer_;
};

} // namespace
} // namespace pelmora::host

int wmain(int argc, wchar_t** argv) {
    using namespace pelmora::host;
    // What the host prints is UTF-8; a console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    try {
        for (int i = 1; i < argc; ++i) {
            args.push_back(pelmora::win32::Narrow(argv[i]));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrin-host: %s\n", e.what());
        return 1;
    }
    std::unique_ptr<Win32FrontEnd> frontEnd;
    return HostMain(args, [&](const Options&) -> HostFrontEnd& {
        frontEnd = std::make_unique<Win32FrontEnd>();
        return *frontEnd;
    });
}
