#include "qt/PatternEditor.h"

namespace pelmora {

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
                     EditorDialogs& dialogs, QWidget* parent)
    : QtForm(PatternEditorWindow::Table(), parent),
      window_(*this, library, settings, host, dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    Attach(window_);
}

} // namespace pelmora
