#pragma once
// The pattern editor's logic without a window: a view that keeps only the
// list's names (as the views' list boxes do) and dialogs that are never
// confirmed.
#include "logic/EditorDialogs.h"
#include "logic/PatternEditorView.h"

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class NoView final : public PatternEditorView {
public:
    std::optional<ScreenSize> Screen() const override { return std::nullopt; }
    WindowBounds Bounds() const override { return {}; }
    int PreviewHeight() const override { return 130; }
    void SetBounds(const WindowBounds&, int) override {}
    void SetItemEnabled(EditItem, bool) override {}
    void SetItemChecked(EditItem, bool) override {}
    void SetItemCaption(EditItem, const std::string&) override {}
    // A list box holds every name, as the views' lists do.
    void ShowPatternRows(const std::vector<std::string>& names) override { rows_ = names; }
    void ShowPatternSelection(const std::vector<int>&, int) override {}
    void ScrollPatternList(int) override {}
    void ShowPreview(const Bitmap24&) override {}
    void ShowPadInfo(const std::string&, const std::string&, TColor) override {}
    void ShowPartRows(const std::vector<PartRow>&, int) override {}
    void ShowColorAdjust(int, int, bool) override {}
    void SetStatusText(const std::string&) override {}
    void CloseWindow() override {}

private:
    std::vector<std::string> rows_;
};

class NoDialogs final : public EditorDialogs {
public:
    bool EditGradient(TGrad&) override { return false; }
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t, bool, const TTrim&,
                                             const TTrim&) override {
        return std::nullopt;
    }
};

} // namespace pelmora
