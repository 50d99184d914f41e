#include "win32/GradForm.h"

#include "logic/GradDlgLogic.h"
#include "logic/GradDlgPaint.h"
#include "platform/syscolors.h"
#include "win32/Win32Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using namespace win32ui;

// The message the stop strip posts to itself for a double-click's colour
// dialog, so that it opens after the second click has been handled.
constexpr UINT WM_EDITSTOPCOLOR = WM_USER + 100;

enum ControlId : int {
    idPnGrad = 100,
    idPbGrad,
    idBvGrad,
    idLbKind,
    idCbKind,
    idLbAngle,
    idEdAngle,
    idUdAngle,
    idLbDegree,
    idLbCenter,
    idLbX,
    idEdX,
    idUdX,
    idLbXPer,
    idLbY,
    idEdY,
    idUdY,
    idLbYPer,
    idCbNormal,
    idBtHdl,
    idPnBar,
    idPbLabel,
    idPbPtr,
    idPbBar,
    idCbWrap,
    idBtReverse,
    idBtSelect,
};

// The stop menu's entries, in GradMenuItem order; null is a separator.
constexpr const char* kMenuCaptions[] = {"色変更(&O)...", "位置指定(&L)...", nullptr,
                                         "色コピー(&C)",  "色貼り付け(&P)",  "削除(&D)",
                                         nullptr,         "次を選択(&S)",    "次に追加(&A)"};
static_assert(std::size(kMenuCaptions) == kGradMenuItemCount);
constexpr UINT kFirstMenuCommand = 1; // TrackPopupMenu answers 0 for none

MouseButton ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return MouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return MouseButton::Right;
    default:
        return MouseButton::Other;
    }
}

bool IsPressMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
           message == WM_MBUTTONDBLCLK;
}

bool IsDoubleClick(UINT message) {
    return message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
           message == WM_MBUTTONDBLCLK;
}

bool IsReleaseMessage(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

// The row below the prefix underline of text drawn at the top of a box:
// the system draws it a pixel below the baseline, or where the font puts
// its underline when that is lower.
LONG UnderlineBottom(HDC dc) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    LONG below = 1;
    LONG thickness = 1;
    OUTLINETEXTMETRICW outline = {};
    outline.otmSize = sizeof outline;
    if (GetOutlineTextMetricsW(dc, sizeof outline, &outline) != 0) {
        below = std::max<LONG>(below, -outline.otmsUnderscorePosition);
        thickness = std::max<LONG>(thickness, static_cast<LONG>(outline.otmsUnderscoreSize));
    }
    return metrics.tmAscent + below + thickness;
}

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A memory canvas of a window's size: what is drawn there reaches the
// screen in one copy, so a picture with writing over it does not flicker.
class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& client)
        : target_(target), width_(client.right - client.left), height_(client.bottom - client.top),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, std::max(1, width_), std::max(1, height_))) {
        old_ = SelectObject(dc_, bitmap_.Get());
    }
    ~BufferedPaint() {
        BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC Dc() const { return dc_; }

private:
    HDC target_;
    int width_;
    int height_;
    HDC dc_;
    GdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
};

class TGradDlg final : public ModalDialog, private GradDlgView {
public:
    explicit TGradDlg(TGrad& gradient)
        : ModalDialog({kGradDlgClass, "グラデーションの設定", 514, 338, false}),
          gradient_(gradient) {}

private:
    HWND CreateControls() override;
    void CreateUpperPane();
    void CreateLowerPane();
    std::optional<LRESULT> DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> Command(int id, int code);
    std::optional<LRESULT> Notify(const NMHDR& header, LPARAM lParam);
    void KindChosen();
    void PreviewMouse(UINT message, TPoint at);
    void StripMouse(UINT message, WPARAM keys, TPoint at);
    void DrawKindItem(const DRAWITEMSTRUCT& item);
    void PaintStrip(HDC dc, const RECT& client);
    void PaintCaption(HDC dc, const RECT& client);
    void SyncUpDown(GradControl upDown);
    HWND Control(GradControl control) const { return controls_[static_cast<std::size_t>(control)]; }
    void SetControl(GradControl control, HWND window) {
        controls_[static_cast<std::size_t>(control)] = window;
    }

