// The fine-adjust dialog as a real Win32 window under Wine: its controls,
// clicks and keys reaching the logic, the schematic it paints, the keyboard,
// and what it leaves behind. The behaviour itself is tested with the logic
// on Linux.
#include "DialogScript.h"
#include "tests/support/ScriptedPrompts.h"
#include "win32/Win32Ui.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace pelmora {
void PrintTo(const TTrim& t, std::ostream* os) {
    *os << "(" << t.Left << ", " << t.Top << ", " << t.Right << ", " << t.Bottom << ")";
}
} // namespace pelmora

namespace pelmora::uitest {
namespace {

constexpr TColor kCyan = 0x00FFFF00;

std::string Labels(HWND dialog) {
    std::string texts;
    for (const char* name : {"lbLeft", "lbTop", "lbRight", "lbBottom"}) {
        texts += (texts.empty() ? "" : " ") + TextOf(Named(dialog, name));
    }
    return texts;
}

// Opens the dialog and runs `drive` on it from inside its modal loop; the
// result, with the script's own check.
std::optional<AreaAdjustment> RunForm(std::uint8_t area, bool isFrame, TTrim thick, TTrim outer,
                                      std::function<void(HWND)> drive) {
    DialogScript script;
    script.OnDialog(kValueFormClass, std::move(drive));
    testing::ScriptedPrompts prompts;
    const std::optional<AreaAdjustment> result =
        ModalDialogs(nullptr, prompts).Dialogs.AdjustArea(area, isFrame, thick, outer);
    EXPECT_TRUE(script.Finished());
    return result;
}

TEST(FineAdjustWindow, ControlsHaveTheirKindsCaptionsPlacesAndTabOrder) {
    const auto result = RunForm(0, true, {1, 1, 1, 1}, {0, 0, 0, 0}, [](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), "描画範囲の微調整");
        EXPECT_NE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        RECT client = {};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, 281);
        EXPECT_EQ(client.bottom, 315);
        const struct {
            const char* Name;
            const wchar_t* Kind;
            const char* Caption;
            Rect Place;
        } controls[] = {
            {"udLeft", UPDOWN_CLASSW, "", {56, 144, 40, 25}},
            {"udTop", UPDOWN_CLASSW, "", {120, 96, 40, 25}},
            {"udRight", UPDOWN_CLASSW, "", {185, 144, 40, 25}},
            {"udBottom", UPDOWN_CLASSW, "", {120, 176, 40, 25}},
            {"btReset", L"Button", "リセット", {112, 144, 57, 25}},
            {"OK", L"Button", "OK", {80, 272, 75, 25}},
            {"Cancel", L"Button", "キャンセル", {184, 272, 75, 25}},
            {"rbOut", L"Button", "外縁の調整(&O)", {32, 16, 113, 17}},
            {"rbIn", L"Button", "枠太さの調整(&W)", {152, 16, 113, 17}},
            {"lbLeft", L"Static", "-", {56, 170, 41, 17}},
            {"lbTop", L"Static", "-", {120, 122, 41, 17}},
            {"lbRight", L"Static", "-", {184, 170, 41, 17}},
            {"lbBottom", L"Static", "-", {120, 202, 41, 17}},
        };
        for (const auto& c : controls) {
            const HWND control = Named(dialog, c.Name);
            if (control == nullptr) {
                continue;
            }
            EXPECT_EQ(ClassOf(control), c.Kind) << c.Name;
            EXPECT_EQ(TextOf(control), c.Caption) << c.Name;
            const RECT r = ChildRect(control);
            EXPECT_EQ((Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}), c.Place) << c.Name;
        }
        EXPECT_EQ(GetWindowLongPtrW(Named(dialog, "udLeft"), GWL_STYLE) & UDS_HORZ, UDS_HORZ);
        EXPECT_EQ(GetWindowLongPtrW(Named(dialog, "udTop"), GWL_STYLE) & UDS_HORZ, 0);
        EXPECT_EQ(TextOf(Named(dialog, "lbComment")), "基準範囲：");
        EXPECT_EQ(TextOf(Named(dialog, "lbStandard")), "全体");
        EXPECT_EQ(ChildRect(Named(dialog, "lbStandard")).left, 152);
        EXPECT_EQ(SendMessageW(Named(dialog, "rbOut"), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDOK);

        // Tab order: the arrows, Reset, OK, Cancel, the mode buttons; the
        // first focus on the left edge's arrows.
        EXPECT_EQ(GetFocus(), Named(dialog, "udLeft"));
        HWND at = GetFocus();
        for (const char* next :
             {"udTop", "udRight", "udBottom", "btReset", "OK", "Cancel", "rbOut", "udLeft"}) {
            at = GetNextDlgTabItem(dialog, at, FALSE);
            EXPECT_EQ(at, Named(dialog, next)) << next;
        }
        PostKey(VK_ESCAPE);
    });
    EXPECT_FALSE(result);
}

// Modal over its owner: the owner is disabled while the dialog is open, and
// enabled again when it has closed.
TEST(FineAdjustWindow, ArrowKeysMoveTheFocusedEdgeAndEnterGivesOk) {
    const HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    DialogScript script;
    script.OnDialog(kValueFormClass, [owner](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        EXPECT_FALSE(IsWindowEnabled(owner));
        PostKey(VK_RIGHT);
    });
    script.When(
        "the left edge moved in",
        [] { return TextOf(Named(ShownWindow(kValueFormClass), "lbLeft")) == "内(1)"; },
        [] {
            const HWND dialog = ShownWindow(kValueFormClass);
            FocusControl(dialog, Named(dialog, "udTop"));
            PostKey(VK_DOWN); // the top edge moves in
            PostKey(VK_RETURN);
        });
    testing::ScriptedPrompts prompts;
    const auto result =
        ModalDialogs(owner, prompts).Dialogs.AdjustArea(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
    EXPECT_TRUE(script.Finished());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Outer, (TTrim{-1, -1, 0, 0}));
    EXPECT_EQ(result->Thick, (TTrim{1, 1, 1, 1}));
}

