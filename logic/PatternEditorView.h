#pragma once
// What the pattern editor's logic tells its window to show, and the little
// it asks of it. Texts are UTF-8; controls and menu items are named by
// EditItem, so no toolkit type appears here.
#include "logic/FormWindow.h"
#include "platform/bitmap.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
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
    mnPerPadFile,
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
    // Edit menu
    mnEditUndo,
    mnEditRedo,
    mnCopyPattern,
    mnCopyPart,
    mnCopyGrad,
    mnPaste,
};

// The menu bar's menus, and every line of every menu in order.
std::span<const MenuTitle> EditMenuBar();
std::span<const MenuLine> EditMenus();
// Keys that run a menu item besides its own shortcut.
std::span<const FormShortcut> EditShortcuts();
// The parts list's context menu ("pmParts", the last lines of EditMenus());
// each item's Tag is the EditItem it runs.
std::span<const MenuLine> PartsPopUpMenu();
// An item's documented name, and the item of a name.
const char* ItemName(EditItem item);
std::optional<EditItem> ItemNamed(std::string_view name);

// One row of the parts list: the part's kind name, and its small picture
// (pure white shows the row's background), none when the part paints nothing.
struct PartRow {
    std::string Text;
    std::optional<Bitmap24> Icon;
};

class PatternEditorView {
public:
    virtual ~PatternEditorView() = default;

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
    // A menu item's caption ("&" marks its mnemonic); its shortcut stays.
    virtual void SetItemCaption(EditItem item, const std::string& caption) = 0;

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
