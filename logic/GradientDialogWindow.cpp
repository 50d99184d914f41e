#include "logic/GradientDialogWindow.h"

#include <memory>

namespace pelmora {
namespace {

using K = ControlKind;

constexpr FormControl kControls[] = {
    {.Name = "pnGrad", .Kind = K::Panel, .Bounds = {0, 0, 417, 257}, .Border = Edge::Raised},
    {.Name = "pbGrad",
     .Kind = K::PaintBox,
     .Parent = "pnGrad",
     .Bounds = {8, 9, 240, 240},
     .Style = style::Mouse},
    // The frame round the preview lies under it.
    {.Name = "bvGrad",
     .Kind = K::Panel,
     .Parent = "pnGrad",
     .Bounds = {8, 8, 241, 241},
     .Border = Edge::Lowered},
    {.Name = "lbKind",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "種類(&K)",
     .Bounds = {264, 28, 0, 0},
     .Style = style::FitText,
     .Buddy = "cbKind"},
    {.Name = "cbKind",
     .Kind = K::ComboBox,
     .Parent = "pnGrad",
     .Bounds = {312, 24, 81, 20},
     .Style = style::Pictures | style::TabStop,
     .RowHeight = GradientDialogLogic::kKindItemHeight,
     .Items = kGradKindNames},
    {.Name = "lbAngle",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "角度(&A)",
     .Bounds = {264, 68, 0, 0},
     .Style = style::FitText,
     .Buddy = "edAngle"},
    {.Name = "edAngle",
     .Kind = K::Edit,
     .Parent = "pnGrad",
     .Caption = "0",
     .Bounds = {328, 64, 33, 20},
     .Style = style::FieldColors | style::TabStop,
     .Max = 3},
    {.Name = "udAngle",
     .Kind = K::UpDown,
     .Parent = "pnGrad",
     .Bounds = {361, 64, 17, 20},
     .Style = style::Wrap,
     .Buddy = "edAngle"},
    {.Name = "lbDegree",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "度",
     .Bounds = {380, 68, 0, 0},
     .Style = style::FitText},
    {.Name = "lbCenter",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "中心点",
     .Bounds = {264, 108, 0, 0},
     .Style = style::FitText},
    {.Name = "lbX",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "&X :",
     .Bounds = {304, 108, 0, 0},
     .Style = style::FitText,
     .Buddy = "edX"},
    {.Name = "edX",
     .Kind = K::Edit,
     .Parent = "pnGrad",
     .Caption = "0",
     .Bounds = {328, 104, 33, 20},
     .Style = style::FieldColors | style::TabStop,
     .Max = 4},
    {.Name = "udX",
     .Kind = K::UpDown,
     .Parent = "pnGrad",
     .Bounds = {361, 104, 17, 20},
     .Buddy = "edX"},
    {.Name = "lbXPer",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "%",
     .Bounds = {380, 108, 0, 0},
     .Style = style::FitText},
    {.Name = "lbY",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "&Y :",
     .Bounds = {304, 132, 0, 0},
     .Style = style::FitText,
     .Buddy = "edY"},
    {.Name = "edY",
     .Kind = K::Edit,
     .Parent = "pnGrad",
     .Caption = "0",
     .Bounds = {328, 128, 33, 20},
     .Style = style::FieldColors | style::TabStop,
     .Max = 4},
    {.Name = "udY",
     .Kind = K::UpDown,
     .Parent = "pnGrad",
     .Bounds = {361, 128, 17, 20},
     .Buddy = "edY"},
    {.Name = "lbYPer",
     .Kind = K::Label,
     .Parent = "pnGrad",
     .Caption = "%",
     .Bounds = {380, 132, 0, 0},
     .Style = style::FitText},
    {.Name = "cbNormal",
     .Kind = K::CheckBox,
     .Parent = "pnGrad",
     .Caption = "範囲内に色を正規化(&N)",
     .Bounds = {264, 168, 145, 17},
     .Style = style::TabStop},
    {.Name = "btHdl",
     .Kind = K::Button,
     .Parent = "pnGrad",
     .Caption = "ハンドル表示",
     .Bounds = {264, 224, 89, 23},
     .Style = style::Toggle | style::NoFocus},
    {.Name = "pnBar", .Kind = K::Panel, .Bounds = {0, 257, 417, 88}, .Border = Edge::Raised},
    // The bar's caption advertises Alt+S, which btSelect answers.
    {.Name = "pbLabel",
     .Kind = K::PaintBox,
     .Parent = "pnBar",
     .Caption = "カラーリスト(&S)",
     .Bounds = {16, 8, 105, 12},
     .Style = style::Underlined},
    // Takes the focus: its keys select, move, add and delete stops.
    {.Name = "pbPtr",
     .Kind = K::PaintBox,
     .Parent = "pnBar",
     .Bounds = {11, 23, 294, 25},
     .Style = style::Mouse | style::TabStop},
    {.Name = "pbBar", .Kind = K::PaintBox, .Parent = "pnBar", .Bounds = {16, 48, 271, 26}},
    {.Name = "cbWrap",
     .Kind = K::CheckBox,
     .Parent = "pnBar",
     .Caption = "両端を一致(&W)",
     .Bounds = {312, 24, 97, 17},
     .Style = style::TabStop},
    {.Name = "btReverse",
     .Kind = K::Button,
     .Parent = "pnBar",
     .Caption = "逆転(&R)",
     .Bounds = {312, 48, 57, 25},
     .Style = style::TabStop},
    // Beyond the pane's visible width: there for its Alt+S.
    {.Name = "btSelect",
     .Kind = K::Button,
     .Parent = "pnBar",
     .Caption = "&S",
     .Bounds = {424, 8, 17, 17},
     .Style = style::NoFocus},
    {.Name = "btOK",
     .Kind = K::Button,
     .Caption = "OK",
     .Bounds = {432, 32, 73, 25},
     .Style = style::Default | style::TabStop},
    {.Name = "btCancel",
     .Kind = K::Button,
     .Caption = "キャンセル",
     .Bounds = {432, 80, 73, 25},
     .Style = style::Cancel | style::TabStop},
};

// The stop menu, in GradMenuItem order.
constexpr MenuLine kStopMenu[] = {
    {.Menu = "PtrMenu", .Name = "mnChange", .Caption = "色変更(&O)...", .Default = true},
    {.Menu = "PtrMenu", .Name = "mnLocate", .Caption = "位置指定(&L)..."},
    {.Menu = "PtrMenu", .Name = "mnSep1", .Caption = "-"},
    {.Menu = "PtrMenu", .Name = "mnCopy", .Caption = "色コピー(&C)"},
    {.Menu = "PtrMenu", .Name = "mnPaste", .Caption = "色貼り付け(&P)"},
    {.Menu = "PtrMenu", .Name = "mnDelete", .Caption = "削除(&D)"},
    {.Menu = "PtrMenu",
     .Name = "mnSpread",
     .Caption = "均等に配置(&E)",
     .Hint = "両端の間の色を等間隔に並べる"},
    {.Menu = "PtrMenu", .Name = "mnSep2", .Caption = "-"},
    {.Menu = "PtrMenu", .Name = "mnSelect", .Caption = "次を選択(&S)"},
    {.Menu = "PtrMenu", .Name = "mnAdd", .Caption = "次に追加(&A)"},
};
static_assert(std::size(kStopMenu) == kGradMenuItemCount);

// The dialog's own undo and redo, wherever the focus is in it.
constexpr FormShortcut kShortcuts[] = {
    {.Keys = "Ctrl+Z", .Command = "scUndo"},
    {.Keys = "Ctrl+Y", .Command = "scRedo"},
    {.Keys = "Ctrl+Shift+Z", .Command = "scRedo"},
};

constexpr FormTable kTable{
    .ClassName = "TGradDlg",
    .Caption = "グラデーションの設定",
    .Client = {514, 338},
    .Controls = kControls,
    .Menus = kStopMenu,
    .Shortcuts = kShortcuts,
};

// Control names in GradControl order.
constexpr const char* kNames[] = {"cbKind",   "lbAngle", "edAngle", "udAngle", "lbDegree",
                                  "lbCenter", "lbX",     "edX",     "udX",     "lbXPer",
                                  "lbY",      "edY",     "udY",     "lbYPer",  "cbNormal",
                                  "btHdl",    "pbGrad",  "pbPtr",   "pbBar",   "cbWrap"};
static_assert(std::size(kNames) == static_cast<std::size_t>(GradControl::cbWrap) + 1);

const char* NameOf(GradControl control) {
    return kNames[static_cast<std::size_t>(control)];
}

std::optional<GradControl> ControlNamed(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        if (name == kNames[i]) {
            return static_cast<GradControl>(i);
        }
    }
    return std::nullopt;
}

// The up-down that steps a number field.
GradControl ArrowsOf(GradControl field) {
    return field == GradControl::edAngle ? GradControl::udAngle
           : field == GradControl::edX   ? GradControl::udX
                                         : GradControl::udY;
}

void MouseEvent(GradientDialogLogic& logic, const FormEvent& event) {
    const bool preview = event.Control == "pbGrad";
    switch (event.Kind) {
    case FormEventKind::MouseDown:
        preview ? logic.pbGradMouseDown(event.At) : logic.pbBarMouseDown(event.Button, event.At);
        break;
    case FormEventKind::MouseMove:
        preview ? logic.pbGradMouseMove(event.At) : logic.pbBarMouseMove(event.LeftHeld, event.At);
        break;
    case FormEventKind::MouseUp:
        preview ? logic.pbGradMouseUp() : logic.pbBarMouseUp(event.Button, event.At);
        break;
    case FormEventKind::DoubleClick:
        if (!preview) {
            logic.pbPtrDblClick(event.Button);
        }
        break;
    default:
        break;
    }
}

} // namespace

