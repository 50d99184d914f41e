#pragma once
// The pattern editor window in Qt: a window built from its form, and the
// editor's own dialogs.
#include "logic/EditorDialogs.h"
#include "logic/PatternEditorWindow.h"
#include "platform/prompts.h"
#include "qt/FormWindow.h"

#include <functional>

namespace pelmora {

// The gradient editor and the fine-adjust dialog, each without a parent: the
// window may be destroyed (the plug-in ending) while one is open, and must
// not take it along.
class QtEditorDialogs final : public EditorDialogs {
public:
    // The gradient editor asks for colours and positions through the service
    // `dialogs` gives when it opens.
    explicit QtEditorDialogs(std::function<Prompts&()> dialogs) : dialogs_(std::move(dialogs)) {}

    bool EditGradient(TGrad& gradient) override;
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override;

private:
    std::function<Prompts&()> dialogs_;
};

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
