#include "win32/Grad.h"

#include "win32/GradForm.h"

namespace pelmora {

TGradDialog::TGradDialog() : Gradation_(std::make_unique<TGrad>()) {}

TGradDialog::~TGradDialog() = default;

bool TGradDialog::Execute(HWND owner) {
    return ExecuteGradDialog(owner, *Gradation_);
}

} // namespace pelmora
