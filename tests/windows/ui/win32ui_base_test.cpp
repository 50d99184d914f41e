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

// A 32-bit top-down memory canvas whose pixels the test reads back.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const RECT all = {0, 0, width, height};
        const HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    // 0x00BBGGRR like the core's colours.
    TColor Pixel(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
        return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

int hookCalls = 0;

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
    ++hookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

Bitmap24 Sample() {
    Bitmap24 bitmap(3, 2, 0x00FFFFFF);
    bitmap.SetPixel(0, 0, 0x000000FF);
    bitmap.SetPixel(1, 0, 0x0000FF00);
    bitmap.SetPixel(2, 0, 0x00FF0000);
    bitmap.SetPixel(0, 1, 0x00123456);
    return bitmap;
}

TEST(Win32UiBitmap, ShowsTheCorePixelsExactlyAt96Dpi) {
    Canvas canvas(8, 6, RGB(1, 2, 3));
    DrawBitmap24(canvas.Dc(), 2, 1, Sample(), Scale(96));
    EXPECT_EQ(canvas.Pixel(2, 1), 0x000000FFu);
    EXPECT_EQ(canvas.Pixel(3, 1), 0x0000FF00u);
    EXPECT_EQ(canvas.Pixel(4, 1), 0x00FF0000u);
    EXPECT_EQ(canvas.Pixel(2, 2), 0x00123456u);
    EXPECT_EQ(canvas.Pixel(4, 2), 0x00FFFFFFu);
    // Nothing outside the bitmap's place is touched.
    EXPECT_EQ(canvas.Pixel(1, 1), 0x00030201u);
    EXPECT_EQ(canvas.Pixel(5, 1), 0x00030201u);
    EXPECT_EQ(canvas.Pixel(2, 3), 0x00030201u);
}

TEST(Win32UiBitmap, ScalesWholePixelsAbove96DpiAndShowsTheBackgroundForTheTransparentColour) {
    Canvas canvas(8, 6, RGB(0, 0, 0));
    DrawBitmap24(canvas.Dc(), 0, 0, Sample(), Scale(192), {0x00FFFFFF, 0x00ABCDEF});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(canvas.Pixel(x, y), 0x000000FFu);
            EXPECT_EQ(canvas.Pixel(2 + x, y), 0x0000FF00u);
            EXPECT_EQ(canvas.Pixel(x, 2 + y), 0x00123456u);
            EXPECT_EQ(canvas.Pixel(4 + x, 2 + y), 0x00ABCDEFu) << "the transparent colour";
        }
    }
    EXPECT_EQ(canvas.Pixel(6, 0), 0u);
}

TEST(Win32UiBitmap, AnEmptyBitmapDrawsNothing) {
    Canvas canvas(2, 2, RGB(9, 9, 9));
    DrawBitmap24(canvas.Dc(), 0, 0, Bitmap24(), Scale(96));
    EXPECT_EQ(canvas.Pixel(0, 0), 0x00090909u);
}

TEST(Win32UiScale, ScalesFrom96DpiAndBack) {
    EXPECT_EQ(Scale(96)(75), 75);
    EXPECT_EQ(Scale(144)(75), 113); // 112.5 rounds away from zero, as MulDiv does
    EXPECT_EQ(Scale(192)(25), 50);
    EXPECT_EQ(Scale(192).Unscale(50), 25);
    EXPECT_EQ(Scale(0).Dpi(), 96) << "no DPI known: 96";
    EXPECT_EQ(Scale(144).Floor(2), 1);
    EXPECT_EQ(Scale(144).Floor(-1), -1) << "the 96-dpi pixel a point left of the origin lies in";
    EXPECT_EQ(Scale(144).WholePixels().Dpi(), 96);
    EXPECT_EQ(Scale(200).WholePixels().Dpi(), 192);
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
