// The gradient editor dialog as a real Win32 window under Wine: its controls,
// mouse and keys delivered by messages reaching the logic, what it paints,
// the platform's colour dialog, and what it leaves behind. The behaviour
// itself is tested with the logic on Linux.
#include "DialogScript.h"
#include "RealKeys.h"
#include "logic/GradientDialogPaint.h"
#include "logic/GradientDialogView.h"
#include "platform/syscolors.h"
#include "platform/win32/Win32Prompts.h"
#include "tests/support/GradStops.h"
#include "tests/support/ScriptedPrompts.h"
#include "win32/Win32Ui.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::uitest {
namespace {

using pelmora::testing::ScopedScriptedPrompts;

using pelmora::testing::Colors;
using pelmora::testing::kBlue;
using pelmora::testing::kGreen;
using pelmora::testing::kRed;
using pelmora::testing::kWhite;
using pelmora::testing::Positions;

// A point on the handle of the stop at `pos`, in strip pixels.
POINT OnHandle(int pos) {
    return {StopPixel(pos) + 5, 18};
}

std::string ItemText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return win32ui::Narrow(text);
}

bool ItemEnabled(HMENU menu, int position) {
    return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) == 0;
}

void Close(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// The dialog open on a gradient; `drive` runs from inside its modal loop.
struct GradientEditor {
    explicit GradientEditor(const char* text) { Gradient.LoadFromText(text); }

    bool Run() { return ModalDialogs(nullptr, *Prompts).Dialogs.EditGradient(Gradient); }

    ScopedScriptedPrompts Prompts;
    TGrad Gradient;
    DialogScript Script;
    HWND Dialog = nullptr;
};

TEST(GradDialogWindow, ControlsHaveTheirKindsCaptionsAndPlaces) {
    GradientEditor e("0,0,0,0,0,,0000000000,6400000000");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        EXPECT_EQ(win32ui::WindowDpi(dialog), 96);
        EXPECT_EQ(TextOf(dialog), "グラデーションの設定");
        RECT client = {};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, 514);
        EXPECT_EQ(client.bottom, 338);
        EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_CAPTION), WS_CAPTION);
        const struct {
            const char* Name;
            const wchar_t* Kind;
            const char* Caption;
            Rect Place;
            const char* Parent;
        } controls[] = {
            {"pnGrad", L"TPanel", "", {0, 0, 417, 257}, nullptr},
            {"bvGrad", L"TPanel", "", {8, 8, 241, 241}, "pnGrad"},
            {"pbGrad", L"TMousePaintBox", "", {8, 9, 240, 240}, "pnGrad"},
            {"lbKind", L"Static", "種類(&K)", {264, 28, 0, 0}, "pnGrad"},
            {"cbKind", L"ComboBox", "直線", {312, 24, 81, 20}, "pnGrad"},
            {"lbAngle", L"Static", "角度(&A)", {264, 68, 0, 0}, "pnGrad"},
            {"edAngle", L"Edit", "0", {328, 64, 33, 20}, "pnGrad"},
            {"udAngle", UPDOWN_CLASSW, "", {361, 64, 17, 20}, "pnGrad"},
            {"lbDegree", L"Static", "度", {380, 68, 0, 0}, "pnGrad"},
            {"lbCenter", L"Static", "中心点", {264, 108, 0, 0}, "pnGrad"},
            {"lbX", L"Static", "&X :", {304, 108, 0, 0}, "pnGrad"},
            {"edX", L"Edit", "0", {328, 104, 33, 20}, "pnGrad"},
            {"udX", UPDOWN_CLASSW, "", {361, 104, 17, 20}, "pnGrad"},
            {"lbXPer", L"Static", "%", {380, 108, 0, 0}, "pnGrad"},
            {"lbY", L"Static", "&Y :", {304, 132, 0, 0}, "pnGrad"},
            {"edY", L"Edit", "0", {328, 128, 33, 20}, "pnGrad"},
            {"udY", UPDOWN_CLASSW, "", {361, 128, 17, 20}, "pnGrad"},
            {"lbYPer", L"Static", "%", {380, 132, 0, 0}, "pnGrad"},
            {"cbNormal", L"Button", "範囲内に色を正規化(&N)", {264, 168, 145, 17}, "pnGrad"},
            {"btHdl", L"Button", "ハンドル表示", {264, 224, 89, 23}, "pnGrad"},
            {"pnBar", L"TPanel", "", {0, 257, 417, 88}, nullptr},
            {"pbLabel", L"TPaintBox", "", {16, 8, 105, 12}, "pnBar"},
            {"pbPtr", L"TMousePaintBox", "", {11, 23, 294, 25}, "pnBar"},
            {"pbBar", L"TPaintBox", "", {16, 48, 271, 26}, "pnBar"},
            {"cbWrap", L"Button", "両端を一致(&W)", {312, 24, 97, 17}, "pnBar"},
            {"btReverse", L"Button", "逆転(&R)", {312, 48, 57, 25}, "pnBar"},
            {"btSelect", L"Button", "&S", {424, 8, 17, 17}, "pnBar"},
            {"btOK", L"Button", "OK", {432, 32, 73, 25}, nullptr},
            {"btCancel", L"Button", "キャンセル", {432, 80, 73, 25}, nullptr},
        };
        for (const auto& c : controls) {
            const HWND control = Named(dialog, c.Name);
            if (control == nullptr) {
                continue;
            }
            EXPECT_EQ(ClassOf(control), c.Kind) << c.Name;
            EXPECT_EQ(TextOf(control), c.Caption) << c.Name;
            const HWND parent = c.Parent != nullptr ? Named(dialog, c.Parent) : dialog;
            EXPECT_EQ(GetParent(control), parent) << c.Name;
            Rect place = PlaceOf(control);
            if (c.Place.Width == 0) { // a label as wide and high as its text
                EXPECT_GT(place.Width, 0) << c.Name;
                EXPECT_GE(place.Height, 12) << c.Name;
                place.Width = place.Height = 0;
            }
            EXPECT_EQ(place, c.Place) << c.Name;
        }
        // Styles that make the kinds: owner-drawn list, buddies, toggles, defaults.
        const HWND kinds = Named(dialog, "cbKind");
        EXPECT_NE(GetWindowLongPtrW(kinds, GWL_STYLE) & CBS_OWNERDRAWFIXED, 0);
        EXPECT_EQ(SendMessageW(kinds, CB_GETCOUNT, 0, 0), 4);
        wchar_t item[16] = {};
        SendMessageW(kinds, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(win32ui::Narrow(item), "四角形");
        EXPECT_EQ(SendMessageW(kinds, CB_GETITEMHEIGHT, 0, 0), 14);
        EXPECT_EQ(SendMessageW(kinds, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendMessageW(Named(dialog, "edAngle"), EM_GETLIMITTEXT, 0, 0), 3);
        EXPECT_EQ(SendMessageW(Named(dialog, "edX"), EM_GETLIMITTEXT, 0, 0), 4);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(Named(dialog, "udY"), UDM_GETBUDDY, 0, 0)),
                  Named(dialog, "edY"));
        EXPECT_EQ(SendMessageW(Named(dialog, "btHdl"), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(GetWindowLongPtrW(Named(dialog, "btHdl"), GWL_STYLE) & BS_PUSHLIKE, BS_PUSHLIKE);
        EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDOK);
        EXPECT_EQ(GetDlgCtrlID(Named(dialog, "btCancel")), IDCANCEL);
        // The platform's own font family for the dialog's face where it has one.
        const auto font = reinterpret_cast<HFONT>(SendMessageW(kinds, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW look = {};
        GetObjectW(font, sizeof look, &look);
        EXPECT_EQ(look.lfHeight, -12);
        EXPECT_EQ(look.lfCharSet, SHIFTJIS_CHARSET);
        // Tab order, skipping what is disabled (the centre for a linear kind).
        EXPECT_EQ(GetFocus(), kinds);
        HWND at = kinds;
        for (const char* next :
             {"edAngle", "pbPtr", "cbWrap", "btReverse", "btOK", "btCancel", "cbKind"}) {
            at = GetNextDlgTabItem(dialog, at, FALSE);
            EXPECT_EQ(at, Named(dialog, next)) << next;
        }
        PostAltKey(L'a'); // a label's accelerator focuses its field
    });
    e.Script.When(
        "Alt+A focuses the angle",
        [&] { return GetFocus() == FindControl(GetActiveWindow(), "edAngle"); },
        [] { PostKey(VK_ESCAPE); });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
}

