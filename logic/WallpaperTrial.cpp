#include "logic/WallpaperTrial.h"

#include "logic/EditorHost.h"
#include "platform/bmp.h"

#include <system_error>

namespace pelmora {

WallpaperTrial::WallpaperTrial(EditorHost& host) : host_(host), file_(host.CreateTrialFile()) {}

WallpaperTrial::~WallpaperTrial() {
    if (applied_) {
        try {
            host_.SetPadWallPaper(oldWallPaper_);
        } catch (...) {
            // The window is going; nothing is left to report to.
        }
    }
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

// The file is written before anything is remembered, so a failed save leaves
// the pad and the trial as they were.
bool WallpaperTrial::Try(const Bitmap24& preview) {
    const std::string text = host_.HostPathText(file_);
    SaveBmp(preview, file_);
    if (!applied_) {
        oldWallPaper_ = host_.GetPadWallPaper().value_or(std::string());
        applied_ = true;
    }
    return host_.SetPadWallPaper(text);
}

bool WallpaperTrial::Undo() {
    const bool accepted = host_.SetPadWallPaper(oldWallPaper_);
    oldWallPaper_.clear();
    applied_ = false;
    return accepted;
}

// A wallpaper that cannot be written leaves the trial on the pad.
bool WallpaperTrial::Keep() {
    const std::string text = host_.WallpaperText();
    SaveBmp(LoadBmp(file_), host_.WallpaperFile());
    oldWallPaper_.clear();
    applied_ = false;
    return host_.SetPadWallPaper(text);
}

} // namespace pelmora