    // GradDlgView
    void ShowKind(int kind) override;
    void ShowKindPictures(const std::array<Bitmap24, 4>& pictures) override;
    void ShowNumber(GradControl field, int value) override;
    void ShowEnabled(GradControl control, bool enabled) override;
    void ShowChecked(GradControl control, bool checked) override;
    void ShowPicture(GradControl box, const Bitmap24& picture) override;
    void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) override;
    std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) override;
    void PostEditStopColor(int index) override;
    void CloseDialog(bool ok) override;

    TGrad& gradient_;
    std::unique_ptr<GradDlgLogic> logic_;
    std::array<HWND, static_cast<std::size_t>(GradControl::cbWrap) + 1> controls_{};
    HWND pnGrad_ = nullptr;
    HWND pnBar_ = nullptr;
    std::array<Bitmap24, 4> kindPictures_;
    Bitmap24 preview_;
    Bitmap24 bar_;
    Bitmap24 strip_;
    std::vector<StripLabel> stripLabels_;
    bool quiet_ = false; // the view is changing a control itself
};

// ---------------------------------------------------------------------------
// Building the form

HWND TGradDlg::CreateControls() {
    CreateUpperPane();
    CreateLowerPane();
    const HWND dialog = Handle();
    Add(dialog, {L"Button",
                 "btOK",
                 "OK",
                 BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP,
                 0,
                 IDOK,
                 {432, 32, 73, 25}});
    Add(dialog, {L"Button",
                 "btCancel",
                 "キャンセル",
                 BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
                 0,
                 IDCANCEL,
                 {432, 80, 73, 25}});

    logic_ = std::make_unique<GradDlgLogic>(static_cast<GradDlgView&>(*this));
    logic_->FormCreate();
    logic_->SetGradient(gradient_);
    for (const GradControl upDown : {GradControl::udAngle, GradControl::udX, GradControl::udY}) {
        SyncUpDown(upDown);
    }
    return Control(GradControl::cbKind);
}

