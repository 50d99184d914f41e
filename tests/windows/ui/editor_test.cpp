// The Win32 pattern editor opened from the real module's menu: its controls
// as the window's tables give them, the pattern commands, the keyboard, the
// mouse, OK and Cancel, and what reaches the pad and the settings file.
#include "EditorFixture.h"

#include <array>

namespace pelmora::uitest {
namespace {

using Editor = EditorUiTest;

struct ControlRow {
    const char* name;
    const wchar_t* className;
    const char* caption;
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
    {"Shape1", L"Static", ""},
    {"lbLumi", L"Static", "明るさ(&B)："},
    {"tbLumi", L"msctls_trackbar32", ""},
    {"lbHue", L"Static", "色合い(&H)："},
    {"tbHue", L"msctls_trackbar32", ""},
    {"cbBtnCol", L"Button", "ボタン色部品も調整する(&T)"},
    {"StatusBar", L"msctls_statusbar32", ""},
    {"pnBottom", L"TPanel", ""},
    {"btOK", L"Button", "OK"},
    {"btCamcel", L"Button", "キャンセル"},
};

// A control's rectangle in its parent: left, top, right, bottom.
std::array<LONG, 4> Rect(HWND control) {
    const RECT r = win32ui::ChildRect(control);
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
        const HWND control = Control(row.name);
        ASSERT_NE(control, nullptr) << row.name;
        EXPECT_EQ(ClassOf(control), row.className) << row.name;
        EXPECT_EQ(TextOf(control), row.caption) << row.name;
    }
    // While it is open the plug-in menu shows its title alone.
    const std::vector<MenuItem> menu = module_->Menu();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].caption, "Pelmora[詳細編集中]");
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
    EXPECT_EQ(size(Rect(Control("Shape1"))), std::pair(1L, 75L));
    EXPECT_EQ(SendMessageW(Control("tbLumi"), TBM_GETRANGEMIN, 0, 0), -8);
    EXPECT_EQ(SendMessageW(Control("tbLumi"), TBM_GETRANGEMAX, 0, 0), 8);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETRANGEMIN, 0, 0), -6);
    EXPECT_EQ(SendMessageW(Control("tbHue"), TBM_GETRANGEMAX, 0, 0), 6);
    // The colour group is anchored to the lower pane's right edge.
    EXPECT_EQ(Rect(Control("tbLumi"))[2], size(Rect(Control("pnRBBottom"))).first - 6);
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

} // namespace
} // namespace pelmora::uitest
