// The pattern editor window: its menus, its controls and their places, the
// pattern list, the preview, the pad's settings and the window's own events.
// The lower pane (parts list, colour adjustment) is in EditParts.cpp.
#include "win32/edit.h"

#include "platform/syscolors.h"
#include "win32/RowDrag.h"
#include "win32/Win32Keyboard.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace pelmora {

using win32ui::Bevel;
using win32ui::Rect96;

namespace {

constexpr const wchar_t* kFormClass = L"TEditForm";
constexpr const char* kCaption = "パターンの詳細編集";
constexpr UINT kCloseNow = WM_APP + 1;

constexpr int kMinWidth = 550;
constexpr int kMinHeight = 400;
constexpr int kBottomBarHeight = 40;
constexpr int kStatusHeight = 31;
constexpr int kLeftWidth = 150;
constexpr int kBorder = 5;
constexpr int kLabelHeight = 20;
constexpr int kPatternRowHeight = 12;
constexpr int kInfoWidth = 185;
constexpr int kInfoMargin = 8;
constexpr int kInfoLinesTop = 26;
constexpr int kInfoLinesHeight = 64;
constexpr int kSplitterHeight = 3;
constexpr int kMinPaneHeight = 100;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;

int ItemId(EditItem item) {
    return kIdFirstItem + static_cast<int>(item);
}

std::optional<EditItem> ItemOfId(int id) {
    const int index = id - kIdFirstItem;
    if (index < 0 || index > static_cast<int>(EditItem::mnPDelete)) {
        return std::nullopt;
    }
    return static_cast<EditItem>(index);
}

// "Ctrl+Alt+U" as an accelerator; false for a shortcut that is none.
bool ParseShortcut(std::string_view text, ACCEL& accel) {
    accel = {};
    accel.fVirt = FVIRTKEY;
    while (true) {
        if (text.starts_with("Ctrl+")) {
            accel.fVirt |= FCONTROL;
            text.remove_prefix(5);
        } else if (text.starts_with("Alt+")) {
            accel.fVirt |= FALT;
            text.remove_prefix(4);
        } else if (text.starts_with("Shift+")) {
            accel.fVirt |= FSHIFT;
            text.remove_prefix(6);
        } else {
            break;
        }
    }
    if (text == "Ins") {
        accel.key = VK_INSERT;
    } else if (text == "Del") {
        accel.key = VK_DELETE;
    } else if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
        accel.key = static_cast<WORD>(text[0]);
    } else {
        return false;
    }
    return true;
}

// The screen position's client position in a window.
POINT ClientOf(HWND window, POINT screen) {
    ScreenToClient(window, &screen);
    return screen;
}

BOOL CALLBACK SetFontOf(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

bool Contains(HWND window, POINT screen) {
    RECT r = {};
    GetWindowRect(window, &r);
    return PtInRect(&r, screen) != FALSE;
}

} // namespace

// --- The splitter -------------------------------------------------------------------

// Drags the height of the preview strip; the form keeps both panes at least
// 100 pixels high.
class TEditForm::Splitter final : public win32ui::MessageWindow {
public:
    Splitter(TEditForm& form, HWND parent) : form_(form) {
        CreateWindowOf(L"TSplitter", 0, L"", WS_CHILD | WS_VISIBLE, RECT{}, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSplitter)));
        win32ui::SetControlName(Handle(), "Splitter1");
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            return TRUE;
        case WM_LBUTTONDOWN:
            SetCapture(Handle());
            startY_ = ScreenY(lParam);
            startHeight_ = form_.previewHeight_;
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == Handle()) {
                form_.SetPreviewHeight(startHeight_ +
                                       form_.scale_.Unscale(ScreenY(lParam) - startY_));
            }
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == Handle()) {
                ReleaseCapture();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(Handle(), &ps);
            FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
            EndPaint(Handle(), &ps);
            return 0;
        }
        default:
            return Default(message, wParam, lParam);
        }
    }

    int ScreenY(LPARAM lParam) const {
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &p);
        return p.y;
    }

    TEditForm& form_;
    int startY_ = 0;
    int startHeight_ = 0;
};

