// The Win32 pattern editor opened from the real module's menu: its controls
// as the window's tables give them, the pattern commands, the keyboard, the
// mouse, OK and Cancel, and what reaches the pad and the settings file.
#include "DialogScript.h"
#include "EditorFixture.h"

#include <array>

namespace pelmora::uitest {
namespace {

using Editor = EditorUiTest;

struct ControlRow {
    const char* Name;
    const wchar_t* ClassName;
    const char* Caption;
};

// Every control of the window with its kind and caption.
const ControlRow kControls[] = {
    {"pnTop", L"TPanel", ""},
    {"pnLeft", L"TPanel", ""},
    {"lbPattern", L"Static", "パターン一覧(&Ｌ)："},
    {"PatternList", L"ListBox", ""},
    {"pnRight", L"TPanel", ""},
    {"lbParts", L"Static", "部品一覧(&S)："},
    {"pnRBottom", L"TPanel", ""},
    {"pnRBTop", L"TPanel", ""},
    {"pbPreview", L"TPaintBox", ""},
    {"bvInfo", L"TPanel", ""},
    {"lbInfoTitle", L"Static", "---パッド設定情報---"},
    {"lbInfoItem", L"Static",
     " ・ボタンサイズ：\r\n ・ボタン名：\r\n ・小さいアイコン：\r\n ・ボタン色："},
    {"lbInfo", L"Static", "80×60\r\nアイコンの下\r\nオフ\r\n    8000000F"},
    {"lbInfoCol", L"Static", "□"},
    {"Splitter1", L"TSplitter", ""},
    {"pnRBBottom", L"TPanel", ""},
    {"PartsList", L"ListBox", ""},
    {"Label1", L"Static", "全体の色調整"},
    {"Label3", L"Static", "-                        +"},
    {"pnAdjust", L"TPanel", ""},
    {"lbLumi", L"Static", "明るさ(&B)："},
    {"tbLumi", L"msctls_trackbar32", ""},
    {"lbHue", L"Static", "色合い(&H)："},
    {"tbHue", L"msctls_trackbar32", ""},
    {"cbBtnCol", L"Button", "ボタン色部品も調整する(&T)"},
    // The current part: the base part of the first pattern.
    {"StatusBar", L"msctls_statusbar32", "描画範囲：ボタン背景   描画色：ボタン色"},
    {"pnBottom", L"TPanel", ""},
    {"btOK", L"Button", "OK"},
    {"btCamcel", L"Button", "キャンセル"},
};

// Whether a label's lines each stand whole on a line of their own: as wide
// as the label at most, and no more lines than the label is high.
::testing::AssertionResult LinesFit(HWND label) {
    RECT client = {};
    GetClientRect(label, &client);
    const HDC dc = GetDC(label);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const std::wstring text = win32ui::Widen(TextOf(label));
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    int lines = 0;
    for (std::size_t start = 0; start <= text.size(); ++lines) {
        const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(end - start), &extent);
        if (extent.cx > client.right) {
            result = ::testing::AssertionFailure() << "line " << lines + 1 << " is " << extent.cx
                                                   << " pixels, the label " << client.right;
        }
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    if (lines * metrics.tmHeight > client.bottom) {
        return ::testing::AssertionFailure() << lines << " lines in " << client.bottom << " pixels";
    }
    return result;
}

// A control's rectangle in its parent: left, top, right, bottom.
std::array<LONG, 4> Rect(HWND control) {
    const RECT r = ChildRect(control);
    return {r.left, r.top, r.right, r.bottom};
}

TEST_F(Editor, OpensFromTheMenuWithEveryControlOfItsTables) {
    OpenEditor(SettingsWithPatterns({"A"}));
    EXPECT_EQ(ClassOf(form_), L"TEditForm");
    EXPECT_EQ(TextOf(form_), "パターンの詳細編集");
    const LONG_PTR style = GetWindowLongPtrW(form_, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no title-bar buttons";
    EXPECT_NE(style & WS_THICKFRAME, 0) << "resizable";
    for (const ControlRow& row : kControls) {
        const HWND control = Control(row.Name);
        ASSERT_NE(control, nullptr) << row.Name;
        EXPECT_EQ(ClassOf(control), row.ClassName) << row.Name;
        EXPECT_EQ(TextOf(control), row.Caption) << row.Name;
    }
    // While it is open the plug-in menu shows its title alone.
    const std::vector<MenuItem> menu = module_->Menu();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].Caption, "Pelmora[詳細編集中]");
}

TEST_F(Editor, ControlsStandWhereTheTablesPutThem) {
    OpenEditor(SettingsWithPatterns({"A"}));
    RECT client = {};
    GetClientRect(form_, &client);
    const auto size = [](std::array<LONG, 4> r) { return std::pair{r[2] - r[0], r[3] - r[1]}; };
    EXPECT_EQ(size(Rect(Control("pnBottom"))), std::pair(client.right, 40L));
    EXPECT_EQ(Rect(Control("pnBottom"))[3], client.bottom);
    EXPECT_EQ(size(Rect(Control("StatusBar"))), std::pair(client.right, 31L));
    EXPECT_EQ(Rect(Control("StatusBar"))[3], client.bottom - 40);
    for (const char* button : {"btOK", "btCamcel"}) {
        EXPECT_EQ(size(Rect(Control(button))), std::pair(75L, 25L)) << button;
    }
    EXPECT_EQ(Rect(Control("btCamcel"))[2], client.right - 8) << "anchored to the right edge";
    EXPECT_LT(Rect(Control("btOK"))[2], Rect(Control("btCamcel"))[0]);
    EXPECT_EQ(size(Rect(Control("pnLeft"))).first, 150);
    EXPECT_EQ(Rect(Control("lbPattern")), (std::array<LONG, 4>{5, 5, 145, 25}));
    EXPECT_EQ(Rect(Control("PatternList"))[0], 5);
    EXPECT_EQ(Rect(Control("PatternList"))[1], 25);
    EXPECT_EQ(SendMessageW(Control("PatternList"), LB_GETITEMHEIGHT, 0, 0), 12);
    EXPECT_EQ(size(Rect(Control("lbParts"))).second, 20);
    EXPECT_EQ(size(Rect(Control("pnRBTop"))).second, 130) << "PrevHeight";
    EXPECT_EQ(size(Rect(Control("Splitter1"))).second, 3);
    EXPECT_EQ(size(Rect(Control("bvInfo"))).first, 185);
    EXPECT_EQ(Rect(Control("bvInfo"))[2], size(Rect(Control("pnRBTop"))).first - 2);
    EXPECT_EQ(SendMessageW(Control("PartsList"), LB_GETITEMHEIGHT, 0, 0), 24);
    // The zero mark is a black line the group's panel paints behind the
    // track bars: it shows between and below them.
    const HWND adjust = Control("pnAdjust");
    UpdateWindow(adjust);
    EXPECT_EQ(PixelOf(adjust, 138, 61), 0u);
    EXPECT_EQ(PixelOf(adjust, 138, 94), 0u);
    EXPECT_NE(PixelOf(adjust, 138, 95), 0u);
    EXPECT_NE(PixelOf(adjust, 139, 61), 0u);
    EXPECT_EQ(SendMessageW(Control("tbLumi"), TBM_GETRANGEMIN, 0, 0), -8);
    EXPECT_EQ(SendMessageW(Control("tbLumi"), TBM_GETRANGEMAX, 0, 0), 8);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETRANGEMIN, 0, 0), -6);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETRANGEMAX, 0, 0), 6);
    // The colour group is anchored to the lower pane's right edge.
    EXPECT_EQ(Rect(Control("pnAdjust"))[2], size(Rect(Control("pnRBBottom"))).first);
    EXPECT_EQ(Rect(Control("tbLumi"))[2], size(Rect(Control("pnAdjust"))).first - 6);
}

