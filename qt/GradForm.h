#pragma once
// The gradient editor dialog: kind, angle, centre and normalisation with a live
// preview whose handles can be dragged, and the colour stops on a bar whose
// handles can be dragged, added, deleted, recoloured and positioned.
#include "gradient/GradObj.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>

#include <array>
#include <memory>
#include <utility>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMouseEvent;
class QPainter;
class QPushButton;
class QToolButton;

namespace pelmora {

class TNumberEdit;
class TPaintBox;
class TUpDown;

class TGradDlg : public QDialog {
    Q_OBJECT
public:
    // "No colour held" for CopiedColor.
    static constexpr TColor kNoColor = 0xFFFFFFFFu;

    explicit TGradDlg(QWidget* parent = nullptr);
    ~TGradDlg() override;

    // Edits `gradient` in place from now on (the caller keeps ownership); the
    // controls are loaded from it without changing it.
    void SetGradient(TGrad& gradient);

    // Inspection of the editing state.
    const TGrad& Target() const { return *Target_; }
    const TGrad& Work() const { return *Work_; }
    int DragIndex() const { return DragIndex_; }
    int MenuIndex() const { return MenuIndex_; }
    bool DragOut() const { return DragOut_; }
    TColor CopiedColor() const { return CopiedColor_; }
    bool AngleDrag() const { return AngleDrag_; }
    bool CenterDrag() const { return CenterDrag_; }

    // Preview geometry: the centre handle P and the angle handle Q.
    std::pair<QPoint, QPoint> HandlePoints() const;
    static int AngleFromPoints(const QPoint& p, const QPoint& m);

private:
    void FormCreate();
    void CreateUpperPane();
    void CreateLowerPane();
    void CreateStopMenu();

    // Operations.
    void ApplyStops();
    void ChangeStopColor(int index);
    void SetStopColor(int index, TColor color);
    void UpdateControls();
    void CenterFromPoint(const QPoint& m);
    void ShowStopMenu();
    void PrepareStopMenu(bool fromKeyboard);
    void RunStopCommand(QAction* chosen);
    void EditStopColorMessage(int index);
    int HandleX(int index) const;
    int HitHandle(int x) const;

    // Event handlers.
    void pbGradPaint(QPainter& painter);
    void pbGradMouseDown(QMouseEvent* event);
    void pbGradMouseMove(QMouseEvent* event);
    void pbGradMouseUp(QMouseEvent* event);
    void cbKindChange(int index);
    void edAngleChange();
    void udAngleClick();
    void edXChange();
    void edYChange();
    void udXClick();
    void cbNormalClick();
    void btHdlClick();
    void pbBarPaint(QPainter& painter);
    void pbPtrPaint(QPainter& painter);
    void pbBarMouseDown(QMouseEvent* event);
    void pbBarMouseMove(QMouseEvent* event);
    void pbBarMouseUp(QMouseEvent* event);
    void pbPtrDblClick(QMouseEvent* event);
    void pbLabelPaint(QPainter& painter);
    void cbWrapClick();
    void btReverseClick();
    void btSelectClick();
    void mnChangeClick();
    void mnLocateClick();
    void mnCopyClick();
    void mnPasteClick();
    void mnDeleteClick();
    void mnSelectClick();
    void mnAddClick();

    TGrad blank_; // stands in as the target until SetGradient names one
    TGrad* Target_ = &blank_;
    std::unique_ptr<TGrad> Work_;
    int DragIndex_ = -1;
    int MenuIndex_ = -1;
    bool DragOut_ = false;
    TColor CopiedColor_ = kNoColor;
    bool AngleDrag_ = false;
    bool CenterDrag_ = false;
    // MenuIndex as it was before a press on the handle strip, until its release.
    int menuBeforePress_ = -1;

    QFrame* pnGrad = nullptr;
    QFrame* bvGrad = nullptr;
    TPaintBox* pbGrad = nullptr;
    QLabel* lbKind = nullptr;
    QComboBox* cbKind = nullptr;
    QLabel* lbAngle = nullptr;
    TNumberEdit* edAngle = nullptr;
    TUpDown* udAngle = nullptr;
    QLabel* lbDegree = nullptr;
    QLabel* lbCenter = nullptr;
    QLabel* lbX = nullptr;
    TNumberEdit* edX = nullptr;
    TUpDown* udX = nullptr;
    QLabel* lbXPer = nullptr;
    QLabel* lbY = nullptr;
    TNumberEdit* edY = nullptr;
    TUpDown* udY = nullptr;
    QLabel* lbYPer = nullptr;
    QCheckBox* cbNormal = nullptr;
    QToolButton* btHdl = nullptr;
    QFrame* pnBar = nullptr;
    TPaintBox* pbLabel = nullptr;
    TPaintBox* pbPtr = nullptr;
    TPaintBox* pbBar = nullptr;
    QCheckBox* cbWrap = nullptr;
    QPushButton* btReverse = nullptr;
    QToolButton* btSelect = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;
    QMenu* PtrMenu = nullptr;
    QAction* mnChange = nullptr;
    QAction* mnLocate = nullptr;
    QAction* mnSep1 = nullptr;
    QAction* mnCopy = nullptr;
    QAction* mnPaste = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnSep2 = nullptr;
    QAction* mnSelect = nullptr;
    QAction* mnAdd = nullptr;
};

// The kind list's icons, in kind order (14 x 14 grey pictures).
std::array<QPixmap, 4> GradKindImages();

} // namespace pelmora
