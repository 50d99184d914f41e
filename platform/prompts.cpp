#include "platform/prompts.h"

#include <string_view>

namespace pelmora {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> items;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        items.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return items;
        }
        start = end + 1;
    }
}

} // namespace

std::vector<std::string> NameFilters(const FileDialogRequest& request) {
    const std::vector<std::string_view> items = Split(request.Filter, '|');
    const std::string ownPattern = "*." + request.DefaultExtension;
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        std::string_view name = Trimmed(items[i]);
        std::string patterns;
        for (std::string_view pattern : Split(items[i + 1], ';')) {
            pattern = Trimmed(pattern);
            if (!pattern.empty()) {
                patterns +=
                    (patterns.empty() ? "" : " ") + std::string(pattern == "*.*" ? "*" : pattern);
            }
        }
        // A name that already shows its patterns keeps them as its visible part.
        if (const std::size_t open = name.rfind('(');
            open != std::string_view::npos && open > 0 && name.ends_with(')')) {
            name = Trimmed(name.substr(0, open));
        }
        if (!request.TypeName.empty() && patterns == ownPattern) {
            name = request.TypeName;
        }
        filters.push_back(std::string(name) + " (" + patterns + ")");
    }
    return filters;
}

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
