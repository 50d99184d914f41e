#include "logic/GradientDialogLogic.h"

#include "logic/GradientDialogPaint.h"
#include "platform/inttext.h"
#include "platform/prompts.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <utility>

namespace pelmora {
namespace {

constexpr int kHandleReach = 50; // the angle handle's distance from the centre handle
constexpr int kHandleGrip = 3;   // a press this close to a handle grabs it
constexpr int kHandleSpan = 10;  // a stop handle's width on the strip, less one
constexpr int kMenuTop = 13;     // the stop menu pops up at the top of a handle

// Typing into one field is one undo step, however many keys it takes.
constexpr int kTypingAngle = 1;
constexpr int kTypingX = 2;
constexpr int kTypingY = 3;

bool HasCentre(std::uint8_t kind) {
    return kind == gkRadiate || kind == gkArc;
}

// The stop position under strip pixel x.
std::int32_t StripPosition(int x) {
    return RoundEven32((x - kStripOffset) / kPixelsPerPercent);
}

} // namespace

GradientDialogLogic::GradientDialogLogic(GradientDialogView& view, Prompts& dialogs)
    : view_(view), dialogs_(dialogs) {}

void GradientDialogLogic::FormCreate() {
    view_.ShowKindPictures(PaintKindPictures());
    view_.ShowChecked(GradControl::btHdl, handlesShown_);
    view_.ShowChecked(GradControl::cbWrap, wrapEnds_);
    SetGradient(blank_);
}

void GradientDialogLogic::SetGradient(TGrad& gradient) {
    target_ = &gradient;
    work_.CopyStops(gradient);
    selected_ = 0;
    history_.Clear();
    LoadControls();
}

void GradientDialogLogic::LoadControls() {
    const TGrad& g = *target_;
    view_.ShowKind(g.Kind < 4 ? g.Kind : -1);
    udAngle_.Increment = g.Kind == gkQuad ? 90 : 1;
    udAngle_.SetPosition(g.Angle);
    udX_.SetPosition(g.CenterX);
    udY_.SetPosition(g.CenterY);
    view_.ShowNumber(GradControl::edAngle, udAngle_.Position);
    view_.ShowNumber(GradControl::edX, udX_.Position);
    view_.ShowNumber(GradControl::edY, udY_.Position);
    view_.ShowChecked(GradControl::cbNormal, g.Normalize);
    view_.ShowChecked(GradControl::cbWrap, wrapEnds_);
    UpdateControls();
    RepaintPreview();
    RepaintStrip();
    RepaintBar();
}

const UpDownState& GradientDialogLogic::UpDown(GradControl control) const {
    switch (control) {
    case GradControl::udX:
        return udX_;
    case GradControl::udY:
        return udY_;
    default:
        return udAngle_;
    }
}

// ---------------------------------------------------------------------------
// Operations

void GradientDialogLogic::ApplyStops() {
    selected_ = std::clamp(selected_, 0, work_.Count() - 1);
    RepaintBar();
    target_->CopyStops(work_);
    RepaintPreview();
    RepaintStrip();
}

void GradientDialogLogic::ChangeStopColor(int index) {
    if (index < 0 || index >= work_.Count()) {
        return;
    }
    const std::optional<TColor> chosen = dialogs_.ChooseColor(ResolveColor(work_.GetColor(index)));
    if (chosen) {
        SetStopColor(index, *chosen);
    }
}

void GradientDialogLogic::SetStopColor(int index, TColor color) {
    work_.SetColor(index, color);
    if (wrapEnds_) {
        const int last = work_.Count() - 1;
        if (index == 0) {
            work_.SetColor(last, color);
        } else if (index == last) {
            work_.SetColor(0, color);
        }
    }
    ApplyStops();
}

void GradientDialogLogic::UpdateControls() {
    const TGrad& g = *target_;
    // The centre is not strictly inside the painted rectangle.
    const bool outside = g.CenterX <= -50 || g.CenterX >= 50 || g.CenterY <= -50 || g.CenterY >= 50;
    const bool angle = g.Kind == gkLinear || g.Kind == gkQuad ||
                       (g.Kind == gkRadiate && !(g.Normalize && outside));
    const bool centre = HasCentre(g.Kind);
    using enum GradControl;
    for (const GradControl control : {lbAngle, edAngle, udAngle, lbDegree}) {
        view_.ShowEnabled(control, angle);
    }
    for (const GradControl control : {lbCenter, lbX, edX, udX, lbXPer, lbY, edY, udY, lbYPer}) {
        view_.ShowEnabled(control, centre);
    }
    view_.ShowEnabled(cbNormal, centre && outside);
}

std::pair<TPoint, TPoint> GradientDialogLogic::HandlePoints() const {
    const TGrad& g = *target_;
    TPoint p{kPreviewMiddle, kPreviewMiddle};
    if (HasCentre(g.Kind)) {
        p = {RoundEven32(static_cast<Extended>(g.CenterX) / 100 * kPreviewMiddle) + kPreviewMiddle,
             RoundEven32(static_cast<Extended>(g.CenterY) / 100 * kPreviewMiddle) + kPreviewMiddle};
    }
    const Extended rad = g.AngleRad();
    const TPoint q{RoundEven32(std::cos(rad) * kHandleReach) + p.X,
                   RoundEven32(std::sin(rad) * kHandleReach) + p.Y};
    return {p, q};
}

int GradientDialogLogic::AngleFromPoints(TPoint p, TPoint m) {
    int e = 90;
    if (m.X != p.X) {
        const Extended slope = static_cast<Extended>(m.Y - p.Y) / static_cast<Extended>(m.X - p.X);
        e = RoundEven32(std::atan(slope) / std::numbers::pi_v<Extended> * 180);
    }
    if (m.X < p.X) {
        return e + 180;
    }
    if (m.Y < p.Y) {
        return m.X == p.X ? 270 : e + 360;
    }
    return e;
}

// The angle takes digits only; the centre fields also take a minus sign (the
// text then reads as a number only when it leads).
bool GradientDialogLogic::FieldAccepts(GradControl field, std::string_view text) {
    const std::string_view allowed =
        field == GradControl::edAngle ? std::string_view("0123456789") : "0123456789-";
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

KindItemLayout GradientDialogLogic::cbKindDrawItem(const TRect& item) {
    return PictureItemPlaces(item, kKindItemHeight);
}

// The pointer may leave the preview while dragging; the centre is kept within
// the range the fields offer.
void GradientDialogLogic::CenterFromPoint(TPoint m) {
    TGrad& g = *target_;
    if (!HasCentre(g.Kind)) {
        return;
    }
    const auto percent = [this](int pixels) {
        const int value =
            RoundEven32(static_cast<Extended>((pixels - kPreviewMiddle) * 100) / kPreviewMiddle);
        return std::clamp(value, udX_.Min, udX_.Max);
    };
    g.CenterX = percent(m.X);
    g.CenterY = percent(m.Y);
}

int GradientDialogLogic::HandleX(int index) const {
    return StopPixel(work_.GetPos(index));
}

// The stop with the highest index whose handle spans x, -1 when none.
int GradientDialogLogic::HitHandle(int x) const {
    int hit = -1;
    for (int i = 0; i < work_.Count(); ++i) {
        const int left = HandleX(i);
        if (left <= x && x <= left + kHandleSpan) {
            hit = i;
        }
    }
    return hit;
}

// The stop after `index`, round to the first after the last.
int GradientDialogLogic::NextStop(int index) const {
    return index + 1 < work_.Count() ? index + 1 : 0;
}

GradStopMenu GradientDialogLogic::PrepareStopMenu(bool fromKeyboard, TPoint at) const {
    const bool quad = target_->Kind == gkQuad;
    const bool interior = menuIndex_ != 0 && menuIndex_ != work_.Count() - 1;
    GradStopMenu menu;
    menu.Enabled.fill(true);
    menu.Visible.fill(true);
    menu.At = at;
    const auto set = [&menu](GradMenuItem item, bool enabled, bool visible) {
        menu.Enabled[static_cast<std::size_t>(item)] = enabled;
        menu.Visible[static_cast<std::size_t>(item)] = visible;
    };
    set(GradMenuItem::mnLocate, interior && !quad, true);
    set(GradMenuItem::mnDelete, interior && !quad, true);
    set(GradMenuItem::mnSpread, !quad && work_.Count() > 2, true);
    set(GradMenuItem::mnPaste, copiedColor_ != kNoColor, true);
    set(GradMenuItem::mnSep2, true, fromKeyboard);
    set(GradMenuItem::mnSelect, true, fromKeyboard);
    set(GradMenuItem::mnAdd, !quad, fromKeyboard);
    return menu;
}

// Pops the menu up over the handle of MenuIndex; "次を選択" moves to the next
// stop and pops it up again there.
void GradientDialogLogic::ShowStopMenu() {
    for (;;) {
        const TPoint at{HandleX(menuIndex_) + kStripOffset, kMenuTop};
        const std::optional<GradMenuItem> chosen = view_.PopUpStopMenu(PrepareStopMenu(true, at));
        if (chosen != GradMenuItem::mnSelect) {
            if (chosen) {
                RunStopCommand(*chosen);
            }
            return;
        }
        menuIndex_ = NextStop(menuIndex_);
    }
}

void GradientDialogLogic::RunStopCommand(GradMenuItem chosen) {
    switch (chosen) {
    case GradMenuItem::mnChange:
        return mnChangeClick();
    case GradMenuItem::mnLocate:
        return mnLocateClick();
    case GradMenuItem::mnCopy:
        return mnCopyClick();
    case GradMenuItem::mnPaste:
        return mnPasteClick();
    case GradMenuItem::mnDelete:
        return mnDeleteClick();
    case GradMenuItem::mnSpread:
        return mnSpreadClick();
    case GradMenuItem::mnSelect:
        menuIndex_ = NextStop(menuIndex_);
        return ShowStopMenu();
    case GradMenuItem::mnAdd:
        return mnAddClick();
    case GradMenuItem::mnSep1:
    case GradMenuItem::mnSep2:
        return;
    }
}

void GradientDialogLogic::RepaintPreview() {
    if (!handlesShown_) {
        view_.ShowPicture(GradControl::pbGrad, PaintPreview(*target_, nullptr));
        return;
    }
    const auto [p, q] = HandlePoints();
    const PreviewHandles handles{p, q};
    view_.ShowPicture(GradControl::pbGrad, PaintPreview(*target_, &handles));
}

void GradientDialogLogic::RepaintBar() {
    view_.ShowPicture(GradControl::pbBar, PaintStopBar(work_));
}

void GradientDialogLogic::RepaintStrip() {
    std::vector<StripLabel> labels;
    if (target_->Kind != gkQuad) {
        for (int i = 0; i < work_.Count(); ++i) {
            if (!PulledOffStrip(work_, i, dragIndex_, dragOut_)) {
                labels.push_back({HandleX(i), std::to_string(work_.GetPos(i))});
            }
        }
    }
    view_.ShowStrip(PaintHandleStrip(work_, dragIndex_, dragOut_, stripFocused_ ? selected_ : -1),
                    labels);
}

// ---------------------------------------------------------------------------
// Preview

void GradientDialogLogic::pbGradMouseDown(TPoint at) {
    if (!handlesShown_) {
        return;
    }
    const auto [p, q] = HandlePoints();
    const auto near = [at](TPoint h) {
        return std::abs(at.X - h.X) <= kHandleGrip && std::abs(at.Y - h.Y) <= kHandleGrip;
    };
    if (near(q)) {
        angleDrag_ = true;
    } else if (near(p)) {
        centerDrag_ = true;
    }
    gestureStart_ = Capture(); // the whole drag is one step
}

void GradientDialogLogic::pbGradMouseMove(TPoint at) {
    if (angleDrag_) {
        target_->SetAngle(AngleFromPoints(HandlePoints().first, at));
        udAngle_.SetPosition(target_->Angle);
        view_.ShowNumber(GradControl::edAngle, udAngle_.Position);
        RepaintPreview();
    } else if (centerDrag_) {
        CenterFromPoint(at);
        udX_.SetPosition(target_->CenterX);
        udY_.SetPosition(target_->CenterY);
        view_.ShowNumber(GradControl::edX, udX_.Position);
        view_.ShowNumber(GradControl::edY, udY_.Position);
        RepaintPreview();
        UpdateControls();
    }
}

void GradientDialogLogic::pbGradMouseUp() {
    Edit(
        [this] {
            if (angleDrag_) {
                angleDrag_ = false;
            } else {
                centerDrag_ = false;
            }
        },
        0, std::exchange(gestureStart_, std::nullopt));
}

// ---------------------------------------------------------------------------
// Kind, angle, centre and normalisation

void GradientDialogLogic::cbKindChange(int index) {
    if (index < 0 || index > gkQuad) {
        return;
    }
    Edit([&] {
        target_->SetKind(static_cast<std::uint8_t>(index));
        if (target_->Kind == gkQuad) {
            work_.CopyStops(*target_); // the four stops the kind change made
            udAngle_.Increment = 90;
        } else {
            udAngle_.Increment = 1;
        }
        udAngle_.SetPosition(target_->Angle);
        view_.ShowNumber(GradControl::edAngle, udAngle_.Position);
        ApplyStops();
        UpdateControls();
    });
}

// A number typed into a field moves its up-down; the field is rewritten only
// when the number had to be limited, so typing is not disturbed.
void GradientDialogLogic::FieldTyped(UpDownState& upDown, GradControl field,
                                     const std::string& text) {
    if (upDown.SetTyped(StrToIntDef(text, 0))) {
        view_.ShowNumber(field, upDown.Position);
    }
}

void GradientDialogLogic::edAngleChange(const std::string& text) {
    Edit(
        [&] {
            FieldTyped(udAngle_, GradControl::edAngle, text);
            AngleClicked();
        },
        kTypingAngle);
}

void GradientDialogLogic::udAngleClick(int direction) {
    Edit([&] {
        udAngle_.Step(direction);
        view_.ShowNumber(GradControl::edAngle, udAngle_.Position);
        AngleClicked();
    });
}

void GradientDialogLogic::AngleClicked() {
    // Stepping down by 90 from 0 wraps to the top of the range.
    if (target_->Kind == gkQuad && udAngle_.Position == 359) {
        udAngle_.SetPosition(270);
        view_.ShowNumber(GradControl::edAngle, udAngle_.Position);
    }
    target_->SetAngle(udAngle_.Position);
    RepaintPreview();
}

void GradientDialogLogic::edXChange(const std::string& text) {
    Edit(
        [&] {
            FieldTyped(udX_, GradControl::edX, text);
            CenterClicked();
        },
        kTypingX);
}

void GradientDialogLogic::edYChange(const std::string& text) {
    Edit(
        [&] {
            FieldTyped(udY_, GradControl::edY, text);
            CenterClicked();
        },
        kTypingY);
}

void GradientDialogLogic::udXClick(GradControl upDown, int direction) {
    Edit([&] {
        const bool y = upDown == GradControl::udY;
        (y ? udY_ : udX_).Step(direction);
        view_.ShowNumber(y ? GradControl::edY : GradControl::edX, (y ? udY_ : udX_).Position);
        CenterClicked();
    });
}

void GradientDialogLogic::CenterClicked() {
    target_->CenterX = udX_.Position;
    target_->CenterY = udY_.Position;
    UpdateControls();
    RepaintPreview();
}

void GradientDialogLogic::cbNormalClick(bool checked) {
    Edit([&] {
        target_->Normalize = checked;
        UpdateControls();
        RepaintPreview();
    });
}

void GradientDialogLogic::btHdlClick(bool down) {
    handlesShown_ = down;
    RepaintPreview();
}

// ---------------------------------------------------------------------------
// Handle strip

void GradientDialogLogic::pbBarMouseDown(MouseButton button, TPoint at) {
    menuBeforePress_ = menuIndex_;
    if (button == MouseButton::Other) {
        return;
    }
    const int hit = HitHandle(at.X);
    if (hit >= 0) {
        selected_ = hit;
    }
    // A drag, and what its release does, is one step; its undo selects this stop.
    gestureStart_ = Capture();
    if (button == MouseButton::Left) {
        dragIndex_ = -2;
        menuIndex_ = -1;
        if (hit >= 0) {
            dragIndex_ = hit;
            dragOut_ = false;
            RepaintStrip();
        }
    } else {
        menuIndex_ = hit;
        RepaintStrip();
    }
}

void GradientDialogLogic::pbBarMouseMove(bool leftHeld, TPoint at) {
    if (!leftHeld || dragIndex_ < 0 || target_->Kind == gkQuad) {
        return;
    }
    work_.SetPos(dragIndex_, StripPosition(at.X));
    dragOut_ = at.Y < 0;
    RepaintStrip();
}

void GradientDialogLogic::pbBarMouseUp(MouseButton button, TPoint at) {
    menuBeforePress_ = -1;
    if (button == MouseButton::Other) {
        return;
    }
    Edit([&] { StripReleased(at); }, 0, std::exchange(gestureStart_, std::nullopt));
}

void GradientDialogLogic::StripReleased(TPoint at) {
    if (menuIndex_ >= 0) {
        if (const std::optional<GradMenuItem> chosen =
                view_.PopUpStopMenu(PrepareStopMenu(false, at))) {
            RunStopCommand(*chosen);
        }
        return;
    }
    if (dragIndex_ >= 0) {
        if (dragOut_) {
            work_.DeleteStop(dragIndex_);
        } else {
            menuIndex_ = dragIndex_; // the stop a double-click acts on
        }
    } else if (dragIndex_ == -2 && target_->Kind != gkQuad) {
        if (const int added = work_.AddStop(StripPosition(at.X)); added > 0) {
            selected_ = added;
        }
    }
    if (dragIndex_ != -1) {
        dragIndex_ = -1;
        ApplyStops();
    }
}

// The double-click comes between the first click's release and the second
// press, while MenuIndex still holds the stop the first click released on.
// Where the toolkit delivers the second press first, the stop is the one
// MenuIndex held before that press. The colour dialog opens only once the
// second click's press and release have been handled.
void GradientDialogLogic::pbPtrDblClick(MouseButton button) {
    if (button != MouseButton::Left) {
        return;
    }
    const int index = menuIndex_ != -1 ? menuIndex_ : menuBeforePress_;
    menuBeforePress_ = -1; // one colour dialog per double-click
    if (index != -1) {
        view_.PostEditStopColor(index);
    }
    const bool pressed = dragIndex_ >= 0;
    dragIndex_ = -1;
    menuIndex_ = -1;
    if (pressed) {
        RepaintStrip(); // no handle looks pressed any more
    }
}

void GradientDialogLogic::WMEditStopColor(int index) {
    if (index != -1) {
        Edit([&] { ChangeStopColor(index); });
    }
}

// ---------------------------------------------------------------------------
// Lower-pane buttons, the stop menu, OK and Cancel

void GradientDialogLogic::cbWrapClick(bool checked) {
    Edit([&] {
        wrapEnds_ = checked;
        const int last = work_.Count() - 1;
        if (checked && work_.GetColor(last) != work_.GetColor(0)) {
            work_.SetColor(last, work_.GetColor(0));
        }
        ApplyStops();
    });
}

void GradientDialogLogic::btReverseClick() {
    Edit([&] {
        work_.Reverse();
        selected_ = work_.Count() - 1 - selected_; // the same stop, at its new place
        ApplyStops();
    });
}

void GradientDialogLogic::btSelectClick() {
    Edit([&] {
        menuIndex_ = 0;
        ShowStopMenu();
    });
}

// Cancel keeps the edits: the caller decides from the result whether to use them.
void GradientDialogLogic::btOKClick() {
    view_.CloseDialog(true);
}

void GradientDialogLogic::btCancelClick() {
    view_.CloseDialog(false);
}

void GradientDialogLogic::mnChangeClick() {
    ChangeStopColor(menuIndex_);
    menuIndex_ = -1;
}

void GradientDialogLogic::mnLocateClick() {
    const int lo = work_.GetPos(menuIndex_ - 1) + 1;
    const int hi = work_.GetPos(menuIndex_ + 1) - 1;
    const std::string prompt =
        std::to_string(lo) + "[%] から " + std::to_string(hi) + "[%]の範囲で入力して下さい";
    const std::optional<std::string> answer =
        dialogs_.Input("位置の指定", prompt, std::to_string(work_.GetPos(menuIndex_)), 0);
    if (answer) {
        const int pos = StrToIntDef(*answer, -1);
        if (lo <= pos && pos <= hi) {
            work_.SetPos(menuIndex_, pos);
        }
    }
    menuIndex_ = -1;
    ApplyStops();
}

void GradientDialogLogic::mnCopyClick() {
    copiedColor_ = work_.GetColor(menuIndex_);
    menuIndex_ = -1;
    ApplyStops();
}

void GradientDialogLogic::mnPasteClick() {
    if (copiedColor_ != kNoColor) {
        SetStopColor(menuIndex_, copiedColor_);
    }
    menuIndex_ = -1;
}

void GradientDialogLogic::mnDeleteClick() {
    work_.DeleteStop(menuIndex_);
    menuIndex_ = -1;
    ApplyStops();
}

void GradientDialogLogic::mnAddClick() {
    const Extended middle =
        static_cast<Extended>(work_.GetPos(menuIndex_) + work_.GetPos(NextStop(menuIndex_))) / 2;
    if (const int added = work_.AddStop(RoundEven32(middle)); added > 0) {
        selected_ = added;
    }
    menuIndex_ = -1;
    ApplyStops();
}

// The interior stops, in their order, at equal distances between the ends.
void GradientDialogLogic::mnSpreadClick() {
    const int last = work_.Count() - 1;
    if (target_->Kind != gkQuad && last > 1) {
        std::vector<TCol> stops = work_.Stops();
        for (int i = 1; i < last; ++i) {
            stops[static_cast<std::size_t>(i)].Pos =
                RoundEven32(static_cast<Extended>(i) * 100 / last);
        }
        work_.SetStops(stops);
    }
    menuIndex_ = -1;
    ApplyStops();
}

} // namespace pelmora
