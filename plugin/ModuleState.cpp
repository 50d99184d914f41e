#include "plugin/ModuleState.h"

namespace pelmora {

TModuleState& Module() {
    static TModuleState state;
    return state;
}

} // namespace pelmora
