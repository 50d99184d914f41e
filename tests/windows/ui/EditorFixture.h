#pragma once
// The Win32 editor opened from the real module's plug-in menu, with helpers
// that drive its controls by messages as a user's actions would arrive.
#include "UiFixture.h"

#include "logic/PatternEditorView.h"
#include "logic/PatternEditorWindow.h"
#include "win32/FormWindow.h"
#include "win32/Win32Ui.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pelmora::uitest {

// The file dialogs' file-name field (an edit, or the edit in a combo box).
inline BOOL CALLBACK TakeFileNameEdit(HWND child, LPARAM found) {
    const int id = GetDlgCtrlID(child);
    if (ClassOf(child) == L"Edit" && (id == 0x47C || id == 0x480)) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The menu bar's menus, by position.
constexpr int kFileMenu = 0;
constexpr int kEditMenu = 1;
constexpr int kPatternMenu = 2;
constexpr int kPartsMenu = 3;

class EditorUiTest : public UiModuleTest {
protected:
    // Starts the plug-in with `settings` as the settings file's text (none:
    // no file) and opens the editor from the menu.
    void OpenEditor(const std::string& settingsText = {}) {
        if (!settingsText.empty()) {
            WriteBytes(settings_, settingsText);
        }
        ASSERT_NE(Begin(), 0);
        const int editorItem = module_->MenuNumber("パターンの詳細編集(&E)...");
        ASSERT_GE(editorItem, 0);
        ASSERT_EQ(module_->Click(editorItem, kPad), -1);
        form_ = FindWindowW(L"TEditForm", nullptr);
        ASSERT_NE(form_, nullptr) << "the editor window";
        ASSERT_TRUE(IsWindowVisible(form_));
        PumpPending();
    }

    HWND Control(const char* name) {
        const HWND control = FindControl(form_, name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // A menu command as the menu sends it.
    // The identifier a menu item's command arrives with.
    static int ItemId(EditItem item) {
        return Win32Form::CommandOf(PatternEditorWindow::Table(), ItemName(item));
    }
    void Command(EditItem item) {
        PostMessageW(form_, WM_COMMAND, MAKEWPARAM(ItemId(item), 0), 0);
        PumpPending();
    }
    // A key as the keyboard delivers it to the focused control, through the
    // launcher's message loop (and so through the editor's hook).
    void Key(UINT key, bool ctrl = false, bool alt = false) {
        const HWND target = GetFocus() != nullptr ? GetFocus() : form_;
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
        const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const LPARAM flags = alt ? (1 | 1 << 29) : 1;
        PostMessageW(target, down, key, flags);
        PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key,
                     flags | static_cast<LPARAM>(3u << 30));
        PumpPending();
        state[VK_CONTROL] = 0;
        state[VK_MENU] = 0;
        SetKeyboardState(state);
    }
    void Click(HWND button) {
        SendMessageW(button, BM_CLICK, 0, 0);
        PumpPending();
    }
    // OK with a trial on the pad, answering that it is kept; the editor closes.
    void OkKeepingTheTrial() {
        Answers().ExpectMessage("the keep-trial question", "仮適用した壁紙をそのまま使いますか？",
                                IDYES);
        Click(Control("btOK"));
        ASSERT_TRUE(Answers().AllAnswered());
        ASSERT_TRUE(Closed());
    }

    std::vector<std::string> PatternRows() {
        const HWND list = Control("PatternList");
        std::vector<std::string> rows;
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                              L'\0');
            text.resize(static_cast<std::size_t>(
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            rows.push_back(win32ui::Narrow(text));
        }
        return rows;
    }
    std::vector<int> SelectedPatterns() {
        const HWND list = Control("PatternList");
        std::vector<int> rows(static_cast<std::size_t>(SendMessageW(list, LB_GETSELCOUNT, 0, 0)));
        SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
        return rows;
    }
    // A click on a row of the pattern list (with Ctrl: added to the selection).
    void ClickPattern(int row, bool ctrl = false) {
        const HWND list = Control("PatternList");
        RECT r = {};
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
        const WPARAM keys = ctrl ? MK_CONTROL : 0;
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        PostMessageW(list, WM_LBUTTONUP, keys, at);
        PumpPending();
    }
    int PartCount() {
        return static_cast<int>(SendMessageW(Control("PartsList"), LB_GETCOUNT, 0, 0));
    }
    int CurrentPart() {
        return static_cast<int>(SendMessageW(Control("PartsList"), LB_GETCURSEL, 0, 0));
    }
    void ClickPart(int row) {
        const HWND list = Control("PartsList");
        RECT r = {};
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
        PumpPending();
    }
    // Drags a row of a list onto another with the mouse.
    void DragRow(HWND list, int from, int to) {
        RECT a = {};
        RECT b = {};
        SendMessageW(list, LB_GETITEMRECT, from, reinterpret_cast<LPARAM>(&a));
        SendMessageW(list, LB_GETITEMRECT, to, reinterpret_cast<LPARAM>(&b));
        const int x = a.left + 6;
        const int fromY = (a.top + a.bottom) / 2;
        const int toY = (b.top + b.bottom) / 2;
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, fromY));
        PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, fromY + (toY > fromY ? 8 : -8)));
        PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, toY));
        PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, toY));
        PumpPending();
    }
    // Drags the splitter down by `pixels` (up when negative).
    void DragSplitter(int pixels) {
        const HWND splitter = Control("Splitter1");
        PostMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 1));
        PostMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 1 + pixels));
        PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(10, 1 + pixels));
        PumpPending();
    }
    std::string StatusText() {
        const HWND bar = Control("StatusBar");
        wchar_t text[512] = {};
        SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return win32ui::Narrow(text);
    }
    bool MenuChecked(EditItem item) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        GetMenuItemInfoW(GetMenu(form_), ItemId(item), FALSE, &info);
        return (info.fState & MFS_CHECKED) != 0;
    }
    bool MenuEnabled(EditItem item) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        GetMenuItemInfoW(GetMenu(form_), ItemId(item), FALSE, &info);
        return (info.fState & MFS_DISABLED) == 0;
    }
    // Opens a menu of the menu bar as the user does, and closes it again.
    void OpenMenu(int position) {
        SendMessageW(form_, WM_INITMENUPOPUP,
                     reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(form_), position)), position);
    }
    // The platform's dialogs, answered from inside their own modal loops.
    void ExpectInput(const std::string& what, const std::string& text) {
        Answers().Expect({what, [](HWND dialog) { return ClassOf(dialog) == L"InputBox"; },
                          [text](HWND dialog) {
                              SetWindowTextW(FindControl(dialog, "edInput"),
                                             win32ui::Widen(text).c_str());
                              PostButtonClick(dialog, IDOK);
                          }});
    }
    void ExpectFileDialog(const std::string& what, const std::string& title,
                          const std::filesystem::path& file) {
        Answers().ExpectWindow(what, L"#32770", title, [file](HWND dialog) {
            HWND edit = nullptr;
            EnumChildWindows(dialog, TakeFileNameEdit, reinterpret_cast<LPARAM>(&edit));
            SetWindowTextW(edit, file.wstring().c_str());
            PostButtonClick(dialog, IDOK);
        });
    }
    void ExpectColor(const std::string& what, int red, int green, int blue) {
        Answers().Expect(
            {what,
             [](HWND dialog) {
                 return ClassOf(dialog) == L"#32770" && GetDlgItem(dialog, kColorRedId) != nullptr;
             },
             [=](HWND dialog) {
                 SetDlgItemInt(dialog, kColorRedId, static_cast<UINT>(red), FALSE);
                 SetDlgItemInt(dialog, kColorRedId + 1, static_cast<UINT>(green), FALSE);
                 SetDlgItemInt(dialog, kColorRedId + 2, static_cast<UINT>(blue), FALSE);
                 PostButtonClick(dialog, IDOK);
             }});
    }
    bool EditorGone() { return !IsWindow(form_); }
    ::testing::AssertionResult Closed() {
        return PumpUntil([this] { return EditorGone(); }, "the editor window closed");
    }

    // The colour dialog's red, green and blue fields.
    static constexpr int kColorRedId = 706;

    HWND form_ = nullptr;
};

// A file of the bundled samples.
inline std::filesystem::path Sample(const char* name) {
    std::wstring folder = L"Z:" + win32ui::Widen(PELMORA_SAMPLES_DIR);
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return std::filesystem::path(folder) / name;
}

// A pattern section of a settings file, as the library keeps it.
inline std::string SettingsWithPatterns(const std::vector<std::string>& namesUtf8) {
    std::string text = "[Main]\r\nWidth=640\r\nHeight=480\r\nPrevHeight=130\r\n";
    for (std::size_t i = 0; i < namesUtf8.size(); ++i) {
        text += "[" + std::to_string(i) + "]\r\nName=" + Sjis(namesUtf8[i]) +
                "\r\nLumi=0\r\nHue=0\r\nBtnColTrim=0\r\n0=0,\"0,0,0,0\",\"1,1,1,1\",3\r\n";
    }
    return text;
}

} // namespace pelmora::uitest