TEST_F(Editor, CancelWithoutEditsClosesAndTheMenuListsThePatternsAgain) {
    OpenEditor(SettingsWithPatterns({"A", "B"}));
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
    Click(Control("btCamcel"));
    ASSERT_TRUE(Closed());
    EXPECT_EQ(module_->Menu().size(), 6u);
    EXPECT_EQ(End(), -1);
}

TEST_F(Editor, NewCopyRenameAndDeleteThroughMenusShortcutsAndTheirDialogs) {
    OpenEditor();
    EXPECT_TRUE(PatternRows().empty());
    EXPECT_EQ(PartCount(), 0);
    for (int i = 0; i < 3; ++i) {
        Command(EditItem::mnNew);
    }
    EXPECT_EQ(PatternRows(),
              (std::vector<std::string>{"新規パターン", "新規パターン2", "新規パターン3"}));
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{2});
    EXPECT_EQ(PartCount(), 2) << "the base part and the button frame";

    ClickPattern(0);
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
    Key('C', true);
    EXPECT_EQ(PatternRows().back(), "新規パターン4");
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{3});

    ExpectInput("the name prompt", "名前A");
    Key('R', true);
    ASSERT_TRUE(Answers().AllAnswered());
    EXPECT_EQ(PatternRows().back(), "名前A");

    ClickPattern(0);
    ClickPattern(1, true);
    EXPECT_EQ(SelectedPatterns(), (std::vector<int>{0, 1}));
    EXPECT_EQ(PartCount(), 0) << "two selected: no current pattern";
    OpenMenu(kPatternMenu);
    EXPECT_FALSE(MenuEnabled(EditItem::mnRename));
    EXPECT_TRUE(MenuEnabled(EditItem::mnDelete));
    Answers().ExpectMessage("the delete question", "を削除してもよろしいですか？", IDOK);
    Key(VK_DELETE);
    ASSERT_TRUE(Answers().AllAnswered());
    EXPECT_EQ(Answers().Seen().back(),
              "\"新規パターン\"\r\n\"新規パターン2\"\r\nを削除してもよろしいですか？");
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"新規パターン3", "名前A"}));
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
}

