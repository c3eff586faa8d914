#pragma once

#include "platform/windowmanager.h"

#include <QString>

class QWidget;

namespace quellex::forms {

// What the settings window acts on, as the window that opens it offers it: three display options
// that take effect at once, the window to be modal over, and that window's desktop.
class DisplayOptions
{
public:
    virtual QWidget &optionsOwner() = 0;
    virtual platform::WindowManager &windowManager() = 0;
    // Why "Always On Top" may do nothing on this desktop, or an empty text.
    virtual QString stayOnTopLimit() = 0;
    virtual void setAlwaysOnTop(bool onTop) = 0;
    virtual void setNameLocked(bool locked) = 0;
    // Shows or hides the four controls of the developer group, always together.
    virtual void setDeveloperGroupVisible(bool visible) = 0;

protected:
    ~DisplayOptions() = default;
};

} // namespace quellex::forms
