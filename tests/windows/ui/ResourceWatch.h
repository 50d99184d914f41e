#pragma once
// Counts the GDI and USER objects a loaded module makes through its imports
// and has not given back: its import table is pointed at counting wrappers
// while this object lives. Wine's GetGuiResources counts nothing (it is a
// stub there), so this is how the tests see that a closed window left
// nothing behind. Objects the system makes for the module's windows on its
// own (a control's internal font) go with those windows and are not counted.
#include <windows.h>

#include <string>

namespace pelmora::uitest {

struct LiveObjects {
    long GdiObjects = 0; // fonts, brushes, pens, bitmaps, regions, memory DCs
    long WindowDcs = 0;  // GetDC / GetWindowDC without ReleaseDC
    long Windows = 0;    // created and still existing
    long Hooks = 0;
    long Timers = 0; // set, not killed, and their window still there
    long Accelerators = 0;
    long Menus = 0;   // created and still existing
    long Classes = 0; // registered and not unregistered
    bool operator==(const LiveObjects&) const = default;
};

std::string Describe(const LiveObjects& live);

class ResourceWatch {
public:
    explicit ResourceWatch(HMODULE module);
    ~ResourceWatch();
    ResourceWatch(const ResourceWatch&) = delete;
    ResourceWatch& operator=(const ResourceWatch&) = delete;

    LiveObjects Live() const;
    // How many imports were redirected (a check that the watch sees anything).
    int Redirected() const { return redirected_; }

private:
    HMODULE module_;
    int redirected_ = 0;
};

} // namespace pelmora::uitest