TEST(FineAdjustWindow, AFilledPartHidesTheModesAndTheInside) {
    const auto result = RunForm(1, false, {2, 3, 4, 5}, {1, 0, 0, 0}, [](HWND dialog) {
        EXPECT_FALSE(IsWindowVisible(Named(dialog, "rbOut")));
        EXPECT_FALSE(IsWindowVisible(Named(dialog, "rbIn")));
        EXPECT_EQ(TextOf(Named(dialog, "lbStandard")), "アイコン領域");
        EXPECT_EQ(Labels(dialog), "外(1) - - -");
        // No inside: the region is cyan through and through, round the labels too.
        EXPECT_EQ(PixelOf(dialog, 200, 100), kCyan);
        EXPECT_EQ(PixelOf(dialog, 58, 172), kCyan);
        ClickArrow(dialog, "udLeft", false);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Outer, (TTrim{2, 0, 0, 0}));
    EXPECT_EQ(result->Thick, (TTrim{2, 3, 4, 5}));
}

TEST(FineAdjustWindow, ArrowsModesAndResetReachTheValuesAndTheSchematic) {
    const auto result = RunForm(1, true, {3, 1, 2, 4}, {3, 0, -2, 1}, [](HWND dialog) {
        // The cyan region starts 3 pixels left of the dotted base range
        // (32, 80); the inside 3 pixels right of the region's edge.
        EXPECT_EQ(PixelOf(dialog, 29, 120), kCyan);
        EXPECT_EQ(PixelOf(dialog, 28, 120), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(PixelOf(dialog, 31, 120), kCyan);
        EXPECT_EQ(PixelOf(dialog, 32, 120) & 0xFFFFFF, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(PixelOf(dialog, 33, 120) & 0xFFFFFF, GetSysColor(COLOR_BTNFACE));
        // The dotted base range over the cyan, every other pixel.
        EXPECT_EQ(PixelOf(dialog, 40, 80), kCyan);
        EXPECT_EQ(PixelOf(dialog, 41, 80), 0u);

        ClickArrow(dialog, "udLeft", false); // outward
        EXPECT_EQ(Labels(dialog), "外(4) - 内(2) 外(1)");
        EXPECT_EQ(PixelOf(dialog, 28, 120), kCyan);
        SendMessageW(Named(dialog, "rbIn"), BM_CLICK, 0, 0);
        EXPECT_EQ(Labels(dialog), "太さ(3) 太さ(1) 太さ(2) 太さ(4)");
        ClickArrow(dialog, "udTop", false); // the top side thicker
        EXPECT_EQ(Labels(dialog), "太さ(3) 太さ(2) 太さ(2) 太さ(4)");
        SendMessageW(Named(dialog, "btReset"), BM_CLICK, 0, 0);
        EXPECT_EQ(Labels(dialog), "太さ(1) 太さ(1) 太さ(1) 太さ(1)");
        SendMessageW(Named(dialog, "rbOut"), BM_CLICK, 0, 0);
        EXPECT_EQ(Labels(dialog), "外(1) 外(1) 外(1) 外(1)");
        ClickArrow(dialog, "udRight", true); // one more outward
        PostKey(VK_RETURN);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Outer, (TTrim{1, 1, 2, 1}));
    EXPECT_EQ(result->Thick, (TTrim{1, 1, 1, 1}));
}

TEST(FineAdjustWindow, CancelEscapeAndTheCloseBoxChangeNothingEnterOnAButtonPressesIt) {
    const struct {
        const char* How;
        std::function<void(HWND)> Finish;
        bool Ok;
    } ways[] = {
        {"Cancel", [](HWND d) { SendMessageW(Named(d, "Cancel"), BM_CLICK, 0, 0); }, false},
        {"the close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
        {"Escape", [](HWND) { PostKey(VK_ESCAPE); }, false},
        {"Enter on Cancel",
         [](HWND d) {
             FocusControl(d, Named(d, "Cancel"));
             PostKey(VK_RETURN);
         },
         false},
        {"OK", [](HWND d) { SendMessageW(Named(d, "OK"), BM_CLICK, 0, 0); }, true},
    };
    for (const auto& way : ways) {
        const auto result = RunForm(1, true, {1, 1, 1, 1}, {0, 0, 0, 0}, [&](HWND dialog) {
            ClickArrow(dialog, "udTop", true);
            way.Finish(dialog);
        });
        EXPECT_EQ(result.has_value(), way.Ok) << way.How;
        if (result) {
            EXPECT_EQ(result->Outer, (TTrim{0, 1, 0, 0})) << way.How;
        }
    }
    // Enter on Reset resets and keeps the dialog open.
    DialogScript script;
    script.OnDialog(kValueFormClass, [](HWND dialog) {
        FocusControl(dialog, Named(dialog, "btReset"));
        PostKey(VK_RETURN);
    });
    script.When(
        "Reset is pressed",
        [] { return TextOf(Named(ShownWindow(kValueFormClass), "lbLeft")) == "外(1)"; },
        [] { PostMessageW(ShownWindow(kValueFormClass), WM_COMMAND, IDOK, 0); });
    testing::ScriptedPrompts prompts;
    const auto reset =
        ModalDialogs(nullptr, prompts).Dialogs.AdjustArea(2, true, {3, 3, 3, 3}, {0, 0, 0, 0});
    EXPECT_TRUE(script.Finished());
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->Outer, (TTrim{1, 1, 1, 1}));
}

} // namespace
} // namespace pelmora::uitest
