#pragma once
// The project's own modal dialogs that the pattern editor opens. The colour
// dialog and message boxes go through the dialog service (Prompts) instead.
#include "gradient/Gradient.h"
#include "pattern/Pattern.h"

#include <cstdint>
#include <optional>

namespace pelmora {

// A part's drawing area as the fine-adjust dialog leaves it.
struct AreaAdjustment {
    TTrim Outer;
    TTrim Thick;
};

class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;
    // The gradient editor on `gradient`; true on OK, with the result in
    // `gradient`. On Cancel `gradient` may hold the abandoned edits.
    virtual bool EditGradient(TGrad& gradient) = 0;
    // The fine-adjust dialog for a part's region (0 whole button, 1 icon area,
    // 2 name area); nullopt on Cancel.
    virtual std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame,
                                                     const TTrim& thick, const TTrim& outer) = 0;
};

} // namespace pelmora