TEST(GradDialogWindow, StripClicksAndDragsAddMoveAndDeleteStops) {
    GradientEditor e("0,0,0,0,0,,0000000000,3200FF0000,6400FFFFFF");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        const HWND strip = Named(dialog, "pbPtr");
        SendClick(strip, 90, 20); // Round(85 / 2.7) = 31
        EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 31, 50, 100}));

        // Pulled off the strip, the handle disappears at once, its number with
        // it; let go there, it goes.
        const POINT handle = OnHandle(50);
        const auto numberShows = [strip] {
            for (int y = 0; y < kStripLabelHeight; ++y) {
                for (int x = StopPixel(50); x < StopPixel(50) + 12; ++x) {
                    if (PixelOf(strip, x, y) == GetSysColor(COLOR_BTNTEXT)) {
                        return true;
                    }
                }
            }
            return false;
        };
        EXPECT_EQ(PixelOf(strip, handle.x, 17), kBlue);
        EXPECT_TRUE(numberShows());
        SendMouse(strip, WM_LBUTTONDOWN, handle.x, handle.y, MK_LBUTTON);
        EXPECT_EQ(GetCapture(), strip);
        SendMouse(strip, WM_MOUSEMOVE, handle.x, -6, MK_LBUTTON);
        EXPECT_NE(PixelOf(strip, handle.x, 17), kBlue);
        EXPECT_FALSE(numberShows()) << "the stop's number goes with its handle";
        SendMouse(strip, WM_LBUTTONUP, handle.x, -6);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 31, 100}));

        // A drag moves a stop; the bar follows at the release.
        const POINT moved = OnHandle(31);
        SendMouse(strip, WM_LBUTTONDOWN, moved.x, moved.y, MK_LBUTTON);
        SendMouse(strip, WM_MOUSEMOVE, 5 + 108, moved.y, MK_LBUTTON); // Round(108 / 2.7) = 40
        SendMouse(strip, WM_LBUTTONUP, 5 + 108, moved.y);
        EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 40, 100}));
        FocusControl(dialog, Named(dialog, "edAngle"));
        PostKey(VK_RETURN); // Enter in a field gives OK
    });
    EXPECT_TRUE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
    // The stop moved is the one the click added, in the colour the bar had there.
    EXPECT_EQ(e.Gradient.SaveToText(), "0,0,0,0,0,,0000000000,28009E0000,6400FFFFFF");
}