TEST_F(Editor, RowsMoveByShortcutsAndByDraggingWithTheMouse) {
    OpenEditor(SettingsWithPatterns({"A", "B", "C"}));
    ClickPattern(1);
    Key('U', true);
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
    Key('L', true);
    Key('L', true);
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"A", "C", "B"}));
    DragRow(Control("PatternList"), 2, 0);
    EXPECT_EQ(PatternRows(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
}

TEST_F(Editor, ImportAndExportGoThroughTheFileDialogs) {
    OpenEditor(SettingsWithPatterns({"A"}));
    ExpectFileDialog("the import dialog", "パターンファイルの指定", Sample("basic.ptn"));
    Answers().ExpectMessage("the import report", "をインポートしました。", IDOK);
    Key('I', true);
    ASSERT_TRUE(Answers().AllAnswered());
    const std::vector<std::string> rows = PatternRows();
    ASSERT_GT(rows.size(), 2u);
    EXPECT_EQ(rows[1], "標準ボタン");
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0}) << "the selection stays";

    ClickPattern(2);
    ClickPattern(0, true);
    const std::filesystem::path exported = folder_ / L"書き出し.ptn";
    ExpectFileDialog("the export dialog", "パターン出力先のファイル指定", exported);
    Key('E', true);
    ASSERT_TRUE(Answers().AllAnswered());
    const std::string text = FromSjis(ReadBytes(exported));
    EXPECT_NE(text.find("[1]\r\nName=A\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[2]\r\nName=" + rows[2] + "\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("[3]"), std::string::npos);
}

TEST_F(Editor, TrialShowsThePreviewOnThePadAndUndoPutsTheOldWallpaperBack) {
    Host().Pads[kPad + UiHostState::kPadIdOffset]["WallPaper"] = "before.bmp";
    OpenEditor(SettingsWithPatterns({"A"}));
    const HWND list = Control("PatternList");
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    PumpPending();
    const std::string trial = PadSetting(kPad, "WallPaper");
    ASSERT_NE(trial, "before.bmp");
    const std::string bmp = ReadBytes(std::filesystem::path(FromSjis(trial)));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");

    // The preview shows the same cell, pixel for pixel at 96 dpi.
    const HWND preview = Control("pbPreview");
    UpdateWindow(preview);
    const HDC dc = GetDC(preview);
    const auto bmpPixel = [&bmp](int x, int y) {
        const int width = *reinterpret_cast<const std::int32_t*>(bmp.data() + 18);
        const int height = *reinterpret_cast<const std::int32_t*>(bmp.data() + 22);
        const int stride = (width * 3 + 3) & ~3;
        const auto* p = reinterpret_cast<const unsigned char*>(bmp.data()) + 54 +
                        (height - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {2, 2}, {30, 20}, {83, 63}}) {
        EXPECT_EQ(GetPixel(dc, x, y), bmpPixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(GetPixel(dc, 84, 10), RGB(255, 255, 255)) << "white beside the cell";
    ReleaseDC(preview, dc);

    Command(EditItem::mnUndo);
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), "before.bmp");
}

TEST_F(Editor, OkKeepsTheTrialWallpaperAndTheEditedLibrary) {
    OpenEditor();
    Command(EditItem::mnNew);
    Key('A', true);
    ASSERT_NO_FATAL_FAILURE(OkKeepingTheTrial());
    const std::filesystem::path wallpaper = folder_ / L"trPELM.bmp";
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), SjisPath(wallpaper));
    EXPECT_TRUE(std::filesystem::exists(wallpaper));
    ASSERT_EQ(End(), -1);
    EXPECT_NE(FromSjis(ReadBytes(settings_)).find("Name=新規パターン"), std::string::npos);
}

