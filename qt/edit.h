#pragma once
// The pattern editor window in Qt: builds the controls, forwards the user's
// events to the editor's logic and shows what the logic tells it.
#include "logic/EditFormLogic.h"
#include "logic/EditFormView.h"

#include <QImage>
#include <QWidget>

#include <map>
#include <memory>

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QSplitter;
class QStatusBar;

namespace pelmora {

class EditorHost;
class PatternLibrary;
class TPaintBox;
struct TIniData;

namespace editor_detail {
class PartsListBox;
class PatternListBox;
} // namespace editor_detail

// The parts list keeps each row's picture (a QImage whose white pixels are
// transparent) in this item role; a row without one holds nothing there.
inline constexpr int kPartIconRole = Qt::UserRole + 1;

// The gradient dialog and the fine-adjust dialog are shown modally with their
// own event loop; tests answer them through QApplication::activeModalWidget().
// The colour dialog and message boxes go through the dialog service.
class TEditForm : public QWidget, private EditFormView {
    Q_OBJECT

public:
    // Copies `library`; takes its bounds from `settings` and stores them back
    // there when destroyed. Creates the trial file (throws when it cannot).
    TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
              QWidget* parent = nullptr);
    ~TEditForm() override;

    TEditForm(const TEditForm&) = delete;
    TEditForm& operator=(const TEditForm&) = delete;

    EditFormLogic& Logic() { return *logic_; }
    const EditFormLogic& Logic() const { return *logic_; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void CreateMenu();
    void CreateLayout();
    QWidget* CreatePreviewStrip(QWidget* parent);
    QWidget* CreatePartsPane(QWidget* parent);
    void ConnectControls();

    // EditFormView
    std::optional<ScreenSize> Screen() const override;
    WindowBounds Bounds() const override;
    int PreviewHeight() const override;
    void SetBounds(const WindowBounds& bounds, int previewHeight) override;
    void SetItemEnabled(EditItem item, bool enabled) override;
    void SetItemChecked(EditItem item, bool checked) override;
    void ShowPatternRows(const std::vector<std::string>& names) override;
    void ShowPatternSelection(const std::vector<int>& selected, int current) override;
    void ScrollPatternList(int rows) override;
    void ShowPreview(const Bitmap24& cell) override;
    void ShowPadInfo(const std::string& values, const std::string& mark, TColor markColor) override;
    void ShowPartRows(const std::vector<PartRow>& rows, int current) override;
    void ShowColorAdjust(int lumi, int hue, bool btnColTrim) override;
    void SetStatusText(const std::string& text) override;
    void CloseWindow() override;

    bool PatternListDragOver(const QPoint& global);
    void PatternListDragDrop(const QPoint& global);

    std::unique_ptr<EditFormLogic> logic_;
    int prevHeight_ = 100;        // applied to the splitter when first shown
    bool splitterPlaced_ = false; //
    bool closing_ = false;        // the logic closed the window

    // Controls (owned by their Qt parents) that the window shows into.
    std::map<EditItem, QAction*> items_;
    QActionGroup* fillGroup_ = nullptr;
    QMenuBar* MainMenu = nullptr;
    QLabel* lbPattern = nullptr;
    editor_detail::PatternListBox* PatternList = nullptr;
    QLabel* lbParts = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* pnRBTop = nullptr;
    TPaintBox* pbPreview = nullptr;
    QImage preview_;
    QLabel* lbInfo = nullptr;
    QLabel* lbInfoCol = nullptr;
    editor_detail::PartsListBox* PartsList = nullptr;
    QSlider* tbLumi = nullptr;
    QSlider* tbHue = nullptr;
    QCheckBox* cbBtnCol = nullptr;
    QStatusBar* StatusBar = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCamcel = nullptr;
};

} // namespace pelmora