// The platform sends the second press of a double-click as WM_LBUTTONDBLCLK;
// the colour dialog opens once, for the stop, after the second release.
TEST(GradDialogWindow, ADoubleClickOnAHandleOpensTheColourDialogOnce) {
    GradientEditor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    e.Prompts->ColorAnswers = {kWhite, kWhite};
    HWND strip = nullptr;
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        strip = Named(dialog, "pbPtr");
        // A real double-click from the pointer: the class asks for double-clicks.
        RECT box = {};
        GetWindowRect(strip, &box);
        const POINT handle = OnHandle(50);
        SetCursorPos(box.left + handle.x, box.top + handle.y);
        INPUT clicks[4] = {};
        const DWORD buttons[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                                 MOUSEEVENTF_LEFTUP};
        for (int i = 0; i < 4; ++i) {
            clicks[i].type = INPUT_MOUSE;
            clicks[i].mi.dwFlags = buttons[i];
        }
        SendInput(4, clicks, sizeof(INPUT));
    });
    e.Script.When(
        "the colour dialog is asked for", [&] { return e.Prompts->ColorInitials.size() == 1; },
        [&] {
            EXPECT_EQ(e.Prompts->ColorInitials, (std::vector<TColor>{kBlue}));
            EXPECT_EQ(Colors(e.Gradient), (std::vector<TColor>{kRed, kWhite, kGreen}));
        });
    // Everything the double-click posted has been handled by the next step.
    e.Script.When(
        "the double-click's messages are handled", [] { return true; },
        [&] {
            EXPECT_EQ(e.Prompts->ColorAnswers.size(), 1u);
            // A double-click on the empty strip opens nothing (it adds a stop).
            SendMouse(strip, WM_LBUTTONDOWN, 200, 20, MK_LBUTTON);
            SendMouse(strip, WM_LBUTTONUP, 200, 20);
            SendMouse(strip, WM_LBUTTONDBLCLK, 200, 20, MK_LBUTTON);
            SendMouse(strip, WM_LBUTTONUP, 200, 20);
        });
    e.Script.When(
        "the second double-click's messages are handled", [] { return true; },
        [&] {
            EXPECT_EQ(e.Prompts->ColorInitials.size(), 1u);
            EXPECT_EQ(e.Gradient.Count(), 4);
            Close(GetParent(GetParent(strip)), IDOK);
        });
    EXPECT_TRUE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
}

