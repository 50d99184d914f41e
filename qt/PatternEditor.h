#pragma once
// The pattern editor window in Qt: a window built from its form.
#include "logic/EditorDialogs.h"
#include "logic/PatternEditorWindow.h"
#include "qt/FormWindow.h"

namespace pelmora {

class TEditForm final : public QtForm {
    Q_OBJECT
public:
    // Copies `library`; takes its bounds from `settings` and stores them back
    // there when destroyed. Creates the trial file (throws when it cannot).
    // Deletes itself when it closes.
    TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, EditorDialogs& dialogs,
              QWidget* parent = nullptr);

    PatternEditorLogic& Logic() { return window_.Logic(); }
    const PatternEditorLogic& Logic() const { return window_.Logic(); }

private:
    PatternEditorWindow window_;
};

} // namespace pelmora
