#include "platform/prompts.h"

namespace pelmora {

MsgResult SilentPrompts::Message(const std::string&, MsgKind, MsgButtons buttons,
                                 const std::string&) {
    return buttons == MsgButtons::Ok      ? MsgResult::Ok
           : buttons == MsgButtons::YesNo ? MsgResult::No
                                          : MsgResult::Cancel;
}

std::optional<std::string> SilentPrompts::Input(const std::string&, const std::string&,
                                                const std::string&, int) {
    return std::nullopt;
}

std::optional<std::string> SilentPrompts::OpenFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> SilentPrompts::SaveFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<TColor> SilentPrompts::ChooseColor(TColor) {
    return std::nullopt;
}

} // namespace pelmora