const FormTable& GradientDialogWindow::Table() {
    return kTable;
}

GradientDialogWindow::GradientDialogWindow(FormWindow& window, Prompts& dialogs)
    : window_(window), logic_(*this, dialogs) {
    logic_.FormCreate();
}

void GradientDialogWindow::SetGradient(TGrad& gradient) {
    logic_.SetGradient(gradient);
    for (const GradControl upDown : {GradControl::udAngle, GradControl::udX, GradControl::udY}) {
        ShowUpDown(upDown);
    }
}

bool GradientDialogWindow::Accepts(std::string_view control, std::string_view text) {
    const std::optional<GradControl> field = ControlNamed(control);
    return !field || GradientDialogLogic::FieldAccepts(*field, text);
}

bool GradientDialogWindow::Handle(const FormEvent& event) {
    const std::string_view c = event.Control;
    switch (event.Kind) {
    case FormEventKind::CloseRequest:
        logic_.btCancelClick();
        return true;
    case FormEventKind::MouseDown:
    case FormEventKind::MouseMove:
    case FormEventKind::MouseUp:
    case FormEventKind::DoubleClick:
        MouseEvent(logic_, event);
        return true;
    case FormEventKind::Choose:
        // Passing over the items of the open list changes nothing: only a
        // choice of another kind does (four corners would rework the stops).
        if (event.Value >= 0 && event.Value != logic_.Target().Kind) {
            logic_.cbKindChange(event.Value);
        }
        return true;
    case FormEventKind::Edit:
        if (!Accepts(c, event.Text)) {
            return false;
        }
        c == "edAngle" ? logic_.edAngleChange(event.Text)
        : c == "edX"   ? logic_.edXChange(event.Text)
                       : logic_.edYChange(event.Text);
        return true;
    case FormEventKind::Step:
        if (c == "udAngle") {
            logic_.udAngleClick(event.Value);
        } else {
            logic_.udXClick(c == "udX" ? GradControl::udX : GradControl::udY, event.Value);
        }
        return true;
    case FormEventKind::Toggle:
        if (c == "cbNormal") {
            logic_.cbNormalClick(event.Value != 0);
        } else if (c == "btHdl") {
            logic_.btHdlClick(event.Value != 0);
        } else if (c == "cbWrap") {
            logic_.cbWrapClick(event.Value != 0);
        }
        return true;
    case FormEventKind::Click:
        if (c == "btReverse") {
            logic_.btReverseClick();
        } else if (c == "btSelect") {
            logic_.btSelectClick();
        } else if (c == "btOK") {
            logic_.btOKClick();
        } else if (c == "btCancel") {
            logic_.btCancelClick();
        } else if (c == "scUndo") {
            logic_.Undo();
        } else if (c == "scRedo") {
            logic_.Redo();
        }
        return true;
    case FormEventKind::Key:
        return c == "pbPtr" &&
               logic_.pbPtrKeyDown(static_cast<FormKey>(event.Value), event.Modifiers);
    case FormEventKind::Focus:
        if (c == "pbPtr") {
            logic_.pbPtrFocus(event.Value != 0);
        }
        return true;
    default:
        return false;
    }
}

