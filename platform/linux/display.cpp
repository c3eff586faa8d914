#include "platform/display.h"

#include <QtGlobal>
#include <cstdlib>
#include <xcb/xcb.h>

namespace quellex::platform {

DisplayProbe probeDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const bool reachable = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        if (reachable)
            return {{}, "xcb"};
    }
    // A platform chosen by hand, or a Wayland session, is the toolkit's to judge.
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return {"no display to show the window on (DISPLAY is not set)"};
    return {std::string("the display ") + std::getenv("DISPLAY") + " cannot be reached"};
}

} // namespace quellex::platform
