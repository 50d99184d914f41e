// The user's current colours: a change of colour scheme reaches the next
// painting.
#include "platform/syscolors.h"

#include <windows.h>

namespace pelmora {

TColor SystemColor(int index) {
    // GetSysColor knows indexes up to COLOR_MENUBAR; anything else is black,
    // as in the stand-in table.
    if (index < 0 || index > COLOR_MENUBAR) {
        return Rgb(0, 0, 0);
    }
    return static_cast<TColor>(GetSysColor(index)) & 0x00FFFFFFu;
}

} // namespace pelmora
