#pragma once
// The module's dialogs in Qt, each a window built from its form: the gradient
// editor (and the component that owns the gradient it edits in place), the
// fine-adjust dialog and the dialog service's input box.
#include "logic/FineAdjustWindow.h"
#include "logic/GradientDialogWindow.h"
#include "logic/InputBoxWindow.h"
#include "qt/FormWindow.h"

#include <memory>
#include <optional>
#include <string>

namespace pelmora {

class TGradDlg final : public QtForm {
    Q_OBJECT
public:
    // Asks for colours and positions through `dialogs`.
    explicit TGradDlg(Prompts& dialogs, QWidget* parent = nullptr)
        : QtForm(GradientDialogWindow::Table(), parent), window_(*this, dialogs) {
        Attach(window_);
    }

    // Edits `gradient` in place from now on (the caller keeps ownership).
    void SetGradient(TGrad& gradient) { window_.SetGradient(gradient); }
    const TGrad& Target() const { return window_.Logic().Target(); }
    const GradientDialogLogic& Logic() const { return window_.Logic(); }

private:
    GradientDialogWindow window_;
};

class TGradDialog : public QObject {
    Q_OBJECT
public:
    explicit TGradDialog(Prompts& dialogs, QObject* parent = nullptr)
        : QObject(parent), dialogs_(dialogs), gradation_(std::make_unique<TGrad>()) {
        setObjectName(QStringLiteral("TGradDialog"));
    }

    // Loaded by the caller before Execute and read after a true result. The
    // dialog changes it while it is open, also when it is cancelled.
    TGrad& Gradation() { return *gradation_; }
    const TGrad& Gradation() const { return *gradation_; }

    // Shows the editor modally on Gradation; true when it was closed with OK.
    bool Execute() {
        // No parent: the dialog is centred on the desktop and freed here.
        TGradDlg dialog(dialogs_);
        dialog.SetGradient(*gradation_);
        return dialog.exec() == QDialog::Accepted;
    }

private:
    Prompts& dialogs_;
    std::unique_ptr<TGrad> gradation_;
};

class TValueForm final : public QtForm {
    Q_OBJECT
public:
    explicit TValueForm(QWidget* parent = nullptr)
        : QtForm(FineAdjustWindow::Table(), parent), window_(*this) {
        Attach(window_);
    }

    // A part's region (0 whole button, 1 icon area, 2 name area), whether it
    // is a frame, its thicknesses and outer-edge adjustments.
    void SetValues(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer) {
        window_.SetValues(area, isFrame, thick, outer);
    }
    TTrim GetOuter() const { return window_.Logic().GetOuter(); }
    TTrim GetThick() const { return window_.Logic().GetThick(); }
    bool ThickMode() const { return window_.Logic().ThickMode(); }
    const FineAdjustLogic& Logic() const { return window_.Logic(); }

private:
    FineAdjustWindow window_;
};

// The dialog service's one-line input box (QtPrompts' InputBox): the text on
// OK, nothing on Cancel; a refused text is explained through `prompts`.
inline std::optional<std::string> RunInputBox(Prompts& prompts, const InputRequest& request) {
    QtForm box(InputBoxWindow::Table());
    InputBoxWindow input(box, prompts, request);
    box.Attach(input);
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return input.Text();
}

} // namespace pelmora
