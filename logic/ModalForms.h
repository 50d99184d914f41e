#pragma once
// The project's modal dialogs, each written once over a toolkit's way of
// showing a form modally: the toolkit builds the window from the form table,
// these attach the window's logic, fill it in and read its answer.
#include "logic/EditorDialogs.h"
#include "logic/FormWindow.h"
#include "platform/prompts.h"

#include <functional>
#include <optional>
#include <string>

namespace pelmora {

class ModalForms {
public:
    // The logic of a window, made once the window is built.
    using Attach = std::function<FormEvents&(FormWindow&)>;
    virtual ~ModalForms() = default;
    // Shows the window of `table` modally until it closes; true when it
    // closed with OK. Throws when it cannot be opened.
    virtual bool Run(const FormTable& table, const Attach& attach) = 0;
};

// The gradient editor and the fine-adjust dialog; the gradient editor asks
// for colours and positions through the service `prompts` gives as it opens
// (the module's service may be replaced while the editor lives).
class FormEditorDialogs final : public EditorDialogs {
public:
    FormEditorDialogs(ModalForms& forms, std::function<Prompts&()> prompts)
        : forms_(forms), prompts_(std::move(prompts)) {}

    // Edits `gradient` in place: Cancel leaves the abandoned edits in it.
    bool EditGradient(TGrad& gradient) override;
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override;

private:
    ModalForms& forms_;
    std::function<Prompts&()> prompts_;
};

// The dialog service's one-line input box: the text on OK, nothing on
// Cancel; a refused text is explained through `prompts`.
std::optional<std::string> RunInputBox(ModalForms& forms, Prompts& prompts,
                                       const InputRequest& request);

} // namespace pelmora
