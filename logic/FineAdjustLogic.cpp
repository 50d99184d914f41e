#include "logic/FineAdjustLogic.h"

#include "platform/syscolors.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace pelmora {
namespace {

constexpr int kLimit = 9; // one arrow click moves an edge by a pixel, up to 9

// The base-range names, by region.
const char* const kAreaNames[3] = {"全体", "アイコン領域", "ボタン名領域"};

// The schematic: the base range, where the adjusted region and the inside of
// the frame stand at design time, and the legend's dotted line.
constexpr TRect kStandard{32, 80, 32 + 217, 80 + 153};
constexpr TRect kOutAtDesign{32, 80, 32 + 217, 80 + 153};
constexpr TRect kInAtDesign{48, 96, 48 + 185, 96 + 121};
constexpr TRect kComment{48, 50, 48 + 41, 50 + 1};
constexpr TColor kCyan = 0x00FFFF00;
constexpr TColor kBlack = 0;

// Values read from a file may be any 32-bit number; geometry and up-down
// positions are worked out in 64 bits and kept within int.
int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2));
}
int Negated(std::int32_t v) {
    return ToInt(-static_cast<std::int64_t>(v));
}

TRect Box(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    const int l = ToInt(left);
    const int t = ToInt(top);
    return {l, t, l + ToInt(std::max<std::int64_t>(width, 0)),
            t + ToInt(std::max<std::int64_t>(height, 0))};
}

ShapeLook Region(const TRect& bounds) {
    return {bounds, true, kCyan, kCyan, ShapeOutline::Solid};
}
ShapeLook Inside(const TRect& bounds) {
    const TColor face = SystemColor(kColorBtnFace);
    return {bounds, true, face, face, ShapeOutline::Solid};
}
ShapeLook Outline(const TRect& bounds) {
    return {bounds, false, 0, kBlack, ShapeOutline::Dotted};
}

std::string ThickText(std::int32_t value) {
    return "太さ(" + std::to_string(std::llabs(value)) + ")";
}

} // namespace

FineAdjustLogic::FineAdjustLogic(FineAdjustView& view) : view_(view) {
    for (UpDownState* arrows : {&udLeft_, &udTop_, &udRight_, &udBottom_}) {
        arrows->SetRange(-kLimit, kLimit);
    }
}

void FineAdjustLogic::FormCreate() {
    view_.ShowShape(ValueControl::spOut, Region(kOutAtDesign));
    view_.ShowShape(ValueControl::spIn, Inside(kInAtDesign));
    view_.ShowShape(ValueControl::spStandard, Outline(kStandard));
    view_.ShowShape(ValueControl::spComment, Outline(kComment));
    view_.ShowText(ValueControl::lbStandard, kAreaNames[paAll]);
    view_.ShowChecked(ValueControl::rbOut, true);
    view_.ShowChecked(ValueControl::rbIn, false);
}

void FineAdjustLogic::SetValues(std::uint8_t area, bool isFrame, const TTrim& thick,
                                const TTrim& outer) {
    outer_ = outer;
    thick_ = thick;
    area_ = area;
    // A filled part is adjusted in outer-edge mode only and has no inside.
    for (const ValueControl control :
         {ValueControl::rbOut, ValueControl::rbIn, ValueControl::spIn}) {
        view_.ShowVisible(control, isFrame);
    }
    view_.ShowText(ValueControl::lbStandard, area < std::size(kAreaNames) ? kAreaNames[area] : "");
    SetRanges();
    ShowPositions();
}

template <typename Self> auto& FineAdjustLogic::ArrowsOf(Self& self, ValueControl control) {
    switch (control) {
    case ValueControl::udTop:
        return self.udTop_;
    case ValueControl::udRight:
        return self.udRight_;
    case ValueControl::udBottom:
        return self.udBottom_;
    default:
        return self.udLeft_;
    }
}

