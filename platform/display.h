#pragma once

#include <string>

namespace quellex::platform {

// What this session's display offers, found before the toolkit starts (which would otherwise abort
// with a message about its plugins), over one connection at most.
struct DisplayProbe
{
    // Why no window could be shown, or an empty text when one can.
    std::string problem;
    // The toolkit platform to ask for when the user has not chosen one (QT_QPA_PLATFORM), or nullptr
    // to leave the choice to the toolkit. The windows need absolute positions and a stacking order,
    // which X11 gives a client and Wayland does not: so where an X display answers, Xwayland in a
    // Wayland session included, that is "xcb".
    const char *toolkitPlatform = nullptr;
};

DisplayProbe probeDisplay();

} // namespace quellex::platform