TEST(GradDialogWindow, TheStopMenuShowsTheLogicsEntriesAndRunsTheChoice) {
    GradientEditor e("0,0,0,0,0,,00000000FF,0A00FF0000,0B0000FF00,6400FFFFFF"); // 0, 10, 11, 100
    HWND dialog = nullptr;
    HWND strip = nullptr;
    e.Script.OnDialog(kGradDlgClass, [&](HWND shown) {
        dialog = shown;
        strip = Named(dialog, "pbPtr");
        const POINT handle = OnHandle(11); // the handle of 11 lies over the one of 10
        SendMouse(strip, WM_RBUTTONDOWN, handle.x, handle.y, MK_RBUTTON);
        PostMessageW(strip, WM_RBUTTONUP, 0, MAKELPARAM(handle.x, handle.y));
    });
    e.Script.OnMenu("the stop menu of a right-click", [&](HWND menuWindow, HMENU menu) {
        ASSERT_EQ(GetMenuItemCount(menu), 7);
        EXPECT_EQ(ItemText(menu, 0), "色変更(&O)...");
        EXPECT_EQ(ItemText(menu, 6), "均等に配置(&E)");
        EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
        EXPECT_TRUE(ItemEnabled(menu, 1)); // 位置指定: an interior stop
        EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
        EXPECT_FALSE(ItemEnabled(menu, 4)); // 色貼り付け: nothing copied yet
        // Shown at the pointer.
        RECT shown = {};
        GetWindowRect(menuWindow, &shown);
        POINT at = OnHandle(11);
        ClientToScreen(strip, &at);
        EXPECT_EQ(shown.left, at.x);
        EXPECT_EQ(shown.top, at.y);
        PostMessageW(menuWindow, WM_CHAR, L'c', 1); // 色コピー
    });
    e.Script.When(
        "the menu is closed", [] { return ShownMenu() == nullptr; },
        [&] {
            const POINT first = OnHandle(0);
            SendMouse(strip, WM_RBUTTONDOWN, first.x, first.y, MK_RBUTTON);
            PostMessageW(strip, WM_RBUTTONUP, 0, MAKELPARAM(first.x, first.y));
        });
    e.Script.OnMenu("the stop menu on the first stop", [](HWND menuWindow, HMENU menu) {
        EXPECT_FALSE(ItemEnabled(menu, 1)); // an end stop cannot be positioned
        EXPECT_TRUE(ItemEnabled(menu, 4));
        PostMessageW(menuWindow, WM_CHAR, L'p', 1); // 色貼り付け
    });
    e.Script.When(
        "the colour is pasted", [&] { return e.Gradient.GetColor(0) == kGreen; },
        [&] { PostAltKey(L's'); });
    // Alt+S: the keyboard's menu, over the first stop, with the entries to move on.
    e.Script.OnMenu("the stop menu from the keyboard", [&](HWND menuWindow, HMENU menu) {
        EXPECT_EQ(GetMenuItemCount(menu), 10);
        EXPECT_EQ(ItemText(menu, 8), "次を選択(&S)");
        RECT shown = {};
        GetWindowRect(menuWindow, &shown);
        POINT at = {5, 13};
        ClientToScreen(strip, &at);
        EXPECT_EQ(shown.left, at.x);
        EXPECT_EQ(shown.top, at.y);
        PostMessageW(menuWindow, WM_CHAR, L's', 1); // 次を選択
    });
    e.Script.OnMenu("the stop menu over the next stop", [](HWND menuWindow, HMENU) {
        PostMessageW(menuWindow, WM_CHAR, L'a', 1); // 次に追加: between 10 and 11
    });
    e.Script.When(
        "the stop is added", [&] { return e.Gradient.Count() == 5; }, [&] { PostKey(VK_ESCAPE); });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
    EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 10, 10, 11, 100}));
    EXPECT_EQ(Colors(e.Gradient)[0], kGreen);
}

