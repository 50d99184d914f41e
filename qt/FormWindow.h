#pragma once
// Any window of the module in Qt, built from its form table: the controls by
// kind, named, placed, in tab order, with their mnemonics and menus. It
// reports what the user does as FormEvents and shows what it is told.
#include "logic/FormWindow.h"

#include <QDialog>

#include <map>
#include <string>

class QAction;
class QKeySequence;
class QMenu;
class QMenuBar;

namespace pelmora {

// The role of a list row's picture (a QImage whose clear pixels let the row
// show); a row without one holds nothing there.
inline constexpr int kRowPictureRole = Qt::UserRole + 1;

class QtForm : public QDialog, public FormWindow {
    Q_OBJECT
public:
    explicit QtForm(const FormTable& table, QWidget* parent = nullptr);
    ~QtForm() override;

    // Where its events go from now on (not owned).
    void Attach(FormEvents& events) { events_ = &events; }
    const FormTable& Table() const { return table_; }
    QWidget* Control(std::string_view name) const;

    // FormWindow
    void SetText(std::string_view control, const std::string& text) override;
    void SetTextColor(std::string_view control, TColor color) override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void SetVisible(std::string_view control, bool visible) override;
    void SetChecked(std::string_view control, bool checked) override;
    void SetPosition(std::string_view control, int position, int min, int max) override;
    void SetPicture(std::string_view control, const Bitmap24& picture) override;
    void SetTextsOver(std::string_view control, const std::vector<TextAt>& texts) override;
    void SetShape(std::string_view control, const ShapeLook& look) override;
    void SetRows(std::string_view control, const std::vector<ListRow>& rows) override;
    void SetSelection(std::string_view control, const std::vector<int>& rows, int current) override;
    void ScrollRows(std::string_view control, int rows) override;
    ListScroll Scroll(std::string_view control) const override;
    void Place(const std::vector<Placement>& places) override;
    void SetItemEnabled(std::string_view item, bool enabled) override;
    void SetItemChecked(std::string_view item, bool checked) override;
    void SetItemText(std::string_view item, const std::string& caption) override;
    std::optional<std::string> PopUpMenu(std::span<const MenuLine> lines, std::string_view menu,
                                         const std::vector<std::string>& disabled,
                                         const std::vector<std::string>& hidden,
                                         std::string_view control, TPoint at) override;
    void SetTitle(const std::string& text) override;
    Size96 ClientSize() const override;
    Size96 TextSize(const std::string& text) const override;
    WindowBounds Bounds() const override;
    void SetBounds(const WindowBounds& bounds) override;
    std::optional<ScreenSize> Screen() const override;
    void Post(std::function<void()> later) override;
    void Close(bool ok) override;

    // Esc presses the form's cancel button.
    void reject() override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool Report(FormEvent event);
    QWidget* Make(const FormControl& control, QWidget* parent);
    void Connect(const FormControl& control, QWidget* widget);
    void MakeMenus();
    void MakePopUps();
    void MakeShortcuts();
    bool IsWindowShortcut(const QKeySequence& keys) const;
    void DragOver(const FormControl& list, const QPoint& global, bool drop, bool* accepted);

    const FormTable& table_;
    FormEvents* events_ = nullptr;
    std::map<std::string, QWidget*, std::less<>> controls_;
    std::map<std::string, QAction*, std::less<>> items_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    std::map<std::string, QMenu*, std::less<>> popUps_;
    QMenuBar* menuBar_ = nullptr;
    bool closing_ = false; // the logic closes the window
};

} // namespace pelmora
