// The editor's Edit menu under Wine: its place and items, and Ctrl+Z, Ctrl+Y
// and Ctrl+Shift+Z typed for real (SendInput) reaching the history through
// the launcher's message loop, whichever control has the focus; the
// clipboard keys and files dropped on the window.
#include "EditorFixture.h"
#include "RealKeys.h"

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace pelmora::uitest {
namespace {

class UndoKeys : public EditorUiTest {
protected:
    void OpenInFront(const std::string& settings) {
        OpenEditor(settings);
        SetForegroundWindow(form_);
        ASSERT_TRUE(
            PumpUntil([this] { return GetForegroundWindow() == form_; }, "the editor in front"));
    }
    // What the menu shows for an item: its caption, a tab and its shortcut.
    std::string MenuText(EditItem item) {
        wchar_t text[256] = {};
        GetMenuStringW(GetMenu(form_), static_cast<UINT>(ItemId(item)), text, 256, MF_BYCOMMAND);
        return win32ui::Narrow(text);
    }
    void TypeUntil(std::initializer_list<WORD> chord, const std::function<bool()>& done,
                   const char* what) {
        Type(chord);
        EXPECT_TRUE(PumpUntil(done, what));
    }
    using Rows = std::vector<std::string>;
};

TEST_F(UndoKeys, CtrlZAndCtrlYTypedForRealUndoAndRedo) {
    OpenInFront(SettingsWithPatterns({"A"}));
    const HMENU edit = GetSubMenu(GetMenu(form_), kEditMenu);
    wchar_t title[64] = {};
    GetMenuStringW(GetMenu(form_), kEditMenu, title, 64, MF_BYPOSITION);
    EXPECT_EQ(win32ui::Narrow(title), "編集(&E)");
    ASSERT_EQ(GetMenuItemCount(edit), 7); // undo, redo, a line, three copies and the paste
    EXPECT_EQ(GetMenuItemID(edit, 0), static_cast<UINT>(ItemId(EditItem::mnEditUndo)));
    EXPECT_EQ(MenuText(EditItem::mnEditUndo), "元に戻す(&U)\tCtrl+Z");
    EXPECT_FALSE(MenuEnabled(EditItem::mnEditUndo));
    EXPECT_FALSE(MenuEnabled(EditItem::mnEditRedo));

    Command(EditItem::mnNew);
    ASSERT_EQ(PatternRows(), (Rows{"A", "新規パターン"}));
    EXPECT_TRUE(MenuEnabled(EditItem::mnEditUndo));
    EXPECT_EQ(MenuText(EditItem::mnEditUndo), "元に戻す: パターンの新規作成(&U)\tCtrl+Z");

    TypeUntil(
        {VK_CONTROL, 'Z'}, [&] { return PatternRows() == Rows{"A"}; },
        "Ctrl+Z took the new pattern back");
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{0});
    EXPECT_EQ(MenuText(EditItem::mnEditRedo), "やり直し: パターンの新規作成(&R)\tCtrl+Y");
    TypeUntil(
        {VK_CONTROL, 'Y'}, [&] { return PatternRows().size() == 2; }, "Ctrl+Y brought it again");
    EXPECT_EQ(SelectedPatterns(), std::vector<int>{1});
    TypeUntil(
        {VK_CONTROL, 'Z'}, [&] { return PatternRows().size() == 1; }, "Ctrl+Z again");
    TypeUntil(
        {VK_CONTROL, VK_SHIFT, 'Z'}, [&] { return PatternRows().size() == 2; },
        "Ctrl+Shift+Z redid it");

    // Each key press on a track bar is one step, undone with the focus there.
    const HWND lumi = Control("tbLumi");
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(lumi), TRUE);
    ASSERT_EQ(GetFocus(), lumi);
    const auto position = [lumi] { return SendMessageW(lumi, TBM_GETPOS, 0, 0); };
    TypeUntil(
        {VK_RIGHT}, [&] { return position() == 1; }, "one step right");
    TypeUntil(
        {VK_RIGHT}, [&] { return position() == 2; }, "another step right");
    EXPECT_EQ(MenuText(EditItem::mnEditUndo), "元に戻す: 明るさの変更(&U)\tCtrl+Z");
    TypeUntil(
        {VK_CONTROL, 'Z'}, [&] { return position() == 1; }, "Ctrl+Z on the track bar");
    TypeUntil(
        {VK_CONTROL, 'Z'}, [&] { return position() == 0; }, "Ctrl+Z once more");
    EXPECT_EQ(GetFocus(), lumi);
    EXPECT_EQ(PatternRows().size(), 2u);

    // The steps undone and redone are what OK keeps.
    Click(Control("btOK"));
    ASSERT_TRUE(Closed());
    ASSERT_EQ(End(), -1);
    const std::string stored = FromSjis(ReadBytes(settings_));
    EXPECT_NE(stored.find("Name=新規パターン"), std::string::npos);
    EXPECT_EQ(stored.find("Lumi=1"), std::string::npos);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

void SetClipboardText(HWND owner, const std::wstring& text) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy(text.c_str(), text.c_str() + text.size() + 1,
              static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// The clipboard holds Unicode text; Ctrl+Alt+C copies the current part and
// Ctrl+V pastes it after it; the parts list's context menu acts on the row
// it was asked over. Files come as the system hands them over.
TEST_F(UndoKeys, TheClipboardKeysAndDroppedFilesReachTheEditor) {
    OpenInFront(SettingsWithPatterns({"A"}));
    EXPECT_EQ(MenuText(EditItem::mnPaste), "貼り付け(&P)\tCtrl+V");
    TypeUntil(
        {VK_CONTROL, VK_MENU, 'C'},
        [&] { return ClipboardText() == LR"(0,"0,0,0,0","1,1,1,1",3)"; }, "the base part copied");
    TypeUntil(
        {VK_CONTROL, 'V'}, [&] { return PartCount() == 2; }, "the part pasted after it");
    EXPECT_EQ(CurrentPart(), 1);
    EXPECT_EQ(MenuText(EditItem::mnEditUndo), "元に戻す: 部品の貼り付け(&U)\tCtrl+Z");

    SetClipboardText(form_, L"x");
    std::vector<bool> enabled;
    Answers().Expect(
        {"the parts list's context menu", [](HWND window) { return ClassOf(window) == L"#32768"; },
         [&](HWND shown) {
             const auto menu = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
             for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                 const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
                 if ((state & MF_SEPARATOR) == 0) {
                     enabled.push_back((state & (MF_GRAYED | MF_DISABLED)) == 0);
                 }
             }
             PostMessageW(shown, WM_CHAR, L'b', 1); // 部品のコピー
         }});
    const HWND parts = Control("PartsList");
    RECT row = {};
    SendMessageW(parts, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    POINT at = {row.left + 5, row.top + 5};
    ClientToScreen(parts, &at);
    PostMessageW(parts, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parts), MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == LR"(0,"0,0,0,0","1,1,1,1",3)"; },
                          "row 0 copied from its context menu"));
    EXPECT_TRUE(Answers().AllAnswered());
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true})); // the part has no gradient
    EXPECT_EQ(CurrentPart(), 0) << "the row asked over is shown selected";

    const std::filesystem::path file = folder_ / L"落とした.ptn";
    WriteBytes(file, "[1]\r\nName=Dropped\r\n");
    const std::wstring path = file.wstring();
    const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    Answers().ExpectMessage("the import report", "\"Dropped\"\r\nをインポートしました。", IDOK);
    PostMessageW(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return PatternRows() == Rows{"A", "Dropped"};
        },
        "the file imported"));
    EXPECT_TRUE(Answers().AllAnswered());
}

} // namespace
} // namespace pelmora::uitest
