#include "platform/win32/gdi.h"

#include "platform/win32/wide.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace pelmora::win32 {
HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
        return module;
    }();
    return instance;
}

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept {
    if (this != &other) {
        Reset();
        object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
}

void GdiObject::Reset(HGDIOBJ object) {
    if (object_ != nullptr) {
        DeleteObject(object_);
    }
    object_ = object;
}

MemoryDc::MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ == nullptr) {
        throw std::runtime_error("描画に使うデバイスコンテキストを作成できません。");
    }
}

GdiObject CreateFontOf(std::span<const char* const> faces, int pixels, BYTE charset) {
    LOGFONTW look = {};
    look.lfHeight = -pixels;
    look.lfWeight = FW_NORMAL;
    look.lfCharSet = charset;
    look.lfQuality = DEFAULT_QUALITY;
    look.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    GdiObject first;
    for (const char* face : faces) {
        lstrcpynW(look.lfFaceName, Widen(face).c_str(), LF_FACESIZE);
        GdiObject font(CreateFontIndirectW(&look));
        if (!font) {
            continue;
        }
        const std::wstring resolved = ResolvedFaceName(font.Font());
        if (std::any_of(faces.begin(), faces.end(),
                        [&](const char* f) { return resolved == Widen(f); })) {
            return font;
        }
        if (!first) {
            first = std::move(font);
        }
    }
    if (!first) {
        throw std::runtime_error("ウィンドウの文字のフォントを作成できません: " +
                                 ErrorText(GetLastError()));
    }
    return first;
}

std::wstring ResolvedFaceName(HFONT font) {
    const MemoryDc dc;
    const HGDIOBJ old = SelectObject(dc.Get(), font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
    SelectObject(dc.Get(), old);
    return face;
}

SIZE TextExtent(HFONT font, std::wstring_view text) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {extent.right - extent.left, extent.bottom - extent.top};
}

int WindowDpi(HWND window) {
    // Windows 10's own answer per window; older systems have one DPI.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

BITMAPINFO TopDownDib32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void DrawBitmap24(HDC dc, int x, int y, const Bitmap24& bitmap, const Scale& scale,
                  const BitmapLook& look) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    // 32-bit rows need no padding; pixels are B, G, R, unused as in the core.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    std::uint32_t* out = pixels.data();
    const std::uint32_t behind = SwapRedAndBlue(look.Behind);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = bitmap.Row(row);
        for (int column = 0; column < width; ++column, in += 3) {
            const std::uint32_t dib =
                std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16;
            *out++ = look.Transparent && dib == SwapRedAndBlue(*look.Transparent) ? behind : dib;
        }
    }
    const BITMAPINFO info = TopDownDib32(width, height);
    if (scale.IsIdentity()) {
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    } else {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, x, y, scale(width), scale(height), 0, 0, width, height, pixels.data(),
                      &info, DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
}

LONG UnderlineBottom(HDC dc) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    LONG below = 1;
    LONG thickness = 1;
    OUTLINETEXTMETRICW outline = {};
    outline.otmSize = sizeof outline;
    if (GetOutlineTextMetricsW(dc, sizeof outline, &outline) != 0) {
        below = std::max<LONG>(below, -outline.otmsUnderscorePosition);
        thickness = std::max<LONG>(thickness, static_cast<LONG>(outline.otmsUnderscoreSize));
    }
    return metrics.tmAscent + below + thickness;
}

} // namespace pelmora::win32
