// tavrin-host on Linux: the command line with Qt around it. Dialogs the
// plug-in opens from the command line are answered off screen; "gui" opens
// the launcher's window.
#include "host/DialogAnswerer.h"
#include "host/HostCommands.h"
#include "host/HostWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::host {
namespace {

class QtFrontEnd final : public HostFrontEnd {
public:
    QtFrontEnd(int& argc, char** argv, bool gui) : application_(argc, argv) {
        // Qt's own dialogs and their questions speak Japanese, as the plug-in does.
        if (japanese_.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(&japanese_);
        }
        if (!gui) {
            answerer_ = std::make_unique<DialogAnswerer>(stdout);
        }
    }
    void SetFileAnswer(const std::filesystem::path& file) override {
        answerer_->SetFileAnswer(QString::fromStdString(file.string()));
    }
    int RunWindow(PluginModule& plugin, PadStore& pads) override {
        return RunHostWindow(plugin, pads);
    }

private:
    QApplication application_;
    QTranslator japanese_;
    std::unique_ptr<DialogAnswerer> answerer_;
};

} // namespace
} // namespace pelmora::host

int main(int argc, char** argv) {
    using namespace pelmora::host;
    std::unique_ptr<QtFrontEnd> frontEnd;
    return HostMain(std::vector<std::string>(argv + 1, argv + argc),
                    [&](const Options& options) -> HostFrontEnd& {
                        const bool gui = options.command == "gui";
                        // Nobody sits at a command line's dialogs: they open
                        // off screen and the answerer deals with them.
                        if (!gui) {
                            qputenv("QT_QPA_PLATFORM", "offscreen");
                        }
                        if (!gui && !qEnvironmentVariableIsSet("QT_LOGGING_RULES")) {
                            // Qt's notes about the off-screen platform mean
                            // nothing to the user.
                            qputenv("QT_LOGGING_RULES", "default.warning=false;qt.qpa.*=false");
                        }
                        frontEnd = std::make_unique<QtFrontEnd>(argc, argv, gui);
                        return *frontEnd;
                    });
}
