#include "platform/linux/x11windowmanager.h"
#include "platform/nullwindowmanager.h"

#include <cstring>

namespace quellex::platform {

std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &display)
{
    const bool isX11 = display.platformName && std::strcmp(display.platformName, "xcb") == 0;
    if (isX11 && display.nativeConnection) {
        auto *connection = static_cast<xcb_connection_t *>(display.nativeConnection);
        if (!xcb_connection_has_error(connection)) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            return std::make_unique<X11WindowManager>(connection, root);
        }
    }
    return std::make_unique<NullWindowManager>(display.platformName);
}

} // namespace quellex::platform
