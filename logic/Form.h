#pragma once
// A window defined once, for every toolkit: its controls as a table (names,
// kinds, captions, places in 96-dpi pixels, alignment, tab order, mnemonics,
// ranges) and its menus as tables; where every control stands in a client
// area of any size; and the rules every window shares (which button Enter
// presses, the mnemonics no keyboard types). The views build a window by
// reading its table; they type no caption, place or range of their own.
//
// A table lists parents before their children. Its order is the order of
// creation: controls earlier in it lie above later ones where they overlap,
// and the tab stops take the focus in that order.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

struct Size96 {
    int Width = 0;
    int Height = 0;
    bool operator==(const Size96&) const = default;
};

// A rectangle in 96-dpi pixels, relative to its parent's client area.
struct Rect96 {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const Rect96&) const = default;
};

enum class ControlKind : std::uint8_t {
    Panel,       // holds other controls; Edge draws its border
    Label,       // text; its mnemonic focuses its Buddy
    Button,      // a push button (or a toggle that stays down)
    CheckBox,    //
    RadioButton, // one of the radio buttons that follow one another
    Edit,        // one line of text, at most Max characters
    UpDown,      // two arrows that step a value in Min..Max; Buddy is its edit
    TrackBar,    // a horizontal slider over Min..Max with a tick for each value
    ComboBox,    // a drop-down list of Items
    ListBox,     // rows of RowHeight pixels
    PaintBox,    // shows a picture the logic paints
    Shape,       // a rectangle the logic places and colours
    Bevel,       // a lowered line along the bottom of its box
    StatusBar,   // one panel of text
    Splitter,    // a bar dragged to share its parent's height between its neighbours
};

// How an aligned control fills its parent: along an edge, keeping its height
// (Top, Bottom) or width (Left, Right), or the room the others leave (Client).
enum class Align : std::uint8_t { None, Top, Bottom, Left, Right, Client };

enum class Edge : std::uint8_t { None, Raised, Lowered, Box };

// Details of a control's look and behaviour, by kind (FormControl::Style).
namespace style {
enum : std::uint32_t {
    Default = 1u << 0,      // Button: Enter presses it unless another button has the focus
    Cancel = 1u << 1,       // Button: Esc presses it
    Toggle = 1u << 2,       // Button: stays down until pressed again
    NoFocus = 1u << 3,      // Button: a click leaves the focus where it was
    Horizontal = 1u << 4,   // UpDown: left and right arrows
    Wrap = 1u << 5,         // UpDown: steps past one end to the other
    Centered = 1u << 6,     // Label: the text centred in its box
    NoPrefix = 1u << 7,     // Label: "&" shows as it is
    FitText = 1u << 8,      // Label: as large as its text (its widest line) in the window's font
    MultiSelect = 1u << 9,  // ListBox: extended selection
    DragRows = 1u << 10,    // ListBox: rows are dragged with the mouse
    Pictures = 1u << 11,    // ListBox, ComboBox: each row has a picture after its text
    Mouse = 1u << 12,       // PaintBox: reports the mouse
    Underlined = 1u << 13,  // Label: its mnemonic is always underlined, within its box
    OverShapes = 1u << 14,  // Label: drawn over the window's shapes, no background
    NoWordWrap = 1u << 15,  // Label: a line too long for the box is cut
    FieldColors = 1u << 16, // Edit: the window colour when enabled, the face colour when not
    White = 1u << 17,       // PaintBox: white where the picture does not reach
    TabStop = 1u << 18,     // takes the focus with Tab
    WholePixels = 1u << 19, // PaintBox, ListBox pictures: grow by whole pixels with the DPI
};
} // namespace style

// Keeps the distance to that edge of the parent when the parent is resized.
namespace anchor {
enum : std::uint8_t { Right = 1, Bottom = 2 };
} // namespace anchor

struct FormControl {
    const char* Name = ""; // the documented name tests find the control by
    ControlKind Kind = ControlKind::Panel;
    const char* Parent = "";  // empty: the window's client area
    const char* Caption = ""; // UTF-8; "&" marks the mnemonic letter
    Rect96 Bounds{};          // the place at the table's client size; an aligned
                              // control keeps its Height or Width from here
    Align Aligned = Align::None;
    std::uint8_t Anchors = 0;
    Edge Border = Edge::None;
    int Margin = 0;                       // room kept inside a panel round its aligned children
    std::uint32_t Style = 0;              // style::
    const char* Buddy = "";               // Label: what its mnemonic focuses; UpDown: its edit
    int Min = 0;                          // TrackBar, UpDown
    int Max = 0;                          // TrackBar, UpDown; Edit: the most characters
    int RowHeight = 0;                    // ListBox, ComboBox
    std::span<const char* const> Items{}; // ComboBox
    const char* TextColumn = "";          // ListBox with pictures: they stand after this text

    bool Has(std::uint32_t bits) const { return (Style & bits) == bits; }
};

