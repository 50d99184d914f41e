// The dialog service's input box as a real Win32 window: its form, the text
// it starts with, the Shift-JIS limit however the text arrives, and the
// refusal of what the settings file could not store.
#include "DialogScript.h"
#include "platform/win32/Win32Prompts.h"
#include "win32/Dialogs.h"
#include "win32/Win32Ui.h"

#include <gtest/gtest.h>

namespace pelmora::uitest {
namespace {

constexpr const wchar_t* kInputBoxClass = L"InputBox";

Win32Prompts WithInputBox() {
    return Win32Prompts({}, [](void* owner, Prompts& messages, const InputRequest& request) {
        Win32ModalForms forms([owner] { return static_cast<HWND>(owner); }, messages);
        return RunInputBox(forms, messages, request);
    });
}

// Replaces the whole text, as a paste over a selection does.
void Paste(HWND edit, const wchar_t* text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

TEST(InputBox, StartsWithTheTextSelectedAndKeepsToTheShiftJisLimit) {
    Win32Prompts prompts = WithInputBox();
    std::string title, prompt, initial, afterLongPaste;
    DWORD start = 1, end = 0;
    DialogScript script;
    script.OnDialog(kInputBoxClass, [&](HWND box) {
        title = TextOf(box);
        prompt = TextOf(Named(box, "lbPrompt"));
        const HWND edit = Named(box, "edInput");
        EXPECT_EQ(GetFocus(), edit);
        initial = TextOf(edit);
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        Paste(edit, L"あいう"); // 6 bytes, over the limit
        afterLongPaste = TextOf(edit);
        Paste(edit, L"あxｱ"); // 4 bytes
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(prompts.Input("パターン名の指定", "名前:", "古い", 4), "あxｱ");
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(title, "パターン名の指定");
    EXPECT_EQ(prompt, "名前:");
    EXPECT_EQ(initial, "古い");
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u) << "the whole initial text selected";
    EXPECT_EQ(afterLongPaste, "古い");
}

TEST(InputBox, RefusesWhatShiftJisCannotHoldAndStaysOpenThenCancels) {
    Win32Prompts prompts = WithInputBox();
    std::string warning;
    DialogScript script;
    script.OnDialog(kInputBoxClass, [](HWND box) {
        Paste(Named(box, "edInput"), L"a한");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    script.When(
        "the refusal", [] { return ShownWindow(L"#32770") != nullptr; },
        [&] {
            const HWND message = ShownWindow(L"#32770");
            warning = MessageTextOf(message);
            PostMessageW(message, WM_COMMAND, IDOK, 0);
        });
    script.When(
        "the box again", [] { return ShownWindow(kInputBoxClass) != nullptr; },
        [] { PostMessageW(ShownWindow(kInputBoxClass), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(prompts.Input("t", "p", "", 0), std::nullopt);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(warning, "\"한\" は使用できない文字です。");
}

} // namespace
} // namespace pelmora::uitest
