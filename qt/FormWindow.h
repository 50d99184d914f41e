#pragma once
// Any window of the module in Qt, built from its form table: the controls by
// kind, named, placed, in tab order, with their mnemonics and menus. It
// reports what the user does as FormEvents and shows what it is told.
#include "logic/FormWindow.h"

#include <QDialog>

#include <map>
#include <string>

class QAction;
class QKeyEvent;
class QMouseEvent;
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
    FormEvents* Events() const { return events_; }
    const FormTable& Table() const { return table_; }
    QWidget* Control(std::string_view name) const;

    PELMORA_FORM_WINDOW_OVERRIDES

    // Esc presses the form's cancel button.
    void reject() override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    bool Report(FormEvent event);
    QWidget* Make(const FormControl& control, QWidget* parent);
    void Connect(const FormControl& control, QWidget* widget);
    void MakeMenus();
    void MakeShortcuts();
    bool IsWindowShortcut(const QKeySequence& keys) const;
    void Watch(const FormControl& control, QWidget* widget);
    void ReportMouse(const FormControl& control, QObject* widget, QMouseEvent* e);
    bool ReportKey(const FormControl& control, QKeyEvent* e);
    // Whether the rows would be taken there.
    bool DragOver(const FormControl& list, const QPoint& global, bool drop);

    const FormTable& table_;
    FormEvents* events_ = nullptr;
    std::map<std::string, QWidget*, std::less<>> controls_;
    std::map<std::string, QAction*, std::less<>> items_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    std::map<std::string, QMenu*, std::less<>> popUps_;
    std::map<QObject*, const FormControl*> watched_; // paint boxes and splitters
    QObject* pressed_ = nullptr;                     // the paint box a press went to
    int splitterPress_ = 0;                          // screen y of a splitter's press
    QMenuBar* menuBar_ = nullptr;
    bool closing_ = false; // the logic closes the window
};

} // namespace pelmora