void TGradDlg::CreateUpperPane() {
    const Scale& scale = DialogScale();
    pnGrad_ = CreatePanel(Handle(), "pnGrad", idPnGrad, {0, 0, 417, 257}, scale, Bevel::Raised);
    const HWND pane = pnGrad_;
    SetControl(GradControl::pbGrad,
               CreateMousePaintBox(
                   pane, "pbGrad", idPbGrad, {8, 9, 240, 240}, scale,
                   [this](HDC dc, const RECT&) { DrawBitmap24(dc, 0, 0, preview_, DialogScale()); },
                   [this](UINT message, WPARAM, TPoint at) { PreviewMouse(message, at); }));
    // The frame round the preview lies under it: it paints only where the
    // preview leaves it room.
    const HWND frame =
        CreatePanel(pane, "bvGrad", idBvGrad, {8, 8, 241, 241}, scale, Bevel::Lowered);
    SetWindowLongPtrW(frame, GWL_STYLE, GetWindowLongPtrW(frame, GWL_STYLE) | WS_CLIPSIBLINGS);

    const auto label = [&](const char* name, int id, const char* text, int x, int y) {
        return Add(pane,
                   {L"Static", name, text, SS_LEFT, 0, id, LabelBounds(Font(), scale, text, x, y)});
    };
    const auto field = [&](GradControl control, const char* name, int id, int y, int length) {
        const HWND edit = Add(pane, {L"Edit",
                                     name,
                                     "0",
                                     ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE,
                                     id,
                                     {328, y, 33, 20}});
        SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
        HoldOnlyAccepted(edit, [control](const std::string& text) {
            return GradDlgLogic::FieldAccepts(control, text);
        });
        SetControl(control, edit);
        return edit;
    };
    const auto arrows = [&](GradControl control, const char* name, int id, int y, HWND buddy,
                            bool wrap) {
        const HWND upDown =
            Add(pane, {UPDOWN_CLASSW,
                       name,
                       "",
                       static_cast<DWORD>(UDS_ARROWKEYS | UDS_NOTHOUSANDS | (wrap ? UDS_WRAP : 0)),
                       0,
                       id,
                       {361, y, 17, 20}});
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        // An up-down takes a width of its own when it is made: the form's again.
        PlaceControl(upDown, {361, y, 17, 20}, scale);
        SetControl(control, upDown);
    };

    label("lbKind", idLbKind, "種類(&K)", 264, 28);
    const HWND kinds = Add(pane, {WC_COMBOBOXW,
                                  "cbKind",
                                  "",
                                  CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS |
                                      WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                  0,
                                  idCbKind,
                                  {312, 24, 81, 20}});
    for (const char* name : kGradKindNames) {
        SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    }
    // The closed list is as high as the form gives it; how its frame adds to
    // the height of its selection field is the system's own.
    const auto closedHeight = [kinds] {
        RECT shown = {};
        GetWindowRect(kinds, &shown);
        return shown.bottom - shown.top;
    };
    auto fieldHeight =
        static_cast<int>(SendMessageW(kinds, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3 && closedHeight() != scale(20); ++attempt) {
        fieldHeight += scale(20) - closedHeight();
        SendMessageW(kinds, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight);
    }
    // Setting the field's height shrank the list below it: the window's
    // height is the closed field and the open list together, which shows
    // every kind without scrolling.
    const auto itemHeight = static_cast<int>(SendMessageW(kinds, CB_GETITEMHEIGHT, 0, 0));
    const int listHeight = static_cast<int>(std::size(kGradKindNames)) * itemHeight +
                           2 * GetSystemMetrics(SM_CYBORDER);
    RECT shown = {};
    GetWindowRect(kinds, &shown);
    SetWindowPos(kinds, nullptr, 0, 0, shown.right - shown.left, closedHeight() + listHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetControl(GradControl::cbKind, kinds);

    SetControl(GradControl::lbAngle, label("lbAngle", idLbAngle, "角度(&A)", 264, 68));
    const HWND angle = field(GradControl::edAngle, "edAngle", idEdAngle, 64, 3);
    arrows(GradControl::udAngle, "udAngle", idUdAngle, 64, angle, true);
    SetControl(GradControl::lbDegree, label("lbDegree", idLbDegree, "度", 380, 68));

    SetControl(GradControl::lbCenter, label("lbCenter", idLbCenter, "中心点", 264, 108));
    SetControl(GradControl::lbX, label("lbX", idLbX, "&X :", 304, 108));
    const HWND x = field(GradControl::edX, "edX", idEdX, 104, 4);
    arrows(GradControl::udX, "udX", idUdX, 104, x, false);
    SetControl(GradControl::lbXPer, label("lbXPer", idLbXPer, "%", 380, 108));
    SetControl(GradControl::lbY, label("lbY", idLbY, "&Y :", 304, 132));
    const HWND y = field(GradControl::edY, "edY", idEdY, 128, 4);
    arrows(GradControl::udY, "udY", idUdY, 128, y, false);
    SetControl(GradControl::lbYPer, label("lbYPer", idLbYPer, "%", 380, 132));

    SetControl(GradControl::cbNormal, Add(pane, {L"Button",
                                                 "cbNormal",
                                                 "範囲内に色を正規化(&N)",
                                                 BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                                                 0,
                                                 idCbNormal,
                                                 {264, 168, 145, 17}}));
    // A toggle that, like a speed button, never takes the focus.
    const HWND handles = Add(pane, {L"Button",
                                    "btHdl",
                                    "ハンドル表示",
                                    BS_AUTOCHECKBOX | BS_PUSHLIKE,
                                    0,
                                    idBtHdl,
                                    {264, 224, 89, 23}});
    KeepFocusWhenClicked(handles);
    SetControl(GradControl::btHdl, handles);
}

void TGradDlg::CreateLowerPane() {
    const Scale& scale = DialogScale();
    pnBar_ = CreatePanel(Handle(), "pnBar", idPnBar, {0, 257, 417, 88}, scale, Bevel::Raised);
    const HWND pane = pnBar_;
    CreatePaintBox(pane, "pbLabel", idPbLabel, {16, 8, 105, 12}, scale,
                   [this](HDC dc, const RECT& client) { PaintCaption(dc, client); });
    SetControl(
        GradControl::pbPtr,
        CreateMousePaintBox(
            pane, "pbPtr", idPbPtr, {11, 23, 294, 25}, scale,
            [this](HDC dc, const RECT& client) { PaintStrip(dc, client); },
            [this](UINT message, WPARAM keys, TPoint at) { StripMouse(message, keys, at); }));
    SetControl(GradControl::pbBar, CreatePaintBox(pane, "pbBar", idPbBar, {16, 48, 271, 26}, scale,
                                                  [this](HDC dc, const RECT&) {
                                                      DrawBitmap24(dc, 0, 0, bar_, DialogScale());
                                                  }));
    SetControl(GradControl::cbWrap, Add(pane, {L"Button",
                                               "cbWrap",
                                               "両端を一致(&W)",
                                               BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                                               0,
                                               idCbWrap,
                                               {312, 24, 97, 17}}));
    Add(pane, {L"Button",
               "btReverse",
               "逆転(&R)",
               BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP,
               0,
               idBtReverse,
               {312, 48, 57, 25}});
    // Beyond the pane's visible width: it is there for its Alt+S, which the
    // bar's caption advertises.
    const HWND select =
        Add(pane, {L"Button", "btSelect", "&S", BS_PUSHBUTTON, 0, idBtSelect, {424, 8, 17, 17}});
    KeepFocusWhenClicked(select);
}

// ---------------------------------------------------------------------------
// Events

std::optional<LRESULT> TGradDlg::DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return Command(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_COMBOBOX) {
            return std::nullopt;
        }
        item.itemHeight = static_cast<UINT>(DialogScale()(GradDlgLogic::kKindItemHeight));
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_COMBOBOX) {
            return std::nullopt;
        }
        DrawKindItem(item);
        return TRUE;
    }
    case WM_EDITSTOPCOLOR:
        if (logic_) {
            logic_->WMEditStopColor(static_cast<int>(wParam));
        }
        return 0;
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> TGradDlg::Command(int id, int code) {
    if (!logic_ || quiet_) {
        return std::nullopt;
    }
    const auto fieldChanged = [&](GradControl field,
                                  void (GradDlgLogic::*changed)(const std::string&)) -> LRESULT {
        const std::string text = WindowTextUtf8(Control(field));
        if (GradDlgLogic::FieldAccepts(field, text)) {
            (logic_.get()->*changed)(text);
        }
        return 0;
    };
    switch (id) {
    case idCbKind:
        if (code == CBN_CLOSEUP ||
            (code == CBN_SELCHANGE &&
             !SendMessageW(Control(GradControl::cbKind), CB_GETDROPPEDSTATE, 0, 0))) {
            KindChosen();
        }
        return 0;
    case idEdAngle:
        return code == EN_CHANGE ? fieldChanged(GradControl::edAngle, &GradDlgLogic::edAngleChange)
                                 : 0;
    case idEdX:
        return code == EN_CHANGE ? fieldChanged(GradControl::edX, &GradDlgLogic::edXChange) : 0;
    case idEdY:
        return code == EN_CHANGE ? fieldChanged(GradControl::edY, &GradDlgLogic::edYChange) : 0;
    default:
        break;
    }
    if (code != BN_CLICKED) {
        return std::nullopt;
    }
    switch (id) {
    case idCbNormal:
        logic_->cbNormalClick(Checked(Control(GradControl::cbNormal)));
        return 0;
    case idBtHdl:
        logic_->btHdlClick(Checked(Control(GradControl::btHdl)));
        return 0;
    case idCbWrap:
        logic_->cbWrapClick(Checked(Control(GradControl::cbWrap)));
        return 0;
    case idBtReverse:
        logic_->btReverseClick();
        return 0;
    case idBtSelect:
        logic_->btSelectClick();
        return 0;
    case IDOK:
        logic_->btOKClick();
        return 0;
    case IDCANCEL:
        logic_->btCancelClick();
        return 0;
    default:
        return std::nullopt;
    }
}

