#pragma once
// The module's Qt dialogs as the tests meet them: built as the module builds
// them, or found as they show, modal, by their window class.
#include "qt/FormWindow.h"

#include <utility>

namespace pelmora::testing {

// The form of `W`'s table with the window's logic attached, as QtModalForms
// makes a dialog, but not shown.
template <typename W> class FormWith : public QtForm {
public:
    template <typename... Args>
    explicit FormWith(Args&&... args)
        : QtForm(W::Table()), window_(*this, std::forward<Args>(args)...) {
        Attach(window_);
    }
    W& Window() { return window_; }

private:
    W window_;
};

// The logic of a dialog the module made, as the window it is.
template <typename W> W& WindowOf(QtForm* form) {
    return dynamic_cast<W&>(*form->Events());
}

} // namespace pelmora::testing
