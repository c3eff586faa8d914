#include "platform/nullwindowmanager.h"

#include <cstdio>

namespace quellex::platform {

NullWindowManager::NullWindowManager(const char *platformName)
    : m_platformName(platformName && *platformName ? platformName : "unknown")
{}

WindowHandle NullWindowManager::GetForegroundWindow()
{
    warnOnce();
    return 0;
}

bool NullWindowManager::SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, unsigned)
{
    warnOnce();
    return false;
}

void NullWindowManager::warnOnce()
{
    if (m_warned)
        return;
    m_warned = true;
    std::fprintf(stderr, "quellex: always-on-top is not available on the %s display\n",
                 m_platformName.c_str());
    std::fflush(stderr);
}

} // namespace quellex::platform
