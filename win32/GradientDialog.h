#pragma once
// The gradient editor dialog with the platform's own
// controls, modal over its owner, and the component that owns the gradient
// the dialog edits in place.
#include "gradient/Gradient.h"
#include "platform/prompts.h"

#include <windows.h>

#include <memory>

namespace pelmora {

// Edits `gradient` in place in the gradient editor, shown modally over
// `owner` (null: none); returns true when it was closed with OK. Cancel does
// not undo the edits: the caller decides from the result whether to use
// `gradient`, and reloads it before the next use. Every window and GDI
// object of the dialog is released before it returns. Throws when the
// dialog cannot be made. Colours and positions are asked through `prompts`.
bool ExecuteGradientDialog(HWND owner, Prompts& prompts, TGrad& gradient);

class TGradDialog {
public:
    explicit TGradDialog(Prompts& prompts)
        : prompts_(prompts), gradation_(std::make_unique<TGrad>()) {}

    // Loaded by the caller before Execute and read after a true result. The
    // dialog changes it while it is open, also when it is cancelled.
    TGrad& Gradation() { return *gradation_; }
    const TGrad& Gradation() const { return *gradation_; }

    // Shows the editor modally over `owner` on Gradation; true when it was
    // closed with OK.
    bool Execute(HWND owner) { return ExecuteGradientDialog(owner, prompts_, *gradation_); }

private:
    Prompts& prompts_;
    std::unique_ptr<TGrad> gradation_;
};

} // namespace pelmora
