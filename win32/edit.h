#pragma once
// The pattern editor window with the platform's own controls: builds them,
// forwards the user's events to the editor's logic and shows what the logic
// tells it. Modeless inside the launcher's message loop: its dialog keys and
// shortcuts come through a message hook while it lives.
#include "logic/EditFormLogic.h"
#include "logic/EditFormView.h"
#include "win32/Win32Ui.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace pelmora {

class EditorDialogs;
class EditorHost;
class PatternLibrary;
struct TIniData;

namespace win32ui {
class ListRowDrag;
class ModelessKeys;
} // namespace win32ui

// The controls' identifiers; OK and Cancel are the dialog keys' IDOK and
// IDCANCEL, so Enter and Esc reach them.
enum EditControlId : int {
    kIdOk = IDOK,
    kIdCancel = IDCANCEL,
    kIdPatternList = 101,
    kIdPartsList,
    kIdLumi,
    kIdHue,
    kIdBtnCol,
    kIdPreview,
    kIdSplitter,
    kIdStatusBar,
    kIdFirstLabel = 120,
    kIdFirstPanel = 140,
    // Menu items: kIdFirstItem + their EditItem.
    kIdFirstItem = 1000,
};

class TEditForm final : public win32ui::MessageWindow, private EditFormView {
public:
    // Copies `library`; takes its bounds from `settings` and stores them back
    // there when destroyed. Creates the trial file (throws when it cannot).
    // `closed` runs (from the message loop) once the window has closed; it
    // destroys this object.
    TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, EditorDialogs& dialogs,
              std::function<void()> closed);
    ~TEditForm() override;

    // Shows the window and runs the logic's first show.
    void Show();
    EditFormLogic& Logic() { return *logic_; }

private:
    class Splitter;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Creation (edit.cpp, EditParts.cpp).
    void CreateMenus();
    void CreateAccelerators();
    void CreateControls();
    void CreatePreviewStrip();
    void PlaceInfoLabels();
    void CreatePartsPane();
    HWND Label(HWND parent, const char* name, const char* caption, const win32ui::Rect96& r,
               DWORD style = 0);
    HWND Panel(HWND parent, const char* name, const win32ui::Rect96& r, win32ui::Bevel bevel);

    // Placing everything for the client size and the preview strip's height.
    void Layout();
    void LayoutPartsPane(int width, int height);
    static int ColorGroupHeight();
    void ApplyDpi(int dpi);
    win32ui::Scale PictureScale() const;

    // Events.
    void Command(int id, int code, HWND control);
    void MenuOpening(HMENU menu);
    void MenuHighlight(HMENU menu, UINT idOrPosition, UINT flags);
    bool FilterKey(const MSG& message);
    void DrawPartRow(const DRAWITEMSTRUCT& item);
    void ColorAdjustChanged();
    bool PatternListDragOver(POINT screen);
    void PatternListDragDrop(POINT screen);
    int PatternRowAt(POINT screen) const;
    int PartRowAt(POINT screen) const;
    void SetPreviewHeight(int height96);
    std::vector<int> SelectedPatternRows() const;

    // EditFormView
    std::optional<ScreenSize> Screen() const override;
    WindowBounds Bounds() const override;
    int PreviewHeight() const override;
    void SetBounds(const WindowBounds& bounds, int previewHeight) override;
    void SetItemEnabled(EditItem item, bool enabled) override;
    void SetItemChecked(EditItem item, bool checked) override;
    void ShowPatternRows(const std::vector<std::string>& names) override;
    void ShowPatternSelection(const std::vector<int>& selected, int current) override;
    void ScrollPatternList(int rows) override;
    void ShowPreview(const Bitmap24& cell) override;
    void ShowPadInfo(const std::string& values, const std::string& mark, TColor markColor) override;
    void ShowPartRows(const std::vector<PartRow>& rows, int current) override;
    void ShowColorAdjust(int lumi, int hue, bool btnColTrim) override;
    void SetStatusText(const std::string& text) override;
    void CloseWindow() override;

    std::function<void()> closed_;
    win32ui::Scale scale_;
    win32ui::GdiObject font_;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<win32ui::ModelessKeys> keys_;
    std::unique_ptr<win32ui::ListRowDrag> patternDrag_;
    std::unique_ptr<win32ui::ListRowDrag> partsDrag_;
    std::unique_ptr<Splitter> splitter_;
    std::unique_ptr<EditFormLogic> logic_;
    bool closing_ = false;
    int nextLabelId_ = kIdFirstLabel;
    int nextPanelId_ = kIdFirstPanel;

    // Menus: where each item sits (a submenu's opener by its position).
    struct MenuPlace {
        HMENU menu = nullptr;
        UINT position = 0;
        bool submenu = false;
    };
    std::map<EditItem, MenuPlace> items_;
    std::map<HMENU, bool> partsMenus_; // every menu: true for the Parts menu and its submenus
    std::map<std::pair<HMENU, UINT>, EditItem> submenuOpeners_;

    // What is shown.
    Bitmap24 preview_;
    std::vector<PartRow> partRows_;
    TColor markColor_ = 0;
    int previewHeight_ = 100; // 96-dpi pixels
    int nameColWidth_ = 0;    // NameColWidth: device pixels, measured at the first row drawn

    // Controls, owned by the window.
    HWND pnTop = nullptr;
    HWND pnLeft = nullptr;
    HWND lbPattern = nullptr;
    HWND PatternList = nullptr;
    HWND pnRight = nullptr;
    HWND lbParts = nullptr;
    HWND pnRBottom = nullptr;
    HWND pnRBTop = nullptr;
    HWND pbPreview = nullptr;
    HWND bvInfo = nullptr;
    HWND lbInfoTitle = nullptr;
    HWND lbInfoItem = nullptr;
    HWND lbInfo = nullptr;
    HWND lbInfoCol = nullptr;
    HWND Splitter1 = nullptr;
    HWND pnRBBottom = nullptr;
    HWND PartsList = nullptr;
    HWND Label1 = nullptr;
    HWND Label3 = nullptr;
    HWND Shape1 = nullptr;
    HWND lbLumi = nullptr;
    HWND tbLumi = nullptr;
    HWND lbHue = nullptr;
    HWND tbHue = nullptr;
    HWND cbBtnCol = nullptr;
    HWND StatusBar = nullptr;
    HWND pnBottom = nullptr;
    HWND btOK = nullptr;
    HWND btCamcel = nullptr;
};

} // namespace pelmora
