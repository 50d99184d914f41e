// The Win32 editor's lower pane: the parts list with its row pictures, the
// Parts menu's commands and their dialogs, dragging parts, the colour
// adjustment, and what of it reaches the settings file.
#include "EditorFixture.h"

#include <cstdlib>

namespace pelmora::uitest {
namespace {

using Parts = EditorUiTest;

// The colour of a pixel of a control as it is on the screen now.
COLORREF PixelOf(HWND control, int x, int y) {
    UpdateWindow(control);
    const HDC dc = GetDC(control);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(control, dc);
    return color;
}

// The colour of a row's text where a stroke covers whole pixels: the pixel
// farthest from the row's `background`, inside the focus rectangle's line.
COLORREF RowInk(HWND list, int row, COLORREF background) {
    RECT r = {};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const auto distance = [background](COLORREF c) {
        return std::abs(GetRValue(c) - GetRValue(background)) +
               std::abs(GetGValue(c) - GetGValue(background)) +
               std::abs(GetBValue(c) - GetBValue(background));
    };
    UpdateWindow(list);
    const HDC dc = GetDC(list);
    COLORREF ink = background;
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (distance(c) > distance(ink)) {
                ink = c;
            }
        }
    }
    ReleaseDC(list, dc);
    return ink;
}

// The part section's lines of the settings file after the plug-in ended.
std::string StoredPattern(const std::string& settings) {
    return FromSjis(settings.substr(settings.find("[0]")));
}

TEST_F(Parts, NewPartsMoveAndGoAndTheBasePartStaysFirst) {
    OpenEditor();
    Command(EditItem::mnNew);
    ASSERT_EQ(PartCount(), 2);
    EXPECT_EQ(CurrentPart(), 0);
    OpenMenu(kPartsMenu);
    EXPECT_FALSE(MenuEnabled(EditItem::mnPUpper)) << "the base part";
    EXPECT_FALSE(MenuEnabled(EditItem::mnPDelete));
    EXPECT_FALSE(MenuEnabled(EditItem::mnNon));

    Command(EditItem::mnIcon);
    Command(EditItem::mnNameF);
    ASSERT_EQ(PartCount(), 4);
    EXPECT_EQ(CurrentPart(), 3);
    ClickPart(2);
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域   描画色：無効");
    Key('U', true, true);
    EXPECT_EQ(CurrentPart(), 1);
    EXPECT_EQ(StatusText().find("アイコン領域   "), std::string("描画範囲：").size());

    // Dragging the last row onto row 1; nothing goes onto the base part.
    DragRow(Control("PartsList"), 3, 1);
    EXPECT_EQ(CurrentPart(), 1);
    ClickPart(1);
    EXPECT_EQ(StatusText(), "描画範囲：ボタン名領域枠   描画色：無効");
    DragRow(Control("PartsList"), 2, 0);
    ClickPart(0);
    EXPECT_EQ(StatusText(), "描画範囲：ボタン背景   描画色：ボタン色");

    ClickPart(3);
    Key(VK_DELETE, true);
    EXPECT_EQ(PartCount(), 3);
    EXPECT_EQ(CurrentPart(), 0);
    EXPECT_EQ(StatusText(), "描画範囲：ボタン背景   描画色：ボタン色") << "not the deleted part";
}

// The drag is judged by the row it moves, also when the base part was the
// current one before the press (as right after picking a pattern).
TEST_F(Parts, ARowDragsWhileTheBasePartIsCurrent) {
    OpenEditor();
    Command(EditItem::mnNew);
    Command(EditItem::mnIcon);
    Command(EditItem::mnNameF);
    ClickPart(0);
    DragRow(Control("PartsList"), 3, 1);
    EXPECT_EQ(CurrentPart(), 1);
    EXPECT_EQ(StatusText(), "描画範囲：ボタン名領域枠   描画色：無効");
}

