#pragma once
// The gradient editor as a component: it owns the gradient that the editor
// dialog edits in place.
#include "gradient/GradObj.h"

#include <windows.h>

#include <memory>

namespace pelmora {

class TGradDialog {
public:
    TGradDialog();
    ~TGradDialog();
    TGradDialog(const TGradDialog&) = delete;
    TGradDialog& operator=(const TGradDialog&) = delete;

    // Loaded by the caller before Execute and read after a true result. The
    // dialog changes it while it is open, also when it is cancelled.
    TGrad& Gradation() { return *Gradation_; }
    const TGrad& Gradation() const { return *Gradation_; }

    // Shows the editor modally over `owner` on Gradation; true when it was
    // closed with OK.
    bool Execute(HWND owner);

private:
    std::unique_ptr<TGrad> Gradation_;
};

} // namespace pelmora
