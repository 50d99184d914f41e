// Closing the editor, or ending the plug-in while it is open, gives back
// every window, hook, timer, GDI object, device context, menu, accelerator
// table and window class the module made for it.
#include "DialogScript.h"
#include "EditorFixture.h"
#include "ResourceWatch.h"

#include <memory>

namespace pelmora::uitest {
namespace {

class EditorResources : public EditorUiTest {
protected:
    void SetUp() override {
        EditorUiTest::SetUp();
        watch_ = std::make_unique<ResourceWatch>(module_->Handle());
        ASSERT_GT(watch_->Redirected(), 10) << "the module's imports are watched";
    }
    void TearDown() override {
        // The module's import table is put back while the module is there.
        if (started_) {
            End();
        }
        watch_.reset();
        EditorUiTest::TearDown();
    }

    // Works the window: rows, pictures, a drag (with its timer), a modal box,
    // the gradient dialog with its stop menu.
    void UseTheWindow() {
        Command(EditItem::mnNew);
        Command(EditItem::mnIcon);
        Command(EditItem::mnBtn);
        UpdateWindow(form_);
        DragRow(Control("PatternList"), 0, 0);
        Command(EditItem::mnPad);
        const LiveObjects open = watch_->Live();
        EXPECT_GT(open.Windows, 20) << Describe(open);
        EXPECT_GT(open.GdiObjects, 0) << Describe(open);
        EXPECT_EQ(open.Hooks, 1) << "the dialog keys' hook";
        EXPECT_EQ(open.Accelerators, 1);
        DialogScript script;
        script.OnDialog(kGradDlgClass, [](HWND dialog) {
            SendMouse(Named(dialog, "pbPtr"), WM_RBUTTONDOWN, 5, 18, MK_RBUTTON);
            PostMessageW(Named(dialog, "pbPtr"), WM_RBUTTONUP, 0, MAKELPARAM(5, 18));
        });
        script.OnMenu("the stop menu", [](HWND, HMENU) { EndMenu(); });
        script.When(
            "the menu is closed", [] { return ShownMenu() == nullptr; },
            [] { PostKey(VK_ESCAPE); });
        Command(EditItem::mnGrad);
        EXPECT_TRUE(script.Finished());
    }

    std::unique_ptr<ResourceWatch> watch_;
};

TEST_F(EditorResources, ClosingTheEditorLeavesNothingBehind) {
    ASSERT_NE(Begin(), 0);
    const LiveObjects before = watch_->Live();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int round = 0; round < 2; ++round) {
        const int editorItem = module_->MenuNumber("パターンの詳細編集(&E)...");
        const int menuRequests = Host().MenuRequests();
        ASSERT_EQ(module_->Click(editorItem, kPad), -1);
        form_ = FindWindowW(L"TEditForm", nullptr);
        ASSERT_NE(form_, nullptr);
        UseTheWindow();
        Answers().ExpectMessage("the discard question", "編集結果を破棄してよろしいですか？", IDOK);
        Click(Control("btCamcel"));
        ASSERT_TRUE(Answers().AllAnswered());
        ASSERT_TRUE(Closed());
        EXPECT_EQ(watch_->Live(), before) << Describe(watch_->Live());
        EXPECT_EQ(Host().MenuRequests(), menuRequests + 2)
            << "the menu asked for at open and close";
    }
    // Wine counts nothing here; Windows counts for real.
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userAfter = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    std::printf("GetGuiResources: GDI %lu -> %lu, USER %lu -> %lu\n", gdiBefore, gdiAfter,
                userBefore, userAfter);
    EXPECT_LE(gdiAfter, gdiBefore);
    EXPECT_LE(userAfter, userBefore);
}

TEST_F(EditorResources, EndingThePluginWithTheEditorOpenLeavesNothingBehind) {
    ASSERT_NE(Begin(), 0);
    const LiveObjects before = watch_->Live();
    const int editorItem = module_->MenuNumber("パターンの詳細編集(&E)...");
    ASSERT_EQ(module_->Click(editorItem, kPad), -1);
    form_ = FindWindowW(L"TEditForm", nullptr);
    ASSERT_NE(form_, nullptr);
    UseTheWindow();
    const std::string trial = PadSetting(kPad, "WallPaper");
    const int menuRequests = Host().MenuRequests();
    ASSERT_EQ(End(), -1);
    EXPECT_TRUE(EditorGone());
    EXPECT_EQ(Host().MenuRequests(), menuRequests) << "no menu asked for by an ending plug-in";
    EXPECT_EQ(watch_->Live(), before) << Describe(watch_->Live());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(FromSjis(trial))))
        << "the trial file is gone";
    EXPECT_EQ(PadSetting(kPad, "WallPaper"), "") << "the pad's wallpaper is put back";
}

} // namespace
} // namespace pelmora::uitest
