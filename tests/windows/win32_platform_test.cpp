// What only Windows answers: the user's colours and icon-title font as they
// are now, and the platform's own dialogs, driven for real from inside their
// modal loops.
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/syscolors.h"
#include "platform/textheight.h"
#include "platform/win32/Win32Prompts.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#undef ChooseColor

namespace pelmora {
namespace {

// ---- The user's colours and font -------------------------------------------

// Changes system colours for the test and puts them back.
class ColourChange {
public:
    ColourChange(int index, COLORREF colour) : index_(index), old_(GetSysColor(index)) {
        SetSysColors(1, &index_, &colour);
    }
    ~ColourChange() { SetSysColors(1, &index_, &old_); }

private:
    int index_;
    COLORREF old_;
};

TEST(Win32Colours, SystemColoursAreTheUsersAsTheyAreNow) {
    for (const int index : {kColorWindow, kColorWindowText, kColorBtnFace, kColorBtnShadow,
                            kColorGrayText, kColorBtnHighlight}) {
        EXPECT_EQ(SystemColor(index), GetSysColor(index) & 0xFFFFFFu) << index;
    }
    for (const int index : {-1, 31, 255}) {
        EXPECT_EQ(SystemColor(index), 0u) << index;
    }
    const ColourChange face(COLOR_BTNFACE, RGB(12, 34, 56));
    EXPECT_EQ(ResolveColor(SystemColorRef(kColorBtnFace)), Rgb(12, 34, 56));
}

TEST(Win32Colours, AButtonColourPartIsPaintedInTheFaceColourOfTheMoment) {
    const TPatrn pattern; // one part: the whole button in the button colour
    const TPadInfo pad = DerivePadInfo({80, 60, 0, 0, static_cast<std::int32_t>(0x8000000F)}, 0);
    for (const COLORREF colour : {RGB(212, 208, 200), RGB(1, 2, 3)}) {
        const ColourChange face(COLOR_BTNFACE, colour);
        EXPECT_EQ(DrawWallpaper(pattern, pad).Pixel(40, 30),
                  GetSysColor(COLOR_BTNFACE) & 0xFFFFFFu);
    }
}

// Sets the icon-title font for the test (not kept) and puts it back.
class IconFontChange {
public:
    IconFontChange(const wchar_t* face, LONG height) {
        SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof old_, &old_, 0);
        LOGFONTW font = old_;
        font.lfHeight = height;
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
        SystemParametersInfoW(SPI_SETICONTITLELOGFONT, sizeof font, &font, 0);
    }
    ~IconFontChange() { SystemParametersInfoW(SPI_SETICONTITLELOGFONT, sizeof old_, &old_, 0); }

private:
    LOGFONTW old_{};
};

// The line height of the icon-title font, measured without the code under test.
int IconFontLineHeight() {
    LOGFONTW font{};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0);
    const HFONT handle = CreateFontIndirectW(&font);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, handle);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(handle);
    return metrics.tmHeight;
}

TEST(Win32NameHeight, FollowsTheIconTitleFont) {
    for (const LONG height : {-9, -16, 20}) {
        const IconFontChange change(L"Tahoma", height);
        EXPECT_EQ(MeasureNameHeight(), IconFontLineHeight()) << height;
    }
    const IconFontChange small(L"Tahoma", -9);
    const std::int32_t smallHeight = MeasureNameHeight();
    const IconFontChange large(L"Tahoma", -16);
    EXPECT_GT(MeasureNameHeight(), smallHeight);
}

// ---- The dialogs -------------------------------------------------------------

// Hands each dialog that comes up to the next step, from inside its modal loop.
// A dialog with no step left is cancelled and counted, so a test fails
// instead of waiting for ever.
class DialogScript {
public:
    using Step = std::function<void(HWND)>;

    explicit DialogScript(std::deque<Step> steps) : steps_(std::move(steps)) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Watch, nullptr, GetCurrentThreadId());
    }
    ~DialogScript() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    bool Finished() const { return steps_.empty() && unexpected_ == 0; }

    static std::string Text(HWND window) {
        wchar_t text[1024] = {};
        GetWindowTextW(window, text, 1024);
        return win32::Narrow(text);
    }
    static void Press(HWND dialog, int id) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    // Replaces the whole text, as a paste over a selection does.
    static void Type(HWND edit, const wchar_t* text) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
        wchar_t name[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16) > 0 &&
            std::wstring_view(name) == L"#32770") {
            SetTimer(reinterpret_cast<HWND>(wParam), 1, USER_TIMER_MINIMUM, Run);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK Run(HWND dialog, UINT, UINT_PTR timer, DWORD) {
        KillTimer(dialog, timer);
        if (current_ == nullptr) {
            return;
        }
        if (current_->steps_.empty()) {
            ++current_->unexpected_;
            Press(dialog, IDCANCEL);
            return;
        }
        const Step step = current_->steps_.front();
        current_->steps_.pop_front();
        step(dialog);
        // A step that does not close its dialog (nor bring up another) would
        // leave the test waiting: after a bounded time the dialog is cancelled.
        if (IsWindow(dialog)) {
            SetTimer(dialog, 2, kStuckDialogMs, GiveUp);
        }
    }
    static void CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR timer, DWORD) {
        KillTimer(dialog, timer);
        if (current_ != nullptr && IsWindowEnabled(dialog)) { // no dialog of its own above it
            ADD_FAILURE() << "the dialog \"" << Text(dialog) << "\" did not respond to its step";
            ++current_->unexpected_;
            Press(dialog, IDCANCEL);
        }
    }
    static constexpr UINT kStuckDialogMs = 20000;

    static inline DialogScript* current_ = nullptr;
    HHOOK hook_ = nullptr;
    std::deque<Step> steps_;
    int unexpected_ = 0;
};

