// The windows' forms as tables: what every table must hold, where the
// controls stand at any size, and the rules every window shares.
#include "logic/FineAdjustWindow.h"
#include "logic/Form.h"
#include "logic/FormWindow.h"
#include "logic/GradientDialogWindow.h"
#include "logic/InputBoxWindow.h"
#include "logic/PatternEditorView.h"
#include "logic/PatternEditorWindow.h"
#include "logic/RowDragGesture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pelmora {
namespace {

const FormTable* const kTables[] = {&PatternEditorWindow::Table(), &GradientDialogWindow::Table(),
                                    &FineAdjustWindow::Table(), &InputBoxWindow::Table()};

// Names unique, parents before their children and panels, buddies there, a
// label's mnemonic reaching its buddy as the next tab stop (as the platform's
// dialog manager walks it), ranges that hold their zero.
TEST(FormTables, AreWellFormed) {
    for (const FormTable* table : kTables) {
        SCOPED_TRACE(table->ClassName);
        std::set<std::string> seen;
        for (std::size_t i = 0; i < table->Controls.size(); ++i) {
            const FormControl& c = table->Controls[i];
            EXPECT_TRUE(seen.insert(c.Name).second) << c.Name << " twice";
            if (*c.Parent != '\0') {
                EXPECT_TRUE(seen.count(c.Parent)) << c.Name << " before its parent";
                EXPECT_EQ(table->Control(c.Parent).Kind, ControlKind::Panel) << c.Name;
            }
            if (c.Kind == ControlKind::Label && *c.Buddy != '\0') {
                const auto tabStops = table->TabOrder();
                const auto next =
                    std::find_if(tabStops.begin(), tabStops.end(),
                                 [&](const FormControl* t) { return table->IndexOf(t->Name) > i; });
                ASSERT_NE(next, tabStops.end()) << c.Name;
                EXPECT_STREQ((*next)->Name, c.Buddy) << c.Name << "'s mnemonic";
            }
            if (c.Kind == ControlKind::TrackBar) {
                EXPECT_LT(c.Min, 0) << c.Name;
                EXPECT_GT(c.Max, 0) << c.Name;
            }
        }
        EXPECT_FALSE(EnterPresses(*table, "").empty());
        EXPECT_FALSE(EscPresses(*table).empty());
    }
}

Rect96 At(const FormTable& table, const std::vector<Rect96>& rects, const char* name) {
    return rects[table.IndexOf(name)];
}

// The editor's layout as its documentation describes it, at its least size
// and larger: the bars at the bottom, the left column 150 wide with a 5-pixel
// border, the buttons at the right edge.
TEST(EditorLayout, FillsTheWindowAsDocumented) {
    const FormTable& table = PatternEditorWindow::Table();
    for (const Size96 client : {Size96{550, 400}, Size96{900, 700}}) {
        const std::vector<Rect96> r = ArrangeForm(table, client);
        SCOPED_TRACE(client.Width);
        EXPECT_EQ(At(table, r, "pnBottom"), (Rect96{0, client.Height - 40, client.Width, 40}));
        EXPECT_EQ(At(table, r, "StatusBar"), (Rect96{0, client.Height - 71, client.Width, 31}));
        EXPECT_EQ(At(table, r, "pnTop"), (Rect96{0, 0, client.Width, client.Height - 71}));
        EXPECT_EQ(At(table, r, "pnLeft"), (Rect96{1, 1, 150, client.Height - 73}));
        EXPECT_EQ(At(table, r, "lbPattern"), (Rect96{5, 5, 140, 20}));
        EXPECT_EQ(At(table, r, "PatternList"), (Rect96{5, 25, 140, client.Height - 73 - 30}));
        EXPECT_EQ(At(table, r, "btCamcel"), (Rect96{client.Width - 83, 7, 75, 25}));
        EXPECT_EQ(At(table, r, "btOK"), (Rect96{client.Width - 166, 7, 75, 25}));
        const Rect96 strip = At(table, r, "pnRBTop");
        EXPECT_EQ(strip.Height, 130);
        EXPECT_EQ(At(table, r, "bvInfo"), (Rect96{strip.Width - 2 - 185, 2, 185, 126}));
        EXPECT_EQ(At(table, r, "Splitter1").Top, 1 + 130);
        EXPECT_EQ(At(table, r, "pnAdjust").Width, 204);
    }
}

// The preview strip takes what the splitter asks, but neither pane gets lower
// than 100 pixels, nor the lower one lower than the colour group.
TEST(EditorLayout, TheSplitterKeepsBothPanesWhole) {
    const FormTable& table = PatternEditorWindow::Table();
    const struct {
        int Asked;
        int Strip;
    } cases[] = {{130, 130}, {10, 100}, {1000, 172}};
    for (const auto& c : cases) {
        LayoutInput input;
        input.AlignedSize = [&](const FormControl& control, int room) -> std::optional<int> {
            if (std::string_view(control.Name) != "pnRBTop") {
                return std::nullopt;
            }
            return std::max(std::min(c.Asked, room - 3 - 120), 100);
        };
        const std::vector<Rect96> r = ArrangeForm(table, {550, 400}, input);
        EXPECT_EQ(At(table, r, "pnRBTop").Height, c.Strip) << c.Asked;
        EXPECT_GE(At(table, r, "pnRBBottom").Height, 120) << c.Asked;
    }
}

TEST(FormRules, EnterPressesTheFocusedButtonElseTheDefault) {
    const FormTable& editor = PatternEditorWindow::Table();
    EXPECT_EQ(EnterPresses(editor, "btCamcel"), "btCamcel");
    EXPECT_EQ(EnterPresses(editor, "PatternList"), "btOK");
    const FormTable& grad = GradientDialogWindow::Table();
    EXPECT_EQ(EnterPresses(grad, "btReverse"), "btReverse");
    // A toggle is no push button: Enter there is OK.
    EXPECT_EQ(EnterPresses(grad, "btHdl"), "btOK");
    EXPECT_EQ(EscPresses(grad), "btCancel");
    EXPECT_EQ(EscPresses(FineAdjustWindow::Table()), "Cancel");
}

// "(&Ｌ)" and "(&Ｒ)" are full-width letters no keyboard types: Alt+L focuses
// the pattern list and Alt+R opens the Parts menu.
TEST(FormRules, FullWidthMnemonicsHavePlainLetterStandIns) {
    const std::vector<MnemonicStandIn> standIns = FullWidthMnemonics(PatternEditorWindow::Table());
    ASSERT_EQ(standIns.size(), 2u);
    EXPECT_EQ(standIns[0].Letter, 'L');
    EXPECT_EQ(standIns[0].Focus, "PatternList");
    EXPECT_EQ(standIns[1].Letter, 'R');
    EXPECT_EQ(standIns[1].Menu, "mnParts");
    EXPECT_TRUE(FullWidthMnemonics(GradientDialogWindow::Table()).empty());
    EXPECT_EQ(MnemonicLetter("部品(&Ｒ)"), 'R');
    EXPECT_EQ(MnemonicLetter("&X :"), 'X');
    EXPECT_EQ(MnemonicLetter("a && b"), std::nullopt);
    EXPECT_EQ(PlainCaption("逆転(&R)"), "逆転(R)");
    EXPECT_EQ(PlainCaption("a && b"), "a & b");
}

// No two shortcuts of the editor (its menus' and its window's own) and, menu
// by menu (the parts list's context menu too), no two mnemonics alike,
// but for the Pattern menu's 削除(&D) and 仮適用の取り消し(&D), whose letter
// the original gave to both.
TEST(EditorMenus, ShortcutsAndMnemonicsDoNotCollide) {
    std::set<std::string> shortcuts;
    std::map<std::string, std::map<char, std::vector<std::string>>> letters;
    for (const FormShortcut& key : EditShortcuts()) {
        EXPECT_TRUE(shortcuts.insert(key.Keys).second) << key.Keys << " twice";
    }
    for (const MenuLine& line : EditMenus()) {
        if (*line.Shortcut != '\0') {
            EXPECT_TRUE(shortcuts.insert(line.Shortcut).second) << line.Shortcut << " twice";
        }
        if (const std::optional<char> letter = MnemonicLetter(line.Caption)) {
            letters[line.Menu][*letter].push_back(line.Name);
        }
    }
    for (const auto& [menu, byLetter] : letters) {
        for (const auto& [letter, names] : byLetter) {
            const std::vector<std::string> known{"mnDelete", "mnUndo"};
            if (names.size() > 1) {
                EXPECT_EQ(names, known) << menu << ": " << letter;
            }
        }
    }
    EXPECT_EQ(letters["mnPattern"]['W'], std::vector<std::string>{"mnPerPadFile"});
}

// The wallpaper-file choice is a checked entry of the Pattern menu among the
// pad commands; 仮適用の取り消し stays the menu's last entry (Alt+P, ↑).
TEST(EditorMenus, TheWallpaperFileChoiceIsACheckedPatternEntry) {
    std::vector<std::string> pattern;
    const MenuLine* choice = nullptr;
    for (const MenuLine& line : EditMenus()) {
        if (std::string_view(line.Menu) == "mnPattern") {
            pattern.emplace_back(line.Name);
        }
        if (std::string_view(line.Name) == ItemName(EditItem::mnPerPadFile)) {
            choice = &line;
        }
    }
    ASSERT_NE(choice, nullptr);
    EXPECT_STREQ(choice->Caption, "パッドごとに壁紙ファイルを作成(&W)");
    EXPECT_STREQ(choice->Hint, "壁紙ファイルをパッドごとに分けて作成する(オフでは全パッド共通)");
    EXPECT_STREQ(choice->Shortcut, "");
    EXPECT_TRUE(choice->Check);
    EXPECT_FALSE(choice->Radio);
    EXPECT_EQ(pattern, (std::vector<std::string>{"mnNew", "mnCopy", "mnSep4", "mnRename", "mnUpper",
                                                 "mnLower", "mnDelete", "mnSep2", "mnInfo",
                                                 "mnPerPadFile", "mnSep7", "mnPad", "mnUndo"}));
}

// A dimmed row (a part that paints nothing) is grey only where grey can be
// read: a selected row is written in the selection's text colour.
TEST(FormRules, DimmedRowsAreGreyOnlyUnselected) {
    for (const bool dimmed : {false, true}) {
        ListRow row;
        row.Dimmed = dimmed;
        EXPECT_EQ(ListRowInk(row, true), RowInk::SelectedText) << dimmed;
        EXPECT_EQ(ListRowInk(row, false), dimmed ? RowInk::GrayText : RowInk::Text);
    }
}

// A toolkit that tells only a hint finds an item with that hint (a pop-up
// menu's item may share its menu bar twin's).
TEST(FormRules, EachMenuHintLeadsBackToItsItem) {
    for (const FormTable* table : kTables) {
        for (const MenuLine& line : table->Menus) {
            if (*line.Hint != '\0') {
                const std::string_view item = MenuItemOfHint(*table, line.Hint);
                EXPECT_EQ(MenuHint(*table, item), std::string_view(line.Hint)) << line.Name;
            }
        }
        EXPECT_EQ(MenuItemOfHint(*table, ""), "") << "no hint is no item";
    }
}

// The tables' shortcut texts as keys, and what is no shortcut.
TEST(FormRules, ShortcutTextsAreParsedIntoKeys) {
    struct Case {
        const char* Text;
        std::optional<ShortcutKeys> Keys;
    };
    const Case cases[] = {
        {"Ctrl+Alt+U", ShortcutKeys{keymod::Ctrl | keymod::Alt, 'U'}},
        {"Shift+Ins", ShortcutKeys{keymod::Shift, 0, FormKey::Insert}},
        {"Del", ShortcutKeys{0, 0, FormKey::Delete}},
        {"Ctrl+Shift+Z", ShortcutKeys{keymod::Ctrl | keymod::Shift, 'Z'}},
        {"", std::nullopt},
        {"Ctrl+", std::nullopt},
        {"Ctrl+u", std::nullopt},
        {"F1", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<ShortcutKeys> keys = ParseShortcut(c.Text);
        ASSERT_EQ(keys.has_value(), c.Keys.has_value()) << c.Text;
        if (keys) {
            EXPECT_EQ(keys->Modifiers, c.Keys->Modifiers) << c.Text;
            EXPECT_EQ(keys->Letter, c.Keys->Letter) << c.Text;
            EXPECT_EQ(keys->Key, c.Keys->Key) << c.Text;
        }
    }
    // Every shortcut of every table is one.
    for (const FormTable* table : kTables) {
        for (const MenuLine& line : table->Menus) {
            EXPECT_TRUE(*line.Shortcut == '\0' || ParseShortcut(line.Shortcut)) << line.Shortcut;
        }
        for (const FormShortcut& key : table->Shortcuts) {
            EXPECT_TRUE(ParseShortcut(key.Keys)) << key.Keys;
        }
    }
}

// A left press arms a row drag; a move of the drag distance on either axis,
// either way, starts it.
TEST(RowDrag, StartsAtTheDragDistanceAfterALeftPress) {
    struct Case {
        const char* Name;
        bool Left;
        TPoint To;
        bool Dragging;
    };
    for (const Case& c :
         {Case{"short of it", true, {13, 7}, false}, Case{"across", true, {14, 10}, true},
          Case{"upwards", true, {10, 6}, true},
          Case{"with the right button", false, {40, 40}, false}}) {
        RowDragGesture drag;
        drag.Press({10, 10}, c.Left);
        EXPECT_EQ(drag.Move(c.To, 4, 4), c.Dragging) << c.Name;
        EXPECT_EQ(drag.End(), c.Dragging) << c.Name;
    }
}

// Letting go drops only where the owner took the rows at the last spot, and
// only once the drag is under way; a new press or Esc ends it.
TEST(RowDrag, DropsOnlyWhereTheLastSpotWasTaken) {
    RowDragGesture drag;
    drag.Press({0, 0}, true);
    drag.Judged({0, 0}, true);
    EXPECT_FALSE(drag.Taken()) << "no drag yet";
    ASSERT_TRUE(drag.Move({0, 5}, 4, 4));
    drag.Judged({1, 2}, true);
    EXPECT_TRUE(drag.Taken());
    EXPECT_EQ(drag.LastSpot(), (TPoint{1, 2}));
    drag.Judged({1, 30}, false);
    EXPECT_FALSE(drag.Taken());
    drag.Judged({1, 3}, true);
    drag.Press({5, 5}, true);
    EXPECT_FALSE(drag.Dragging());
    EXPECT_FALSE(drag.Taken());
    EXPECT_FALSE(drag.End()) << "the press ended the drag";
}

} // namespace
} // namespace pelmora
