#include "platform/nullwindowmanager.h"

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
    if (m_said.isNew(QString()))
        qCWarning(lcWindow, "always-on-top is not available on the %s display", m_platformName.c_str());
}

} // namespace quellex::platform
