#pragma once
// The fine-adjust dialog's behaviour: moves a part's four outer edges and, for
// a frame, its four frame thicknesses, one pixel per arrow click, over a
// schematic of the region. It works on its own copies; the caller reads them
// after OK.
#include "logic/FineAdjustView.h"
#include "logic/UpDownState.h"
#include "pattern/Pattern.h"

#include <cstdint>

namespace pelmora {

class FineAdjustLogic {
public:
    explicit FineAdjustLogic(FineAdjustView& view);
    FineAdjustLogic(const FineAdjustLogic&) = delete;
    FineAdjustLogic& operator=(const FineAdjustLogic&) = delete;

    // Shows the state of a new dialog: outer-edge mode, the design-time schematic.
    void FormCreate();
    // Loads a part's region (0 whole button, 1 icon area, 2 name area), whether
    // it is a frame, and its thicknesses and outer-edge adjustments.
    void SetValues(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer);
    TTrim GetOuter() const { return outer_; }
    TTrim GetThick() const { return thick_; }
    // True while the arrows move the frame's inner edges.
    bool ThickMode() const { return thickMode_; }
    // udLeft, udTop, udRight or udBottom.
    const UpDownState& UpDown(ValueControl control) const;

    // Events, named after control and event.
    void FormShow();
    // An arrow of udLeft, udTop, udRight or udBottom: direction > 0 is the
    // right or up arrow.
    void udTopClick(ValueControl upDown, int direction);
    // Either radio button; `thickMode` is whether rbIn is now the one selected.
    void rbOutClick(bool thickMode);
    void btResetClick();
    void btOKClick();
    void btCancelClick();

private:
    void SetRanges();
    void ShowPositions();
    void UpdateView();
    // The up-down state of udLeft, udTop, udRight or udBottom.
    template <typename Self> static auto& ArrowsOf(Self& self, ValueControl control);

    FineAdjustView& view_;
    TTrim outer_;
    TTrim thick_{1, 1, 1, 1};
    std::uint8_t area_ = paAll;
    bool thickMode_ = false;
    UpDownState udLeft_;
    UpDownState udTop_;
    UpDownState udRight_;
    UpDownState udBottom_;
};

} // namespace pelmora
