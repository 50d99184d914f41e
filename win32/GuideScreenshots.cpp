// Draws the guide's pictures of the Windows dialogs: each dialog is opened
// on a sample, and once it has painted itself, its window (frame included)
// is saved as a 24-bit BMP. Usage:
//   pelmora-win32-screenshots FOLDER
// writes FOLDER/gradient-dialog-windows.bmp and fine-adjust-dialog-windows.bmp.
// It needs a display (scripts/screenshots runs it under Wine on Xvfb).
#include "platform/bmp.h"
#include "win32/GradForm.h"
#include "win32/Win32Ui.h"
#include "win32/value.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace pelmora;

// The window that is to be pictured, and where the picture goes.
const wchar_t* gClass = nullptr;
std::filesystem::path gTarget;
bool gSaved = false;

// The window as it has painted itself, frame included.
Bitmap24 PictureOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const HDC source = GetWindowDC(window);
    const HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP canvas = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, canvas);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Bitmap24 picture(width, height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[y * width + x];
            picture.SetPixel(x, y, (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu));
        }
    }
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return picture;
}

// Looks for the dialog until it is shown and active, lets it paint, pictures
// it and closes it.
void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = FindWindowW(gClass, nullptr);
    if (dialog == nullptr || gSaved || !IsWindowVisible(dialog) || GetActiveWindow() != dialog) {
        return;
    }
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    try {
        SaveBmp(PictureOf(dialog), gTarget);
        gSaved = true;
        std::printf("%s\n", gTarget.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", gTarget.string().c_str(), e.what());
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

bool Picture(const wchar_t* className, const std::filesystem::path& target, void (*open)()) {
    gClass = className;
    gTarget = target;
    gSaved = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Look);
    open();
    KillTimer(nullptr, timer);
    return gSaved;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmora-win32-screenshots FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool gradient = Picture(kGradDlgClass, folder / "gradient-dialog-windows.bmp", [] {
        TGrad g;
        g.LoadFromText("1,30,-20,10,0,,000000A0FF,1E0080D0FF,4600A05030,6400401810");
        ExecuteGradDialog(nullptr, g);
    });
    const bool fineAdjust = Picture(kValueFormClass, folder / "fine-adjust-dialog-windows.bmp", [] {
        ExecuteValueForm(nullptr, 1, true, {2, 1, 2, 3}, {1, 1, 3, -2});
    });
    return gradient && fineAdjust ? 0 : 1;
}