TEST(GradDialogWindow, KindListArrowsAndFieldsReachTheGradient) {
    GradientEditor e("0,45,0,0,0,,00000000FF,0A00FF0000,140000FF00,1E00FFFFFF,6400000000");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        const HWND kinds = Named(dialog, "cbKind");
        const HWND angle = Named(dialog, "edAngle");
        const HWND arrows = Named(dialog, "udAngle");
        FocusControl(dialog, kinds);
        SendMessageW(kinds, WM_KEYDOWN, VK_END, 1);
        EXPECT_EQ(e.Gradient.Kind, gkQuad);
        EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 33, 67, 100}));
        EXPECT_EQ(TextOf(angle), "0");
        SendMouse(arrows, WM_LBUTTONDOWN, 8, 17, MK_LBUTTON); // the down arrow
        SendMouse(arrows, WM_LBUTTONUP, 8, 17);
        EXPECT_EQ(TextOf(angle), "270");
        EXPECT_EQ(e.Gradient.Angle, 270);
        SendMessageW(kinds, WM_KEYDOWN, VK_HOME, 1);
        EXPECT_EQ(e.Gradient.Kind, gkLinear);

        // Typed: only digits take.
        FocusControl(dialog, angle);
        SendMessageW(angle, EM_SETSEL, 0, -1);
        for (const wchar_t c : std::wstring(L"1a-2")) {
            SendMessageW(angle, WM_CHAR, c, 1);
        }
        EXPECT_EQ(TextOf(angle), "12");
        EXPECT_EQ(e.Gradient.Angle, 12);
        SendMessageW(angle, EM_SETSEL, 0, -1);
        for (const wchar_t c : std::wstring(L"500")) {
            SendMessageW(angle, WM_CHAR, c, 1);
        }
        EXPECT_EQ(TextOf(angle), "359");
        SendMessageW(angle, WM_KEYDOWN, VK_UP, 1); // the buddy's arrow keys step, wrapping
        EXPECT_EQ(TextOf(angle), "0");
        SendMessageW(angle, WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(e.Gradient.Angle, 359);
        // Full-width digits from an input method, and kana, are refused.
        for (const wchar_t* composed : {L"\xFF14\xFF15", L"\x3042"}) {
            SendMessageW(angle, EM_SETSEL, 0, -1);
            SendMessageW(angle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(composed));
            EXPECT_EQ(TextOf(angle), "359");
        }
        EXPECT_EQ(e.Gradient.Angle, 359);
        PostKey(VK_ESCAPE);
    });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
}

TEST(GradDialogWindow, PastedCentresAndPreviewDragsMoveTheCentre) {
    GradientEditor e("1,0,0,0,1,,00000000FF,6400FF0000");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        const HWND x = Named(dialog, "edX");
        const auto paste = [x](const wchar_t* text) {
            ASSERT_TRUE(OpenClipboard(x));
            EmptyClipboard();
            const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
            const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
            memcpy(GlobalLock(memory), text, bytes);
            GlobalUnlock(memory);
            SetClipboardData(CF_UNICODETEXT, memory);
            CloseClipboard();
            SendMessageW(x, EM_SETSEL, 0, -1);
            SendMessageW(x, WM_PASTE, 0, 0);
        };
        paste(L"1e2");
        EXPECT_EQ(TextOf(x), "0");
        paste(L"-50");
        EXPECT_EQ(TextOf(x), "-50");
        EXPECT_EQ(e.Gradient.CenterX, -50);
        EXPECT_TRUE(IsWindowEnabled(Named(dialog, "cbNormal")));
        paste(L"0");

        const HWND preview = Named(dialog, "pbGrad");
        SendMouse(preview, WM_LBUTTONDOWN, 121, 119, MK_LBUTTON);
        SendMouse(preview, WM_MOUSEMOVE, 150, 100, MK_LBUTTON);
        SendMouse(preview, WM_MOUSEMOVE, 180, 60, MK_LBUTTON);
        SendMouse(preview, WM_LBUTTONUP, 180, 60);
        EXPECT_EQ(e.Gradient.CenterX, 50);
        EXPECT_EQ(e.Gradient.CenterY, -50);
        EXPECT_EQ(TextOf(x), "50");
        EXPECT_EQ(TextOf(Named(dialog, "edY")), "-50");
        // With the centre outside, normalising disables the angle.
        EXPECT_TRUE(IsWindowEnabled(Named(dialog, "cbNormal")));
        EXPECT_FALSE(IsWindowEnabled(Named(dialog, "edAngle")));
        EXPECT_FALSE(IsWindowEnabled(Named(dialog, "lbAngle")));
        SendMessageW(Named(dialog, "cbNormal"), BM_CLICK, 0, 0);
        EXPECT_FALSE(e.Gradient.Normalize);
        EXPECT_TRUE(IsWindowEnabled(Named(dialog, "edAngle")));
        Close(dialog, IDOK);
    });
    EXPECT_TRUE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
    EXPECT_EQ(e.Gradient.SaveToText(), "1,0,50,-50,0,,00000000FF,6400FF0000");
}