// --- Creation -----------------------------------------------------------------------

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
                     EditorDialogs& dialogs, std::function<void()> closed)
    : closed_(std::move(closed)), scale_(win32ui::WindowDpi(nullptr)) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    font_ = win32ui::CreateDialogFont(scale_.Dpi());
    // No title-bar buttons: the window closes through OK or Cancel only.
    CreateWindowOf(kFormClass, WS_EX_CONTROLPARENT, win32ui::Wide(kCaption),
                   WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN,
                   RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + scale_(kMinWidth),
                        CW_USEDEFAULT + scale_(kMinHeight)},
                   nullptr, nullptr);
    if (const int dpi = win32ui::WindowDpi(Handle()); dpi != scale_.Dpi()) {
        scale_ = win32ui::Scale(dpi);
        font_ = win32ui::CreateDialogFont(dpi);
    }
    CreateMenus();
    CreateAccelerators();
    CreateControls();
    EditFormView& view = *this;
    logic_ = std::make_unique<EditFormLogic>(library, settings, host, dialogs, view);
    keys_ = std::make_unique<win32ui::ModelessKeys>(
        Handle(), accelerators_, [this](const MSG& message) { return FilterKey(message); });
    Layout();
}

TEditForm::~TEditForm() {
    keys_.reset();
    patternDrag_.reset();
    partsDrag_.reset();
    // The logic stores the window's bounds while the window still answers.
    logic_.reset();
    splitter_.reset();
    DestroyWindowNow();
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
}

void TEditForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    SetFocus(PatternList);
    logic_->FormShow();
}

void TEditForm::CreateMenus() {
    const HMENU bar = CreateMenu();
    std::map<EditMenu, HMENU> menus;
    for (const EditMenuTitle& title : EditMenuTitles()) {
        const HMENU menu = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                    win32ui::Wide(title.caption).c_str());
        menus[title.menu] = menu;
        partsMenus_[menu] = title.menu == EditMenu::mnParts;
    }
    for (const EditMenuLine& line : EditMenuLines()) {
        const HMENU menu = menus.at(line.menu);
        const UINT position = static_cast<UINT>(GetMenuItemCount(menu));
        if (!line.item) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string caption = line.caption;
        if (*line.shortcut != '\0') {
            caption += std::string("\t") + line.shortcut;
        }
        if (line.opens) {
            const HMENU submenu = CreatePopupMenu();
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu),
                        win32ui::Wide(caption).c_str());
            menus[*line.opens] = submenu;
            partsMenus_[submenu] = partsMenus_.at(menu);
            items_[*line.item] = {menu, position, true};
            submenuOpeners_[{menu, position}] = *line.item;
            continue;
        }
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(ItemId(*line.item)),
                    win32ui::Wide(caption).c_str());
        if (line.radio) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_STRING | MFT_RADIOCHECK;
            SetMenuItemInfoW(menu, position, TRUE, &info);
        }
        items_[*line.item] = {menu, position, false};
    }
    // Owned by the window from here: destroyed with it.
    SetMenu(Handle(), bar);
}

void TEditForm::CreateAccelerators() {
    std::vector<ACCEL> table;
    for (const EditMenuLine& line : EditMenuLines()) {
        ACCEL accel;
        if (line.item && ParseShortcut(line.shortcut, accel)) {
            accel.cmd = static_cast<WORD>(ItemId(*line.item));
            table.push_back(accel);
        }
    }
    accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    if (accelerators_ == nullptr) {
        throw std::runtime_error("the editor's shortcuts cannot be made");
    }
}

HWND TEditForm::Label(HWND parent, const char* name, const char* caption, const Rect96& r,
                      DWORD style) {
    return win32ui::CreateControl(
        parent, {WC_STATICW, name, caption, SS_LEFT | style, 0, nextLabelId_++, r}, scale_,
        font_.Font());
}

HWND TEditForm::Panel(HWND parent, const char* name, const Rect96& r, Bevel bevel) {
    return win32ui::CreatePanel(parent, name, nextPanelId_++, r, scale_, bevel);
}