// The list changes the kind when an item is chosen: while it is open, the
// items the pointer passes over do not (four corners would rework the stops).
void TGradDlg::KindChosen() {
    const auto chosen =
        static_cast<int>(SendMessageW(Control(GradControl::cbKind), CB_GETCURSEL, 0, 0));
    if (chosen >= 0 && chosen != logic_->Target().Kind) {
        logic_->cbKindChange(chosen);
    }
}

// An arrow of an up-down: the logic steps the value; the control's own
// position only mirrors it.
std::optional<LRESULT> TGradDlg::Notify(const NMHDR& header, LPARAM lParam) {
    if (header.code != UDN_DELTAPOS || !logic_) {
        return std::nullopt;
    }
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    if (delta != 0) {
        const int direction = delta > 0 ? 1 : -1;
        switch (header.idFrom) {
        case idUdAngle:
            logic_->udAngleClick(direction);
            break;
        case idUdX:
            logic_->udXClick(GradControl::udX, direction);
            break;
        case idUdY:
            logic_->udXClick(GradControl::udY, direction);
            break;
        default:
            return std::nullopt;
        }
    }
    return TRUE; // the control leaves its position to the logic
}

void TGradDlg::PreviewMouse(UINT message, TPoint at) {
    if (IsPressMessage(message)) {
        logic_->pbGradMouseDown(at);
    } else if (message == WM_MOUSEMOVE) {
        logic_->pbGradMouseMove(at);
    } else if (IsReleaseMessage(message)) {
        logic_->pbGradMouseUp();
    }
}

