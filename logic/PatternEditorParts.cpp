// The editor's lower pane: the parts of the current pattern, the part
// commands of the Parts menu and the pattern's overall colour adjustment.
#include "logic/PatternEditorLogic.h"

#include "logic/EditorDialogs.h"
#include "logic/EditorHost.h"
#include "platform/prompts.h"

#include <array>
#include <optional>
#include <utility>

namespace pelmora {
namespace {

constexpr int kIconSide = 20;

// What the Edit menu calls the steps.
constexpr const char* kStepNewPart = "部品の新規作成";
constexpr const char* kStepAdjustArea = "描画範囲の微調整";
constexpr const char* kStepFill = "描画色の設定";
constexpr const char* kStepColor = "単色の設定";
constexpr const char* kStepGradient = "グラデーションの設定";
constexpr const char* kStepMovePart = "部品の移動";
constexpr const char* kStepDeletePart = "部品の削除";
constexpr const char* kStepLumi = "明るさの変更";
constexpr const char* kStepHue = "色合いの変更";
constexpr const char* kStepBtnColTrim = "ボタン色部品の色調整";

// A drag of a track bar, or a key held on it, is one step.
enum ColorGesture { kLumiGesture = 1, kHueGesture, kTrimGesture };

// The new-part entries in menu order: positions 0, 2 and 4 make frames.
constexpr std::array<EditItem, 5> kNewPartEntries = {
    EditItem::mnAll, EditItem::mnIcon, EditItem::mnIconF, EditItem::mnName, EditItem::mnNameF};

// The fill entries in fill order.
constexpr std::array<EditItem, kFillKindCount> kFillEntries = {
    EditItem::mnNon, EditItem::mnMono, EditItem::mnGrad, EditItem::mnBtn, EditItem::mnBtnF};

// The region a new-part entry carries in its tag.
std::uint8_t TagOf(EditItem entry) {
    for (const MenuLine& line : EditMenus()) {
        if (std::string_view(line.Name) == ItemName(entry)) {
            return static_cast<std::uint8_t>(line.Tag);
        }
    }
    return paAll;
}

template <std::size_t N> int PositionOf(const std::array<EditItem, N>& entries, EditItem item) {
    for (std::size_t i = 0; i < N; ++i) {
        if (entries[i] == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

// --- The list ---------------------------------------------------------------------

int PatternEditorLogic::PartIndex() const {
    return CurrentIndex() >= 0 && partIndex_ >= 0 && partIndex_ < static_cast<int>(partRows_.size())
               ? partIndex_
               : -1;
}

TParts* PatternEditorLogic::CurrentPart() {
    TPatrn* pattern = CurrentPattern();
    const int i = PartIndex();
    return pattern == nullptr || i < 0 ? nullptr : pattern->Parts(i);
}

PartRow PatternEditorLogic::RowFor(const TParts& part) const {
    return {part.GetName(), part.CreatePreview(kIconSide, host_.PadInfo())};
}

void PatternEditorLogic::UpdatePartsList() {
    partRows_.clear();
    partIndex_ = -1;
    const TPatrn* pattern = CurrentPattern();
    if (pattern != nullptr) {
        for (int k = 0; k < pattern->Count(); ++k) {
            partRows_.push_back(RowFor(*pattern->Parts(k)));
        }
        if (!partRows_.empty()) {
            partIndex_ = 0;
        }
    }
    view_.ShowPartRows(partRows_, partIndex_);
    // Without a current pattern the controls keep their positions.
    if (pattern != nullptr) {
        const ScopedFlag guard(adjustGuard_);
        view_.ShowColorAdjust(pattern->Lumi, pattern->Hue / 2, pattern->BtnColTrim);
    }
    mnPartsClick();
}

void PatternEditorLogic::PartsListClick(int row) {
    Guarded([&] {
        if (row < 0 || row >= static_cast<int>(partRows_.size())) {
            return;
        }
        partIndex_ = row;
        mnPartsClick();
        DescribeCurrentPart();
    });
}

// Whatever made a part current (a click, the keys, a new pattern or part, a
// dialog's OK), the bar says which it is; with none current it is empty.
void PatternEditorLogic::DescribeCurrentPart() {
    const TParts* part = CurrentPart();
    view_.SetStatusText(part == nullptr ? std::string()
                                        : "描画範囲：" + part->GetDescription() + "   描画色：" +
                                              part->GetFillName());
}

void PatternEditorLogic::MenuHighlight(const std::string& hint) {
    if (hint.empty()) {
        DescribeCurrentPart();
    } else {
        view_.SetStatusText(hint);
    }
}

void PatternEditorLogic::mnPartsClick() {
    for (const EditItem item : {EditItem::mnPNew, EditItem::mnArea, EditItem::mnFill,
                                EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete}) {
        view_.SetItemEnabled(item, IsEnabled(item));
    }
    UpdateClipboardItems();
    const TParts* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    for (std::size_t fill = 0; fill < kFillEntries.size(); ++fill) {
        view_.SetItemChecked(kFillEntries[fill], fill == part->Fill);
    }
    view_.SetItemEnabled(EditItem::mnBtnF, IsEnabled(EditItem::mnBtnF));
    view_.SetItemEnabled(EditItem::mnNon, IsEnabled(EditItem::mnNon));
}

// After every part command the status bar describes the part that is
// current now, never one that moved away or is gone.
void PatternEditorLogic::PartChanged() {
    view_.ShowPartRows(partRows_, partIndex_);
    UpdatePreview();
    mnPartsClick();
    DescribeCurrentPart();
}

// --- Part commands ------------------------------------------------------------------

void PatternEditorLogic::mnNewPartClick(EditItem entry) {
    Guarded([&] {
        TPatrn* pattern = CurrentPattern();
        const int position = PositionOf(kNewPartEntries, entry);
        if (pattern == nullptr || position < 0) {
            return;
        }
        ChangePattern(kStepNewPart, [&](TPatrn& changed) {
            TParts& part = changed.AddNew();
            part.Area = TagOf(entry);
            part.IsFrame = position % 2 == 0;
            part.Fill = fkNon;
            partRows_.push_back(RowFor(part));
            partIndex_ = static_cast<int>(partRows_.size()) - 1;
        });
        PartChanged();
    });
}

void PatternEditorLogic::mnAreaClick() {
    Guarded([&] {
        const int i = PartIndex();
        const TParts* part = CurrentPart();
        if (part == nullptr || i < 1) {
            return;
        }
        const std::weak_ptr<int> alive = Alive();
        const std::optional<AreaAdjustment> adjusted =
            dialogs_.AdjustArea(part->Area, part->IsFrame, part->Thick, part->Outer);
        if (alive.expired() || !adjusted) {
            return;
        }
        // The dialog ran its own event loop: find the part again.
        TParts* changed = CurrentPart();
        if (changed == nullptr) {
            return;
        }
        ChangePattern(kStepAdjustArea, [&](TPatrn&) {
            changed->Outer = adjusted->Outer;
            changed->Thick = adjusted->Thick;
            partRows_[static_cast<std::size_t>(PartIndex())] = RowFor(*changed);
        });
        PartChanged();
    });
}

void PatternEditorLogic::mnFillClick(EditItem entry) {
    const std::weak_ptr<int> alive = Alive();
    Guarded([&] {
        const int i = PartIndex();
        TParts* part = CurrentPart();
        const int fill = PositionOf(kFillEntries, entry);
        if (part == nullptr || fill < 0) {
            return;
        }
        const char* label = kStepFill;
        std::optional<TColor> color;
        std::optional<std::string> gradientText;
        switch (fill) {
        case fkNon:
            // The base part always paints.
            if (i == 0) {
                return;
            }
            break;
        case fkMono: {
            const std::optional<TColor> chosen = host_.Dialogs().ChooseColor(part->Color);
            if (alive.expired() || !chosen || (part = CurrentPart()) == nullptr) {
                return;
            }
            label = kStepColor;
            color = chosen;
            break;
        }
        case fkGrad: {
            TGrad gradient;
            gradient.LoadFromText(part->GradText);
            const bool accepted = dialogs_.EditGradient(gradient);
            if (alive.expired() || !accepted || (part = CurrentPart()) == nullptr) {
                return;
            }
            label = kStepGradient;
            gradientText = gradient.SaveToText();
            break;
        }
        case fkBtnF:
            // Frame colours paint only in frames.
            if (!part->IsFrame) {
                return;
            }
            break;
        default:
            break;
        }
        ChangePattern(label, [&](TPatrn&) {
            if (color) {
                part->Color = *color;
            }
            if (gradientText) {
                part->GradText = std::move(*gradientText);
            }
            part->Fill = static_cast<std::uint8_t>(fill);
            partRows_[static_cast<std::size_t>(PartIndex())] = RowFor(*part);
        });
        PartChanged();
    });
    // The marks follow the part's fill, also when the choice was cancelled.
    if (!alive.expired()) {
        mnPartsClick();
    }
}

void PatternEditorLogic::mnPUpperClick() {
    Guarded([&] {
        const int i = PartIndex();
        if (i >= 2) {
            MovePart(i, i - 1);
        }
    });
}

void PatternEditorLogic::mnPLowerClick() {
    Guarded([&] {
        const int i = PartIndex();
        if (i >= 1 && i < static_cast<int>(partRows_.size()) - 1) {
            MovePart(i, i + 1);
        }
    });
}

void PatternEditorLogic::MovePart(int from, int to) {
    TPatrn* pattern = CurrentPattern();
    if (pattern == nullptr || from == to) {
        return;
    }
    ChangePattern(kStepMovePart, [&](TPatrn& changed) {
        changed.Move(from, to);
        PartRow moved = std::move(partRows_[static_cast<std::size_t>(from)]);
        partRows_.erase(partRows_.begin() + from);
        partRows_.insert(partRows_.begin() + to, std::move(moved));
        partIndex_ = to;
    });
    PartChanged();
}

void PatternEditorLogic::mnPDeleteClick() {
    Guarded([&] {
        TPatrn* pattern = CurrentPattern();
        const int i = PartIndex();
        if (pattern == nullptr || i < 1) {
            return;
        }
        ChangePattern(kStepDeletePart, [&](TPatrn& changed) {
            changed.Delete(i);
            partRows_.erase(partRows_.begin() + i);
            partIndex_ = 0;
        });
        PartChanged();
    });
}

// The base part is neither dragged nor displaced: the dragged row and the
// row under the pointer are both 1 or more.
bool PatternEditorLogic::PartsListDragOver(int itemAtPos) {
    const int n = static_cast<int>(partRows_.size());
    return CurrentPattern() != nullptr && PartIndex() >= 1 && itemAtPos >= 1 && itemAtPos <= n - 1;
}

void PatternEditorLogic::PartsListDragDrop(int itemAtPos) {
    Guarded([&] {
        if (PartsListDragOver(itemAtPos)) {
            MovePart(PartIndex(), itemAtPos);
        }
    });
}

// --- Colour adjustment -------------------------------------------------------------------

void PatternEditorLogic::ColorAdjustChange(int lumi, int hue, bool btnColTrim) {
    Guarded([&] {
        const TPatrn* pattern = CurrentPattern();
        if (adjustGuard_ || pattern == nullptr) {
            return;
        }
        // A view may report a position it already had (the end of a drag).
        // The hue bar shows half the hue, truncated.
        const bool lumiMoved = pattern->Lumi != lumi;
        const bool hueMoved = pattern->Hue / 2 != hue;
        if (!lumiMoved && !hueMoved && pattern->BtnColTrim == btnColTrim) {
            return;
        }
        const char* label = lumiMoved ? kStepLumi : hueMoved ? kStepHue : kStepBtnColTrim;
        const int gesture = lumiMoved ? kLumiGesture : hueMoved ? kHueGesture : kTrimGesture;
        ChangePattern(
            label,
            [&](TPatrn& changed) {
                changed.Lumi = lumi;
                changed.Hue = 2 * hue;
                changed.BtnColTrim = btnColTrim;
            },
            gesture);
        UpdatePreview();
    });
}

void PatternEditorLogic::ColorAdjustDone() {
    history_.EndGesture();
}

} // namespace pelmora
