// Keys typed while one of the editor's menus is open belong to the menu
// alone: real keyboard input through the system's input path (SendInput),
// with the menu's own modal loop running inside the launcher's.
#include "DialogScript.h"
#include "EditorFixture.h"
#include "RealKeys.h"

#include <initializer_list>
#include <vector>

namespace pelmora::uitest {
namespace {

bool InMenuMode() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) &&
           (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

// The highlighted entry of a menu, -1 when none is.
int Highlighted(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) != 0) {
            return i;
        }
    }
    return -1;
}

class MenuKeys : public EditorUiTest {
protected:
    // The editor in front, where the keyboard's input goes; a question the
    // tests do not expect is answered with Cancel and reported.
    void OpenInFront(const std::string& settings) {
        OpenEditor(settings);
        Answers();
        SetForegroundWindow(form_);
        ASSERT_TRUE(
            PumpUntil([this] { return GetForegroundWindow() == form_; }, "the editor in front"));
    }
    HMENU MenuOfBar(int position) { return GetSubMenu(GetMenu(form_), position); }

    // Types `opener`, then runs `script` (the keys typed in the menu) from
    // inside the menu's loop until the menu mode is over.
    void TypeWithMenu(std::initializer_list<WORD> opener, const DialogScript& script) {
        Type(opener);
        EXPECT_TRUE(
            PumpUntil([&] { return script.Finished() && !InMenuMode(); }, "the menu closed again"));
        EXPECT_TRUE(script.Finished());
        PumpPending();
        EXPECT_TRUE(Answers().Problems().empty()) << Answers().Problems().front();
    }
};

// Esc closes the open menu, Esc again leaves the menu bar.
void LeaveMenus() {
    Type({VK_ESCAPE});
    Type({VK_ESCAPE});
}

TEST_F(MenuKeys, AltLetterOpensItsMenuAndCommitsNothing) {
    OpenInFront(SettingsWithPatterns({"A"}));
    Command(EditItem::mnNew);
    const struct {
        WORD Letter;
        int Menu;
    } cases[] = {{'F', kFileMenu}, {'E', kEditMenu}, {'P', kPatternMenu}, {'R', kPartsMenu}};
    for (const auto& c : cases) {
        HMENU shown = nullptr;
        DialogScript script;
        script.OnMenu("the menu of Alt+letter", [&](HWND, HMENU menu) {
            shown = menu;
            LeaveMenus();
        });
        TypeWithMenu({VK_MENU, c.Letter}, script);
        EXPECT_EQ(shown, MenuOfBar(c.Menu)) << "Alt+" << static_cast<char>(c.Letter);
        ASSERT_FALSE(EditorGone()) << "Alt+" << static_cast<char>(c.Letter);
    }
    // The new pattern is still the editor's own: OK was never run.
    ASSERT_EQ(End(), -1);
    EXPECT_EQ(FromSjis(ReadBytes(settings_)).find("新規パターン"), std::string::npos);
}

TEST_F(MenuKeys, EnterRunsTheHighlightedEntryNotOk) {
    OpenInFront(SettingsWithPatterns({"A"}));
    DialogScript script;
    script.OnMenu("the Pattern menu", [&](HWND, HMENU menu) {
        EXPECT_EQ(Highlighted(menu), 0) << "新規作成(&N)";
        Type({VK_RETURN});
    });
    TypeWithMenu({VK_MENU, 'P'}, script);
    ASSERT_FALSE(EditorGone());
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"A", "新規パターン"}));
}

// The README's keyboard route to 仮適用の取り消し(&D), whose letter 削除(&D)
// has first: Alt+P, ↑ to the menu's last entry, Enter.
TEST_F(MenuKeys, AltPUpEnterUndoesATrial) {
    Host().Pads[kPad + UiHostState::kPadIdOffset]["WallPaper"] = "before.bmp";
    OpenInFront(SettingsWithPatterns({"A"}));
    Command(EditItem::mnPad);
    ASSERT_NE(PadSetting(kPad, "WallPaper"), "before.bmp");
    HMENU patterns = nullptr;
    DialogScript script;
    script.OnMenu("the Pattern menu", [&](HWND, HMENU menu) {
        patterns = menu;
        Type({VK_UP});
    });
    script.When(
        "仮適用の取り消し highlighted",
        [&] { return Highlighted(patterns) == GetMenuItemCount(patterns) - 1; },
        [] { Type({VK_RETURN}); });
    TypeWithMenu({VK_MENU, 'P'}, script);
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), "before.bmp");
    EXPECT_EQ(PatternRows(), std::vector<std::string>{"A"});
}

// A part added from the keyboard (Alt+R, N, I) is described at once, though
// the menu's closing told the bar that no item is highlighted any more.
TEST_F(MenuKeys, APartAddedFromTheKeyboardIsDescribed) {
    OpenInFront(SettingsWithPatterns({"A"}));
    DialogScript script;
    script.OnMenu("the Parts menu", [](HWND, HMENU) {
        Type({'N'});
        Type({'I'});
    });
    TypeWithMenu({VK_MENU, 'R'}, script);
    ASSERT_EQ(PartCount(), 2);
    EXPECT_EQ(CurrentPart(), 1);
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域   描画色：無効");
}

// The wallpaper-file choice's letter, typed in the Pattern menu, turns it.
TEST_F(MenuKeys, AltPWTurnsTheWallpaperFileChoice) {
    OpenInFront(SettingsWithPatterns({"A"}));
    ASSERT_FALSE(MenuChecked(EditItem::mnPerPadFile));
    DialogScript script;
    script.OnMenu("the Pattern menu", [](HWND, HMENU) { Type({'W'}); });
    TypeWithMenu({VK_MENU, 'P'}, script);
    EXPECT_TRUE(MenuChecked(EditItem::mnPerPadFile));
    EXPECT_EQ(PatternRows(), std::vector<std::string>{"A"});
}

TEST_F(MenuKeys, EscClosesTheMenuNotTheEditor) {
    OpenInFront(SettingsWithPatterns({"A"}));
    // An edited pattern list: Cancel would ask before closing.
    Command(EditItem::mnNew);
    DialogScript script;
    script.OnMenu("the File menu", [](HWND, HMENU) { LeaveMenus(); });
    TypeWithMenu({VK_MENU, 'F'}, script);
    ASSERT_FALSE(EditorGone());
    EXPECT_EQ(PatternRows().size(), 2u);
}

TEST_F(MenuKeys, ArrowsMoveInTheMenuAloneNotTheFocusedControl) {
    OpenInFront(SettingsWithPatterns({"A"}));
    const HWND lumi = Control("tbLumi");
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(lumi), TRUE);
    ASSERT_EQ(GetFocus(), lumi);
    HMENU patterns = nullptr;
    DialogScript script;
    // Down to 名前変更 past the separator, up again to 複製作成.
    script.OnMenu("the Pattern menu", [&](HWND, HMENU menu) {
        patterns = menu;
        Type({VK_DOWN});
        Type({VK_DOWN});
    });
    script.When(
        "名前変更 highlighted", [&] { return Highlighted(patterns) == 3; }, [] { Type({VK_UP}); });
    script.When(
        "複製作成 highlighted", [&] { return Highlighted(patterns) == 1; }, LeaveMenus);
    TypeWithMenu({VK_MENU, 'P'}, script);
    EXPECT_EQ(SendMessageW(lumi, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(GetFocus(), lumi);
    // Nothing was edited: Cancel closes without a question.
    Click(Control("btCamcel"));
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(Answers().Problems().empty());
}

} // namespace
} // namespace pelmora::uitest
