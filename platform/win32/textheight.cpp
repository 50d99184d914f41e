// The name height on Windows: the text "Ag国" measured in the icon-title font,
// the font of desktop icon captions, or in the stock system font when that
// cannot be had.
#include "platform/textheight.h"

#include "platform/win32/gdi.h"

#include <stdexcept>

namespace pelmora {
namespace {

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
    const win32::MemoryDc dc;
    LOGFONTW look{};
    const win32::GdiObject iconTitle(
        SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof look, &look, 0) != 0
            ? CreateFontIndirectW(&look)
            : nullptr);
    std::int32_t height = iconTitle ? TextHeight(dc.Get(), iconTitle.Get()) : 0;
    if (height <= 0) {
        height = TextHeight(dc.Get(), GetStockObject(SYSTEM_FONT));
    }
    if (height <= 0) {
        throw std::runtime_error("ボタン名の文字の高さを測れません。");
    }
    return height;
}

} // namespace pelmora
