#include "win32/value.h"

#include "logic/ValueFormLogic.h"
#include "logic/ValueFormPaint.h"
#include "platform/syscolors.h"
#include "win32/Win32Dialog.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <string>

namespace pelmora {
namespace {

using namespace win32ui;

constexpr int kClientWidth = 281;
constexpr int kClientHeight = 315;
// The band the schematic and its labels change in.
constexpr RECT kSchematicBand = {0, 40, kClientWidth, 247};
// The separator above the buttons: a lowered line along the bottom of its box.
constexpr Rect96 kBevel = {8, 248, 265, 9};

enum ControlId : int {
    idUdLeft = 100,
    idUdTop,
    idUdRight,
    idUdBottom,
    idBtReset,
    idRbOut,
    idRbIn,
    idLbLeft,
    idLbTop,
    idLbRight,
    idLbBottom,
    idLbComment,
    idLbStandard,
};

// The schematic's shapes, in painting order (later ones on top).
constexpr ValueControl kShapes[] = {ValueControl::spOut, ValueControl::spIn,
                                    ValueControl::spStandard, ValueControl::spComment};

std::size_t ShapeIndex(ValueControl shape) {
    for (std::size_t i = 0; i < std::size(kShapes); ++i) {
        if (kShapes[i] == shape) {
            return i;
        }
    }
    return 0;
}

class TValueForm final : public ModalDialog, private ValueFormView {
public:
    TValueForm(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer)
        : ModalDialog({kValueFormClass, "描画範囲の微調整", kClientWidth, kClientHeight, true}),
          area_(area), isFrame_(isFrame), thick_(thick), outer_(outer) {}

