#include "platform/prompts.h"

#include <utility>

namespace pelmora {
namespace {

// Shows nothing and answers every question with Cancel: what a caller gets
// when no window system is in use.
class SilentPrompts final : public Prompts {
public:
    MsgResult Message(const std::string&, MsgKind, MsgButtons buttons, const std::string&) override {
        return buttons == MsgButtons::Ok ? MsgResult::Ok
               : buttons == MsgButtons::YesNo ? MsgResult::No
                                              : MsgResult::Cancel;
    }
    std::optional<std::string> Input(const std::string&, const std::string&, const std::string&,
                                     int) override {
        return std::nullopt;
    }
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
};

std::unique_ptr<Prompts>& Installed() {
    static std::unique_ptr<Prompts> prompts = std::make_unique<SilentPrompts>();
    return prompts;
}

} // namespace

Prompts& CurrentPrompts() { return *Installed(); }

std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts) {
    if (!prompts) {
        prompts = std::make_unique<SilentPrompts>();
    }
    return std::exchange(Installed(), std::move(prompts));
}

} // namespace pelmora
