// Where the module meets its Qt views: the dialog service, the editor window
// and its dialogs are Qt's. Only objects are made here; the Qt application
// comes with the first window.
#include "plugin/QtComposition.h"

#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtPrompts.h"
#include "plugin/EntryPoints.h"
#include "qt/Dialogs.h"
#include "qt/PatternEditor.h"

#include <QPointer>

#include <memory>

namespace pelmora {
namespace {

class QtEditorLauncher final : public EditorLauncher {
public:
    QtEditorLauncher() : dialogs_(forms_, []() -> Prompts& { return *QtModule().Dialogs; }) {}

    bool Open(PatternLibrary& library, TIniData& settings, EditorHost& host) override {
        if (window_) {
            return false;
        }
        EnsureQtApplication();
        // Owned by Qt: the window deletes itself when it closes.
        window_ = new TEditForm(library, settings, host, dialogs_);
        window_->show();
        return true;
    }

    void Close() override {
        if (TEditForm* window = window_) {
            // Destroyed now, not later: the library it was made from is going.
            std::unique_ptr<TEditForm> owned(window);
        }
    }

private:
    // Outlives every window: a window may be destroyed (the plug-in ending)
    // under one of its dialogs.
    QtModalForms forms_;
    FormEditorDialogs dialogs_;
    QPointer<TEditForm> window_;
};

} // namespace

ModuleContext& QtModule() {
    static ModuleContext module(std::make_unique<QtPrompts>(RunQtInputBox),
                                std::make_unique<QtEditorLauncher>(),
                                std::make_unique<QtClipboard>());
    return module;
}

} // namespace pelmora

PELMORA_DEFINE_ENTRY_POINTS(pelmora::QtModule)
