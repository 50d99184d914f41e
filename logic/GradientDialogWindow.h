#pragma once
// The gradient editor dialog as a window: its form, its stop menu, and its
// logic wired to a window built from them.
#include "logic/FormWindow.h"
#include "logic/GradientDialogLogic.h"

namespace pelmora {

class GradientDialogWindow final : public FormEvents, private GradientDialogView {
public:
    static const FormTable& Table();

    // Shows a new dialog's state in `window`, which is built from Table().
    GradientDialogWindow(FormWindow& window, Prompts& dialogs);

    GradientDialogLogic& Logic() { return logic_; }
    const GradientDialogLogic& Logic() const { return logic_; }
    // Edits `gradient` in place from now on (the caller keeps ownership).
    void SetGradient(TGrad& gradient);

    bool Handle(const FormEvent& event) override;
    bool Accepts(std::string_view control, std::string_view text) override;

private:
    void ShowUpDown(GradControl upDown);

    // GradientDialogView
    void ShowKind(int kind) override;
    void ShowKindPictures(const std::array<Bitmap24, 4>& pictures) override;
    void ShowNumber(GradControl field, int value) override;
    void ShowEnabled(GradControl control, bool enabled) override;
    void ShowChecked(GradControl control, bool checked) override;
    void ShowPicture(GradControl box, const Bitmap24& picture) override;
    void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) override;
    std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) override;
    void PostEditStopColor(int index) override;
    void CloseDialog(bool ok) override;

    FormWindow& window_;
    GradientDialogLogic logic_;
};

} // namespace pelmora
