#pragma once
// The pattern editor as a window: its form, its menus, its layout (the
// splitter's preview strip, the panes' least heights, the pad settings'
// columns), and its logic wired to a window built from them.
#include "logic/FormWindow.h"
#include "logic/PatternEditorLogic.h"

#include <memory>

namespace pelmora {

class PatternEditorWindow final : public FormEvents, private PatternEditorView {
public:
    static const FormTable& Table();
    // Neither the preview strip nor the lower pane is ever lower than this.
    static constexpr int kMinPaneHeight = 100;

    // Copies `library` into the working list and shows it in `window`, which
    // is built from Table(); see PatternEditorLogic.
    PatternEditorWindow(FormWindow& window, PatternLibrary& library, TIniData& settings,
                        EditorHost& host, EditorDialogs& dialogs);
    ~PatternEditorWindow() override;

    PatternEditorLogic& Logic() { return *logic_; }
    const PatternEditorLogic& Logic() const { return *logic_; }

    bool Handle(const FormEvent& event) override;
    // Lays the controls out for the window's client area now.
    void Arrange();

private:
    bool HandleDrag(const FormEvent& event);
    void PopUpPartsMenu(const FormEvent& event);
    void ReportColorAdjust();

    // PatternEditorView
    std::optional<ScreenSize> Screen() const override;
    WindowBounds Bounds() const override;
    int PreviewHeight() const override;
    void SetBounds(const WindowBounds& bounds, int previewHeight) override;
    void SetItemEnabled(EditItem item, bool enabled) override;
    void SetItemChecked(EditItem item, bool checked) override;
    void SetItemCaption(EditItem item, const std::string& caption) override;
    void ShowPatternRows(const std::vector<std::string>& names) override;
    void ShowPatternSelection(const std::vector<int>& selected, int current) override;
    void ScrollPatternList(int rows) override;
    void ShowPreview(const Bitmap24& cell) override;
    void ShowPadInfo(const std::string& values, const std::string& mark, TColor markColor) override;
    void ShowPartRows(const std::vector<PartRow>& rows, int current) override;
    void ShowColorAdjust(int lumi, int hue, bool btnColTrim) override;
    void SetStatusText(const std::string& text) override;
    void CloseWindow() override;

    FormWindow& window_;
    int previewHeight_ = 130; // what the user asked of the splitter
    int arrangedStrip_ = 130; // what the layout gave the strip
    int dragStart_ = 0;       // the strip's height when the splitter was pressed
    int lumi_ = 0;
    int hue_ = 0;
    bool btnColTrim_ = false;
    std::shared_ptr<int> life_ = std::make_shared<int>(0); // expires with the window
    std::unique_ptr<PatternEditorLogic>
        logic_; // last: destroyed first, while the rest still answers
};

} // namespace pelmora
