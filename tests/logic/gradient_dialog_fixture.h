#pragma once
// The gradient editor's logic on a gradient, with a view that records what
// it is told to show and answers the stop menu from a script.
#include "logic/GradientDialogLogic.h"
#include "logic/GradientDialogPaint.h"
#include "platform/syscolors.h"
#include "tests/support/GradStops.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace pelmora::testing {

class RecordingGradView final : public GradientDialogView {
public:
    const GradientDialogLogic* logic = nullptr;
    int kind = -2;
    std::array<Bitmap24, 4> kindPictures;
    std::map<GradControl, int> numbers;
    std::map<GradControl, bool> enabled;
    std::map<GradControl, bool> checked;
    std::map<GradControl, Bitmap24> pictures;
    std::vector<StripLabel> stripLabels;
    // Each menu popped up, with the stop it acts on, and the choices to make.
    std::vector<GradStopMenu> menus;
    std::vector<int> menuIndexes;
    std::deque<std::optional<GradMenuItem>> menuAnswers;
    std::vector<int> posted;
    std::optional<bool> closed;

    void ShowKind(int k) override { kind = k; }
    void ShowKindPictures(const std::array<Bitmap24, 4>& p) override { kindPictures = p; }
    void ShowNumber(GradControl field, int value) override { numbers[field] = value; }
    void ShowEnabled(GradControl control, bool on) override { enabled[control] = on; }
    void ShowChecked(GradControl control, bool on) override { checked[control] = on; }
    void ShowPicture(GradControl box, const Bitmap24& picture) override { pictures[box] = picture; }
    void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) override {
        pictures[GradControl::pbPtr] = picture;
        stripLabels = labels;
    }
    std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) override {
        menus.push_back(menu);
        menuIndexes.push_back(logic->MenuIndex());
        if (menuAnswers.empty()) {
            ADD_FAILURE() << "a stop menu popped up that the test did not expect";
            return std::nullopt;
        }
        const std::optional<GradMenuItem> answer = menuAnswers.front();
        menuAnswers.pop_front();
        return answer;
    }
    void PostEditStopColor(int index) override { posted.push_back(index); }
    void CloseDialog(bool ok) override { closed = ok; }

    TColor StripPixel(int x, int y) const { return pictures.at(GradControl::pbPtr).Pixel(x, y); }
};

struct GradDialog {
    explicit GradDialog(const char* text) {
        view.logic = &logic;
        logic.FormCreate();
        gradient.LoadFromText(text);
        logic.SetGradient(gradient);
    }

    // Strip point on the handle of the stop at `pos`.
    static TPoint OnHandle(int pos) { return {StopPixel(pos) + 5, 18}; }

    void Press(TPoint at, MouseButton b = MouseButton::Left) { logic.pbBarMouseDown(b, at); }
    void Move(TPoint at) { logic.pbBarMouseMove(true, at); }
    void Release(TPoint at, MouseButton b = MouseButton::Left) { logic.pbBarMouseUp(b, at); }
    void Click(TPoint at, MouseButton b = MouseButton::Left) {
        Press(at, b);
        Release(at, b);
    }
    void Drag(TPoint from, const std::vector<TPoint>& path) {
        Press(from);
        for (const TPoint& p : path) {
            Move(p);
        }
        Release(path.empty() ? from : path.back());
    }
    // A right-click on the handle of the stop at `pos`, choosing `item` in its menu.
    void MenuOnHandle(int pos, std::optional<GradMenuItem> item) {
        view.menuAnswers.push_back(item);
        Click(OnHandle(pos), MouseButton::Right);
    }
    // Runs the posted colour-dialog messages, as the event loop would.
    void DeliverPosted() {
        const std::vector<int> posted = std::move(view.posted);
        view.posted.clear();
        for (const int index : posted) {
            logic.WMEditStopColor(index);
        }
    }

    ScopedScriptedPrompts prompts;
    TGrad gradient;
    RecordingGradView view;
    GradientDialogLogic logic{view, *prompts};
};

} // namespace pelmora::testing