// Created in tab order; Layout() gives everything its place.
void TEditForm::CreateControls() {
    pnTop = Panel(Handle(), "pnTop", {}, Bevel::Raised);
    pnLeft = Panel(pnTop, "pnLeft", {}, Bevel::None);
    lbPattern = Label(pnLeft, "lbPattern", "パターン一覧(&Ｌ)：", {});
    PatternList = win32ui::CreateControl(
        pnLeft,
        {WC_LISTBOXW,
         "PatternList",
         "",
         LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
         WS_EX_CLIENTEDGE,
         kIdPatternList,
         {}},
        scale_, font_.Font());
    SendMessageW(PatternList, LB_SETITEMHEIGHT, 0, scale_(kPatternRowHeight));
    patternDrag_ = std::make_unique<win32ui::ListRowDrag>(
        PatternList, [this](POINT p) { return PatternListDragOver(p); },
        [this](POINT p) { PatternListDragDrop(p); });

    pnRight = Panel(pnTop, "pnRight", {}, Bevel::None);
    lbParts = Label(pnRight, "lbParts", "部品一覧(&S)：", {});
    pnRBottom = Panel(pnRight, "pnRBottom", {}, Bevel::Lowered);
    CreatePreviewStrip();
    splitter_ = std::make_unique<Splitter>(*this, pnRBottom);
    Splitter1 = splitter_->Handle();
    CreatePartsPane();

    StatusBar = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0, 0,
        0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar)),
        win32ui::ModuleInstance(), nullptr);
    if (StatusBar == nullptr) {
        throw std::runtime_error("the editor's status bar cannot be made");
    }
    SendMessageW(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Font()), FALSE);
    // One panel over the whole width: the hints' text.
    const int wholeWidth = -1;
    SendMessageW(StatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeWidth));
    win32ui::SetControlName(StatusBar, "StatusBar");

    pnBottom = Panel(Handle(), "pnBottom", {}, Bevel::None);
    btOK = win32ui::CreateControl(
        pnBottom,
        {WC_BUTTONW, "btOK", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, kIdOk, {}}, scale_,
        font_.Font());
    btCamcel = win32ui::CreateControl(
        pnBottom,
        {WC_BUTTONW, "btCamcel", "キャンセル", BS_PUSHBUTTON | WS_TABSTOP, 0, kIdCancel, {}},
        scale_, font_.Font());
}

// The preview strip: the cell at the left, the pad's settings at the right.
void TEditForm::CreatePreviewStrip() {
    pnRBTop = Panel(pnRBottom, "pnRBTop", {}, Bevel::None);
    pbPreview = win32ui::CreatePaintBox(
        pnRBTop, "pbPreview", kIdPreview, {}, scale_, [this](HDC dc, const RECT& client) {
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            win32ui::DrawBitmap24(dc, 0, 0, preview_, PictureScale());
        });
    bvInfo = Panel(pnRBTop, "bvInfo", {}, Bevel::Box);
    lbInfoTitle = Label(bvInfo, "lbInfoTitle", "---パッド設定情報---", {kInfoMargin, 8, 170, 14},
                        SS_NOPREFIX);
    lbInfoItem = Label(bvInfo, "lbInfoItem",
                       " ・ボタンサイズ：\r\n ・ボタン名：\r\n ・小さいアイコン：\r\n ・ボタン色：",
                       {}, SS_NOPREFIX);
    // Above the value label, over the blanks that start its last line.
    lbInfoCol = Label(bvInfo, "lbInfoCol", "", {}, SS_NOPREFIX);
    // A value stays on its line: one too long for the box is cut, never wrapped.
    lbInfo = Label(bvInfo, "lbInfo", "", {}, SS_NOPREFIX | SS_LEFTNOWORDWRAP);
    SetWindowLongPtrW(lbInfo, GWL_STYLE, GetWindowLongPtrW(lbInfo, GWL_STYLE) | WS_CLIPSIBLINGS);
    PlaceInfoLabels();
}

