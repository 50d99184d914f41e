// Draws the guide's pictures of the Windows windows: each dialog is opened
// on a sample, and so is the pattern editor on the sample patterns; once a
// window has painted itself, it (frame included) is saved as a 24-bit BMP.
// Usage:
//   pelmora-win32-screenshots FOLDER SAMPLES
// writes FOLDER/gradient-dialog-windows.bmp, fine-adjust-dialog-windows.bmp
// and editor-windows.bmp.
// It needs a display (scripts/screenshots runs it under Wine on Xvfb).
#include "logic/FineAdjustWindow.h"
#include "logic/GradientDialogWindow.h"
#include "logic/GuideScene.h"
#include "platform/bmp.h"
#include "platform/win32/Win32Prompts.h"
#include "platform/win32/gdi.h"
#include "win32/Dialogs.h"
#include "win32/PatternEditor.h"
#include "win32/Win32Ui.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using namespace pelmora;

// The window that is to be pictured, and where the picture goes.
std::wstring gClass;
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
    const BITMAPINFO info = win32::TopDownDib32(width, height);
    void* bits = nullptr;
    const HBITMAP canvas = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, canvas);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Bitmap24 picture(width, height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, win32::SwapRedAndBlue(pixels[y * width + x]));
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
    const HWND dialog = FindWindowW(gClass.c_str(), nullptr);
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

// Pictures the menu as soon as it shows, then closes it.
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || gSaved || !IsWindowVisible(menu)) {
        return;
    }
    RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    try {
        SaveBmp(PictureOf(menu), gTarget);
        gSaved = true;
        std::printf("%s\n", gTarget.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", gTarget.string().c_str(), e.what());
    }
    EndMenu();
}

// The editor's Edit menu, opened as Alt+E opens it.
bool PictureEditMenu(HWND form, const std::filesystem::path& target) {
    gTarget = target;
    gSaved = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, LookForMenu);
    SendMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, L'e');
    KillTimer(nullptr, timer);
    return gSaved;
}

bool Picture(const std::wstring& className, const std::filesystem::path& target,
             const std::function<void()>& open) {
    gClass = className;
    gTarget = target;
    gSaved = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Look);
    open();
    KillTimer(nullptr, timer);
    return gSaved;
}

// Picks a row of one of the editor's lists as a click does.
void PickRow(const TEditForm& editor, const char* listName, int row) {
    const HWND form = editor.Handle();
    const HWND list = editor.Control(listName);
    const bool multiple = (GetWindowLongPtrW(list, GWL_STYLE) & LBS_EXTENDEDSEL) != 0;
    if (multiple) {
        SendMessageW(list, LB_SETSEL, FALSE, -1);
        SendMessageW(list, LB_SETSEL, TRUE, row);
    } else {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    }
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// The editor on the sample patterns, a gradient pattern chosen and its
// gradient part selected; then its Edit menu, beside it.
bool PictureEditor(const std::filesystem::path& samples, const std::filesystem::path& target,
                   Prompts& prompts, EditorDialogs& dialogs) {
    PatternLibrary library = GuideLibrary(samples);
    TIniData settings = GuideWindowSettings();
    settings.Left = 40;
    settings.Top = 40;
    GuidePad pad(prompts);
    TEditForm form(library, settings, pad, dialogs, prompts, [] {});
    form.Show();
    SetForegroundWindow(form.Handle());
    PickRow(form, "PatternList", 3);
    PickRow(form, "PartsList", 1);
    // Painted once every message so far is handled.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    SaveBmp(PictureOf(form.Handle()), target);
    std::printf("%s\n", target.string().c_str());
    // A part added, to undo, and copied, to paste: the Edit menu names them.
    for (const char* item : {"mnIconF", "mnCopyPart"}) {
        SendMessageW(form.Handle(), WM_COMMAND,
                     MAKEWPARAM(Win32Form::CommandOf(PatternEditorWindow::Table(), item), 0), 0);
    }
    return PictureEditMenu(form.Handle(), target.parent_path() / "edit-menu-windows.bmp");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelmora-win32-screenshots FOLDER SAMPLES\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    Win32Prompts prompts;
    Win32ModalForms forms({}, prompts);
    FormEditorDialogs dialogs(forms, [&prompts]() -> Prompts& { return prompts; });
    const bool gradient =
        Picture(win32ui::Widen(GradientDialogWindow::Table().ClassName),
                folder / "gradient-dialog-windows.bmp", [&dialogs] {
                    TGrad g;
                    g.LoadFromText("1,30,-20,10,0,,000000A0FF,1E0080D0FF,4600A05030,6400401810");
                    dialogs.EditGradient(g);
                });
    const bool fineAdjust = Picture(win32ui::Widen(FineAdjustWindow::Table().ClassName),
                                    folder / "fine-adjust-dialog-windows.bmp", [&dialogs] {
                                        dialogs.AdjustArea(1, true, {2, 1, 2, 3}, {1, 1, 3, -2});
                                    });
    bool editor = false;
    try {
        editor = PictureEditor(argv[2], folder / "editor-windows.bmp", prompts, dialogs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the editor: %s\n", e.what());
    }
    return gradient && fineAdjust && editor ? 0 : 1;
}