// Beyond the original: a wallpaper file of each pad's own, the Pattern
// menu's checked entry after パッド設定情報の取り込み. Kept, a trial then goes to
// "<settings base>-<pad identifier>.bmp", and the settings file keeps the
// choice.
TEST_F(Editor, AWallpaperFileOfThePadsOwnIsACheckedChoice) {
    OpenEditor();
    const HMENU patterns = GetSubMenu(GetMenu(form_), kPatternMenu);
    wchar_t caption[64] = {};
    GetMenuStringW(patterns, 9, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(win32ui::Narrow(caption), "パッドごとに壁紙ファイルを作成(&W)");
    EXPECT_EQ(GetMenuItemID(patterns, 9), static_cast<UINT>(ItemId(EditItem::mnPerPadFile)));
    EXPECT_FALSE(MenuChecked(EditItem::mnPerPadFile));
    Command(EditItem::mnPerPadFile);
    EXPECT_TRUE(MenuChecked(EditItem::mnPerPadFile));

    Command(EditItem::mnNew);
    Key('A', true);
    ASSERT_NO_FATAL_FAILURE(OkKeepingTheTrial());
    const std::filesystem::path own =
        folder_ / (L"trPELM-" + std::to_wstring(kPad + UiHostState::kPadIdOffset) + L".bmp");
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), SjisPath(own));
    EXPECT_TRUE(std::filesystem::exists(own));
    EXPECT_FALSE(std::filesystem::exists(folder_ / L"trPELM.bmp"));
    ASSERT_EQ(End(), -1);
    EXPECT_NE(ReadBytes(settings_).find("\r\nWallPaperPerPad=1\r\n"), std::string::npos);
}

TEST_F(Editor, CancelAfterEditsAsksFirstAndPutsTheWallpaperBack) {
    Host().Pads[kPad + UiHostState::kPadIdOffset]["WallPaper"] = "before.bmp";
    OpenEditor();
    Command(EditItem::mnNew);
    Command(EditItem::mnPad);
    Answers().ExpectMessage("the discard question", "編集結果を破棄してよろしいですか？", IDCANCEL);
    Key(VK_ESCAPE);
    ASSERT_TRUE(Answers().AllAnswered());
    EXPECT_FALSE(EditorGone()) << "kept open";
    Answers().ExpectMessage("the discard question", "編集結果を破棄してよろしいですか？", IDOK);
    Click(Control("btCamcel"));
    ASSERT_TRUE(Answers().AllAnswered());
    ASSERT_TRUE(Closed());
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), "before.bmp");
    ASSERT_EQ(End(), -1);
    EXPECT_EQ(FromSjis(ReadBytes(settings_)).find("新規パターン"), std::string::npos);
}

