#include "win32/EditDialogs.h"

#include "win32/GradForm.h"
#include "win32/value.h"

namespace pelmora {

bool Win32EditorDialogs::EditGradient(TGrad& gradient) {
    return ExecuteGradDialog(owner_ ? owner_() : nullptr, gradient);
}

std::optional<AreaAdjustment> Win32EditorDialogs::AdjustArea(std::uint8_t area, bool isFrame,
                                                             const TTrim& thick,
                                                             const TTrim& outer) {
    return ExecuteValueForm(owner_ ? owner_() : nullptr, area, isFrame, thick, outer);
}

} // namespace pelmora
