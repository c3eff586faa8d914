#include "platform/nullwindowmanager.h"
#include "platform/windows/win32windowmanager.h"

#include <cstring>

namespace quellex::platform {

std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &display)
{
    // Qt's offscreen and minimal platforms make no real windows to restack.
    if (display.platformName && std::strcmp(display.platformName, "windows") == 0)
        return std::make_unique<Win32WindowManager>();
    return std::make_unique<NullWindowManager>(display.platformName);
}

} // namespace quellex::platform