constexpr int kMessageText = 0xFFFF;

TEST(Win32Prompts, MessageBoxShowsTheTextAndGivesTheAnswer) {
    Win32Prompts win32;
    Prompts& prompts = win32;
    std::string title;
    std::string text;
    DialogScript script({[&](HWND box) {
                             title = DialogScript::Text(box);
                             text = DialogScript::Text(GetDlgItem(box, kMessageText));
                             DialogScript::Press(box, IDNO);
                         },
                         [](HWND box) { DialogScript::Press(box, IDCANCEL); },
                         [](HWND box) { DialogScript::Press(box, IDOK); }});
    EXPECT_EQ(prompts.Message("パターンを削除しますか?", MsgKind::Confirmation, MsgButtons::YesNo),
              MsgResult::No);
    EXPECT_EQ(title, "Pelmora");
    EXPECT_EQ(text, "パターンを削除しますか?");
    EXPECT_EQ(prompts.Message("x", MsgKind::Warning, MsgButtons::OkCancel, "題"),
              MsgResult::Cancel);
    EXPECT_EQ(prompts.Message("x", MsgKind::Error, MsgButtons::OkCancel), MsgResult::Ok);
    EXPECT_TRUE(script.Finished());
}

BOOL CALLBACK TakeFileNameEdit(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    const int id = GetDlgCtrlID(child);
    if (std::wstring_view(name) == L"Edit" && (id == 0x47C || id == 0x480)) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The file dialog's file-name edit (inside the combo box of the same
// identifier, or one of its own).
HWND FileNameEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(dialog, TakeFileNameEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(Win32Prompts, OpenDialogReturnsTheChosenFileAsUtf8) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"\x8868\x30BD";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / L"\x80FD.ptn"; // 表ソ\能.ptn: trail bytes 0x5C
    std::ofstream(file) << "[1]\r\n";
    Win32Prompts prompts;
    std::string title;
    DialogScript script({[&](HWND dialog) {
                             title = DialogScript::Text(dialog);
                             SetWindowTextW(FileNameEdit(dialog), file.c_str());
                             DialogScript::Press(dialog, IDOK);
                         },
                         [](HWND dialog) { DialogScript::Press(dialog, IDCANCEL); }});
    FileDialogRequest request;
    request.Title = "パターンファイルの指定";
    request.Filter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
    request.DefaultExtension = "ptn";
    request.MustExist = true;
    const std::u8string expected = file.u8string();
    EXPECT_EQ(prompts.OpenFile(request), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(title, "パターンファイルの指定");
    EXPECT_EQ(prompts.OpenFile(request), std::nullopt);
    EXPECT_TRUE(script.Finished());
    std::filesystem::remove_all(folder);
}

TEST(Win32Prompts, FilterTextIsNulSeparated) {
    const wchar_t expected[] = L"A(*.ptn)\0*.ptn\0B\0*.*\0"; // and the closing NUL
    EXPECT_EQ(Win32FilterText("A(*.ptn)|*.ptn|B|*.*"), std::wstring(expected, std::size(expected)));
    EXPECT_EQ(Win32FilterText(""), L"");
}

TEST(Win32Prompts, ColourDialogStartsFromTheResolvedColour) {
    Win32Prompts prompts;
    DialogScript script({[](HWND dialog) { DialogScript::Press(dialog, IDOK); },
                         [](HWND dialog) { DialogScript::Press(dialog, IDCANCEL); }});
    const ColourChange face(COLOR_BTNFACE, RGB(10, 20, 30));
    EXPECT_EQ(prompts.ChooseColor(SystemColorRef(kColorBtnFace)), Rgb(10, 20, 30));
    EXPECT_EQ(prompts.ChooseColor(Rgb(1, 2, 3)), std::nullopt);
    EXPECT_TRUE(script.Finished());
}

} // namespace
} // namespace pelmora
