#include "logic/PatternEditorWindow.h"

#include <algorithm>

namespace pelmora {
namespace {

using K = ControlKind;

constexpr int kClientWidth = 550;
constexpr int kButtonTop = 7;

constexpr FormControl kControls[] = {
    {.Name = "pnTop", .Kind = K::Panel, .Aligned = Align::Client, .Border = Edge::Raised},
    {.Name = "pnLeft",
     .Kind = K::Panel,
     .Parent = "pnTop",
     .Bounds = {0, 0, 150, 0},
     .Aligned = Align::Left,
     .Margin = 5},
    {.Name = "lbPattern",
     .Kind = K::Label,
     .Parent = "pnLeft",
     .Caption = "パターン一覧(&Ｌ)：",
     .Bounds = {0, 0, 0, 20},
     .Aligned = Align::Top,
     .Buddy = "PatternList"},
    {.Name = "PatternList",
     .Kind = K::ListBox,
     .Parent = "pnLeft",
     .Aligned = Align::Client,
     .Style = style::MultiSelect | style::DragRows | style::TabStop,
     .RowHeight = 12},
    {.Name = "pnRight", .Kind = K::Panel, .Parent = "pnTop", .Aligned = Align::Client, .Margin = 5},
    {.Name = "lbParts",
     .Kind = K::Label,
     .Parent = "pnRight",
     .Caption = "部品一覧(&S)：",
     .Bounds = {0, 0, 0, 20},
     .Aligned = Align::Top,
     .Buddy = "PartsList"},
    {.Name = "pnRBottom",
     .Kind = K::Panel,
     .Parent = "pnRight",
     .Aligned = Align::Client,
     .Border = Edge::Lowered},
    // The preview strip: its height is the splitter's (PrevHeight).
    {.Name = "pnRBTop",
     .Kind = K::Panel,
     .Parent = "pnRBottom",
     .Bounds = {0, 0, 0, 130},
     .Aligned = Align::Top,
     .Margin = 2},
    {.Name = "bvInfo",
     .Kind = K::Panel,
     .Parent = "pnRBTop",
     .Bounds = {0, 0, 185, 0},
     .Aligned = Align::Right,
     .Border = Edge::Box},
    {.Name = "lbInfoTitle",
     .Kind = K::Label,
     .Parent = "bvInfo",
     .Caption = "---パッド設定情報---",
     .Bounds = {8, 8, 170, 14},
     .Style = style::NoPrefix},
    {.Name = "lbInfoItem",
     .Kind = K::Label,
     .Parent = "bvInfo",
     .Caption = " ・ボタンサイズ：\n ・ボタン名：\n ・小さいアイコン：\n ・ボタン色：",
     .Bounds = {8, 26, 0, 0},
     .Style = style::NoPrefix | style::FitText},
    // Over the blanks that start the value label's last line.
    {.Name = "lbInfoCol",
     .Kind = K::Label,
     .Parent = "bvInfo",
     .Style = style::NoPrefix | style::FitText},
    // A value stays on its line: one too long for the box is cut, never wrapped.
    {.Name = "lbInfo",
     .Kind = K::Label,
     .Parent = "bvInfo",
     .Style = style::NoPrefix | style::NoWordWrap},
    {.Name = "pbPreview",
     .Kind = K::PaintBox,
     .Parent = "pnRBTop",
     .Aligned = Align::Client,
     .Style = style::White | style::WholePixels},
    {.Name = "Splitter1",
     .Kind = K::Splitter,
     .Parent = "pnRBottom",
     .Bounds = {0, 0, 0, 3},
     .Aligned = Align::Top},
    {.Name = "pnRBBottom", .Kind = K::Panel, .Parent = "pnRBottom", .Aligned = Align::Client},
    {.Name = "PartsList",
     .Kind = K::ListBox,
     .Parent = "pnRBBottom",
     .Aligned = Align::Client,
     .Style = style::Pictures | style::DragRows | style::WholePixels | style::TabStop,
     .RowHeight = 24,
     .TextColumn = "ボタン名領域枠"}, // the widest kind name
    // The colour-adjustment group keeps its place at the pane's right edge.
    {.Name = "pnAdjust",
     .Kind = K::Panel,
     .Parent = "pnRBBottom",
     .Bounds = {0, 0, 204, 0},
     .Aligned = Align::Right},
    {.Name = "Label1",
     .Kind = K::Label,
     .Parent = "pnAdjust",
     .Caption = "全体の色調整",
     .Bounds = {8, 4, 120, 14},
     .Style = style::NoPrefix},
    {.Name = "Label3",
     .Kind = K::Label,
     .Parent = "pnAdjust",
     .Caption = "-                        +",
     .Bounds = {84, 18, 120, 14},
     .Style = style::NoPrefix},
    {.Name = "lbLumi",
     .Kind = K::Label,
     .Parent = "pnAdjust",
     .Caption = "明るさ(&B)：",
     .Bounds = {8, 42, 70, 14},
     .Buddy = "tbLumi"},
    {.Name = "tbLumi",
     .Kind = K::TrackBar,
     .Parent = "pnAdjust",
     .Bounds = {78, 32, 120, 28},
     .Style = style::TabStop,
     .Min = -8,
     .Max = 8},
    {.Name = "lbHue",
     .Kind = K::Label,
     .Parent = "pnAdjust",
     .Caption = "色合い(&H)：",
     .Bounds = {8, 72, 70, 14},
     .Buddy = "tbHue"},
    {.Name = "tbHue",
     .Kind = K::TrackBar,
     .Parent = "pnAdjust",
     .Bounds = {78, 62, 120, 28},
     .Style = style::TabStop,
     .Min = -6,
     .Max = 6},
    {.Name = "cbBtnCol",
     .Kind = K::CheckBox,
     .Parent = "pnAdjust",
     .Caption = "ボタン色部品も調整する(&T)",
     .Bounds = {8, 98, 192, 17},
     .Style = style::TabStop},
    // The zero mark across both track bars, behind them.
    {.Name = "Shape1", .Kind = K::Shape, .Parent = "pnAdjust", .Bounds = {138, 20, 1, 75}},
    {.Name = "StatusBar", .Kind = K::StatusBar, .Bounds = {0, 0, 0, 31}, .Aligned = Align::Bottom},
    {.Name = "pnBottom", .Kind = K::Panel, .Bounds = {0, 0, 0, 40}, .Aligned = Align::Bottom},
    {.Name = "btOK",
     .Kind = K::Button,
     .Parent = "pnBottom",
     .Caption = "OK",
     .Bounds = {kClientWidth - 166, kButtonTop, 75, 25},
     .Anchors = anchor::Right,
     .Style = style::Default | style::TabStop},
    {.Name = "btCamcel",
     .Kind = K::Button,
     .Parent = "pnBottom",
     .Caption = "キャンセル",
     .Bounds = {kClientWidth - 83, kButtonTop, 75, 25},
     .Anchors = anchor::Right,
     .Style = style::Cancel | style::TabStop},
};

const FormTable& MakeTable() {
    static const FormTable table{
        .ClassName = "TEditForm",
        .Caption = "パターンの詳細編集",
        .Client = {kClientWidth, 400},
        .MinimumSize = {550, 400},
        .Resizable = true,
        .AcceptsFiles = true,
        .Controls = kControls,
        .MenuBar = EditMenuBar(),
        .Menus = EditMenus(),
        .Shortcuts = EditShortcuts(),
    };
    return table;
}

DragSpot SpotOf(std::string_view control) {
    return control == "PatternList" ? DragSpot::PatternList
           : control == "lbPattern" ? DragSpot::PatternLabel
           : control == "StatusBar" ? DragSpot::StatusBar
                                    : DragSpot::Elsewhere;
}

// The Parts menu and its submenus run the Parts menu's enabling rules; the
// File menu's export item follows the Pattern menu's.
bool IsPartsMenu(std::string_view menu) {
    return menu == "mnParts" || menu == "mnPNew" || menu == "mnFill";
}

} // namespace

const FormTable& PatternEditorWindow::Table() {
    return MakeTable();
}

PatternEditorWindow::PatternEditorWindow(FormWindow& window, PatternLibrary& library,
                                         TIniData& settings, EditorHost& host,
                                         EditorDialogs& dialogs)
    : window_(window) {
    const Rect96 mark = Table().Control("Shape1").Bounds;
    window_.SetShape(
        "Shape1",
        {{mark.Left, mark.Top, mark.Right(), mark.Bottom()}, true, 0, 0, ShapeOutline::Solid});
    PatternEditorView& view = *this;
    logic_ = std::make_unique<PatternEditorLogic>(library, settings, host, dialogs, view);
    Arrange();
}

PatternEditorWindow::~PatternEditorWindow() = default;

void PatternEditorWindow::Arrange() {
    const FormTable& table = Table();
    const int lowerMin = std::max(kMinPaneHeight, table.Control("cbBtnCol").Bounds.Bottom() + 5);
    const int splitter = table.Control("Splitter1").Bounds.Height;
    LayoutInput input;
    input.AlignedSize = [&](const FormControl& control, int room) -> std::optional<int> {
        if (std::string_view(control.Name) != "pnRBTop") {
            return std::nullopt;
        }
        return std::max(std::min(previewHeight_, room - splitter - lowerMin), kMinPaneHeight);
    };
    input.TextSize = [&](const FormControl& control) { return window_.TextSize(control.Caption); };
    std::vector<Rect96> rects = ArrangeForm(table, window_.ClientSize(), input);
    // The values take the rest of the box after the widest item; the colour
    // mark stands over the blanks that start their last line.
    const auto at = [&](const char* name) -> Rect96& { return rects[table.IndexOf(name)]; };
    const Rect96 items = at("lbInfoItem");
    const Rect96 box = at("bvInfo");
    at("lbInfo") = {items.Right(), items.Top,
                    std::max(box.Width - EdgeWidth(Edge::Box) - 2 - items.Right(), 0),
                    items.Height};
    const int lineHeight = window_.TextSize("X").Height;
    Rect96& mark = at("lbInfoCol");
    mark.Left = items.Right();
    mark.Top = items.Top + 3 * lineHeight;
    arrangedStrip_ = at("pnRBTop").Height;
    PlaceAll(window_, table, rects);
}

bool PatternEditorWindow::Handle(const FormEvent& event) {
    const std::string_view c = event.Control;
    switch (event.Kind) {
    case FormEventKind::Show:
        logic_->FormShow();
        return true;
    case FormEventKind::Resize:
        Arrange();
        return true;
    case FormEventKind::CloseRequest:
        logic_->mnCancelClick();
        return true;
    case FormEventKind::Click:
        if (c == "btOK") {
            logic_->mnExitClick();
        } else if (c == "btCamcel") {
            logic_->mnCancelClick();
        } else if (const std::optional<EditItem> item = ItemNamed(c)) {
            logic_->MenuClick(*item);
        }
        return true;
    case FormEventKind::MenuOpen:
        if (c == "mnEdit") {
            logic_->mnEditClick();
        } else {
            IsPartsMenu(c) ? logic_->mnPartsClick() : logic_->mnPatternClick();
        }
        return true;
    case FormEventKind::MenuHighlight:
        logic_->MenuHighlight(std::string(MenuHint(Table(), c)));
        return true;
    case FormEventKind::Select:
        if (c == "PatternList") {
            logic_->PatternListClick(event.Rows);
        } else {
            logic_->PartsListClick(event.Value);
        }
        return true;
    case FormEventKind::DoubleClick:
        if (c == "PatternList") {
            logic_->PatternListDblClick();
        }
        return true;
    case FormEventKind::DragOver:
    case FormEventKind::DragDrop:
        return HandleDrag(event);
    case FormEventKind::FilesDropped:
        logic_->FilesDropped(event.Files);
        return true;
    case FormEventKind::ContextMenu:
        if (c == "PartsList") {
            PopUpPartsMenu(event);
        }
        return true;
    case FormEventKind::Slide:
        (c == "tbLumi" ? lumi_ : hue_) = event.Value;
        ReportColorAdjust();
        return true;
    case FormEventKind::SlideDone:
        (c == "tbLumi" ? lumi_ : hue_) = event.Value;
        ReportColorAdjust();
        logic_->ColorAdjustDone();
        return true;
    case FormEventKind::Toggle:
        btnColTrim_ = event.Value != 0;
        ReportColorAdjust();
        logic_->ColorAdjustDone();
        return true;
    case FormEventKind::MouseDown:
        dragStart_ = arrangedStrip_;
        return true;
    case FormEventKind::SplitterDrag:
        previewHeight_ = std::max(dragStart_ + event.Value, kMinPaneHeight);
        Arrange();
        // What the layout allowed is what stands.
        previewHeight_ = arrangedStrip_;
        return true;
    default:
        return false;
    }
}

bool PatternEditorWindow::HandleDrag(const FormEvent& event) {
    const bool drop = event.Kind == FormEventKind::DragDrop;
    if (event.Control == "PatternList") {
        if (drop) {
            if (event.Over == "PatternList") {
                logic_->PatternListDragDrop(event.Value);
            }
            return true;
        }
        return logic_->PatternListDragOver(SpotOf(event.Over), event.Value,
                                           window_.Scroll("PatternList"));
    }
    const int row = event.Over == "PartsList" ? event.Value : -1;
    if (drop) {
        logic_->PartsListDragDrop(row);
        return true;
    }
    return logic_->PartsListDragOver(row);
}

// The row under the pointer becomes current first (a list that a right
// click does not select is shown selecting it), so the menu acts on the part
// it was asked over.
void PatternEditorWindow::PopUpPartsMenu(const FormEvent& event) {
    if (event.Value >= 0) {
        logic_->PartsListClick(event.Value);
    }
    if (const int current = logic_->PartIndex(); current >= 0) {
        window_.SetSelection("PartsList", {current}, current);
    }
    const std::span<const MenuLine> lines = PartsPopUpMenu();
    std::vector<std::string> disabled;
    for (const MenuLine& line : lines) {
        const auto item = static_cast<EditItem>(line.Tag);
        const bool enabled =
            item == EditItem::mnPaste ? logic_->ClipboardHasText() : logic_->IsEnabled(item);
        if (!line.IsSeparator() && !enabled) {
            disabled.emplace_back(line.Name);
        }
    }
    const std::weak_ptr<int> alive = life_;
    const std::optional<std::string> chosen =
        window_.PopUpMenu(lines, lines.front().Menu, disabled, {}, "PartsList", event.At);
    // The menu ran its own event loop, in which the window may have gone.
    for (const MenuLine& line : lines) {
        if (!alive.expired() && chosen && *chosen == line.Name) {
            logic_->MenuClick(static_cast<EditItem>(line.Tag));
        }
    }
}

void PatternEditorWindow::ReportColorAdjust() {
    logic_->ColorAdjustChange(lumi_, hue_, btnColTrim_);
}

// --- What the logic tells ------------------------------------------------------------

std::optional<ScreenSize> PatternEditorWindow::Screen() const {
    return window_.Screen();
}

WindowBounds PatternEditorWindow::Bounds() const {
    return window_.Bounds();
}

int PatternEditorWindow::PreviewHeight() const {
    return arrangedStrip_;
}

void PatternEditorWindow::SetBounds(const WindowBounds& bounds, int previewHeight) {
    previewHeight_ = std::max(previewHeight, kMinPaneHeight);
    window_.SetBounds(bounds);
    Arrange();
}

void PatternEditorWindow::SetItemEnabled(EditItem item, bool enabled) {
    window_.SetItemEnabled(ItemName(item), enabled);
}

void PatternEditorWindow::SetItemChecked(EditItem item, bool checked) {
    window_.SetItemChecked(ItemName(item), checked);
}

void PatternEditorWindow::SetItemCaption(EditItem item, const std::string& caption) {
    window_.SetItemText(ItemName(item), caption);
}

void PatternEditorWindow::ShowPatternRows(const std::vector<std::string>& names) {
    std::vector<ListRow> rows;
    rows.reserve(names.size());
    for (const std::string& name : names) {
        rows.push_back({name, std::nullopt, kPictureTransparent, false});
    }
    window_.SetRows("PatternList", rows);
}

void PatternEditorWindow::ShowPatternSelection(const std::vector<int>& selected, int current) {
    window_.SetSelection("PatternList", selected, current);
}

void PatternEditorWindow::ScrollPatternList(int rows) {
    window_.ScrollRows("PatternList", rows);
}

void PatternEditorWindow::ShowPreview(const Bitmap24& cell) {
    window_.SetPicture("pbPreview", cell);
}

void PatternEditorWindow::ShowPadInfo(const std::string& values, const std::string& mark,
                                      TColor markColor) {
    window_.SetText("lbInfo", values);
    window_.SetText("lbInfoCol", mark);
    window_.SetTextColor("lbInfoCol", markColor);
}

// A row that paints nothing yet is dimmed; white in a part's picture shows
// the row's background.
void PatternEditorWindow::ShowPartRows(const std::vector<PartRow>& rows, int current) {
    std::vector<ListRow> shown;
    shown.reserve(rows.size());
    // A part without a picture paints nothing: its name is dimmed.
    for (const PartRow& row : rows) {
        shown.push_back({row.Text, row.Icon, 0x00FFFFFF, !row.Icon.has_value()});
    }
    window_.SetRows("PartsList", shown);
    window_.SetSelection("PartsList", {current}, current);
}

void PatternEditorWindow::ShowColorAdjust(int lumi, int hue, bool btnColTrim) {
    lumi_ = lumi;
    hue_ = hue;
    btnColTrim_ = btnColTrim;
    const FormTable& table = Table();
    const FormControl& lumiBar = table.Control("tbLumi");
    const FormControl& hueBar = table.Control("tbHue");
    window_.SetPosition("tbLumi", lumi, lumiBar.Min, lumiBar.Max);
    window_.SetPosition("tbHue", hue, hueBar.Min, hueBar.Max);
    window_.SetChecked("cbBtnCol", btnColTrim);
}

void PatternEditorWindow::SetStatusText(const std::string& text) {
    window_.SetText("StatusBar", text);
}

void PatternEditorWindow::CloseWindow() {
    window_.Close(true);
}

} // namespace pelmora
