#include "logic/FineAdjustWindow.h"

#include <array>

namespace pelmora {
namespace {

using K = ControlKind;

// In tab order; the labels lie over the schematic's shapes.
constexpr FormControl kControls[] = {
    {.Name = "udLeft",
     .Kind = K::UpDown,
     .Bounds = {56, 144, 40, 25},
     .Style = style::Horizontal | style::TabStop},
    {.Name = "udTop", .Kind = K::UpDown, .Bounds = {120, 96, 40, 25}, .Style = style::TabStop},
    {.Name = "udRight",
     .Kind = K::UpDown,
     .Bounds = {185, 144, 40, 25},
     .Style = style::Horizontal | style::TabStop},
    {.Name = "udBottom", .Kind = K::UpDown, .Bounds = {120, 176, 40, 25}, .Style = style::TabStop},
    {.Name = "btReset",
     .Kind = K::Button,
     .Caption = "リセット",
     .Bounds = {112, 144, 57, 25},
     .Style = style::TabStop},
    {.Name = "OK",
     .Kind = K::Button,
     .Caption = "OK",
     .Bounds = {80, 272, 75, 25},
     .Style = style::Default | style::TabStop},
    {.Name = "Cancel",
     .Kind = K::Button,
     .Caption = "キャンセル",
     .Bounds = {184, 272, 75, 25},
     .Style = style::Cancel | style::TabStop},
    {.Name = "rbOut",
     .Kind = K::RadioButton,
     .Caption = "外縁の調整(&O)",
     .Bounds = {32, 16, 113, 17},
     .Style = style::TabStop},
    {.Name = "rbIn",
     .Kind = K::RadioButton,
     .Caption = "枠太さの調整(&W)",
     .Bounds = {152, 16, 113, 17}},
    {.Name = "lbLeft",
     .Kind = K::Label,
     .Bounds = {56, 170, 41, 17},
     .Style = style::Centered | style::NoPrefix | style::OverShapes},
    {.Name = "lbTop",
     .Kind = K::Label,
     .Bounds = {120, 122, 41, 17},
     .Style = style::Centered | style::NoPrefix | style::OverShapes},
    {.Name = "lbRight",
     .Kind = K::Label,
     .Bounds = {184, 170, 41, 17},
     .Style = style::Centered | style::NoPrefix | style::OverShapes},
    {.Name = "lbBottom",
     .Kind = K::Label,
     .Bounds = {120, 202, 41, 17},
     .Style = style::Centered | style::NoPrefix | style::OverShapes},
    {.Name = "lbComment",
     .Kind = K::Label,
     .Caption = "基準範囲：",
     .Bounds = {96, 44, 0, 0},
     .Style = style::NoPrefix | style::FitText | style::OverShapes},
    {.Name = "lbStandard",
     .Kind = K::Label,
     .Bounds = {152, 44, 0, 0},
     .Style = style::NoPrefix | style::FitText | style::OverShapes},
    {.Name = "spComment", .Kind = K::Shape},
    {.Name = "spStandard", .Kind = K::Shape},
    {.Name = "spIn", .Kind = K::Shape},
    {.Name = "spOut", .Kind = K::Shape},
    {.Name = "Bevel", .Kind = K::Bevel, .Bounds = {8, 248, 265, 9}},
};

constexpr FormTable kTable{
    .ClassName = "TValueForm",
    .Caption = "描画範囲の微調整",
    .Client = {281, 315},
    .ToolWindow = true,
    .Controls = kControls,
};

constexpr std::array kUpDowns = {ValueControl::udLeft, ValueControl::udTop, ValueControl::udRight,
                                 ValueControl::udBottom};

// Control names in ValueControl order.
constexpr const char* kNames[] = {"rbOut",      "rbIn",   "spComment", "lbStandard", "spOut",
                                  "spIn",       "lbLeft", "lbTop",     "lbRight",    "lbBottom",
                                  "spStandard", "udLeft", "udTop",     "udRight",    "udBottom"};
static_assert(std::size(kNames) == static_cast<std::size_t>(ValueControl::udBottom) + 1);

const char* NameOf(ValueControl control) {
    return kNames[static_cast<std::size_t>(control)];
}

} // namespace

const FormTable& FineAdjustWindow::Table() {
    return kTable;
}

FineAdjustWindow::FineAdjustWindow(FormWindow& window) : window_(window), logic_(*this) {
    logic_.FormCreate();
    ShowUpDowns();
}

void FineAdjustWindow::SetValues(std::uint8_t area, bool isFrame, const TTrim& thick,
                                const TTrim& outer) {
    logic_.SetValues(area, isFrame, thick, outer);
    ShowUpDowns();
}

bool FineAdjustWindow::Handle(const FormEvent& event) {
    const std::string_view c = event.Control;
    switch (event.Kind) {
    case FormEventKind::Show:
        logic_.FormShow();
        break;
    case FormEventKind::CloseRequest:
        logic_.btCancelClick();
        break;
    case FormEventKind::Toggle:
        if (event.Value != 0) {
            logic_.rbOutClick(c == "rbIn");
        }
        break;
    case FormEventKind::Step:
        for (const ValueControl upDown : kUpDowns) {
            if (c == NameOf(upDown)) {
                logic_.udTopClick(upDown, event.Value);
            }
        }
        break;
    case FormEventKind::Click:
        if (c == "btReset") {
            logic_.btResetClick();
        } else if (c == "OK") {
            logic_.btOKClick();
        } else if (c == "Cancel") {
            logic_.btCancelClick();
        }
        break;
    default:
        return false;
    }
    ShowUpDowns();
    return true;
}

// The arrows' own positions only mirror those the logic keeps.
void FineAdjustWindow::ShowUpDowns() {
    for (const ValueControl upDown : kUpDowns) {
        const UpDownState& state = logic_.UpDown(upDown);
        window_.SetPosition(NameOf(upDown), state.Position, state.Min, state.Max);
    }
}

void FineAdjustWindow::ShowText(ValueControl label, const std::string& text) {
    window_.SetText(NameOf(label), text);
}

void FineAdjustWindow::ShowVisible(ValueControl control, bool visible) {
    window_.SetVisible(NameOf(control), visible);
}

void FineAdjustWindow::ShowChecked(ValueControl radio, bool checked) {
    window_.SetChecked(NameOf(radio), checked);
}

void FineAdjustWindow::ShowShape(ValueControl shape, const ShapeLook& look) {
    window_.SetShape(NameOf(shape), look);
}

void FineAdjustWindow::CloseDialog(bool ok) {
    window_.Close(ok);
}

} // namespace pelmora
