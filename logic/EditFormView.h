#pragma once
// What the pattern editor's logic tells its window to show, and the little
// it asks of it. Texts are UTF-8; controls and menu items are named by
// EditItem, so no toolkit type appears here.
#include "platform/bitmap.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelmora {

// The window's commands: menu items and the buttons that share their command.
enum class EditItem {
    // File menu
    mnImport,
    mnExport,
    mnExit,
    mnCancel,
    // Pattern menu
    mnNew,
    mnCopy,
    mnRename,
    mnUpper,
    mnLower,
    mnDelete,
    mnInfo,
    mnPad,
    mnUndo,
    // Parts menu: the new-part submenu and its five entries
    mnPNew,
    mnAll,
    mnIcon,
    mnIconF,
    mnName,
    mnNameF,
    mnArea,
    // the fill submenu and its five entries, in fill order
    mnFill,
    mnNon,
    mnMono,
    mnGrad,
    mnBtn,
    mnBtnF,
    mnPUpper,
    mnPLower,
    mnPDelete,
};

// The menus of the window, in the order of the menu bar.
enum class EditMenu { mnFile, mnPattern, mnParts, mnPNew, mnFill };

// One line of a menu as every view builds it: an item, a separator (no
// item), or an item that opens a submenu (whose lines follow in the table
// under that menu).
struct EditMenuLine {
    EditMenu menu;
    std::optional<EditItem> item; // none: a separator
    const char* name;             // the control's name; may be empty for a separator
    const char* caption;          // UTF-8
    const char* shortcut;         // "Ctrl+I", "Ins", ...; empty for none
    const char* hint;             // the status bar's text while highlighted
    std::optional<EditMenu> opens = std::nullopt; // the submenu it opens
    bool radio = false;                           // one of a group of which exactly one is marked
    int tag = 0;                                  // the new-part entries carry their region here
};

struct EditMenuTitle {
    EditMenu menu;
    const char* name;
    const char* caption;
};

// The menu bar's menus, then every line of every menu in order.
std::span<const EditMenuTitle> EditMenuTitles();
std::span<const EditMenuLine> EditMenuLines();

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

// One row of the parts list: the part's kind name, and its small picture
// (pure white shows the row's background), none when the part paints nothing.
struct PartRow {
    std::string Text;
    std::optional<Bitmap24> Icon;
};

// The colours a parts-list row may write its kind name in.
enum class PartRowInk { Text, SelectedText, GrayText };
// A part without a picture paints nothing and is named in grey, but only on
// an unselected row: on the selection's colour grey cannot be read, so the
// selected row always takes the selection's text colour.
PartRowInk PartRowTextInk(bool hasPicture, bool selected);

class EditFormView {
public:
    virtual ~EditFormView() = default;

    // --- Asked ------------------------------------------------------------
    // The screen's size; nullopt when there is none to ask.
    virtual std::optional<ScreenSize> Screen() const = 0;
    virtual WindowBounds Bounds() const = 0;
    // The height of the preview strip as the user left it.
    virtual int PreviewHeight() const = 0;

    // --- Told -------------------------------------------------------------
    // Where the window stands, and the preview strip's height once shown.
    virtual void SetBounds(const WindowBounds& bounds, int previewHeight) = 0;
    virtual void SetItemEnabled(EditItem item, bool enabled) = 0;
    virtual void SetItemChecked(EditItem item, bool checked) = 0;

    virtual void ShowPatternRows(const std::vector<std::string>& names) = 0;
    // Sets the list's selection and its current row (-1: leave it).
    virtual void ShowPatternSelection(const std::vector<int>& selected, int current) = 0;
    virtual void ScrollPatternList(int rows) = 0;

    virtual void ShowPreview(const Bitmap24& cell) = 0;
    // The pad's settings (four lines joined by "\n") and the colour mark.
    virtual void ShowPadInfo(const std::string& values, const std::string& mark,
                             TColor markColor) = 0;

    // The whole parts list and its current row (-1: none).
    virtual void ShowPartRows(const std::vector<PartRow>& rows, int current) = 0;
    // The colour-adjustment group: track bar positions and the check box.
    virtual void ShowColorAdjust(int lumi, int hue, bool btnColTrim) = 0;

    virtual void SetStatusText(const std::string& text) = 0;
    // The window closes and is destroyed (with its logic) afterwards.
    virtual void CloseWindow() = 0;
};

} // namespace pelmora
