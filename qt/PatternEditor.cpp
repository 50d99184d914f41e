#include "qt/PatternEditor.h"

#include "qt/Dialogs.h"

namespace pelmora {

bool QtEditorDialogs::EditGradient(TGrad& gradient) {
    TGradDialog dialog(dialogs_());
    dialog.Gradation().Assign(gradient);
    if (!dialog.Execute()) {
        return false;
    }
    gradient.Assign(dialog.Gradation());
    return true;
}

std::optional<AreaAdjustment> QtEditorDialogs::AdjustArea(std::uint8_t area, bool isFrame,
                                                          const TTrim& thick, const TTrim& outer) {
    TValueForm dialog;
    dialog.SetValues(area, isFrame, thick, outer);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return AreaAdjustment{dialog.GetOuter(), dialog.GetThick()};
}

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
                     EditorDialogs& dialogs, QWidget* parent)
    : QtForm(PatternEditorWindow::Table(), parent),
      window_(*this, library, settings, host, dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    Attach(window_);
}

} // namespace pelmora
