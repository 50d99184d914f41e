#include "qt/Grad.h"

#include "qt/GradForm.h"

namespace pelmora {

TGradDialog::TGradDialog(QObject* parent) : QObject(parent), Gradation_(std::make_unique<TGrad>()) {
    setObjectName(QStringLiteral("TGradDialog"));
}

TGradDialog::~TGradDialog() = default;

bool TGradDialog::Execute() {
    // No parent: the dialog is centred on the desktop and freed here.
    TGradDlg dialog;
    dialog.SetGradient(*Gradation_);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace pelmora