TEST_F(Editor, TabWalksTheControlsAndEnterPressesTheFocusedButtonOrOk) {
    OpenEditor(SettingsWithPatterns({"A"}));
    ASSERT_EQ(GetFocus(), Control("PatternList"));
    const char* order[] = {"PartsList", "tbLumi", "tbHue", "cbBtnCol", "btOK", "btCamcel"};
    for (const char* name : order) {
        Key(VK_TAB);
        EXPECT_EQ(GetFocus(), Control(name)) << name;
    }
    PostMessageW(GetFocus(), WM_SYSCHAR, L'l', 1 << 29);
    PumpPending();
    EXPECT_EQ(GetFocus(), Control("PatternList")) << "Alt+L";
    PostMessageW(GetFocus(), WM_SYSCHAR, L's', 1 << 29);
    PumpPending();
    EXPECT_EQ(GetFocus(), Control("PartsList")) << "Alt+S";

    // Enter on the focused Cancel button is Cancel (nothing edited: no question).
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control("btCamcel")), TRUE);
    Key(VK_RETURN);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), "");
}

TEST_F(Editor, EnterInTheListIsOk) {
    OpenEditor(SettingsWithPatterns({"A"}));
    Command(EditItem::mnNew);
    Key(VK_RETURN);
    ASSERT_TRUE(Closed());
    ASSERT_EQ(End(), -1);
    EXPECT_NE(FromSjis(ReadBytes(settings_)).find("Name=新規パターン"), std::string::npos);
}

TEST_F(Editor, AHighlightedMenuItemsHintGoesToTheStatusBar) {
    OpenEditor(SettingsWithPatterns({"A"}));
    const HMENU patterns = GetSubMenu(GetMenu(form_), kPatternMenu);
    SendMessageW(form_, WM_MENUSELECT, MAKEWPARAM(ItemId(EditItem::mnNew), MF_HILITE),
                 reinterpret_cast<LPARAM>(patterns));
    EXPECT_EQ(StatusText(), "新しくパターンを作成する");
    // The menu closed: the bar describes the current part again.
    SendMessageW(form_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), "描画範囲：ボタン背景   描画色：ボタン色");
}

TEST_F(Editor, TheSplitterSetsThePreviewHeightThatIsStored) {
    OpenEditor(SettingsWithPatterns({"A"}));
    DragSplitter(40);
    RECT strip = {};
    GetWindowRect(Control("pnRBTop"), &strip);
    EXPECT_EQ(strip.bottom - strip.top, 170);
    Click(Control("btCamcel"));
    ASSERT_TRUE(Closed());
    ASSERT_EQ(End(), -1);
    EXPECT_NE(ReadBytes(settings_).find("PrevHeight=170"), std::string::npos);
}

