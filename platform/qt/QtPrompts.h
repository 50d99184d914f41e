#pragma once
// The dialog service with Qt's own dialogs: message boxes, file dialogs and
// the colour dialog, and the views' one-line input box.
#include "platform/prompts.h"

#include <functional>
#include <string>

namespace pelmora {

class QtPrompts final : public Prompts {
public:
    // The input box, a form of the views.
    using InputBox =
        std::function<std::optional<std::string>(Prompts& messages, const InputRequest& request)>;

    explicit QtPrompts(InputBox inputBox = {}) : inputBox_(std::move(inputBox)) {}

    PELMORA_PROMPTS_OVERRIDES

private:
    InputBox inputBox_;
};

// Makes sure a Qt application object exists: a host without one gets one made
// here, which lives until the process ends. Either way Qt's Japanese
// translation is loaded into it, so Qt's own dialogs speak Japanese. Throws
// std::runtime_error when the host has a non-widget application object.
void EnsureQtApplication();

} // namespace pelmora
