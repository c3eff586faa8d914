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

std::string displayProblem()
{
    // A platform chosen by hand, or a Wayland session, is the toolkit's to judge.
    if (std::getenv("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY"))
        return {};
    if (!isSet("DISPLAY"))
        return "no display to show the window on (DISPLAY is not set)";
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reachable)
        return std::string("the display ") + std::getenv("DISPLAY") + " cannot be reached";
    return {};
}

} // namespace quellex::platform
