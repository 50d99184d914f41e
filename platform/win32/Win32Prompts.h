#pragma once
// The dialog service with the platform's own dialogs: MessageBoxW, the common
// file dialogs and the colour dialog, and the views' one-line input box.
// Texts arrive and leave as UTF-8; the platform shows them in UTF-16.
#include "platform/prompts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelmora {

class Win32Prompts final : public Prompts {
public:
    // The window the dialogs belong to (an HWND), asked for each dialog;
    // null or a handle that is no window means none.
    using OwnerSource = std::function<void*()>;

    // The input box, a form of the views, shown over an owner (an HWND or null).
    using InputBox = std::function<std::optional<std::string>(void* owner, Prompts& messages,
                                                              const InputRequest& request)>;

    explicit Win32Prompts(OwnerSource owner = {}, InputBox inputBox = {});

    PELMORA_PROMPTS_OVERRIDES

    // While it lives, the dialogs belong to `window` (an HWND), a modal window
    // of the module's own open above the owner the source names: a colour
    // dialog opened from the gradient editor must keep that editor disabled,
    // and give it back its activation when it closes. Scopes nest; the
    // innermost holds. Other services (a test's scripted answers) open no
    // windows and are left alone.
    class OwnerScope {
    public:
        OwnerScope(Prompts& prompts, void* window);
        ~OwnerScope();
        OwnerScope(const OwnerScope&) = delete;
        OwnerScope& operator=(const OwnerScope&) = delete;

    private:
        Win32Prompts* prompts_;
    };

private:
    void* Owner() const;

    OwnerSource owner_;
    InputBox inputBox_;
    std::vector<void*> modalOwners_; // innermost last
    // The colour dialog's sixteen custom colours, kept between two uses.
    std::array<std::uint32_t, 16> customColors_;
};

// "name|pattern|name|pattern" as the file dialogs' filter: the items NUL
// separated, ending in two NULs.
std::wstring Win32FilterText(const std::string& filter);

} // namespace pelmora
