#pragma once
// What the gradient editor's logic tells its view to show. Controls carry the
// dialog's control names; texts are UTF-8; every picture that is not a standard
// control or text is painted by the logic, so all views show the same pixels.
#include "logic/FormWindow.h"
#include "platform/bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// The controls whose state the logic sets.
enum class GradControl {
    cbKind,
    lbAngle,
    edAngle,
    udAngle,
    lbDegree,
    lbCenter,
    lbX,
    edX,
    udX,
    lbXPer,
    lbY,
    edY,
    udY,
    lbYPer,
    cbNormal,
    btHdl,
    pbGrad,
    pbPtr,
    pbBar,
    cbWrap,
};

// The stop menu's entries, in menu order.
enum class GradMenuItem {
    mnChange,
    mnLocate,
    mnSep1,
    mnCopy,
    mnPaste,
    mnDelete,
    mnSpread,
    mnSep2,
    mnSelect,
    mnAdd
};
inline constexpr std::size_t kGradMenuItemCount = 10;

// The stop menu as it is to pop up.
struct GradStopMenu {
    std::array<bool, kGradMenuItemCount> Enabled{};
    std::array<bool, kGradMenuItemCount> Visible{};
    TPoint At; // in handle-strip pixels

    bool IsEnabled(GradMenuItem item) const { return Enabled[static_cast<std::size_t>(item)]; }
    bool IsVisible(GradMenuItem item) const { return Visible[static_cast<std::size_t>(item)]; }
};

// A stop's position written over the handle strip at (X, 0), on a button-face
// background no taller than kStripLabelHeight.
struct StripLabel {
    std::int32_t X = 0;
    std::string Text;
    bool operator==(const StripLabel&) const = default;
};
inline constexpr int kStripLabelHeight = 13;

// Nothing shown through this interface comes back as an event: a view makes
// these changes with its controls' notifications held back, so the logic needs
// no guard against its own updates.
class GradientDialogView {
public:
    virtual ~GradientDialogView() = default;

    // The kind list's selection; -1 selects nothing.
    virtual void ShowKind(int kind) = 0;
    // The kind list's pictures (14 x 14), in kind order.
    virtual void ShowKindPictures(const std::array<Bitmap24, 4>& pictures) = 0;
    // The text of a number field (edAngle, edX, edY): the value in decimal.
    virtual void ShowNumber(GradControl field, int value) = 0;
    virtual void ShowEnabled(GradControl control, bool enabled) = 0;
    // cbNormal, cbWrap, or btHdl (down when checked).
    virtual void ShowChecked(GradControl control, bool checked) = 0;
    // The picture of pbGrad or pbBar, shown at its top-left corner.
    virtual void ShowPicture(GradControl box, const Bitmap24& picture) = 0;
    // The handle strip pbPtr: its picture, then the labels written over it in order.
    virtual void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) = 0;
    // Pops the stop menu up and waits for a choice; nullopt when it is dismissed.
    virtual std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) = 0;
    // Calls the logic's WMEditStopColor(index) once the events already waiting
    // have been handled (a posted window message).
    virtual void PostEditStopColor(int index) = 0;
    virtual void CloseDialog(bool ok) = 0;
};

} // namespace pelmora
