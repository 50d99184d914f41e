#pragma once
// The module, GDI objects, fonts and text extents for every Windows part:
// the platform measures the name height with them and shows its dialogs for
// the module, the views draw their windows.
#include <windows.h>

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

} // namespace pelmora::win32
