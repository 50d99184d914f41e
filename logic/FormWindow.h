#pragma once
// How a window built from a form table talks with its logic, the same for
// every toolkit. The window reports what the user does to its controls as
// events named after the control (FormEvents); the logic tells it what to
// show, control by control (FormWindow). Nothing the window is told comes
// back as an event: a view makes these changes with its controls'
// notifications held back.
#include "logic/Form.h"
#include "platform/bitmap.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// What the windows of either toolkit say when something fails them.
inline constexpr const char* kUnexpectedErrorText = "予期しないエラーが発生しました。";
// A window that cannot be made: ours, then the system's reason in brackets.
inline std::string CannotOpenWindowText(const std::string& reason) {
    return "ウィンドウを開けません (" + reason + ")。";
}

enum class MouseButton { Left, Right, Other };

enum class FormEventKind {
    Show,          // the window is shown (every time)
    Resize,        // its client area has a new size
    CloseRequest,  // the system (its close box, Alt+F4) asks it to close
    Click,         // a button, or a menu item or its shortcut (Control: the item)
    Toggle,        // a check box, radio button or toggle button; Value: checked
    Edit,          // an edit's text changed by the user; Text: the new text
    Step,          // an up-down's arrow or arrow key; Value: +1 or -1
    Slide,         // a track bar moved; Value: its position
    SlideDone,     // a track bar's drag, key press or click is over; Value: its position
    Choose,        // a combo box's item chosen; Value: its index
    Select,        // a list's selection changed; Rows: selected, Value: current
    DoubleClick,   // a list or paint box; Button
    MouseDown,     // a paint box; At, Button
    MouseMove,     // a paint box; At, LeftHeld
    MouseUp,       // a paint box; At, Button
    DragOver,      // a list row dragged; Over: the control under the pointer,
                   // Value: the row under it (the row count below the last)
    DragDrop,      // the same, when it is dropped
    SplitterDrag,  // Value: how far it moved down since the press (96-dpi)
    MenuOpen,      // a menu is about to show (Control: the menu)
    MenuHighlight, // a menu item is highlighted (Control: the item; empty: none)
    ContextMenu,   // a list's context menu is asked for (the right button or the
                   // keyboard); At: where, Value: the row there (-1: the current)
    FilesDropped,  // files dropped on a window whose table accepts them; Files
    Key,           // a key pressed in a style::TabStop paint box that has the focus;
                   // Value: the FormKey, Modifiers: keymod bits
    Focus,         // such a paint box took (Value 1) or lost (0) the focus
};

// The keys a paint box that takes the focus reports (others are the window's).
enum class FormKey { Left, Right, Up, Down, Home, End, Insert, Delete, Enter, Space };

namespace keymod {
enum : std::uint8_t { Shift = 1, Ctrl = 2, Alt = 4 };
} // namespace keymod

// A table's shortcut text ("Ctrl+Alt+U", "Shift+Ins") as keys: modifiers and
// a capital letter, or Insert or Delete; none for text that is no shortcut.
struct ShortcutKeys {
    std::uint8_t Modifiers = 0;
    char Letter = 0; // 0: Key
    FormKey Key = FormKey::Insert;
};
std::optional<ShortcutKeys> ParseShortcut(std::string_view text);

struct FormEvent {
    FormEventKind Kind = FormEventKind::Click;
    std::string_view Control{};
    int Value = 0;
    std::string Text{};
    std::vector<int> Rows{};
    TPoint At{};
    MouseButton Button = MouseButton::Left;
    bool LeftHeld = false;
    std::string_view Over{};
    std::vector<std::string> Files{}; // UTF-8 paths
    std::uint8_t Modifiers = 0;
};