    AreaAdjustment Adjustment() const { return {logic_->GetOuter(), logic_->GetThick()}; }

private:
    HWND CreateControls() override;
    std::optional<LRESULT> DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> Command(int id, int code);
    void ArrowClicked(ValueControl upDown, int direction);
    void Paint();
    void Refresh();
    void SyncUpDowns();
    bool IsLabel(HWND window) const;
    HWND Control(ValueControl control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    void SetControl(ValueControl control, HWND window) {
        controls_[static_cast<std::size_t>(control)] = window;
    }

    // ValueFormView
    void ShowText(ValueControl label, const std::string& text) override;
    void ShowVisible(ValueControl control, bool visible) override;
    void ShowChecked(ValueControl radio, bool checked) override;
    void ShowShape(ValueControl shape, const ShapeLook& look) override;
    void CloseDialog(bool ok) override;

    std::uint8_t area_;
    bool isFrame_;
    TTrim thick_;
    TTrim outer_;
    std::unique_ptr<ValueFormLogic> logic_;
    std::array<HWND, static_cast<std::size_t>(ValueControl::udBottom) + 1> controls_{};
    HWND lbComment_ = nullptr;
    std::array<ShapeLook, std::size(kShapes)> shapes_{};
    bool insideShown_ = true;
    bool stale_ = false; // the schematic or a label changed since it was painted
};

// ---------------------------------------------------------------------------
// Building the form. Controls are made in tab order: the arrows, Reset, OK,
// Cancel, the mode buttons; the labels take no focus.

HWND TValueForm::CreateControls() {
    const HWND dialog = Handle();
    const auto arrows = [&](ValueControl control, const char* name, int id, bool horizontal,
                            Rect96 bounds) {
        const HWND upDown =
            Add(dialog, {UPDOWN_CLASSW, name, "",
                         static_cast<DWORD>((horizontal ? UDS_HORZ : 0) | WS_TABSTOP | WS_GROUP), 0,
                         id, bounds});
        // An up-down takes a width of its own when it is made: the form's again.
        PlaceControl(upDown, bounds, DialogScale());
        TakeArrowKeys(upDown, horizontal,
                      [this, control](int direction) { ArrowClicked(control, direction); });
        SetControl(control, upDown);
        return upDown;
    };
    const HWND first = arrows(ValueControl::udLeft, "udLeft", idUdLeft, true, {56, 144, 40, 25});
    arrows(ValueControl::udTop, "udTop", idUdTop, false, {120, 96, 40, 25});
    arrows(ValueControl::udRight, "udRight", idUdRight, true, {185, 144, 40, 25});
    arrows(ValueControl::udBottom, "udBottom", idUdBottom, false, {120, 176, 40, 25});
    Add(dialog, {L"Button",
                 "btReset",
                 "リセット",
                 BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP,
                 0,
                 idBtReset,
                 {112, 144, 57, 25}});
    Add(dialog, {L"Button",
                 "OK",
                 "OK",
                 BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP,
                 0,
                 IDOK,
                 {80, 272, 75, 25}});
    Add(dialog, {L"Button",
                 "Cancel",
                 "キャンセル",
                 BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP,
                 0,
                 IDCANCEL,
                 {184, 272, 75, 25}});
    SetControl(ValueControl::rbOut, Add(dialog, {L"Button",
                                                 "rbOut",
                                                 "外縁の調整(&O)",
                                                 BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                                                 0,
                                                 idRbOut,
                                                 {32, 16, 113, 17}}));
    SetControl(ValueControl::rbIn, Add(dialog, {L"Button",
                                                "rbIn",
                                                "枠太さの調整(&W)",
                                                BS_AUTORADIOBUTTON,
                                                0,
                                                idRbIn,
                                                {152, 16, 113, 17}}));

    const auto value = [&](ValueControl control, const char* name, int id, int x, int y) {
        SetControl(
            control,
            Add(dialog,
                {L"Static", name, "", SS_CENTER | SS_NOPREFIX | WS_GROUP, 0, id, {x, y, 41, 17}}));
    };
    value(ValueControl::lbLeft, "lbLeft", idLbLeft, 56, 170);
    value(ValueControl::lbTop, "lbTop", idLbTop, 120, 122);
    value(ValueControl::lbRight, "lbRight", idLbRight, 184, 170);
    value(ValueControl::lbBottom, "lbBottom", idLbBottom, 120, 202);
    const char* comment = "基準範囲：";
    lbComment_ = Add(dialog, {L"Static", "lbComment", comment, SS_LEFT | SS_NOPREFIX, 0,
                              idLbComment, LabelBounds(Font(), DialogScale(), comment, 96, 44)});
    SetControl(ValueControl::lbStandard, Add(dialog, {L"Static",
                                                      "lbStandard",
                                                      "",
                                                      SS_LEFT | SS_NOPREFIX,
                                                      0,
                                                      idLbStandard,
                                                      {152, 44, 0, 0}}));

    logic_ = std::make_unique<ValueFormLogic>(static_cast<ValueFormView&>(*this));
    logic_->FormCreate();
    logic_->SetValues(area_, isFrame_, thick_, outer_);
    logic_->FormShow();
    SyncUpDowns();
    stale_ = false; // painted as a whole when it shows
    return first;
}

bool TValueForm::IsLabel(HWND window) const {
    for (const ValueControl label :
         {ValueControl::lbLeft, ValueControl::lbTop, ValueControl::lbRight, ValueControl::lbBottom,
          ValueControl::lbStandard}) {
        if (Control(label) == window) {
            return true;
        }
    }
    return window == lbComment_;
}

// ---------------------------------------------------------------------------
// Events

std::optional<LRESULT> TValueForm::DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
        // The labels stand on the schematic: it shows through round their text.
        if (!IsLabel(reinterpret_cast<HWND>(lParam))) {
            return std::nullopt;
        }
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_COMMAND:
        return Command(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.code != UDN_DELTAPOS || !logic_) {
            return std::nullopt;
        }
        const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
        const ValueControl arrows[] = {ValueControl::udLeft, ValueControl::udTop,
                                       ValueControl::udRight, ValueControl::udBottom};
        const auto index = static_cast<std::size_t>(header.idFrom - idUdLeft);
        if (index < std::size(arrows) && delta != 0) {
            ArrowClicked(arrows[index], delta > 0 ? 1 : -1);
        }
        return TRUE; // the control leaves its position to the logic
    }
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> TValueForm::Command(int id, int code) {
    if (!logic_ || code != BN_CLICKED) {
        return std::nullopt;
    }
    switch (id) {
    case idRbOut:
    case idRbIn:
        logic_->rbOutClick(SendMessageW(Control(ValueControl::rbIn), BM_GETCHECK, 0, 0) ==
                           BST_CHECKED);
        break;
    case idBtReset:
        logic_->btResetClick();
        break;
    case IDOK:
        logic_->btOKClick();
        break;
    case IDCANCEL:
        logic_->btCancelClick();
        break;
    default:
        return std::nullopt;
    }
    SyncUpDowns();
    Refresh();
    return 0;
}

void TValueForm::ArrowClicked(ValueControl upDown, int direction) {
    logic_->udTopClick(upDown, direction);
    SyncUpDowns();
    Refresh();
}

// ---------------------------------------------------------------------------
// Painting: the form's face with the schematic and the separator, painted
// into one bitmap; the labels are drawn over it by their controls.

void TValueForm::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    const TColor face = SystemColor(kColorBtnFace);
    Bitmap24 canvas(kClientWidth, kClientHeight, face);
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        if (kShapes[i] != ValueControl::spIn || insideShown_) {
            PaintShapeLook(canvas, shapes_[i]);
        }
    }
    const int line = kBevel.Top + kBevel.Height - 2;
    canvas.FillRect({kBevel.Left, line, kBevel.Left + kBevel.Width, line + 1},
                    SystemColor(kColorBtnShadow));
    canvas.FillRect({kBevel.Left, line + 1, kBevel.Left + kBevel.Width, line + 2},
                    SystemColor(kColorBtnHighlight));
    DrawBitmap24(dc, 0, 0, canvas, DialogScale());
    EndPaint(Handle(), &ps);
}

