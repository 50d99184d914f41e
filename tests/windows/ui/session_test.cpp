// A user's session from the launcher, as the Linux build's walk-through does
// it step for step: the editor opens from the plug-in menu, a new pattern
// gets an icon-area frame with a radial red-to-blue gradient (edited in the
// gradient dialog) fine-adjusted in the fine-adjust dialog, brighter and with
// another hue; it is tried on the pad, kept with OK, and the plug-in ends.
// With PELMORA_SESSION_OUT set, the settings file and the wallpaper are
// copied there, so scripts/windows can compare them with the Linux build's.
#include "DialogScript.h"
#include "EditorFixture.h"

#include <cstdlib>

namespace pelmora::uitest {
namespace {

class UserSession : public EditorUiTest {};

void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
}

// A double-click on a stop's handle in the gradient dialog's handle strip.
void PostDoubleClick(HWND strip, int x) {
    constexpr int y = 18;
    PostMouse(strip, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    PostMouse(strip, WM_LBUTTONUP, x, y);
    PostMouse(strip, WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
    PostMouse(strip, WM_LBUTTONUP, x, y);
}

// The colour dialog's answer: red, green and blue in its fields, then OK.
void AnswerColour(HWND dialog, int red, int green, int blue) {
    constexpr int kRedField = 706;
    SetDlgItemInt(dialog, kRedField, static_cast<UINT>(red), FALSE);
    SetDlgItemInt(dialog, kRedField + 1, static_cast<UINT>(green), FALSE);
    SetDlgItemInt(dialog, kRedField + 2, static_cast<UINT>(blue), FALSE);
    PostButtonClick(dialog, IDOK);
}

void CopyOut(const std::filesystem::path& file) {
    const char* out = std::getenv("PELMORA_SESSION_OUT");
    if (out != nullptr && *out != '\0') {
        const std::filesystem::path folder = win32ui::Widen(out);
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(file, folder / file.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

TEST_F(UserSession, DesignsAPatternFromTheLauncherAndKeepsIt) {
    constexpr std::int32_t pad = 3;
    SetPad(pad, 96, 64, 1, 0, "$00C08040");
    Host().Pads[pad + UiHostState::kPadIdOffset]["WallPaper"] = "before.bmp";
    settings_ = folder_ / L"Pelmora.ini";
    module_->SetInitFile(settings_);
    ASSERT_NE(Begin(), 0);
    const int editorItem = module_->MenuNumber("パターンの詳細編集(&E)...");
    ASSERT_EQ(module_->Click(editorItem, pad), -1);
    form_ = FindWindowW(L"TEditForm", nullptr);
    ASSERT_NE(form_, nullptr);
    PumpPending();

    // A new pattern from the keyboard, then an icon-area frame from the Parts menu.
    ASSERT_EQ(GetFocus(), Control("PatternList"));
    Key(VK_INSERT);
    ASSERT_EQ(PartCount(), 2);
    Command(EditItem::mnIconF);
    ASSERT_EQ(PartCount(), 3);
    EXPECT_EQ(CurrentPart(), 2);

    // A red-to-blue radial gradient: both end stops recoloured by
    // double-clicks on their handles, then the next kind.
    {
        DialogScript script;
        HWND gradient = nullptr;
        script.OnDialog(kGradDlgClass, [&](HWND dialog) {
            gradient = dialog;
            PostDoubleClick(Named(dialog, "pbPtr"), 5);
        });
        script.OnDialog(L"#32770", [](HWND colours) { AnswerColour(colours, 255, 0, 0); });
        script.When(
            "the first colour dialog closed", [] { return ShownWindow(L"#32770") == nullptr; },
            [&] { PostDoubleClick(Named(gradient, "pbPtr"), 5 + 270); });
        script.OnDialog(L"#32770", [](HWND colours) { AnswerColour(colours, 0, 0, 255); });
        script.When(
            "the second colour dialog closed", [] { return ShownWindow(L"#32770") == nullptr; },
            [&] {
                FocusControl(gradient, Named(gradient, "cbKind"));
                PostKey(VK_DOWN);
            });
        script.When(
            "the kind changed",
            [&] { return SendMessageW(Named(gradient, "cbKind"), CB_GETCURSEL, 0, 0) == 1; },
            [&] { PostButtonClick(gradient, IDOK); });
        Command(EditItem::mnGrad);
        ASSERT_TRUE(script.Finished());
    }
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域枠   描画色：グラデーション")
        << "as the gradient dialog closed with OK";
    ClickPart(2);
    EXPECT_EQ(StatusText(), "描画範囲：アイコン領域枠   描画色：グラデーション");

    // Two pixels thick, one pixel outside the icon.
    {
        DialogScript script;
        script.OnDialog(kValueFormClass, [](HWND dialog) {
            SendMessageW(Named(dialog, "btReset"), BM_CLICK, 0, 0);
            SendMessageW(Named(dialog, "rbIn"), BM_CLICK, 0, 0);
            // Each arrow moves its inner edge inward.
            ClickArrow(dialog, "udLeft", true);
            ClickArrow(dialog, "udTop", false);
            ClickArrow(dialog, "udRight", false);
            ClickArrow(dialog, "udBottom", true);
            PostButtonClick(dialog, IDOK);
        });
        Command(EditItem::mnArea);
        ASSERT_TRUE(script.Finished());
    }

    // Brighter by two steps, hue one step back.
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control("tbLumi")), TRUE);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control("tbHue")), TRUE);
    Key(VK_LEFT);

    // Tried on the pad, from the pattern list's shortcut.
    SendMessageW(form_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control("PatternList")), TRUE);
    Key('A', true);
    const std::string trial = PadSetting(pad, "WallPaper");
    ASSERT_NE(trial, "before.bmp");

    // OK, keeping the trial wallpaper.
    ASSERT_NO_FATAL_FAILURE(OkKeepingTheTrial());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(FromSjis(trial))));
    const std::filesystem::path wallpaper = folder_ / L"Pelmora.bmp";
    EXPECT_EQ(PadSetting(pad, "WallPaper"), SjisPath(wallpaper));

    ASSERT_EQ(End(), -1);
    const std::string stored = FromSjis(ReadBytes(settings_));
    EXPECT_NE(stored.find("Name=新規パターン\r\nLumi=2\r\nHue=-2\r\n"), std::string::npos)
        << stored;
    EXPECT_NE(stored.find("2=3,\"1,1,1,1\",\"2,2,2,2\",2,"), std::string::npos) << stored;
    CopyOut(settings_);
    CopyOut(wallpaper);
}

} // namespace
} // namespace pelmora::uitest