TEST_F(Parts, FillsComeFromTheMenuAndTheColourDialogAndGiveTheRowItsPicture) {
    OpenEditor();
    Command(EditItem::mnNew);
    Command(EditItem::mnIcon);
    const HWND list = Control("PartsList");
    RECT row = {};
    SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    // A part that paints nothing has no picture: the icon column is the row's
    // background (the selected row's).
    const int iconX = row.right - 40;
    const COLORREF empty = PixelOf(list, iconX, row.top + 12);

    ExpectColor("the colour dialog", 10, 200, 30);
    Command(EditItem::mnMono);
    ASSERT_TRUE(Answers().AllAnswered());
    ClickPart(2);
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域   描画色：単色");
    // The row's picture is the part's preview: somewhere in it the colour shows.
    bool found = false;
    SIZE name = {};
    const HDC dc = GetDC(list);
    for (int x = row.left; x < row.right && !found; ++x) {
        for (int y = row.top + 2; y < row.top + 22 && !found; ++y) {
            found = GetPixel(dc, x, y) == RGB(10, 200, 30);
        }
    }
    ReleaseDC(list, dc);
    (void)name;
    (void)empty;
    EXPECT_TRUE(found) << "the row's picture shows the chosen colour";

    // Cancelling the colour dialog changes nothing.
    Answers().Expect({"the colour dialog, cancelled",
                      [](HWND dialog) {
                          return ClassOf(dialog) == L"#32770" &&
                                 GetDlgItem(dialog, kColorRedId) != nullptr;
                      },
                      [](HWND dialog) { PostButtonClick(dialog, IDCANCEL); }});
    Command(EditItem::mnMono);
    ASSERT_TRUE(Answers().AllAnswered());
    Command(EditItem::mnBtnF); // disabled: the part is no frame
    ClickPart(2);
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域   描画色：単色");

    Click(Control("btOK"));
    ASSERT_TRUE(Closed());
    ASSERT_EQ(End(), -1);
    const std::string stored = StoredPattern(ReadBytes(settings_));
    EXPECT_NE(stored.find("2=2,\"0,0,0,0\",\"1,1,1,1\",1,2017290\r\n"), std::string::npos)
        << stored;
}

// A part just added is the selected row and paints nothing yet: its name is
// written in the selection's text colour, and turns grey once another row is
// selected. Its row has no picture, so only the name is read.
TEST_F(Parts, ANewPartIsReadableOnTheSelection) {
    OpenEditor();
    Command(EditItem::mnNew);
    Command(EditItem::mnIcon);
    ASSERT_EQ(CurrentPart(), 2);
    const HWND list = Control("PartsList");
    EXPECT_EQ(RowInk(list, 2, GetSysColor(COLOR_HIGHLIGHT)), GetSysColor(COLOR_HIGHLIGHTTEXT));
    ClickPart(0);
    EXPECT_EQ(RowInk(list, 2, GetSysColor(COLOR_WINDOW)), GetSysColor(COLOR_GRAYTEXT));
}

TEST_F(Parts, TrackBarsAndTheCheckBoxSetTheColourAdjustment) {
    OpenEditor();
    Command(EditItem::mnNew);
    SetFocus(Control("tbLumi"));
    Key(VK_HOME);
    SetFocus(Control("tbHue"));
    Key(VK_END);
    Key(VK_LEFT);
    Click(Control("cbBtnCol"));
    EXPECT_EQ(SendMessageW(Control("tbLumi"), TBM_GETPOS, 0, 0), -8);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETPOS, 0, 0), 5);
    Click(Control("btOK"));
    ASSERT_TRUE(Closed());
    ASSERT_EQ(End(), -1);
    const std::string stored = StoredPattern(ReadBytes(settings_));
    EXPECT_NE(stored.find("Lumi=-8\r\nHue=10\r\nBtnColTrim=1\r\n"), std::string::npos) << stored;
}

TEST_F(Parts, AnotherPatternsControlsAreShownWithoutCountingAsAnEdit) {
    std::string settings = SettingsWithPatterns({"A", "B"});
    const std::size_t hue = settings.rfind("Hue=0");
    settings.replace(hue, 5, "Hue=-5");
    OpenEditor(settings);
    ClickPattern(1);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETPOS, 0, 0), -2);
    ClickPattern(0);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETPOS, 0, 0), 0);
    // Nothing was edited: Cancel asks nothing.
    Click(Control("btCamcel"));
    ASSERT_TRUE(Closed());
}

} // namespace
} // namespace pelmora::uitest