// The items as wide as the widest of them in the window's font; the values
// take the rest of the box.
void TEditForm::PlaceInfoLabels() {
    const std::wstring items = win32ui::Wide(win32ui::WindowTextUtf8(lbInfoItem));
    const HDC dc = GetDC(lbInfoItem);
    const HGDIOBJ old = SelectObject(dc, font_.Get());
    LONG widest = 0;
    for (std::size_t start = 0; start <= items.size();) {
        const std::size_t end = std::min(items.find(L"\r\n", start), items.size());
        SIZE extent = {};
        GetTextExtentPoint32W(dc, items.c_str() + start, static_cast<int>(end - start), &extent);
        widest = std::max(widest, extent.cx);
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(lbInfoItem, dc);
    const int itemsWidth = scale_.UnscaleUp(widest);
    const int valuesLeft = kInfoMargin + itemsWidth;
    win32ui::PlaceControl(lbInfoItem, {kInfoMargin, kInfoLinesTop, itemsWidth, kInfoLinesHeight},
                          scale_);
    win32ui::PlaceControl(lbInfoCol, {valuesLeft, kInfoLinesTop, 14, 14}, scale_);
    win32ui::PlaceControl(lbInfo,
                          {valuesLeft, kInfoLinesTop,
                           kInfoWidth - win32ui::BevelWidth(Bevel::Box) - 2 - valuesLeft,
                           kInfoLinesHeight},
                          scale_);
}

// --- Layout -------------------------------------------------------------------------

void TEditForm::Layout() {
    RECT client = {};
    GetClientRect(Handle(), &client);
    const int width = scale_.Unscale(client.right);
    const int height = scale_.Unscale(client.bottom);
    const int topHeight = std::max(height - kBottomBarHeight - kStatusHeight, 0);

    win32ui::PlaceControl(pnTop, {0, 0, width, topHeight}, scale_);
    win32ui::PlaceControl(StatusBar, {0, topHeight, width, kStatusHeight}, scale_);
    // The bar draws its panel's edge at its right end: when it grows, the
    // old edge would stay where it was.
    InvalidateRect(StatusBar, nullptr, TRUE);
    win32ui::PlaceControl(pnBottom, {0, height - kBottomBarHeight, width, kBottomBarHeight},
                          scale_);
    const int buttonTop = (kBottomBarHeight - kButtonHeight) / 2;
    win32ui::PlaceControl(
        btCamcel, {width - kButtonGap - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight},
        scale_);
    win32ui::PlaceControl(
        btOK, {width - 2 * (kButtonGap + kButtonWidth), buttonTop, kButtonWidth, kButtonHeight},
        scale_);

    // Inside the raised bevel of the main area.
    const int innerHeight = std::max(topHeight - 2, 0);
    win32ui::PlaceControl(pnLeft, {1, 1, kLeftWidth, innerHeight}, scale_);
    win32ui::PlaceControl(lbPattern, {kBorder, kBorder, kLeftWidth - 2 * kBorder, kLabelHeight},
                          scale_);
    win32ui::PlaceControl(PatternList,
                          {kBorder, kBorder + kLabelHeight, kLeftWidth - 2 * kBorder,
                           std::max(innerHeight - 2 * kBorder - kLabelHeight, 0)},
                          scale_);
    const int rightWidth = std::max(width - 2 - kLeftWidth, 0);
    win32ui::PlaceControl(pnRight, {1 + kLeftWidth, 1, rightWidth, innerHeight}, scale_);
    win32ui::PlaceControl(lbParts, {kBorder, kBorder, rightWidth - 2 * kBorder, kLabelHeight},
                          scale_);
    const int paneWidth = std::max(rightWidth - 2 * kBorder, 0);
    const int paneHeight = std::max(innerHeight - 2 * kBorder - kLabelHeight, 0);
    win32ui::PlaceControl(pnRBottom, {kBorder, kBorder + kLabelHeight, paneWidth, paneHeight},
                          scale_);

    // Inside the sunken panel: the preview strip, the splitter, the lower pane.
    const int stripWidth = std::max(paneWidth - 2, 0);
    const int room = paneHeight - 2 - kSplitterHeight;
    const int lowerMin = std::max(kMinPaneHeight, ColorGroupHeight());
    const int strip = std::max(std::min(previewHeight_, room - lowerMin), kMinPaneHeight);
    win32ui::PlaceControl(pnRBTop, {1, 1, stripWidth, strip}, scale_);
    win32ui::PlaceControl(pbPreview, {2, 2, std::max(stripWidth - 4 - kInfoWidth, 0), strip - 4},
                          scale_);
    win32ui::PlaceControl(bvInfo, {stripWidth - 2 - kInfoWidth, 2, kInfoWidth, strip - 4}, scale_);
    win32ui::PlaceControl(Splitter1, {1, 1 + strip, stripWidth, kSplitterHeight}, scale_);
    const int lowerHeight = std::max(room - strip, 0);
    win32ui::PlaceControl(pnRBBottom, {1, 1 + strip + kSplitterHeight, stripWidth, lowerHeight},
                          scale_);
    LayoutPartsPane(stripWidth, lowerHeight);
}

// Cell pictures grow by whole pixels only, so each cell pixel stays a square
// block of the screen's: twice as large from 192 dpi on.
win32ui::Scale TEditForm::PictureScale() const {
    return win32ui::Scale(win32ui::kBaseDpi * std::max(1, scale_.Dpi() / win32ui::kBaseDpi));
}

void TEditForm::SetPreviewHeight(int height96) {
    previewHeight_ = std::max(height96, kMinPaneHeight);
    Layout();
    // What the layout allowed is what stands.
    previewHeight_ = PreviewHeight();
}

void TEditForm::ApplyDpi(int dpi) {
    scale_ = win32ui::Scale(dpi);
    // The controls get the new font at once (WM_DPICHANGED).
    font_ = win32ui::CreateDialogFont(dpi);
}

// --- Window events --------------------------------------------------------------------

LRESULT TEditForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        MenuOpening(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        MenuHighlight(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == tbLumi || reinterpret_cast<HWND>(lParam) == tbHue) {
            ColorAdjustChanged();
        }
        return 0;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlID == kIdPartsList) {
            item->itemHeight = static_cast<UINT>(scale_(24));
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID == kIdPartsList) {
            DrawPartRow(*item);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == lbInfoCol) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, markColor_);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_NEXTDLGCTL: {
        // The dialog keys' focus moves (Tab, arrows, a label's mnemonic); a
        // window that is no dialog does them itself.
        HWND next = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (next != nullptr) {
            SetFocus(next);
            // The focused button is the one Enter presses; elsewhere OK.
            const bool otherButton = next == btCamcel;
            SendMessageW(btCamcel, BM_SETSTYLE, otherButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                         TRUE);
            SendMessageW(btOK, BM_SETSTYLE, otherButton ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
        }
        return 0;
    }
    case DM_GETDEFID:
        return MAKELRESULT(GetFocus() == btCamcel ? kIdCancel : kIdOk, DC_HASDEFID);
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {scale_(kMinWidth), scale_(kMinHeight)};
        return 0;
    }
    case WM_SIZE:
        if (pnTop != nullptr) {
            Layout();
        }
        return 0;
    case WM_ERASEBKGND: {
        RECT client = {};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        EnumChildWindows(Handle(), SetFontOf, reinterpret_cast<LPARAM>(font_.Font()));
        SendMessageW(PatternList, LB_SETITEMHEIGHT, 0, scale_(kPatternRowHeight));
        SendMessageW(PartsList, LB_SETITEMHEIGHT, 0, scale_(24));
        nameColWidth_ = 0;
        PlaceInfoLabels();
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Layout();
        return 0;
    }
    case WM_CLOSE:
        // Closing from outside (the window system) is a Cancel, with its question.
        if (!closing_) {
            logic_->mnCancelClick();
        }
        return 0;
    case kCloseNow:
        // Destroys this object: nothing of it may be touched afterwards.
        if (closed_) {
            std::function<void()> closed = std::move(closed_);
            closed();
        }
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