class FormEvents {
public:
    virtual ~FormEvents() = default;
    // Returns, for DragOver, whether a drop there would be taken.
    virtual bool Handle(const FormEvent& event) = 0;
    // Whether an edit may hold `text` (UTF-8): a change that would make it
    // hold anything else is refused, however it arrives.
    virtual bool Accepts(std::string_view /*control*/, std::string_view /*text*/) { return true; }
};

// The colour of a picture that lets what is behind it show through.
inline constexpr TColor kPictureTransparent = 0x00FF00FF;

// A row of a list or combo box.
struct ListRow {
    std::string Text;                         // UTF-8, shown as it is ("&" is no mnemonic)
    std::optional<Bitmap24> Picture;          // after the text
    TColor Transparent = kPictureTransparent; // the picture's pixels that show the row
    bool Dimmed = false;                      // grey text where the row is not selected
};

// The colours a row may write its text in. A dimmed row is grey only where
// it is not selected: on the selection's colour grey cannot be read.
enum class RowInk { Text, SelectedText, GrayText };
RowInk ListRowInk(const ListRow& row, bool selected);

// Where a row of a combo box with pictures puts its picture (of `side`
// pixels) and its text.
struct PictureItemLayout {
    TPoint Picture;
    TRect Text;
};
PictureItemLayout PictureItemPlaces(const TRect& item, int side);

// A text written over a paint box's picture at (X, 0) on a face-coloured
// patch no taller than MaxHeight.
struct TextAt {
    std::int32_t X = 0;
    std::string Text{};
    int MaxHeight = 0;
    bool operator==(const TextAt&) const = default;
};

enum class ShapeOutline { Solid, Dotted };

// A filled rectangle with a one-pixel outline along its edge (a dotted one
// sets every other pixel), in its parent's 96-dpi pixels. Colours are RGB.
struct ShapeLook {
    TRect Bounds;
    bool Filled = false;
    TColor Brush = 0;
    TColor Pen = 0;
    ShapeOutline Outline = ShapeOutline::Solid;
    bool operator==(const ShapeLook&) const = default;
};

// The first visible row of a list, and the first row whose bottom reaches
// the list's client height (the row count when none does).
struct ListScroll {
    int TopIndex = 0;
    int LastVisibleRow = 0;
};

// The window's place on the screen (device pixels) and size (96-dpi pixels).
struct WindowBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct ScreenSize {
    int Width = 0;
    int Height = 0;
};

// A control's place, as ArrangeForm gives it.
struct Placement {
    std::string_view Control{};
    Rect96 Bounds;
};

class FormWindow {
public:
    virtual ~FormWindow() = default;

    // --- Controls, by name ------------------------------------------------
    // A style::FitText label takes the size of its new text, where it stands.
    virtual void SetText(std::string_view control, const std::string& text) = 0;
    virtual void SetTextColor(std::string_view control, TColor color) = 0;
    virtual void SetEnabled(std::string_view control, bool enabled) = 0;
    virtual void SetVisible(std::string_view control, bool visible) = 0;
    virtual void SetChecked(std::string_view control, bool checked) = 0;
    // A track bar's position, or an up-down's range and position.
    virtual void SetPosition(std::string_view control, int position, int min, int max) = 0;
    // A paint box's picture, at its top-left corner.
    virtual void SetPicture(std::string_view control, const Bitmap24& picture) = 0;
    virtual void SetTextsOver(std::string_view control, const std::vector<TextAt>& texts) = 0;
    virtual void SetShape(std::string_view control, const ShapeLook& look) = 0;
    virtual void SetRows(std::string_view control, const std::vector<ListRow>& rows) = 0;
    // A list's selected rows and its current row (-1: leave it); a combo
    // box's one row.
    virtual void SetSelection(std::string_view control, const std::vector<int>& rows,
                              int current) = 0;
    virtual void ScrollRows(std::string_view control, int rows) = 0;
    virtual ListScroll Scroll(std::string_view control) const = 0;
    // Moves controls, all at once; a style::FitText label keeps its text's size.
    virtual void Place(const std::vector<Placement>& places) = 0;
    // A menu item's state (menu bar items and shortcuts).
    virtual void SetItemEnabled(std::string_view item, bool enabled) = 0;
    virtual void SetItemChecked(std::string_view item, bool checked) = 0;
    // A menu bar item's caption ("&" marks its mnemonic); its shortcut stays.
    virtual void SetItemText(std::string_view item, const std::string& caption) = 0;
    // Pops up a menu of `lines` (those of the menu named `menu`) at a point
    // of a control and waits; the chosen item's name, none when dismissed.
    virtual std::optional<std::string> PopUpMenu(std::span<const MenuLine> lines,
                                                 std::string_view menu,
                                                 const std::vector<std::string>& disabled,
                                                 const std::vector<std::string>& hidden,
                                                 std::string_view control, TPoint at) = 0;

