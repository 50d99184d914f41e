#pragma once
// The module's modal dialogs with the platform's own controls, each built
// from its form and shown over the window `owner` names as it opens (null:
// none), centred on the work area of the owner's monitor. Every window and
// GDI object of a dialog is released before it returns; a dialog that cannot
// be made throws. Its questions and its handlers' errors go through `prompts`.
#include "logic/ModalForms.h"
#include "win32/FormWindow.h"

#include <functional>

namespace pelmora {

class Win32ModalForms final : public ModalForms {
public:
    Win32ModalForms(std::function<HWND()> owner, Prompts& prompts)
        : owner_(std::move(owner)), prompts_(prompts) {}

    bool Run(const FormTable& table, const Attach& attach) override {
        Win32Form form(table, prompts_);
        return form.RunModal(owner_ ? owner_() : nullptr, attach);
    }

private:
    std::function<HWND()> owner_;
    Prompts& prompts_;
};

} // namespace pelmora
