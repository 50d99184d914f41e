#pragma once
// The dialog service with Qt dialogs: message boxes, the one-line input box,
// file dialogs and the colour dialog.
#include "platform/prompts.h"

#include <string>

namespace pelmora {

class QtPrompts final : public Prompts {
public:
    MsgResult Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                      const std::string& title) override;
    std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                     const std::string& initial, int maxBytes) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
    std::optional<TColor> ChooseColor(TColor initial) override;
};

// Makes sure a Qt application object exists: a host without one gets one made
// here, which lives until the process ends. Either way Qt's Japanese
// translation is loaded into it, so Qt's own dialogs speak Japanese. Throws
// std::runtime_error when the host has a non-widget application object.
void EnsureQtApplication();

} // namespace pelmora
