#include "logic/Form.h"

#include <algorithm>
#include <stdexcept>

namespace pelmora {

const FormControl& FormTable::Control(std::string_view name) const {
    return Controls[IndexOf(name)];
}

std::size_t FormTable::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        if (Controls[i].Name == name) {
            return i;
        }
    }
    throw std::out_of_range("no control " + std::string(name) + " in " + ClassName);
}

std::vector<const FormControl*> FormTable::TabOrder() const {
    std::vector<const FormControl*> order;
    for (const FormControl& control : Controls) {
        if (control.Has(style::TabStop)) {
            order.push_back(&control);
        }
    }
    return order;
}

int EdgeWidth(Edge edge) {
    switch (edge) {
    case Edge::None:
        return 0;
    case Edge::Raised:
    case Edge::Lowered:
        return 1;
    case Edge::Box:
        return 2;
    }
    return 0;
}

namespace {

// Lays out the children of one parent whose whole area is `size`.
class Arranger {
public:
    Arranger(const FormTable& table, const LayoutInput& input, std::vector<Rect96>& rects)
        : table_(table), input_(input), rects_(rects) {}

    void Children(std::string_view parent, Size96 size, const FormControl* parentControl,
                  const std::vector<Rect96>* design) {
        const int inset =
            parentControl != nullptr ? EdgeWidth(parentControl->Border) + parentControl->Margin : 0;
        Rect96 room{inset, inset, std::max(size.Width - 2 * inset, 0),
                    std::max(size.Height - 2 * inset, 0)};
        const std::size_t count = table_.Controls.size();
        for (const Align align :
             {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
            const bool reverse = align == Align::Bottom || align == Align::Right;
            for (std::size_t n = 0; n < count; ++n) {
                const std::size_t i = reverse ? count - 1 - n : n;
                const FormControl& c = table_.Controls[i];
                if (c.Parent == parent && c.Aligned == align) {
                    rects_[i] = TakeFrom(room, c);
                }
            }
        }
        // Anchored controls keep their distance to the edges they had at the
        // table's size (while that size itself is arranged, nothing moves).
        const Size96 designSize = design == nullptr ? size
                                  : parentControl == nullptr
                                      ? table_.Client
                                      : SizeOf((*design)[table_.IndexOf(parentControl->Name)]);
        for (std::size_t i = 0; i < table_.Controls.size(); ++i) {
            const FormControl& c = table_.Controls[i];
            if (c.Parent == parent && c.Aligned == Align::None) {
                rects_[i] = Free(c, size, designSize);
            }
        }
        for (std::size_t i = 0; i < table_.Controls.size(); ++i) {
            const FormControl& c = table_.Controls[i];
            if (c.Parent == parent && c.Kind == ControlKind::Panel) {
                Children(c.Name, SizeOf(rects_[i]), &c, design);
            }
        }
    }

private:
    static Size96 SizeOf(const Rect96& r) { return {r.Width, r.Height}; }

    int Kept(const FormControl& c, int room, int fromTable) const {
        if (input_.AlignedSize) {
            if (const std::optional<int> size = input_.AlignedSize(c, room)) {
                return std::clamp(*size, 0, std::max(room, 0));
            }
        }
        return std::clamp(fromTable, 0, std::max(room, 0));
    }

    Rect96 TakeFrom(Rect96& room, const FormControl& c) const {
        Rect96 r = room;
        switch (c.Aligned) {
        case Align::Top:
            r.Height = Kept(c, room.Height, c.Bounds.Height);
            room.Top += r.Height;
            room.Height -= r.Height;
            break;
        case Align::Bottom:
            r.Height = Kept(c, room.Height, c.Bounds.Height);
            r.Top = room.Bottom() - r.Height;
            room.Height -= r.Height;
            break;
        case Align::Left:
            r.Width = Kept(c, room.Width, c.Bounds.Width);
            room.Left += r.Width;
            room.Width -= r.Width;
            break;
        case Align::Right:
            r.Width = Kept(c, room.Width, c.Bounds.Width);
            r.Left = room.Right() - r.Width;
            room.Width -= r.Width;
            break;
        case Align::Client:
        case Align::None:
            break;
        }
        return r;
    }

    Rect96 Free(const FormControl& c, Size96 size, Size96 designSize) const {
        Rect96 r = c.Bounds;
        if (c.Has(style::FitText) && input_.TextSize) {
            const Size96 text = input_.TextSize(c);
            r.Width = text.Width;
            r.Height = text.Height;
        }
        if ((c.Anchors & anchor::Right) != 0) {
            r.Left += size.Width - designSize.Width;
        }
        if ((c.Anchors & anchor::Bottom) != 0) {
            r.Top += size.Height - designSize.Height;
        }
        return r;
    }

    const FormTable& table_;
    const LayoutInput& input_;
    std::vector<Rect96>& rects_;
};

bool IsPushButton(const FormControl& control) {
    return control.Kind == ControlKind::Button && !control.Has(style::Toggle);
}

// A full-width Latin capital (U+FF21..U+FF3A) as UTF-8: EF BC A1..BA.
std::optional<char> FullWidthLetter(std::string_view text) {
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBC) {
        const auto third = static_cast<unsigned char>(text[2]);
        if (third >= 0xA1 && third <= 0xBA) {
            return static_cast<char>('A' + (third - 0xA1));
        }
    }
    return std::nullopt;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::vector<Rect96> ArrangeForm(const FormTable& table, Size96 client, const LayoutInput& input) {
    std::vector<Rect96> design(table.Controls.size());
    Arranger(table, input, design).Children("", table.Client, nullptr, nullptr);
    std::vector<Rect96> rects(table.Controls.size());
    Arranger(table, input, rects).Children("", client, nullptr, &design);
    return rects;
}

std::string_view EnterPresses(const FormTable& table, std::string_view focused) {
    for (const FormControl& control : table.Controls) {
        if (control.Name == focused && IsPushButton(control)) {
            return control.Name;
        }
    }
    for (const FormControl& control : table.Controls) {
        if (control.Has(style::Default)) {
            return control.Name;
        }
    }
    return {};
}

std::string_view EscPresses(const FormTable& table) {
    for (const FormControl& control : table.Controls) {
        if (control.Has(style::Cancel)) {
            return control.Name;
        }
    }
    return {};
}

std::optional<char> MnemonicLetter(std::string_view caption) {
    for (std::size_t at = caption.find('&');
         at != std::string_view::npos && at + 1 < caption.size(); at = caption.find('&', at + 2)) {
        const std::string_view rest = caption.substr(at + 1);
        if (rest.front() == '&') {
            continue; // "&&" is an ampersand
        }
        if (const std::optional<char> wide = FullWidthLetter(rest)) {
            return wide;
        }
        return Upper(rest.front());
    }
    return std::nullopt;
}

std::string PlainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

std::vector<MnemonicStandIn> FullWidthMnemonics(const FormTable& table) {
    const auto fullWidth = [](std::string_view caption) -> std::optional<char> {
        const std::size_t at = caption.find('&');
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
        return FullWidthLetter(caption.substr(at + 1));
    };
    std::vector<MnemonicStandIn> standIns;
    for (const FormControl& control : table.Controls) {
        if (control.Kind == ControlKind::Label && *control.Buddy != '\0') {
            if (const std::optional<char> letter = fullWidth(control.Caption)) {
                standIns.push_back({*letter, control.Buddy, {}});
            }
        }
    }
    for (const MenuTitle& menu : table.MenuBar) {
        if (const std::optional<char> letter = fullWidth(menu.Caption)) {
            standIns.push_back({*letter, {}, menu.Name});
        }
    }
    return standIns;
}

int RowAtY(int y, int topIndex, int rowHeight, int count) {
    return std::min(topIndex + std::max(y, 0) / std::max(rowHeight, 1), count);
}

int LastVisibleRow(int height, int topIndex, int rowHeight, int count) {
    const int step = std::max(rowHeight, 1);
    const int fullRows = (height + step - 1) / step;
    return std::min(topIndex + std::max(fullRows, 1) - 1, count);
}

std::string_view MenuHint(const FormTable& table, std::string_view item) {
    for (const MenuLine& line : table.Menus) {
        if (line.Name == item) {
            return line.Hint;
        }
    }
    return {};
}

std::string_view MenuItemOfHint(const FormTable& table, std::string_view hint) {
    const auto found = std::find_if(table.Menus.begin(), table.Menus.end(), [&](const MenuLine& l) {
        return !hint.empty() && l.Hint == hint;
    });
    return found == table.Menus.end() ? std::string_view() : found->Name;
}

} // namespace pelmora
