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

} // namespace pelmora
