#include "qt/PatternEditor.h"

#include "logic/EditorDialogs.h"
#include "qt/FineAdjustDialog.h"
#include "qt/GradientDialog.h"

namespace pelmora {
namespace {

// The editor's own dialogs. Without a parent: the window may be destroyed
// (the plug-in ending) while one is open, and must not take it along.
class QtEditorDialogs final : public EditorDialogs {
public:
    bool EditGradient(TGrad& gradient) override {
        TGradDialog dialog;
        dialog.Gradation().Assign(gradient);
        if (!dialog.Execute()) {
            return false;
        }
        gradient.Assign(dialog.Gradation());
        return true;
    }
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override {
        TValueForm dialog;
        dialog.SetValues(area, isFrame, thick, outer);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return AreaAdjustment{dialog.GetOuter(), dialog.GetThick()};
    }
};

// Stateless, so it can outlive a window destroyed under an open dialog.
QtEditorDialogs& Dialogs() {
    static QtEditorDialogs dialogs;
    return dialogs;
}

} // namespace

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, QWidget* parent)
    : QtForm(PatternEditorWindow::Table(), parent), window_(*this, library, settings, host, Dialogs()) {
    setAttribute(Qt::WA_DeleteOnClose);
    Attach(window_);
}

} // namespace pelmora
