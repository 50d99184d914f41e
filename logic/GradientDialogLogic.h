#pragma once
// The gradient editor dialog's behaviour: kind, angle, centre and
// normalisation with a preview whose handles can be dragged, and the colour
// stops on a bar whose handles can be dragged, added, deleted, recoloured and
// positioned. It edits the target gradient in place and tells its view what to
// show; colours and positions are asked for through the dialog service.
#include "gradient/Gradient.h"
#include "logic/GradientDialogView.h"
#include "logic/UndoHistory.h"
#include "logic/UpDownState.h"
#include "platform/prompts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora {

// Where an item of the kind list puts its picture and its text.
using KindItemLayout = PictureItemLayout;

// What one of the dialog's undo steps turns back to: the gradient, whether
// both ends are matched, and the stop that was selected then.
struct GradDialogState {
    std::vector<TCol> Stops;
    std::uint8_t Kind = gkLinear;
    std::int32_t Angle = 0;
    std::int32_t CenterX = 0;
    std::int32_t CenterY = 0;
    bool Normalize = false;
    bool WrapEnds = false;
    int Selected = 0;

    // The same edit, whichever stop is selected.
    bool SameEdit(const GradDialogState& other) const;
};
std::size_t StepBytes(const GradDialogState& state);

// The dialog keeps at least this many steps, within this much memory.
inline constexpr std::size_t kGradHistorySteps = 1000;
inline constexpr std::size_t kGradHistoryBytes = std::size_t{8} << 20;

class GradientDialogLogic {
public:
    // "No colour held" for CopiedColor.
    static constexpr TColor kNoColor = 0xFFFFFFFFu;
    // The kind list's fixed item height.
    static constexpr int kKindItemHeight = 14;

    // Asks for colours and positions through `dialogs`.
    GradientDialogLogic(GradientDialogView& view, Prompts& dialogs);
    GradientDialogLogic(const GradientDialogLogic&) = delete;
    GradientDialogLogic& operator=(const GradientDialogLogic&) = delete;

    // Shows the state of a new dialog, editing a blank gradient.
    void FormCreate();
    // Edits `gradient` in place from now on (the caller keeps ownership); the
    // controls are loaded from it without changing it.
    void SetGradient(TGrad& gradient);

    // The editing state.
    const TGrad& Target() const { return *target_; }
    const TGrad& Work() const { return work_; }
    int DragIndex() const { return dragIndex_; }
    int MenuIndex() const { return menuIndex_; }
    bool DragOut() const { return dragOut_; }
    TColor CopiedColor() const { return copiedColor_; }
    bool AngleDrag() const { return angleDrag_; }
    bool CenterDrag() const { return centerDrag_; }
    // The stop the handle strip's keys act on, and whether the strip has the focus.
    int Selected() const { return selected_; }
    bool StripFocused() const { return stripFocused_; }
    const UndoHistory<GradDialogState>& History() const { return history_; }
    // udAngle, udX or udY.
    const UpDownState& UpDown(GradControl control) const;

    // Preview geometry: the centre handle P and the angle handle Q.
    std::pair<TPoint, TPoint> HandlePoints() const;
    static int AngleFromPoints(TPoint p, TPoint m);
    // Whether a number field (edAngle, edX, edY) may hold `text` (UTF-8);
    // whatever would make it hold anything else is refused.
    static bool FieldAccepts(GradControl field, std::string_view text);
    static KindItemLayout cbKindDrawItem(const TRect& item);

    // Events, named after control and event.
    void pbGradMouseDown(TPoint at);
    void pbGradMouseMove(TPoint at);
    void pbGradMouseUp();
    void cbKindChange(int index);
    void edAngleChange(const std::string& text);
    void udAngleClick(int direction);
    void edXChange(const std::string& text);
    void edYChange(const std::string& text);
    // udX or udY.
    void udXClick(GradControl upDown, int direction);
    void cbNormalClick(bool checked);
    void btHdlClick(bool down);
    void pbBarMouseDown(MouseButton button, TPoint at);
    void pbBarMouseMove(bool leftHeld, TPoint at);
    void pbBarMouseUp(MouseButton button, TPoint at);
    void pbPtrDblClick(MouseButton button);
    void cbWrapClick(bool checked);
    void btReverseClick();
    void btSelectClick();
    void btOKClick();
    void btCancelClick();
    // The message PostEditStopColor posts.
    void WMEditStopColor(int index);
    // A key pressed on the handle strip while it has the focus (modifiers:
    // keymod bits); false for a key it has no use for.
    bool pbPtrKeyDown(FormKey key, std::uint8_t modifiers);
    void pbPtrFocus(bool focused);
    // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z): the dialog's own edits, one step
    // each, back and forth. In the middle of a drag, Undo takes the drag
    // back and Redo does nothing.
    void Undo();
    void Redo();

private:
    void ApplyStops();
    void ChangeStopColor(int index);
    void SetStopColor(int index, TColor color);
    void UpdateControls();
    void CenterFromPoint(TPoint m);
    void ShowStopMenu();
    GradStopMenu PrepareStopMenu(bool fromKeyboard, TPoint at) const;
    void RunStopCommand(GradMenuItem chosen);
    void AngleClicked();
    void CenterClicked();
    void FieldTyped(UpDownState& upDown, GradControl field, const std::string& text);
    int HandleX(int index) const;
    int HitHandle(int x) const;
    int NextStop(int index) const;

    void mnChangeClick();
    void mnLocateClick();
    void mnCopyClick();
    void mnPasteClick();
    void mnDeleteClick();
    void mnAddClick();
    void mnSpreadClick();

    // Runs one user action: what it changes becomes one undo step, or joins
    // the step still open for the same `gesture` (typing into one field);
    // `from` is the state a mouse gesture began with. Actions run within
    // another add to its step.
    void Edit(const std::function<void()>& action, int gesture = 0,
              std::optional<GradDialogState> from = std::nullopt);
    GradDialogState Capture() const;
    void Restore(const GradDialogState& state);
    // Shows the target's whole state in the controls.
    void LoadControls();
    void Select(int index);
    void StripKey(FormKey key, bool shift);
    void StripReleased(TPoint at);

    void RepaintPreview();
    void RepaintBar();
    void RepaintStrip();

    GradientDialogView& view_;
    Prompts& dialogs_;
    TGrad blank_; // stands in as the target until SetGradient names one
    TGrad* target_ = &blank_;
    TGrad work_;
    int dragIndex_ = -1;
    int menuIndex_ = -1;
    bool dragOut_ = false;
    TColor copiedColor_ = kNoColor;
    bool angleDrag_ = false;
    bool centerDrag_ = false;
    bool handlesShown_ = true; // btHdl is down
    bool wrapEnds_ = false;    // cbWrap is ticked
    // MenuIndex as it was before the last press on the handle strip, for a
    // double-click reported after the second press.
    int menuBeforePress_ = -1;
    int selected_ = 0;
    bool stripFocused_ = false;
    bool editing_ = false;
    // The state as a mouse gesture (a drag, a click) found it, until its release.
    std::optional<GradDialogState> gestureStart_;
    UndoHistory<GradDialogState> history_{kGradHistorySteps, kGradHistoryBytes};
    UpDownState udAngle_{0, 359, 0, 1, true};
    UpDownState udX_{-200, 200, 0, 1, false};
    UpDownState udY_{-200, 200, 0, 1, false};
};

} // namespace pelmora
