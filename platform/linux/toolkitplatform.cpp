#include "platform/toolkitplatform.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace quellex::platform {

const char *preferredToolkitPlatform()
{
    const char *chosen = std::getenv("QT_QPA_PLATFORM");
    const char *display = std::getenv("DISPLAY");
    if ((chosen && *chosen) || !display || !*display)
        return nullptr;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable ? "xcb" : nullptr;
}

} // namespace quellex::platform