void TEditForm::Command(int id, int code, HWND control) {
    if (id == kIdOk && (code == BN_CLICKED || control == nullptr)) {
        logic_->mnExitClick();
    } else if (id == kIdCancel && (code == BN_CLICKED || control == nullptr)) {
        logic_->mnCancelClick();
    } else if (id == kIdPatternList && code == LBN_SELCHANGE) {
        logic_->PatternListClick(SelectedPatternRows());
    } else if (id == kIdPatternList && code == LBN_DBLCLK) {
        logic_->PatternListDblClick();
    } else if (id == kIdPartsList && code == LBN_SELCHANGE) {
        logic_->PartsListClick(static_cast<int>(SendMessageW(PartsList, LB_GETCURSEL, 0, 0)));
    } else if (id == kIdBtnCol && code == BN_CLICKED) {
        ColorAdjustChanged();
    } else if (const std::optional<EditItem> item = ItemOfId(id); item && control == nullptr) {
        // A menu item (code 0) or its shortcut (code 1); the logic runs the
        // menu's enabling rules first.
        logic_->MenuClick(*item);
    }
}

void TEditForm::MenuOpening(HMENU menu) {
    const auto found = partsMenus_.find(menu);
    if (found == partsMenus_.end()) {
        return;
    }
    // The File menu's export item follows the Pattern menu's rules.
    found->second ? logic_->mnPartsClick() : logic_->mnPatternClick();
}