TEST(GradDialogWindow, PaintsTheLogicsPictures) {
    GradientEditor e("0,0,0,0,0,,0000000000,6400FFFFFF");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        const HWND preview = Named(dialog, "pbGrad");
        // The angle handle at Q = (170, 120): white inside, black outline.
        EXPECT_EQ(PixelOf(preview, 169, 119), kWhite);
        EXPECT_EQ(PixelOf(preview, 167, 119), 0u);
        EXPECT_EQ(PixelOf(preview, 59, 70), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(PixelOf(preview, 180, 70), kWhite);
        // The lowered frame round it shows above and to the right of it.
        const HWND pane = Named(dialog, "pnGrad");
        EXPECT_EQ(PixelOf(pane, 100, 8), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(PixelOf(pane, 248, 100), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(PixelOf(pane, 100, 200), PixelOf(preview, 92, 191));
        SendMessageW(Named(dialog, "btHdl"), BM_CLICK, 0, 0);
        EXPECT_EQ(PixelOf(preview, 169, 119), PixelOf(preview, 169, 110));
        const HWND bar = Named(dialog, "pbBar");
        EXPECT_EQ(PixelOf(bar, 0, 10), 0u);
        EXPECT_EQ(PixelOf(bar, 270, 10), kWhite);
        // A disabled field (the centre of a linear kind) shows the face colour.
        const auto inside = [](HWND field) {
            RECT r = {};
            GetClientRect(field, &r);
            return PixelOf(field, r.right - 3, r.bottom / 2);
        };
        EXPECT_EQ(inside(Named(dialog, "edX")), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(inside(Named(dialog, "edAngle")), GetSysColor(COLOR_WINDOW));
        // The positions are written over the handles.
        const HWND strip = Named(dialog, "pbPtr");
        int dark = 0;
        for (int y = 0; y < kStripLabelHeight; ++y) {
            for (int x = 0; x < 30; ++x) {
                dark += PixelOf(strip, x, y) == 0;
            }
        }
        EXPECT_GT(dark, 5);
        Close(dialog, IDCANCEL);
    });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
}

TEST(GradDialogWindow, EnterPressesTheFocusedButtonElseOkAndEscapeCancels) {
    testing::ScriptedPrompts prompts;
    TGrad gradient;
    gradient.LoadFromText("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    const auto run = [&](const char* focus) {
        DialogScript script;
        bool openAfterReverse = false;
        const int reversed = 100 - gradient.GetPos(1);
        script.OnDialog(kGradDlgClass, [&](HWND dialog) {
            FocusControl(dialog, Named(dialog, "btReverse"));
            PostKey(VK_RETURN);
        });
        script.When(
            "the stops are reversed", [&] { return gradient.GetPos(1) == reversed; },
            [&] {
                const HWND dialog = ShownWindow(kGradDlgClass);
                openAfterReverse = dialog != nullptr;
                FocusControl(dialog, Named(dialog, focus));
                PostKey(VK_RETURN);
            });
        const bool ok = ModalDialogs(nullptr, prompts).Dialogs.EditGradient(gradient);
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(openAfterReverse);
        return ok;
    };
    EXPECT_TRUE(run("edAngle"));
    EXPECT_FALSE(run("btCancel")); // Cancel keeps the edits: reversed twice
    EXPECT_EQ(Positions(gradient), (std::vector<int>{0, 30, 100}));
    EXPECT_TRUE(run("cbWrap"));
    EXPECT_EQ(gradient.SaveToText(), "0,0,0,0,0,,000000FF00,4600FF0000,64000000FF");
}

// Keys typed for real reach the dialog through its modal loop: Tab onto the
// handle strip and its keys, and Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z wherever
// the focus is, an edit's own undo included.
TEST(GradDialogWindow, RealKeysReachTheStripAndUndoWhereverTheFocusIs) {
    GradientEditor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    using Ints = std::vector<int>;
    HWND strip = nullptr;
    HWND angle = nullptr;
    const auto stopsAre = [&e](Ints stops) {
        return [&e, stops] { return Positions(e.Gradient) == stops; };
    };
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        e.Dialog = dialog;
        strip = Named(dialog, "pbPtr");
        angle = Named(dialog, "edAngle");
        FocusControl(dialog, angle);
        Type({VK_TAB}); // past the centre's fields, off for this kind
    });
    e.Script.When(
        "Tab reached the strip", [&] { return GetFocus() == strip; },
        [&] {
            e.Prompts->ColorAnswers = {kWhite};
            Type({VK_RIGHT});
            Type({VK_SHIFT, VK_RIGHT});
            Type({VK_RETURN});
        });
    e.Script.When(
        "Enter recoloured the stop moved", [&] { return Colors(e.Gradient)[1] == kWhite; },
        [&] {
            EXPECT_EQ(Positions(e.Gradient), (Ints{0, 51, 100}));
            EXPECT_EQ(PixelOf(strip, StopPixel(51) - 2, 19), SystemColor(kColorWindowText))
                << "the focus frame";
            EXPECT_TRUE(IsWindowVisible(e.Dialog)) << "Enter on the strip is the strip's";
            Type({VK_DELETE});
        });
    e.Script.When("Delete removed it", stopsAre({0, 100}), [] { Type({VK_CONTROL, 'Z'}); });
    e.Script.When(
        "Ctrl+Z on the strip brought it back", [&] { return Positions(e.Gradient).size() == 3; },
        [&] {
            FocusControl(e.Dialog, angle);
            Type({VK_CONTROL, 'Z'});
            Type({VK_CONTROL, 'Z'});
        });
    e.Script.When("Ctrl+Z in the field undid the colour and the move", stopsAre({0, 50, 100}), [] {
        Type({VK_CONTROL, 'Y'});
    });
    e.Script.When("Ctrl+Y redid the move", stopsAre({0, 51, 100}), [] {
        Type({VK_CONTROL, VK_SHIFT, 'Z'});
    });
    e.Script.When(
        "Ctrl+Shift+Z redid the colour", [&] { return Colors(e.Gradient)[1] == kWhite; },
        [&] {
            EXPECT_EQ(TextOf(angle), "0") << "the field kept its text";
            Close(e.Dialog, IDOK);
        });
    EXPECT_TRUE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
    EXPECT_EQ(e.Gradient.SaveToText(), "0,0,0,0,0,,00000000FF,3300FFFFFF,640000FF00");
}

