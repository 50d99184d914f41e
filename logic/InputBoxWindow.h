#pragma once
// The one-line input box of the dialog service as a window: its form and its
// rules (a limit in Shift-JIS bytes, no character the settings file cannot
// store), wired to a window built from the form.
#include "logic/FormWindow.h"
#include "platform/prompts.h"

#include <string>

namespace pelmora {

class InputBoxWindow final : public FormEvents {
public:
    static const FormTable& Table();

    // Shows `request` in `window`, built from Table(); a refused text is
    // explained through `messages`.
    InputBoxWindow(FormWindow& window, Prompts& messages, InputRequest request);

    // The text as it stands (after OK: the answer).
    const std::string& Text() const { return text_; }

    bool Handle(const FormEvent& event) override;
    // An edit that would make the text longer than the limit is refused whole.
    bool Accepts(std::string_view control, std::string_view text) override;

private:
    FormWindow& window_;
    Prompts& messages_;
    InputRequest request_;
    std::string text_;
};

} // namespace pelmora
