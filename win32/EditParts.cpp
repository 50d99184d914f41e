// The editor window's lower pane: the parts list and the colour-adjustment group.
#include "platform/syscolors.h"
#include "win32/RowDrag.h"
#include "win32/edit.h"

#include <commctrl.h>

#include <algorithm>

namespace pelmora {
namespace {

constexpr int kPartRowHeight = 24;
constexpr int kAdjustWidth = 204;
constexpr int kBarLeft = 78;
constexpr int kBarWidth = 120;
constexpr int kCheckTop = 98;
constexpr int kCheckHeight = 17;
constexpr int kGroupMargin = 5;
// The widest kind name: icons start after it.
constexpr const wchar_t* kLongestKindName = L"ボタン名領域枠";

int SysColorOf(PartRowInk ink) {
    switch (ink) {
    case PartRowInk::SelectedText:
        return COLOR_HIGHLIGHTTEXT;
    case PartRowInk::GrayText:
        return COLOR_GRAYTEXT;
    case PartRowInk::Text:
        break;
    }
    return COLOR_WINDOWTEXT;
}

} // namespace

void TEditForm::CreatePartsPane() {
    pnRBBottom = Panel(pnRBottom, "pnRBBottom", {}, win32ui::Bevel::None);
    PartsList = win32ui::CreateControl(
        pnRBBottom,
        {WC_LISTBOXW,
         "PartsList",
         "",
         LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
         WS_EX_CLIENTEDGE,
         kIdPartsList,
         {}},
        scale_, font_.Font());
    partsDrag_ = std::make_unique<win32ui::ListRowDrag>(
        PartsList, [this](POINT p) { return logic_->PartsListDragOver(PartRowAt(p)); },
        [this](POINT p) { logic_->PartsListDragDrop(PartRowAt(p)); },
        [this] {
            logic_->PartsListClick(static_cast<int>(SendMessageW(PartsList, LB_GETCURSEL, 0, 0)));
        });

    Label1 = Label(pnRBBottom, "Label1", "全体の色調整", {}, SS_NOPREFIX);
    Label3 = Label(pnRBBottom, "Label3", "-                        +", {}, SS_NOPREFIX);
    lbLumi = Label(pnRBBottom, "lbLumi", "明るさ(&B)：", {});
    const auto makeBar = [&](const char* name, int id, int limit) {
        const HWND bar = win32ui::CreateControl(
            pnRBBottom,
            {TRACKBAR_CLASSW, name, "", TBS_HORZ | TBS_TOP | TBS_AUTOTICKS | WS_TABSTOP, 0, id, {}},
            scale_, font_.Font());
        SendMessageW(bar, TBM_SETRANGEMIN, FALSE, -limit);
        SendMessageW(bar, TBM_SETRANGEMAX, FALSE, limit);
        SendMessageW(bar, TBM_SETPAGESIZE, 0, 2);
        SendMessageW(bar, TBM_SETPOS, TRUE, 0);
        return bar;
    };
    tbLumi = makeBar("tbLumi", kIdLumi, 8);
    lbHue = Label(pnRBBottom, "lbHue", "色合い(&H)：", {});
    tbHue = makeBar("tbHue", kIdHue, 6);
    cbBtnCol = win32ui::CreateControl(pnRBBottom,
                                      {WC_BUTTONW,
                                       "cbBtnCol",
                                       "ボタン色部品も調整する(&T)",
                                       BS_AUTOCHECKBOX | WS_TABSTOP,
                                       0,
                                       kIdBtnCol,
                                       {}},
                                      scale_, font_.Font());
    // The zero mark across both track bars, behind them.
    Shape1 = win32ui::CreateControl(pnRBBottom, {WC_STATICW, "Shape1", "", SS_BLACKRECT, 0, 0, {}},
                                    scale_, font_.Font());
}

// The parts list takes what the group at the right edge leaves.
void TEditForm::LayoutPartsPane(int width, int height) {
    const int left = std::max(width - kAdjustWidth, 0);
    win32ui::PlaceControl(PartsList, {0, 0, left, height}, scale_);
    win32ui::PlaceControl(Label1, {left + 8, 4, 120, 14}, scale_);
    win32ui::PlaceControl(Label3, {left + kBarLeft + 6, 18, kBarWidth, 14}, scale_);
    win32ui::PlaceControl(Shape1, {left + kBarLeft + kBarWidth / 2, 20, 1, 75}, scale_);
    win32ui::PlaceControl(lbLumi, {left + 8, 42, kBarLeft - 8, 14}, scale_);
    win32ui::PlaceControl(tbLumi, {left + kBarLeft, 32, kBarWidth, 28}, scale_);
    win32ui::PlaceControl(lbHue, {left + 8, 72, kBarLeft - 8, 14}, scale_);
    win32ui::PlaceControl(tbHue, {left + kBarLeft, 62, kBarWidth, 28}, scale_);
    win32ui::PlaceControl(cbBtnCol, {left + 8, kCheckTop, kAdjustWidth - 12, kCheckHeight}, scale_);
}

// The lower pane is never lower than the colour group, so the check box
// stays whole wherever the splitter stands.
int TEditForm::ColorGroupHeight() {
    return kCheckTop + kCheckHeight + kGroupMargin;
}

// The row under a screen position: the row count below the last row, -1 off
// the list.
int TEditForm::PartRowAt(POINT screen) const {
    RECT client = {};
    GetClientRect(PartsList, &client);
    POINT p = screen;
    ScreenToClient(PartsList, &p);
    if (!PtInRect(&client, p)) {
        return -1;
    }
    const LRESULT hit = SendMessageW(PartsList, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    const int count = static_cast<int>(SendMessageW(PartsList, LB_GETCOUNT, 0, 0));
    return HIWORD(hit) != 0 ? count : LOWORD(hit);
}

// A row: the kind name in the colour PartRowTextInk gives, and its picture in
// a column after the widest kind name (NameColWidth), white showing the row's
// background.
void TEditForm::DrawPartRow(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    if (nameColWidth_ == 0) {
        const HGDIOBJ old = SelectObject(dc, font_.Get());
        SIZE size = {};
        GetTextExtentPoint32W(dc, kLongestKindName, lstrlenW(kLongestKindName), &size);
        SelectObject(dc, old);
        nameColWidth_ = size.cx;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(background));
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= partRows_.size()) {
        return;
    }
    const PartRow& row = partRows_[item.itemID];
    r.left += scale_(2);
    const HGDIOBJ old = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(SysColorOf(PartRowTextInk(row.Icon.has_value(), selected))));
    // Drawn as it is: an "&" in a name is no accelerator.
    std::wstring text = win32ui::Wide(row.Text);
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    if (row.Icon) {
        win32ui::DrawBitmap24(dc, r.left + nameColWidth_ + scale_(2), item.rcItem.top + scale_(2),
                              *row.Icon, PictureScale(), {0x00FFFFFF, GetSysColor(background)});
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &item.rcItem);
    }
}

void TEditForm::ColorAdjustChanged() {
    logic_->ColorAdjustChange(static_cast<int>(SendMessageW(tbLumi, TBM_GETPOS, 0, 0)),
                              static_cast<int>(SendMessageW(tbHue, TBM_GETPOS, 0, 0)),
                              SendMessageW(cbBtnCol, BM_GETCHECK, 0, 0) == BST_CHECKED);
}

void TEditForm::ShowPartRows(const std::vector<PartRow>& rows, int current) {
    partRows_ = rows;
    SendMessageW(PartsList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(PartsList, LB_RESETCONTENT, 0, 0);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SendMessageW(PartsList, LB_ADDSTRING, 0, static_cast<LPARAM>(k));
    }
    SendMessageW(PartsList, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    SendMessageW(PartsList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PartsList, nullptr, TRUE);
}

void TEditForm::ShowColorAdjust(int lumi, int hue, bool btnColTrim) {
    // Set without notifications: the logic knows already.
    SendMessageW(tbLumi, TBM_SETPOS, TRUE, lumi);
    SendMessageW(tbHue, TBM_SETPOS, TRUE, hue);
    SendMessageW(cbBtnCol, BM_SETCHECK, btnColTrim ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace pelmora
