#pragma once
// The module's modal dialogs in Qt, each a window built from its form. None
// has a parent: it is centred on the desktop, and the window that opened it
// may be destroyed (the plug-in ending) while it is open.
#include "logic/ModalForms.h"
#include "qt/FormWindow.h"

#include <optional>
#include <string>

namespace pelmora {

class QtModalForms final : public ModalForms {
public:
    bool Run(const FormTable& table, const Attach& attach) override {
        QtForm form(table);
        form.Attach(attach(form));
        return form.exec() == QDialog::Accepted;
    }
};

// The dialog service's one-line input box (QtPrompts' InputBox).
inline std::optional<std::string> RunQtInputBox(Prompts& prompts, const InputRequest& request) {
    QtModalForms forms;
    return RunInputBox(forms, prompts, request);
}

} // namespace pelmora