void TEditForm::MenuHighlight(HMENU menu, UINT idOrPosition, UINT flags) {
    if (flags == 0xFFFF && menu == nullptr) {
        SetStatusText("");
        return;
    }
    std::optional<EditItem> item;
    if ((flags & MF_POPUP) != 0) {
        if (const auto opener = submenuOpeners_.find({menu, idOrPosition});
            opener != submenuOpeners_.end()) {
            item = opener->second;
        }
    } else {
        item = ItemOfId(static_cast<int>(idOrPosition));
    }
    std::string hint;
    if (item) {
        for (const EditMenuLine& line : EditMenuLines()) {
            if (line.item == item) {
                hint = line.hint;
            }
        }
    }
    SetStatusText(hint);
}

bool TEditForm::FilterKey(const MSG& message) {
    if (message.message != WM_SYSCHAR) {
        return false;
    }
    // The labels' and the Parts menu's accelerators are full-width letters,
    // which no keyboard types: their half-width letters stand in.
    switch (towupper(static_cast<wint_t>(message.wParam))) {
    case L'L':
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(PatternList), TRUE);
        return true;
    case L'R':
        PostMessageW(Handle(), WM_SYSCOMMAND, SC_KEYMENU, L'Ｒ');
        return true;
    default:
        return false;
    }
}

// --- Pattern list -----------------------------------------------------------------------