// Labels draw no background of their own: what changed is painted again
// from the form's face up.
void TValueForm::Refresh() {
    if (!stale_) {
        return;
    }
    stale_ = false;
    const Scale& scale = DialogScale();
    const RECT band = {scale(kSchematicBand.left), scale(kSchematicBand.top),
                       scale(kSchematicBand.right), scale(kSchematicBand.bottom)};
    RedrawWindow(Handle(), &band, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The up-downs mirror the positions the logic keeps.
void TValueForm::SyncUpDowns() {
    for (const ValueControl arrows : {ValueControl::udLeft, ValueControl::udTop,
                                      ValueControl::udRight, ValueControl::udBottom}) {
        const UpDownState& state = logic_->UpDown(arrows);
        SendMessageW(Control(arrows), UDM_SETRANGE32, static_cast<WPARAM>(state.Min),
                     static_cast<LPARAM>(state.Max));
        SendMessageW(Control(arrows), UDM_SETPOS32, 0, static_cast<LPARAM>(state.Position));
    }
}

// ---------------------------------------------------------------------------
// What the logic shows. None of it comes back as an event.

void TValueForm::ShowText(ValueControl label, const std::string& text) {
    const HWND control = Control(label);
    SetWindowTextUtf8(control, text);
    if (label == ValueControl::lbStandard) {
        PlaceControl(control, LabelBounds(Font(), DialogScale(), text.c_str(), 152, 44),
                     DialogScale());
    }
    stale_ = true;
}

void TValueForm::ShowVisible(ValueControl control, bool visible) {
    if (control == ValueControl::spIn) {
        insideShown_ = visible;
        stale_ = true;
    } else {
        ShowWindow(Control(control), visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TValueForm::ShowChecked(ValueControl radio, bool checked) {
    SendMessageW(Control(radio), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TValueForm::ShowShape(ValueControl shape, const ShapeLook& look) {
    shapes_[ShapeIndex(shape)] = look;
    stale_ = true;
}

void TValueForm::CloseDialog(bool ok) {
    EndModal(ok);
}

} // namespace

std::optional<AreaAdjustment> ExecuteValueForm(HWND owner, std::uint8_t area, bool isFrame,
                                               const TTrim& thick, const TTrim& outer) {
    const FloatEnvironmentScope arithmetic;
    TValueForm dialog(area, isFrame, thick, outer);
    if (!dialog.RunModal(owner)) {
        return std::nullopt;
    }
    return dialog.Adjustment();
}

} // namespace pelmora
