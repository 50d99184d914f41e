#pragma once
// The fine-adjust dialog's Qt view: builds the controls, forwards their
// events to ValueFormLogic and shows what it is told.
#include "logic/ValueFormLogic.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

namespace pelmora {

class TValueForm : public QDialog, private ValueFormView {
    Q_OBJECT
public:
    explicit TValueForm(QWidget* parent = nullptr);
    ~TValueForm() override;

    // Loads a part's region (0 whole button, 1 icon area, 2 name area), whether
    // it is a frame, and its thicknesses and outer-edge adjustments.
    void SetValues(std::uint8_t area, bool isFrame, const TTrim& thick, const TTrim& outer) {
        logic_->SetValues(area, isFrame, thick, outer);
    }
    TTrim GetOuter() const { return logic_->GetOuter(); }
    TTrim GetThick() const { return logic_->GetThick(); }
    // True while the arrows move the frame's inner edges.
    bool ThickMode() const { return logic_->ThickMode(); }
    const ValueFormLogic& Logic() const { return *logic_; }

    // Escape and the close box cancel as the Cancel button does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* Control(ValueControl control) const;

    void ShowText(ValueControl label, const std::string& text) override;
    void ShowVisible(ValueControl control, bool visible) override;
    void ShowChecked(ValueControl radio, bool checked) override;
    void ShowShape(ValueControl shape, const ValueShape& look) override;
    void CloseDialog(bool ok) override;

    std::unique_ptr<ValueFormLogic> logic_;
    std::array<QWidget*, static_cast<std::size_t>(ValueControl::udBottom) + 1> controls_{};
};

} // namespace pelmora