// The platform's colour dialog belongs to the gradient dialog, which stays
// disabled under it, and its answer reaches the stop.
TEST(GradDialogWindow, ThePlatformsColourDialogBelongsToTheDialog) {
    Win32Prompts prompts;
    TGrad gradient;
    gradient.LoadFromText("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    DialogScript script;
    HWND dialog = nullptr;
    script.OnDialog(kGradDlgClass, [&](HWND shown) {
        dialog = shown;
        const HWND strip = Named(dialog, "pbPtr");
        const POINT handle = OnHandle(50);
        SendMouse(strip, WM_RBUTTONDOWN, handle.x, handle.y, MK_RBUTTON);
        PostMessageW(strip, WM_RBUTTONUP, 0, MAKELPARAM(handle.x, handle.y));
    });
    script.OnMenu("the stop menu", [](HWND menuWindow, HMENU) {
        PostMessageW(menuWindow, WM_CHAR, L'o', 1); // 色変更
    });
    script.When(
        "the colour dialog shows", [] { return ShownWindow(L"#32770") != nullptr; },
        [&] {
            const HWND colours = ShownWindow(L"#32770");
            EXPECT_EQ(GetWindow(colours, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog));
            // Red, green and blue typed into the dialog's own fields.
            SetDlgItemInt(colours, 706, 12, FALSE);
            SetDlgItemInt(colours, 707, 34, FALSE);
            SetDlgItemInt(colours, 708, 56, FALSE);
            PostMessageW(colours, WM_COMMAND, IDOK, 0);
        });
    script.When(
        "the colour reaches the stop", [&] { return gradient.GetColor(1) != kBlue; },
        [&] {
            EXPECT_TRUE(IsWindowEnabled(dialog));
            Close(dialog, IDOK);
        });
    const bool ok = ModalDialogs(nullptr, prompts).Dialogs.EditGradient(gradient);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(gradient.GetColor(1), Rgb(12, 34, 56));
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// A closed dialog leaves no window, window class or font of its own behind,
// also after its menus and pictures were used (resources_test counts every
// object the module makes, this dialog's included).
TEST(GradDialogWindow, ReleasesEverythingItMadeWhenItCloses) {
    const int windowsBefore = ThreadWindowCount();
    GradientEditor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    HFONT font = nullptr;
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        font = reinterpret_cast<HFONT>(SendMessageW(Named(dialog, "btOK"), WM_GETFONT, 0, 0));
        EXPECT_NE(GetObjectType(font), 0u);
        const POINT handle = OnHandle(50);
        SendMouse(Named(dialog, "pbPtr"), WM_RBUTTONDOWN, handle.x, handle.y, MK_RBUTTON);
        PostMessageW(Named(dialog, "pbPtr"), WM_RBUTTONUP, 0, MAKELPARAM(handle.x, handle.y));
    });
    e.Script.OnMenu("the stop menu", [](HWND, HMENU) { EndMenu(); });
    e.Script.When(
        "the menu is closed", [] { return ShownMenu() == nullptr; }, [] { PostKey(VK_ESCAPE); });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
    EXPECT_EQ(GetObjectType(font), 0u);
    WNDCLASSEXW dialogClass = {};
    dialogClass.cbSize = sizeof dialogClass;
    EXPECT_FALSE(GetClassInfoExW(win32ui::ModuleInstance(), kGradDlgClass, &dialogClass));
}

} // namespace
} // namespace pelmora::uitest

