#include "platform/display.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace quellex::platform {

namespace {
bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}
} // namespace

DisplayProbe probeDisplay()
{
    if (isSet("QT_QPA_PLATFORM"))
        return {};
    if (isSet("DISPLAY")) {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const bool reachable = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        if (reachable)
            return {{}, "xcb"};
    }
    // A platform chosen by hand, or a Wayland session, is the toolkit's to judge.
    if (std::getenv("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY"))
        return {};
    if (!isSet("DISPLAY"))
        return {"no display to show the window on (DISPLAY is not set)"};
    return {std::string("the display ") + std::getenv("DISPLAY") + " cannot be reached"};
}

} // namespace quellex::platform
