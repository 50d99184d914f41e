#pragma once
// The stand-in launcher's window: every pad of the pad file as a grid of
// buttons drawn on the pad's wallpaper, and the plug-in's menu. Picking a menu
// item clicks it from the selected pad.
#include "host/PadStore.h"
#include "host/PluginModule.h"

#include <QMainWindow>

#include <cstddef>
#include <optional>
#include <vector>

class QLabel;
class QMenu;

namespace pelmora::host {

class PadView;

class HostWindow final : public QMainWindow {
    Q_OBJECT

public:
    HostWindow(PluginModule& plugin, PadStore& pads);

    std::optional<std::int32_t> SelectedPad() const { return selectedPad_; }
    void SelectPad(std::int32_t number);
    // Asks the plug-in for its menu again.
    void RebuildMenu();

protected:
    // The launcher ends with its window, also while a plug-in window is open.
    void closeEvent(QCloseEvent* e) override;

private:
    void ClickMenuItem(std::int32_t number);
    // Picks up what the plug-in did on its own (a trial wallpaper from its
    // editor, a request to list its menu again).
    void Poll();

    PluginModule& plugin_;
    PadStore& pads_;
    std::vector<PadView*> views_;
    QMenu* pluginMenu_ = nullptr;
    QLabel* status_ = nullptr;
    std::optional<std::int32_t> selectedPad_;
    std::size_t menuRequestsSeen_ = 0;
};

// Shows the window and runs until it is closed; returns the exit status.
int RunHostWindow(PluginModule& plugin, PadStore& pads);

} // namespace pelmora::host