// A line of a menu: an item, a separator (caption "-"), or an item that
// opens a submenu (Opens, whose lines follow under that menu's name).
struct MenuLine {
    const char* Menu = "";     // the menu it is in
    const char* Name = "";     // the item's documented name; empty for a separator
    const char* Caption = "";  // UTF-8
    const char* Shortcut = ""; // "Ctrl+I", "Ins", "Ctrl+Alt+U"...; empty for none
    const char* Hint = "";     // the status bar's text while it is highlighted
    const char* Opens = "";    // the submenu it opens
    bool Radio = false;        // one of a group of which exactly one is marked
    bool Check = false;        // a choice of its own, marked while it is on
    bool Default = false;      // shown in bold: what a double-click does
    int Tag = 0;               // what the item carries for its command
    bool IsSeparator() const { return std::string_view(Caption) == "-"; }
};

// A key the whole window answers, wherever the focus is in it (an edit's
// own use of the key included): it is reported as a Click of Command, as a
// menu item's shortcut is (and where Command names a menu item, it runs
// that item).
struct FormShortcut {
    const char* Keys = "";    // as MenuLine::Shortcut
    const char* Command = ""; // the name the Click carries
};

// A menu of the menu bar.
struct MenuTitle {
    const char* Name = "";
    const char* Caption = "";
};

// The windows' font, 12 pixels high at 96 dpi: the face they were laid out
// for, the faces of its family, then IPAPGothic, a face with the same
// metrics that Linux has (and Wine finds among its fonts). The first a
// system has is the one.
inline constexpr const char* kFormFontFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic", "MS UI Gothic",
                                                 "IPAPGothic"};
inline constexpr int kFormFontPixels = 12;

struct FormTable {
    const char* ClassName = ""; // the window's documented class name
    const char* Caption = "";
    Size96 Client{};      // the client area the controls were placed in
    Size96 MinimumSize{}; // of the whole window; none when not resizable
    bool Resizable = false;
    bool ToolWindow = false;
    bool AcceptsFiles = false; // files dropped on it are reported (FilesDropped)
    std::span<const FormControl> Controls{};
    std::span<const MenuTitle> MenuBar{};
    std::span<const MenuLine> Menus{};
    std::span<const FormShortcut> Shortcuts{};

    // Throws std::out_of_range for a name the table does not hold.
    const FormControl& Control(std::string_view name) const;
    std::size_t IndexOf(std::string_view name) const;
    // The controls that take the focus with Tab, in their order.
    std::vector<const FormControl*> TabOrder() const;
};

// What a window's layout may learn at run time.
struct LayoutInput {
    // The size an aligned control keeps along its parent's free axis (its
    // height for Top and Bottom, its width for Left and Right), given the room
    // left there for it and the controls aligned after it; none keeps the
    // table's.
    std::function<std::optional<int>(const FormControl& control, int room)> AlignedSize;
    // The size of a kFitText label's text in the window's font.
    std::function<Size96(const FormControl& control)> TextSize;
};

// Where every control stands (in table order, each in its parent's client
// area) when the window's client area is `client`: aligned controls fill
// their parents as panels do (the top and left edges in table order, the
// bottom and right ones in reverse, so a table reads top to bottom and left
// to right; then the rest), the others keep their places, following the
// right or bottom edge they are anchored to.
std::vector<Rect96> ArrangeForm(const FormTable& table, Size96 client,
                                const LayoutInput& input = {});

// The width of a border, in 96-dpi pixels.
int EdgeWidth(Edge edge);

// The button Enter presses while `focused` has the focus: that button when it
// is a push button, the default button anywhere else.
std::string_view EnterPresses(const FormTable& table, std::string_view focused);
// The button Esc presses.
std::string_view EscPresses(const FormTable& table);

// What Alt with a plain letter reaches where a caption's mnemonic is a
// full-width letter, which no keyboard types ("(&Ｌ)"): the control a label
// focuses, or the menu of the menu bar that opens. Plain mnemonics are the
// toolkit's own.
struct MnemonicStandIn {
    char Letter = 0;        // upper case
    std::string_view Focus; // a control's name, or
    std::string_view Menu;  // a menu bar menu's name
};
std::vector<MnemonicStandIn> FullWidthMnemonics(const FormTable& table);

// The mnemonic letter of a caption ("&A" gives 'A', "(&Ｌ)" gives 'L');
// none without one.
std::optional<char> MnemonicLetter(std::string_view caption);
// The caption as shown, without the "&" marks.
std::string PlainCaption(std::string_view caption);

// The row of a list under a point `y` pixels below the top of its client
// area (rows of `rowHeight` from `topIndex` on); the row count below the last.
int RowAtY(int y, int topIndex, int rowHeight, int count);
// The first row whose bottom reaches a client height of `height`: the row
// count when none does.
int LastVisibleRow(int height, int topIndex, int rowHeight, int count);

// The hint of a menu item, empty for none; and the item a hint is of, empty
// for none (a toolkit that tells hints, not items).
std::string_view MenuHint(const FormTable& table, std::string_view item);
std::string_view MenuItemOfHint(const FormTable& table, std::string_view hint);

} // namespace pelmora