std::vector<int> TEditForm::SelectedPatternRows() const {
    const int count = static_cast<int>(SendMessageW(PatternList, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0) {
        SendMessageW(PatternList, LB_GETSELITEMS, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(rows.data()));
    }
    return rows;
}

// The row under a screen position: the row count below the last row.
int TEditForm::PatternRowAt(POINT screen) const {
    const POINT p = ClientOf(PatternList, screen);
    const int top = static_cast<int>(SendMessageW(PatternList, LB_GETTOPINDEX, 0, 0));
    const int rowHeight = static_cast<int>(SendMessageW(PatternList, LB_GETITEMHEIGHT, 0, 0));
    const int count = static_cast<int>(SendMessageW(PatternList, LB_GETCOUNT, 0, 0));
    return std::min(top + std::max(static_cast<int>(p.y), 0) / std::max(rowHeight, 1), count);
}

bool TEditForm::PatternListDragOver(POINT screen) {
    const DragSpot spot = Contains(PatternList, screen) ? DragSpot::PatternList
                          : Contains(lbPattern, screen) ? DragSpot::PatternLabel
                          : Contains(StatusBar, screen) ? DragSpot::StatusBar
                                                        : DragSpot::Elsewhere;
    RECT client = {};
    GetClientRect(PatternList, &client);
    const int top = static_cast<int>(SendMessageW(PatternList, LB_GETTOPINDEX, 0, 0));
    const int count = static_cast<int>(SendMessageW(PatternList, LB_GETCOUNT, 0, 0));
    const int rowHeight =
        std::max(static_cast<int>(SendMessageW(PatternList, LB_GETITEMHEIGHT, 0, 0)), 1);
    // The first row whose bottom edge reaches the client height.
    const int fullRows = (client.bottom + rowHeight - 1) / rowHeight;
    const int lastVisible = std::min(top + std::max(fullRows, 1) - 1, count);
    return logic_->PatternListDragOver(spot, PatternRowAt(screen), {top, lastVisible});
}

void TEditForm::PatternListDragDrop(POINT screen) {
    if (Contains(PatternList, screen)) {
        logic_->PatternListDragDrop(PatternRowAt(screen));
    }
}

// --- What the logic tells ----------------------------------------------------------------

std::optional<ScreenSize> TEditForm::Screen() const {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    return ScreenSize{width, height};
}

// The place in screen pixels, the size in 96-dpi pixels like every size the
// window stores.
WindowBounds TEditForm::Bounds() const {
    RECT r = {};
    GetWindowRect(Handle(), &r);
    return {r.left, r.top, scale_.Unscale(r.right - r.left), scale_.Unscale(r.bottom - r.top)};
}

int TEditForm::PreviewHeight() const {
    RECT r = {};
    GetWindowRect(pnRBTop, &r);
    return scale_.Unscale(r.bottom - r.top);
}

void TEditForm::SetBounds(const WindowBounds& bounds, int previewHeight) {
    previewHeight_ = previewHeight;
    SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, scale_(bounds.Width),
                 scale_(bounds.Height), SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

void TEditForm::SetItemEnabled(EditItem item, bool enabled) {
    const MenuPlace& place = items_.at(item);
    EnableMenuItem(place.menu, place.submenu ? place.position : static_cast<UINT>(ItemId(item)),
                   (place.submenu ? MF_BYPOSITION : MF_BYCOMMAND) |
                       (enabled ? MF_ENABLED : MF_GRAYED));
}

void TEditForm::SetItemChecked(EditItem item, bool checked) {
    CheckMenuItem(items_.at(item).menu, static_cast<UINT>(ItemId(item)),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TEditForm::ShowPatternRows(const std::vector<std::string>& names) {
    const int count = static_cast<int>(names.size());
    SendMessageW(PatternList, WM_SETREDRAW, FALSE, 0);
    while (static_cast<int>(SendMessageW(PatternList, LB_GETCOUNT, 0, 0)) > count) {
        SendMessageW(PatternList, LB_DELETESTRING,
                     static_cast<WPARAM>(SendMessageW(PatternList, LB_GETCOUNT, 0, 0) - 1), 0);
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring name = win32ui::Wide(names[static_cast<std::size_t>(i)]);
        const int shown = static_cast<int>(SendMessageW(PatternList, LB_GETCOUNT, 0, 0));
        if (i >= shown) {
            SendMessageW(PatternList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            continue;
        }
        const int length = static_cast<int>(SendMessageW(PatternList, LB_GETTEXTLEN, i, 0));
        std::wstring current(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        SendMessageW(PatternList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(current.data()));
        current.resize(static_cast<std::size_t>(std::max(length, 0)));
        if (current != name) {
            const LRESULT selected = SendMessageW(PatternList, LB_GETSEL, i, 0);
            SendMessageW(PatternList, LB_DELETESTRING, i, 0);
            SendMessageW(PatternList, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name.c_str()));
            SendMessageW(PatternList, LB_SETSEL, selected > 0, i);
        }
    }
    SendMessageW(PatternList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PatternList, nullptr, TRUE);
}

void TEditForm::ShowPatternSelection(const std::vector<int>& selected, int current) {
    // Set without notifications: the logic knows already.
    SendMessageW(PatternList, LB_SETSEL, FALSE, -1);
    for (const int row : selected) {
        SendMessageW(PatternList, LB_SETSEL, TRUE, row);
    }
    if (current >= 0) {
        SendMessageW(PatternList, LB_SETCARETINDEX, static_cast<WPARAM>(current), FALSE);
    }
}

void TEditForm::ScrollPatternList(int rows) {
    const LRESULT top = SendMessageW(PatternList, LB_GETTOPINDEX, 0, 0);
    SendMessageW(PatternList, LB_SETTOPINDEX, static_cast<WPARAM>(std::max<LRESULT>(top + rows, 0)),
                 0);
}

void TEditForm::ShowPreview(const Bitmap24& cell) {
    preview_ = cell;
    win32ui::Repaint(pbPreview);
}

void TEditForm::ShowPadInfo(const std::string& values, const std::string& mark, TColor markColor) {
    std::string lines;
    for (const char c : values) {
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    win32ui::SetWindowTextUtf8(lbInfo, lines);
    win32ui::SetWindowTextUtf8(lbInfoCol, mark);
    markColor_ = markColor;
    // The mark stands at the start of the value label's fourth line.
    const HDC dc = GetDC(lbInfo);
    const HGDIOBJ old = SelectObject(dc, font_.Get());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE markSize = {};
    const std::wstring wideMark = win32ui::Wide(mark);
    GetTextExtentPoint32W(dc, wideMark.c_str(), static_cast<int>(wideMark.size()), &markSize);
    SelectObject(dc, old);
    ReleaseDC(lbInfo, dc);
    const RECT value = win32ui::ChildRect(lbInfo);
    SetWindowPos(lbInfoCol, HWND_TOP, value.left, value.top + 3 * metrics.tmHeight,
                 std::max<int>(markSize.cx, 1), metrics.tmHeight, SWP_NOACTIVATE);
    InvalidateRect(lbInfoCol, nullptr, TRUE);
}

void TEditForm::SetStatusText(const std::string& text) {
    SendMessageW(StatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(win32ui::Wide(text).c_str()));
}

void TEditForm::CloseWindow() {
    closing_ = true;
    ShowWindow(Handle(), SW_HIDE);
    // Destroyed from the message loop, once the command that closed it is done.
    PostMessageW(Handle(), kCloseNow, 0, 0);
}

} // namespace pelmora
