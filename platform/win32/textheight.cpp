// The name height on Windows: the text "Ag国" measured in the icon-title font,
// the font of desktop icon captions, or in the stock system font when that
// cannot be had.
#include "platform/textheight.h"

#include <windows.h>

#include <stdexcept>

namespace pelmora {
namespace {

// A screen-compatible memory device context, released on every path.
class MemoryDC {
public:
    MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_ == nullptr) {
            throw std::runtime_error(
                "文字の高さを測るためのデバイスコンテキストを作成できません。");
        }
    }
    ~MemoryDC() { DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Owns the icon-title font, or nothing when it could not be made.
class IconTitleFont {
public:
    IconTitleFont() {
        LOGFONTW font{};
        if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) {
            font_ = CreateFontIndirectW(&font);
        }
    }
    ~IconTitleFont() {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
    }
    IconTitleFont(const IconTitleFont&) = delete;
    IconTitleFont& operator=(const IconTitleFont&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_ = nullptr;
};

std::int32_t TextHeight(HDC dc, HGDIOBJ font) {
    const HGDIOBJ old = SelectObject(dc, font);
    if (old == nullptr || old == HGDI_ERROR) {
        return 0;
    }
    SIZE size{};
    const BOOL measured = GetTextExtentPoint32W(dc, L"Ag\x56FD", 3, &size);
    SelectObject(dc, old);
    return measured ? size.cy : 0;
}

} // namespace

// Measured at each call: the user may change the font while the launcher runs.
std::int32_t MeasureNameHeight() {
    const MemoryDC dc;
    const IconTitleFont iconTitle;
    std::int32_t height = iconTitle.get() != nullptr ? TextHeight(dc.get(), iconTitle.get()) : 0;
    if (height <= 0) {
        height = TextHeight(dc.get(), GetStockObject(SYSTEM_FONT));
    }
    if (height <= 0) {
        throw std::runtime_error("ボタン名の文字の高さを測れません。");
    }
    return height;
}

} // namespace pelmora
