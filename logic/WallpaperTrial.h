#pragma once
// A pattern tried on the pad as its wallpaper, and taken back or kept. The
// pad's own wallpaper is remembered at the first trial so that it can be put
// back; the trial bitmap lives in a temporary file for as long as this object.
#include "platform/bitmap.h"

#include <filesystem>
#include <string>

namespace pelmora {

class EditorHost;

class WallpaperTrial {
public:
    // Creates the trial file; throws when it cannot.
    explicit WallpaperTrial(EditorHost& host);
    // A trial still on the pad would point at the removed file: the pad's own
    // wallpaper is put back first.
    ~WallpaperTrial();
    WallpaperTrial(const WallpaperTrial&) = delete;
    WallpaperTrial& operator=(const WallpaperTrial&) = delete;

    bool Applied() const { return applied_; }
    // Shift-JIS, as the host returned it; empty when it had none.
    const std::string& OldWallPaper() const { return oldWallPaper_; }
    const std::filesystem::path& File() const { return file_; }

    // Saves `preview` in the trial file and hands it to the pad; the first
    // trial remembers the pad's wallpaper first. Returns the host's answer.
    bool Try(const Bitmap24& preview);
    // Puts the remembered wallpaper back and ends the trial.
    bool Undo();
    // The trial bitmap becomes the pad's wallpaper file beside the settings
    // file, and the pad is pointed at it. Ends the trial.
    bool Keep();

private:
    EditorHost& host_;
    std::filesystem::path file_;
    bool applied_ = false;
    std::string oldWallPaper_;
};

} // namespace pelmora
