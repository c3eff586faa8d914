#pragma once

#include "platform/logging.h"
#include "platform/windowmanager.h"

#include <string>

namespace quellex::platform {

// The window manager of a display this program cannot restack windows on (Qt's offscreen platform,
// Wayland): no window is ever in front and no call does anything. The first call says so once on
// stderr, so that a user who asked for always-on-top learns why nothing happens, and a user who did
// not is not bothered. A caller that asks canKeepOnTop() has learnt it and tells the user itself.
class NullWindowManager final : public WindowManager
{
public:
    explicit NullWindowManager(const char *platformName)
        : m_platformName(platformName && *platformName ? platformName : "unknown")
    {}

    WindowHandle GetForegroundWindow() override
    {
        warnOnce();
        return 0;
    }
    bool SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, unsigned) override
    {
        warnOnce();
        return false;
    }
    bool canKeepOnTop() override
    {
        m_said.isNew(QString());
        return false;
    }
    bool honoursPositions() override { return m_platformName.rfind("wayland", 0) != 0; }

private:
    void warnOnce()
    {
        if (m_said.isNew(QString()))
            qCWarning(lcWindow, "always-on-top is not available on the %s display", m_platformName.c_str());
    }

    std::string m_platformName;
    SaidOnce m_said;
};

} // namespace quellex::platform