namespace pelmora::uitest {
namespace {

// Whether the S of the bar's caption "カラーリスト(&S)" shows its underline: a
// row of the caption's box in the text colour under the whole letter.
bool CaptionUnderlinesItsS(HWND dialog) {
    const HWND caption = Named(dialog, "pbLabel");
    const auto font =
        reinterpret_cast<HFONT>(SendMessageW(Named(dialog, "btOK"), WM_GETFONT, 0, 0));
    const HDC dc = GetDC(caption);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE before = {};
    SIZE letter = {};
    GetTextExtentPoint32W(dc, L"カラーリスト(", 7, &before);
    GetTextExtentPoint32W(dc, L"S", 1, &letter);
    SelectObject(dc, old);
    ReleaseDC(caption, dc);
    RECT box = {};
    GetClientRect(caption, &box);
    for (int y = 0; y < box.bottom; ++y) {
        bool line = true;
        for (int x = before.cx; x < before.cx + letter.cx - 1 && line; ++x) {
            line = PixelOf(caption, x, y) == GetSysColor(COLOR_BTNTEXT);
        }
        if (line) {
            return true;
        }
    }
    return false;
}

// In a DPI-aware process the dialog's places, font and pictures follow the
// window's DPI, and the mouse still meets the logic in 96-dpi pixels. At 96
// dpi this is the plain dialog; scripts/windows also runs it at 144 dpi.
TEST(DialogsAtTheWindowsDpi, PlacesFontPicturesAndThePointerScale) {
    SetProcessDPIAware();
    GradientEditor e("0,0,0,0,0,,0000000000,3200FF0000,6400FFFFFF");
    e.Script.OnDialog(kGradDlgClass, [&](HWND dialog) {
        const Scale scale(win32ui::WindowDpi(dialog));
        std::printf("dialogs at %d dpi\n", scale.Dpi());
        RECT client = {};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, scale(514));
        EXPECT_EQ(client.bottom, scale(338));
        EXPECT_EQ(PlaceOf(Named(dialog, "pbPtr")),
                  (Rect{scale(11), scale(23), scale(294), scale(25)}));
        EXPECT_EQ(PlaceOf(Named(dialog, "edAngle")),
                  (Rect{scale(328), scale(64), scale(33), scale(20)}));
        EXPECT_EQ(PlaceOf(Named(dialog, "cbKind")).Height, scale(20));
        // The open kind list shows all four kinds, whole, without scrolling.
        const HWND kinds = Named(dialog, "cbKind");
        SendMessageW(kinds, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO combo = {};
        combo.cbSize = sizeof combo;
        ASSERT_TRUE(GetComboBoxInfo(kinds, &combo));
        RECT shown = {};
        GetClientRect(combo.hwndList, &shown);
        RECT last = {};
        SendMessageW(combo.hwndList, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&last));
        EXPECT_EQ(SendMessageW(combo.hwndList, LB_GETTOPINDEX, 0, 0), 0);
        EXPECT_LE(last.bottom, shown.bottom) << "四角形 in view";
        EXPECT_EQ(GetWindowLongPtrW(combo.hwndList, GWL_STYLE) & WS_VSCROLL, 0) << "no scroll bar";
        SendMessageW(kinds, CB_SHOWDROPDOWN, FALSE, 0);
        EXPECT_TRUE(CaptionUnderlinesItsS(dialog));
        LOGFONTW look = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Named(dialog, "btOK"), WM_GETFONT, 0, 0)),
                   sizeof look, &look);
        EXPECT_EQ(look.lfHeight, -scale(12));
        // Each picture pixel a block of the screen's: the angle handle's white.
        const HWND preview = Named(dialog, "pbGrad");
        EXPECT_EQ(PixelOf(preview, scale(169), scale(119)), kWhite);
        EXPECT_EQ(PixelOf(preview, scale(167), scale(119)), 0u);
        SendClick(Named(dialog, "pbPtr"), scale(90), scale(20));
        EXPECT_EQ(Positions(e.Gradient), (std::vector<int>{0, 31, 50, 100}));
        PostKey(VK_ESCAPE);
    });
    EXPECT_FALSE(e.Run());
    EXPECT_TRUE(e.Script.Finished());
}

} // namespace
} // namespace pelmora::uitest
