// The shared helpers of the Win32 views, on real device contexts and windows.
#include "platform/prompts.h"
#include "win32/Win32Ui.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace pelmora::win32ui {
namespace {

int hookCalls = 0;

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
    ++hookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32UiFont, TheDialogFontIsTwelvePixelsAtItsDpiAndFreedWithItsOwner) {
    HGDIOBJ held = nullptr;
    {
        GdiObject font = CreateDialogFont(96);
        ASSERT_TRUE(font);
        held = font.Get();
        LOGFONTW look = {};
        GetObjectW(font.Get(), sizeof look, &look);
        EXPECT_EQ(look.lfHeight, -12);
        EXPECT_EQ(look.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_FALSE(ResolvedFaceName(font.Font()).empty());
        GdiObject large = CreateDialogFont(144);
        GetObjectW(large.Get(), sizeof look, &look);
        EXPECT_EQ(look.lfHeight, -18);
        GdiObject moved = std::move(font);
        EXPECT_NE(GetObjectType(held), 0u) << "a move hands the font on";
    }
    EXPECT_EQ(GetObjectType(held), 0u);
}

TEST(Win32UiText, ConvertsBothWaysAndRefusesBrokenText) {
    EXPECT_EQ(Widen("パターン"), L"パターン");
    EXPECT_EQ(Narrow(L"部品(&R)"), "部品(&R)");
    EXPECT_ANY_THROW(Widen("\xff\xfe"));
}

TEST(Win32UiControls, ControlsCarryTheirNamesAndAreSubclassedUntilTheyGo) {
    const HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    const HWND button = CreateWindowExW(0, L"BUTTON", L"キャンセル", WS_CHILD | BS_PUSHBUTTON, 20,
                                        40, 150, 50, top, nullptr, nullptr, nullptr);
    SetControlName(button, "btOK");
    EXPECT_EQ(ControlName(button), "btOK");
    EXPECT_EQ(ControlName(top), "") << "a window without a name";
    EXPECT_EQ(WindowTextUtf8(button), "キャンセル");

    // Two handlers in front of one control both see its messages, the later
    // first; each is freed with the control.
    auto calls = std::make_shared<int>(0);
    SilentPrompts silent;
    Subclass(button, silent, [calls](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        ++*calls;
        return message == WM_APP ? std::optional<LRESULT>(42) : std::nullopt;
    });
    Subclass(button, silent, [calls](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        *calls += 10;
        return message == WM_APP + 1 ? std::optional<LRESULT>(7) : std::nullopt;
    });
    EXPECT_EQ(SendMessageW(button, WM_APP, 0, 0), 42);
    EXPECT_EQ(*calls, 11);
    EXPECT_EQ(SendMessageW(button, WM_APP + 1, 0, 0), 7);
    EXPECT_EQ(*calls, 21) << "the later handler answered alone";
    Subclass(button, silent, [](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> {
        throw std::runtime_error("x");
    });
    EXPECT_EQ(SendMessageW(button, WM_GETTEXTLENGTH, 0, 0), 5)
        << "after an error the control's own procedure answers";
    DestroyWindow(top);
    EXPECT_EQ(calls.use_count(), 1) << "the handlers are freed with the control";
}

TEST(Win32UiResources, AWindowClassIsRegisteredWhileOneHolderLives) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    {
        WindowClass first(L"PelmoraTestClass", DefWindowProcW);
        { const WindowClass second(L"PelmoraTestClass", DefWindowProcW); }
        EXPECT_TRUE(GetClassInfoExW(ModuleInstance(), L"PelmoraTestClass", &info))
            << "the first holder still holds it";
        const WindowClass moved = std::move(first);
        EXPECT_TRUE(GetClassInfoExW(ModuleInstance(), L"PelmoraTestClass", &info))
            << "the moved-to holder holds it";
    }
    EXPECT_FALSE(GetClassInfoExW(ModuleInstance(), L"PelmoraTestClass", &info));
}

TEST(Win32UiHandlers, RunInTheArithmeticsEnvironmentAndGiveTheHostsBack) {
    SilentPrompts silent;
#if defined(__i386__) || defined(__x86_64__)
    std::uint16_t host = 0x027F; // 53-bit precision, as MSVC programs run
    std::uint16_t seen = 0;
    std::uint16_t after = 0;
    asm volatile("fldcw %0" : : "m"(host));
    RunHandler(silent, [&] { asm volatile("fnstcw %0" : "=m"(seen)); });
    asm volatile("fnstcw %0" : "=m"(after));
    std::uint16_t standard = 0x037F;
    asm volatile("fldcw %0" : : "m"(standard));
    EXPECT_EQ(seen, 0x037F);
    EXPECT_EQ(after, 0x027F);
#endif
    EXPECT_EQ(RunHandlerOr(silent, 5, []() -> int { throw std::runtime_error("x"); }), 5)
        << "an error becomes the fallback result (shown to nobody here)";
}

TEST(Win32UiResources, HooksAndTimersLiveWhileTheirOwnersDo) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
    const auto hooked = [] {
        hookCalls = 0;
        MSG message;
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
        return hookCalls > 0;
    };
    {
        ThreadHook hook(WH_GETMESSAGE, PassOn);
        WindowTimer timer;
        timer.Start(window, 1, 1000);
        EXPECT_TRUE(hooked());
        timer.Stop();
        EXPECT_FALSE(KillTimer(window, 1)) << "stopped";
        timer.Start(window, 1, 1000);
    }
    EXPECT_FALSE(hooked()) << "the hook went with its owner";
    EXPECT_FALSE(KillTimer(window, 1)) << "the timer went with its owner";
    DestroyWindow(window);
}

} // namespace
} // namespace pelmora::win32ui
