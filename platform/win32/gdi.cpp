#include "platform/win32/gdi.h"

#include "platform/win32/wide.h"

#include <algorithm>
#include <stdexcept>

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

} // namespace pelmora::win32
