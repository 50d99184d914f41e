#pragma once
// The module, DPI, GDI objects, fonts, text metrics and the core's bitmaps
// on a device context, for every Windows part: the platform measures the
// name height with them and shows its dialogs for the module, the views draw
// their windows.
#include "platform/bitmap.h"
#include "platform/dpi.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace pelmora::win32 {

// The module these parts are linked into (the DLL, not the launcher's
// executable): window classes and dialogs belong to it.
HINSTANCE ModuleInstance();

// Owns one GDI object.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {} // takes ownership; null is allowed
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(HGDIOBJ object = nullptr);
    HGDIOBJ Get() const { return object_; }
    HFONT Font() const { return static_cast<HFONT>(object_); }
    explicit operator bool() const { return object_ != nullptr; }

private:
    HGDIOBJ object_ = nullptr;
};

// A memory device context compatible with the screen, deleted with this
// object; throws std::runtime_error when the system has none to give.
class MemoryDc {
public:
    MemoryDc();
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// A font of the first of `faces` the system has, `pixels` device pixels high
// (the characters, without the leading), in `charset`; whatever the system
// resolves the first name to where it has none of them.
GdiObject CreateFontOf(std::span<const char* const> faces, int pixels, BYTE charset);
// The face the system actually chose for a font.
std::wstring ResolvedFaceName(HFONT font);
// The size of a text (its widest line, all its lines) in a font, in device pixels.
SIZE TextExtent(HFONT font, std::wstring_view text);

// The DPI a window is shown at: the window's own where the system knows it,
// the screen's otherwise. A process that is not DPI-aware always gets 96.
int WindowDpi(HWND window);

// How a bitmap is shown: pixels of `Transparent` show `Behind` instead.
struct BitmapLook {
    std::optional<TColor> Transparent;
    TColor Behind = 0x00FFFFFF;
};

// The header of a 32-bit top-down DIB: rows in the core's order, no padding.
BITMAPINFO TopDownDib32(int width, int height);
// A 32-bit DIB pixel (B, G, R, unused in memory) as the core's 0x00BBGGRR
// colour, and the other way round: the same swap.
constexpr std::uint32_t SwapRedAndBlue(std::uint32_t pixel) {
    return (pixel & 0xFFu) << 16 | (pixel & 0xFF00u) | (pixel >> 16 & 0xFFu);
}

// Shows `bitmap` with its top-left corner at (x, y): pixel for pixel at 96
// dpi (SetDIBitsToDevice), each pixel a block of scale(1)-sized pixels above
// it (StretchDIBits, no smoothing). No GDI object is created.
void DrawBitmap24(HDC dc, int x, int y, const Bitmap24& bitmap, const Scale& scale,
                  const BitmapLook& look = {});

// The row below the prefix underline of text drawn at the top of a box in
// the font selected into `dc`: the system draws it a pixel below the
// baseline, or where the font puts its underline when that is lower.
LONG UnderlineBottom(HDC dc);

// A memory canvas of a window's size: what is drawn there reaches the screen
// in one copy, so a picture with writing over it does not flicker.
class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& client)
        : target_(target), width_(client.right - client.left), height_(client.bottom - client.top),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, std::max(1, width_), std::max(1, height_))) {
        old_ = SelectObject(dc_, bitmap_.Get());
    }
    ~BufferedPaint() {
        BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC Dc() const { return dc_; }

private:
    HDC target_;
    int width_;
    int height_;
    HDC dc_;
    GdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
};

} // namespace pelmora::win32