// Growing the window step by step leaves nothing of the status bar's former
// right edges behind: its empty middle row is its background throughout.
TEST_F(Editor, TheStatusBarKeepsNoFormerEdgesWhenTheWindowGrows) {
    OpenEditor(); // no pattern: no part to describe, an empty bar
    const HWND bar = Control("StatusBar");
    ASSERT_EQ(StatusText(), "");
    for (const int width : {560, 600, 640, 700}) {
        SetWindowPos(form_, nullptr, 0, 0, width, 450, SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(form_);
    }
    RECT client = {};
    GetClientRect(bar, &client);
    const int middle = client.bottom / 2;
    const COLORREF background = PixelOf(bar, 6, middle);
    std::vector<LONG> marks;
    for (int x = 6; x < client.right - 6; ++x) {
        if (PixelOf(bar, x, middle) != background) {
            marks.push_back(x);
        }
    }
    EXPECT_TRUE(marks.empty()) << "marks at x = " << ::testing::PrintToString(marks);
}

// The colour group's check box stays whole in the lower pane wherever the
// splitter stands, also at the window's minimum size.
TEST_F(Editor, AtTheMinimumSizeTheSplittersLowerLimitKeepsTheCheckBoxWhole) {
    OpenEditor(SettingsWithPatterns({"A"}));
    SetWindowPos(form_, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
    RECT window = {};
    GetWindowRect(form_, &window);
    ASSERT_EQ(window.right - window.left, 550);
    ASSERT_EQ(window.bottom - window.top, 400);
    DragSplitter(400);
    RECT pane = {};
    GetWindowRect(Control("pnRBBottom"), &pane);
    RECT check = {};
    GetWindowRect(Control("cbBtnCol"), &check);
    RECT inside = {};
    IntersectRect(&inside, &pane, &check);
    EXPECT_TRUE(EqualRect(&inside, &check))
        << "cut at " << pane.bottom - check.top << " of " << check.bottom - check.top << " pixels";
    RECT outer = {};
    GetWindowRect(Control("pnRBottom"), &outer);
    EXPECT_LE(pane.bottom, outer.bottom) << "the pane within the window";
}

// In a DPI-aware process the window's places and font follow its DPI; the
// preview grows by whole pixels only. At 96 dpi this is the plain window;
// scripts/windows also runs it at 144 dpi.
using EditorAtTheWindowsDpi = EditorUiTest;

TEST_F(EditorAtTheWindowsDpi, PlacesFontAndPreviewScale) {
    SetProcessDPIAware();
    OpenEditor(SettingsWithPatterns({"A"}));
    const Scale scale(win32ui::WindowDpi(form_));
    std::printf("the editor at %d dpi\n", scale.Dpi());
    EXPECT_EQ(Rect(Control("lbPattern")),
              (std::array<LONG, 4>{scale(5), scale(5), scale(145), scale(25)}));
    const std::array<LONG, 4> ok = Rect(Control("btOK"));
    EXPECT_EQ(ok[2] - ok[0], scale(75));
    EXPECT_EQ(ok[3] - ok[1], scale(25));
    EXPECT_EQ(SendMessageW(Control("PatternList"), LB_GETITEMHEIGHT, 0, 0), scale(12));
    EXPECT_EQ(SendMessageW(Control("PartsList"), LB_GETITEMHEIGHT, 0, 0), scale(24));
    LOGFONTW look = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control("btOK"), WM_GETFONT, 0, 0)),
               sizeof look, &look);
    EXPECT_EQ(look.lfHeight, -scale(12));
    // The pad's settings: each item and each value whole on its line, inside
    // the box, the colour's mark before the value on the fourth.
    EXPECT_TRUE(LinesFit(Control("lbInfoItem")));
    EXPECT_TRUE(LinesFit(Control("lbInfo")));
    RECT box = {};
    GetClientRect(Control("bvInfo"), &box);
    EXPECT_LE(Rect(Control("lbInfo"))[2], box.right - 2);
    EXPECT_LE(Rect(Control("lbInfoItem"))[2], Rect(Control("lbInfo"))[0]);
    EXPECT_EQ(Rect(Control("lbInfoCol"))[0], Rect(Control("lbInfo"))[0]);
    // The cell is 84 x 64 pixels; beyond it the preview is white, on a
    // whole-pixel zoom.
    const int zoom = std::max(1, scale.Dpi() / 96);
    const HWND preview = Control("pbPreview");
    UpdateWindow(preview);
    const HDC dc = GetDC(preview);
    EXPECT_NE(GetPixel(dc, 84 * zoom - 1, 64 * zoom - 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 84 * zoom, 10), RGB(255, 255, 255));
    ReleaseDC(preview, dc);
}

} // namespace
} // namespace pelmora::uitest