void GradientDialogWindow::ShowUpDown(GradControl upDown) {
    const UpDownState& state = logic_.UpDown(upDown);
    window_.SetPosition(NameOf(upDown), state.Position, state.Min, state.Max);
}

void GradientDialogWindow::ShowKind(int kind) {
    window_.SetSelection("cbKind", {kind}, kind);
}

void GradientDialogWindow::ShowKindPictures(const std::array<Bitmap24, 4>& pictures) {
    std::vector<ListRow> rows;
    for (std::size_t kind = 0; kind < pictures.size(); ++kind) {
        rows.push_back({kGradKindNames[kind], pictures[kind], kPictureTransparent, false});
    }
    window_.SetRows("cbKind", rows);
}

void GradientDialogWindow::ShowNumber(GradControl field, int value) {
    window_.SetText(NameOf(field), std::to_string(value));
    ShowUpDown(ArrowsOf(field));
}

void GradientDialogWindow::ShowEnabled(GradControl control, bool enabled) {
    window_.SetEnabled(NameOf(control), enabled);
}

void GradientDialogWindow::ShowChecked(GradControl control, bool checked) {
    window_.SetChecked(NameOf(control), checked);
}

void GradientDialogWindow::ShowPicture(GradControl box, const Bitmap24& picture) {
    window_.SetPicture(NameOf(box), picture);
}

