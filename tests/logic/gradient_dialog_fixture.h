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
    const GradientDialogLogic* Logic = nullptr;
    int Kind = -2;
    std::array<Bitmap24, 4> KindPictures;
    std::map<GradControl, int> Numbers;
    std::map<GradControl, bool> Enabled;
    std::map<GradControl, bool> Checked;
    std::map<GradControl, Bitmap24> Pictures;
    std::vector<StripLabel> StripLabels;
    // Each menu popped up, with the stop it acts on, and the choices to make.
    std::vector<GradStopMenu> Menus;
    std::vector<int> MenuIndexes;
    std::deque<std::optional<GradMenuItem>> MenuAnswers;
    std::vector<int> Posted;
    std::optional<bool> Closed;

    void ShowKind(int k) override { Kind = k; }
    void ShowKindPictures(const std::array<Bitmap24, 4>& p) override { KindPictures = p; }
    void ShowNumber(GradControl field, int value) override { Numbers[field] = value; }
    void ShowEnabled(GradControl control, bool on) override { Enabled[control] = on; }
    void ShowChecked(GradControl control, bool on) override { Checked[control] = on; }
    void ShowPicture(GradControl box, const Bitmap24& picture) override { Pictures[box] = picture; }
    void ShowStrip(const Bitmap24& picture, const std::vector<StripLabel>& labels) override {
        Pictures[GradControl::pbPtr] = picture;
        StripLabels = labels;
    }
    std::optional<GradMenuItem> PopUpStopMenu(const GradStopMenu& menu) override {
        Menus.push_back(menu);
        MenuIndexes.push_back(Logic->MenuIndex());
        if (MenuAnswers.empty()) {
            ADD_FAILURE() << "a stop menu popped up that the test did not expect";
            return std::nullopt;
        }
        const std::optional<GradMenuItem> answer = MenuAnswers.front();
        MenuAnswers.pop_front();
        return answer;
    }
    void PostEditStopColor(int index) override { Posted.push_back(index); }
    void CloseDialog(bool ok) override { Closed = ok; }

    TColor StripPixel(int x, int y) const { return Pictures.at(GradControl::pbPtr).Pixel(x, y); }
};

struct GradDialog {
    explicit GradDialog(const char* text) {
        View.Logic = &Logic;
        Logic.FormCreate();
        Gradient.LoadFromText(text);
        Logic.SetGradient(Gradient);
    }

    // Strip point on the handle of the stop at `pos`.
    static TPoint OnHandle(int pos) { return {StopPixel(pos) + 5, 18}; }

    void Press(TPoint at, MouseButton b = MouseButton::Left) { Logic.pbBarMouseDown(b, at); }
    void Move(TPoint at) { Logic.pbBarMouseMove(true, at); }
    void Release(TPoint at, MouseButton b = MouseButton::Left) { Logic.pbBarMouseUp(b, at); }
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
        View.MenuAnswers.push_back(item);
        Click(OnHandle(pos), MouseButton::Right);
    }
    // Runs the posted colour-dialog messages, as the event loop would.
    void DeliverPosted() {
        const std::vector<int> posted = std::move(View.Posted);
        View.Posted.clear();
        for (const int index : posted) {
            Logic.WMEditStopColor(index);
        }
    }

    ScopedScriptedPrompts Prompts;
    TGrad Gradient;
    RecordingGradView View;
    GradientDialogLogic Logic{View, *Prompts};
};

} // namespace pelmora::testing
