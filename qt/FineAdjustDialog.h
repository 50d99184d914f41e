#pragma once
// The fine-adjust dialog in Qt: a window built from its form.
#include "logic/FineAdjustWindow.h"
#include "qt/FormWindow.h"

namespace pelmora {

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

} // namespace pelmora
