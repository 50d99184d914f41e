#pragma once
// The fine-adjust dialog as a window: its form, and its logic wired to a
// window built from it.
#include "logic/FormWindow.h"
#include "logic/FineAdjustLogic.h"

namespace pelmora {

class FineAdjustWindow final : public FormEvents, private FineAdjustView {
public:
    static const FormTable& Table();

    // Shows a new dialog's state in `window`, which is built from Table().
    explicit FineAdjustWindow(FormWindow& window);

    FineAdjustLogic& Logic() { return logic_; }
    const FineAdjustLogic& Logic() const { return logic_; }
    // Loads a part's region (0 whole button, 1 icon area, 2 name area), whether
    // it is a frame, and its thicknesses and outer-edge adjustments.
    void SetValues(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer);

    bool Handle(const FormEvent& event) override;

private:
    void ShowUpDowns();

    // FineAdjustView
    void ShowText(ValueControl label, const std::string& text) override;
    void ShowVisible(ValueControl control, bool visible) override;
    void ShowChecked(ValueControl radio, bool checked) override;
    void ShowShape(ValueControl shape, const ShapeLook& look) override;
    void CloseDialog(bool ok) override;

    FormWindow& window_;
    FineAdjustLogic logic_;
};

} // namespace pelmora