    // --- The window -------------------------------------------------------
    virtual void SetTitle(const std::string& text) = 0;
    virtual Size96 ClientSize() const = 0;
    // The size of a text in the window's font (its widest line, all lines).
    virtual Size96 TextSize(const std::string& text) const = 0;
    virtual WindowBounds Bounds() const = 0;
    virtual void SetBounds(const WindowBounds& bounds) = 0;
    virtual std::optional<ScreenSize> Screen() const = 0;
    // Runs `later` once the events waiting now have been handled.
    virtual void Post(std::function<void()> later) = 0;
    // Closes the window (a dialog answers `ok`); it is destroyed afterwards.
    virtual void Close(bool ok) = 0;
};

// Declares, in a class that implements FormWindow, every function it must
// define: one list for every toolkit's window.
#define PELMORA_FORM_WINDOW_OVERRIDES                                                              \
    void SetText(std::string_view control, const std::string& text) override;                      \
    void SetTextColor(std::string_view control, TColor color) override;                            \
    void SetEnabled(std::string_view control, bool enabled) override;                              \
    void SetVisible(std::string_view control, bool visible) override;                              \
    void SetChecked(std::string_view control, bool checked) override;                              \
    void SetPosition(std::string_view control, int position, int min, int max) override;           \
    void SetPicture(std::string_view control, const Bitmap24& picture) override;                   \
    void SetTextsOver(std::string_view control, const std::vector<TextAt>& texts) override;        \
    void SetShape(std::string_view control, const ShapeLook& look) override;                       \
    void SetRows(std::string_view control, const std::vector<ListRow>& rows) override;             \
    void SetSelection(std::string_view control, const std::vector<int>& rows, int current)         \
        override;                                                                                  \
    void ScrollRows(std::string_view control, int rows) override;                                  \
    ListScroll Scroll(std::string_view control) const override;                                    \
    void Place(const std::vector<Placement>& places) override;                                     \
    void SetItemEnabled(std::string_view item, bool enabled) override;                             \
    void SetItemChecked(std::string_view item, bool checked) override;                             \
    void SetItemText(std::string_view item, const std::string& caption) override;                  \
    std::optional<std::string> PopUpMenu(std::span<const MenuLine> lines, std::string_view menu,   \
                                         const std::vector<std::string>& disabled,                 \
                                         const std::vector<std::string>& hidden,                   \
                                         std::string_view control, TPoint at) override;            \
    void SetTitle(const std::string& text) override;                                               \
    Size96 ClientSize() const override;                                                            \
    Size96 TextSize(const std::string& text) const override;                                       \
    WindowBounds Bounds() const override;                                                          \
    void SetBounds(const WindowBounds& bounds) override;                                           \
    std::optional<ScreenSize> Screen() const override;                                             \
    void Post(std::function<void()> later) override;                                               \
    void Close(bool ok) override;

// Applies a whole layout in one go; shapes keep the places SetShape gave them.
void PlaceAll(FormWindow& window, const FormTable& table, const std::vector<Rect96>& rects);

} // namespace pelmora