// The platform sends a double-click in place of the second press: the
// double-click is handled first, then the press it stands for.
void TGradDlg::StripMouse(UINT message, WPARAM keys, TPoint at) {
    if (IsDoubleClick(message)) {
        logic_->pbPtrDblClick(ButtonOf(message));
    }
    if (IsPressMessage(message)) {
        logic_->pbBarMouseDown(ButtonOf(message), at);
    } else if (message == WM_MOUSEMOVE) {
        logic_->pbBarMouseMove((keys & MK_LBUTTON) != 0, at);
    } else if (IsReleaseMessage(message)) {
        logic_->pbBarMouseUp(ButtonOf(message), at);
    }
}

// ---------------------------------------------------------------------------
// Painting

void TGradDlg::DrawKindItem(const DRAWITEMSTRUCT& item) {
    const Scale& scale = DialogScale();
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(background));
    const int kind = static_cast<int>(item.itemID);
    if (kind >= 0 && kind < static_cast<int>(kindPictures_.size())) {
        const RECT& r = item.rcItem;
        const KindItemLayout layout = GradDlgLogic::cbKindDrawItem(
            {0, 0, scale.Unscale(r.right - r.left), scale.Unscale(r.bottom - r.top)});
        const COLORREF behind = GetSysColor(background);
        DrawBitmap24(item.hDC, r.left + scale(layout.Picture.X), r.top + scale(layout.Picture.Y),
                     kindPictures_[static_cast<std::size_t>(kind)], scale,
                     {kPictureTransparent, static_cast<TColor>(behind)});
        RECT text = {r.left + scale(layout.Text.Left), r.top, r.right, r.bottom};
        const std::wstring name = Wide(kGradKindNames[kind]);
        const int oldMode = SetBkMode(item.hDC, TRANSPARENT);
        const COLORREF oldColour =
            SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT
                                               : selected ? COLOR_HIGHLIGHTTEXT
                                                          : COLOR_WINDOWTEXT));
        DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
        SetTextColor(item.hDC, oldColour);
        SetBkMode(item.hDC, oldMode);
    }
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

