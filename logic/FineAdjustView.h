#pragma once
// What the fine-adjust dialog's logic tells its view to show. Controls carry
// the dialog's control names; texts are UTF-8; the schematic's shapes come with
// their rectangles, colours and outline styles in dialog pixels.
#include "logic/FormWindow.h"
#include "platform/bitmap.h"

#include <string>

namespace pelmora {

// The controls whose state the logic sets.
enum class ValueControl {
    rbOut,
    rbIn,
    spComment,
    lbStandard,
    spOut,
    spIn,
    lbLeft,
    lbTop,
    lbRight,
    lbBottom,
    spStandard,
    udLeft,
    udTop,
    udRight,
    udBottom,
};

// Nothing shown through this interface comes back as an event: a view makes
// these changes with its controls' notifications held back, so the logic needs
// no guard against its own updates.
class FineAdjustView {
public:
    virtual ~FineAdjustView() = default;

    // A label's text (lbStandard, lbLeft, lbTop, lbRight, lbBottom).
    virtual void ShowText(ValueControl label, const std::string& text) = 0;
    // rbOut, rbIn, spIn.
    virtual void ShowVisible(ValueControl control, bool visible) = 0;
    // rbOut, rbIn.
    virtual void ShowChecked(ValueControl radio, bool checked) = 0;
    // spOut, spIn, spStandard, spComment.
    virtual void ShowShape(ValueControl shape, const ShapeLook& look) = 0;
    virtual void CloseDialog(bool ok) = 0;
};

} // namespace pelmora