void GradientDialogWindow::ShowStrip(const Bitmap24& picture,
                                     const std::vector<StripLabel>& labels) {
    std::vector<TextAt> texts;
    for (const StripLabel& label : labels) {
        texts.push_back({label.X, label.Text, kStripLabelHeight});
    }
    window_.SetPicture("pbPtr", picture);
    window_.SetTextsOver("pbPtr", texts);
}

std::optional<GradMenuItem> GradientDialogWindow::PopUpStopMenu(const GradStopMenu& menu) {
    std::vector<std::string> disabled;
    std::vector<std::string> hidden;
    for (std::size_t i = 0; i < kGradMenuItemCount; ++i) {
        if (!menu.Enabled[i]) {
            disabled.emplace_back(kStopMenu[i].Name);
        }
        if (!menu.Visible[i]) {
            hidden.emplace_back(kStopMenu[i].Name);
        }
    }
    const std::optional<std::string> chosen =
        window_.PopUpMenu(kStopMenu, "PtrMenu", disabled, hidden, "pbPtr", menu.At);
    for (std::size_t i = 0; chosen && i < kGradMenuItemCount; ++i) {
        if (*chosen == kStopMenu[i].Name) {
            return static_cast<GradMenuItem>(i);
        }
    }
    return std::nullopt;
}

void GradientDialogWindow::PostEditStopColor(int index) {
    // A posted call is the window's: it is dropped when the window goes.
    window_.Post([this, index] { logic_.WMEditStopColor(index); });
}

void GradientDialogWindow::CloseDialog(bool ok) {
    window_.Close(ok);
}

} // namespace pelmora
