#pragma once
// The fine-adjust dialog: moves a part's four outer edges and, for a frame,
// its four frame thicknesses, one pixel per arrow click, over a schematic of
// the region. It works on its own copies; the caller reads them after OK.
#include "pattern/patrn.h"

#include <QDialog>

#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pelmora {

class TShape;
class TUpDown;

class TValueForm : public QDialog {
    Q_OBJECT
public:
    explicit TValueForm(QWidget* parent = nullptr);
    ~TValueForm() override;

    // Loads a part's region (0 whole button, 1 icon area, 2 name area), whether
    // it is a frame, and its thicknesses and outer-edge adjustments.
    void SetValues(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer);
    TTrim GetOuter() const { return FOuter; }
    TTrim GetThick() const { return FThick; }

    // True while the arrows move the frame's inner edges.
    bool ThickMode() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void SetRanges();
    void UpdateView();
    // The four up-downs show the current mode's values.
    void ShowPositions();

    void udTopClick();
    void rbOutClick();
    void btResetClick();

    TTrim FOuter;
    TTrim FThick{1, 1, 1, 1};
    std::uint8_t FArea = paAll;

    QRadioButton* rbOut = nullptr;
    QRadioButton* rbIn = nullptr;
    TShape* spComment = nullptr;
    QLabel* lbComment = nullptr;
    QLabel* lbStandard = nullptr;
    TShape* spOut = nullptr;
    TShape* spIn = nullptr;
    QLabel* lbLeft = nullptr;
    QLabel* lbTop = nullptr;
    QLabel* lbRight = nullptr;
    QLabel* lbBottom = nullptr;
    TShape* spStandard = nullptr;
    TUpDown* udLeft = nullptr;
    TUpDown* udTop = nullptr;
    TUpDown* udRight = nullptr;
    TUpDown* udBottom = nullptr;
    QPushButton* btReset = nullptr;
    QFrame* Bevel = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};

} // namespace pelmora
