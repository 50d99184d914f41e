#include "logic/FormWindow.h"

#include <algorithm>

namespace pelmora {

RowInk ListRowInk(const ListRow& row, bool selected) {
    if (selected) {
        return RowInk::SelectedText;
    }
    return row.Dimmed ? RowInk::GrayText : RowInk::Text;
}

PictureItemLayout PictureItemPlaces(const TRect& item, int side) {
    const int pictureLeft = item.Left + 2;
    const int textLeft = pictureLeft + side + 2;
    const int height = item.Bottom - item.Top;
    return {{pictureLeft, item.Top + 1 + (height - side) / 2},
            {textLeft, item.Top, std::max(textLeft, item.Right), item.Bottom}};
}

void PlaceAll(FormWindow& window, const FormTable& table, const std::vector<Rect96>& rects) {
    std::vector<Placement> places;
    places.reserve(rects.size());
    for (std::size_t i = 0; i < rects.size() && i < table.Controls.size(); ++i) {
        // A shape stands where the logic puts it (SetShape).
        if (table.Controls[i].Kind != ControlKind::Shape) {
            places.push_back({table.Controls[i].Name, rects[i]});
        }
    }
    window.Place(places);
}

std::optional<ShortcutKeys> ParseShortcut(std::string_view text) {
    static constexpr std::pair<std::string_view, std::uint8_t> kModifiers[] = {
        {"Ctrl+", keymod::Ctrl}, {"Alt+", keymod::Alt}, {"Shift+", keymod::Shift}};
    ShortcutKeys keys;
    for (bool more = true; more;) {
        more = false;
        for (const auto& [prefix, bit] : kModifiers) {
            if (text.starts_with(prefix)) {
                keys.Modifiers |= bit;
                text.remove_prefix(prefix.size());
                more = true;
            }
        }
    }
    if (text == "Ins" || text == "Del") {
        keys.Key = text == "Ins" ? FormKey::Insert : FormKey::Delete;
    } else if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
        keys.Letter = text[0];
    } else {
        return std::nullopt;
    }
    return keys;
}

} // namespace pelmora
