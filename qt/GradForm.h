#pragma once
// The gradient editor dialog's Qt view: builds the controls, forwards their
// events to GradDlgLogic and shows what it is told.
#include "logic/GradDlgLogic.h"

#include <QDialog>
#include <QPixmap>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QMenu;

namespace pelmora {

class TGradDlg : public QDialog, private GradDlgView {
    Q_OBJECT
public:
    explicit TGradDlg(QWidget* parent = nullptr);
    ~TGradDlg() override;

    // Edits `gradient` in place from now on (the caller keeps ownership); the
    // controls are loaded from it without changing it.
    void SetGradient(TGrad& gradient) { logic_->SetGradient(gradient); }
    const TGrad& Target() const { return logic_->Target(); }
    const GradDlgLogic& Logic() const { return *logic_; }

    // Escape and the close box cancel as the Cancel button does.
    void reject() override;

private:
    void CreateUpperPane();
    void CreateLowerPane();
    void CreateStopMenu();
    QWidget* Control(GradControl control) const;
    void StripLabelsPaint(QPainter& painter);

    void ShowKind(int kind) override;
    void ShowKindPictures(const std::array<Bitmap24, 4>& pictures) override;
    void ShowNumber(GradControl field, int value) override;
    void ShowEnabled(GradControl control, bool enabled) override;
    void ShowChecked(GradControl control, bool checked) override;
    void ShowPicture(GradControl box, const Bitmap24& picture) override;
    void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) override;
    std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) override;
    void PostEditStopColor(int index) override;
    void CloseDialog(bool ok) override;

    std::unique_ptr<GradDlgLogic> logic_;
    std::array<QWidget*, static_cast<std::size_t>(GradControl::cbWrap) + 1> controls_{};
    QComboBox* cbKind = nullptr;
    std::array<QPixmap, 4> kindPictures_;
    std::vector<StripLabel> stripLabels_;
    QMenu* PtrMenu = nullptr;
    std::array<QAction*, kGradMenuItemCount> menuItems_{};
};

} // namespace pelmora