const UpDownState& FineAdjustLogic::UpDown(ValueControl control) const {
    return ArrowsOf(*this, control);
}

// Only the limit in each edge's outward direction depends on the situation:
// the whole button can only shrink, and a thickness cannot go below 0.
void FineAdjustLogic::SetRanges() {
    const int outward = !thickMode_ && area_ != paAll ? kLimit : 0;
    udLeft_.SetRange(-outward, udLeft_.Max);
    udTop_.SetRange(udTop_.Min, outward);
    udRight_.SetRange(udRight_.Min, outward);
    udBottom_.SetRange(-outward, udBottom_.Max);
}

// Every arrow moves the edge it stands for in the arrow's direction: an outer
// edge moved outward on the left or at the bottom is a negative position, and
// so is a thicker top or right side of the frame.
void FineAdjustLogic::ShowPositions() {
    if (thickMode_) {
        udLeft_.SetPosition(thick_.Left);
        udTop_.SetPosition(Negated(thick_.Top));
        udRight_.SetPosition(Negated(thick_.Right));
        udBottom_.SetPosition(thick_.Bottom);
    } else {
        udLeft_.SetPosition(Negated(outer_.Left));
        udTop_.SetPosition(outer_.Top);
        udRight_.SetPosition(outer_.Right);
        udBottom_.SetPosition(Negated(outer_.Bottom));
    }
}

void FineAdjustLogic::FormShow() {
    UpdateView();
}

void FineAdjustLogic::udTopClick(ValueControl upDown, int direction) {
    ArrowsOf(*this, upDown).Step(direction);
    if (thickMode_) {
        thick_ = {udLeft_.Position, -udTop_.Position, -udRight_.Position, udBottom_.Position};
    } else {
        outer_ = {-udLeft_.Position, udTop_.Position, udRight_.Position, -udBottom_.Position};
    }
    UpdateView();
}

void FineAdjustLogic::rbOutClick(bool thickMode) {
    thickMode_ = thickMode;
    SetRanges();
    ShowPositions();
    UpdateView();
}

void FineAdjustLogic::btResetClick() {
    const std::int32_t outer = area_ == paAll ? 0 : 1;
    outer_ = {outer, outer, outer, outer};
    thick_ = {1, 1, 1, 1};
    ShowPositions();
    UpdateView();
}

void FineAdjustLogic::btOKClick() {
    view_.CloseDialog(true);
}

void FineAdjustLogic::btCancelClick() {
    view_.CloseDialog(false);
}

// One value unit is one dialog pixel.
void FineAdjustLogic::UpdateView() {
    const std::int64_t outLeft = std::int64_t{kStandard.Left} - outer_.Left;
    const std::int64_t outTop = std::int64_t{kStandard.Top} - outer_.Top;
    const std::int64_t outWidth =
        std::int64_t{kStandard.Right - kStandard.Left} + outer_.Left + outer_.Right;
    const std::int64_t outHeight =
        std::int64_t{kStandard.Bottom - kStandard.Top} + outer_.Top + outer_.Bottom;
    view_.ShowShape(ValueControl::spOut, Region(Box(outLeft, outTop, outWidth, outHeight)));
    view_.ShowShape(ValueControl::spIn, Inside(Box(outLeft + thick_.Left, outTop + thick_.Top,
                                                   outWidth - thick_.Left - thick_.Right,
                                                   outHeight - thick_.Top - thick_.Bottom)));

    const TTrim& shown = thickMode_ ? thick_ : outer_;
    const auto text = [this](std::int32_t value) {
        return thickMode_ ? ThickText(value) : TrimText(value);
    };
    view_.ShowText(ValueControl::lbLeft, text(shown.Left));
    view_.ShowText(ValueControl::lbTop, text(shown.Top));
    view_.ShowText(ValueControl::lbRight, text(shown.Right));
    view_.ShowText(ValueControl::lbBottom, text(shown.Bottom));
}

} // namespace pelmora