// The handles, with the stops' positions written over them.
void TGradDlg::PaintStrip(HDC dc, const RECT& client) {
    const Scale& scale = DialogScale();
    const BufferedPaint buffer(dc, client);
    const HDC canvas = buffer.Dc();
    FillRect(canvas, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawBitmap24(canvas, 0, 0, strip_, scale);
    const HGDIOBJ oldFont = SelectObject(canvas, Font());
    SetBkColor(canvas, GetSysColor(COLOR_BTNFACE));
    SetTextColor(canvas, GetSysColor(COLOR_BTNTEXT));
    for (const StripLabel& label : stripLabels_) {
        const std::wstring text = Wide(label.Text);
        SIZE extent = {};
        GetTextExtentPoint32W(canvas, text.c_str(), static_cast<int>(text.size()), &extent);
        const RECT patch = {scale(label.X), 0, scale(label.X) + extent.cx,
                            std::min<LONG>(extent.cy, scale(kStripLabelHeight))};
        ExtTextOutW(canvas, patch.left, 0, ETO_OPAQUE | ETO_CLIPPED, &patch, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    }
    SelectObject(canvas, oldFont);
}

// The bar's caption, with its S underlined: Alt+S opens the stop menu. The
// box is no taller than the font, so the text moves up as far as the
// underline needs to stay inside it.
void TGradDlg::PaintCaption(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ oldFont = SelectObject(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT text = client;
    text.top -= std::max(0L, UnderlineBottom(dc) - client.bottom);
    const std::wstring caption = Wide("カラーリスト(&S)");
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

// ---------------------------------------------------------------------------
// What the logic shows. None of it comes back as an event.

void TGradDlg::SyncUpDown(GradControl upDown) {
    const UpDownState& state = logic_->UpDown(upDown);
    const HWND control = Control(upDown);
    SendMessageW(control, UDM_SETRANGE32, static_cast<WPARAM>(state.Min),
                 static_cast<LPARAM>(state.Max));
    SendMessageW(control, UDM_SETPOS32, 0, static_cast<LPARAM>(state.Position));
}

void TGradDlg::ShowKind(int kind) {
    SendMessageW(Control(GradControl::cbKind), CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
}

void TGradDlg::ShowKindPictures(const std::array<Bitmap24, 4>& pictures) {
    kindPictures_ = pictures;
    InvalidateRect(Control(GradControl::cbKind), nullptr, TRUE);
}

void TGradDlg::ShowNumber(GradControl field, int value) {
    const HWND edit = Control(field);
    const std::string text = std::to_string(value);
    if (WindowTextUtf8(edit) != text) {
        quiet_ = true;
        SetWindowTextUtf8(edit, text);
        quiet_ = false;
    }
    if (logic_) {
        SyncUpDown(field == GradControl::edAngle ? GradControl::udAngle
                   : field == GradControl::edX   ? GradControl::udX
                                                 : GradControl::udY);
    }
}

void TGradDlg::ShowEnabled(GradControl control, bool enabled) {
    EnableWindow(Control(control), enabled);
}

void TGradDlg::ShowChecked(GradControl control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TGradDlg::ShowPicture(GradControl box, const Bitmap24& picture) {
    (box == GradControl::pbGrad ? preview_ : bar_) = picture;
    Repaint(Control(box));
}

void TGradDlg::ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) {
    strip_ = picture;
    stripLabels_ = labels;
    Repaint(Control(GradControl::pbPtr));
}

// The menu runs its own loop; the command runs after it has closed, so it
// may open the next dialog.
std::optional<GradMenuItem> TGradDlg::PopUpStopMenu(const GradStopMenu& menu) {
    const HMENU popup = CreatePopupMenu();
    if (popup == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kGradMenuItemCount; ++i) {
        if (!menu.Visible[i]) {
            continue;
        }
        if (kMenuCaptions[i] == nullptr) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(popup, MF_STRING | (menu.Enabled[i] ? 0u : MF_GRAYED),
                        kFirstMenuCommand + i, Wide(kMenuCaptions[i]).c_str());
        }
    }
    SetMenuDefaultItem(popup, kFirstMenuCommand, FALSE);
    const Scale& scale = DialogScale();
    POINT at = {scale(menu.At.X), scale(menu.At.Y)};
    ClientToScreen(Control(GradControl::pbPtr), &at);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                         at.x, at.y, Handle(), nullptr));
    DestroyMenu(popup);
    if (chosen < kFirstMenuCommand || chosen >= kFirstMenuCommand + kGradMenuItemCount) {
        return std::nullopt;
    }
    return static_cast<GradMenuItem>(chosen - kFirstMenuCommand);
}

void TGradDlg::PostEditStopColor(int index) {
    PostMessageW(Handle(), WM_EDITSTOPCOLOR, static_cast<WPARAM>(index), 0);
}

void TGradDlg::CloseDialog(bool ok) {
    EndModal(ok);
}

} // namespace

bool ExecuteGradDialog(HWND owner, TGrad& gradient) {
    const FloatEnvironmentScope arithmetic;
    TGradDlg dialog(gradient);
    return dialog.RunModal(owner);
}

} // namespace pelmora
