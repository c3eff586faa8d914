#include "forms/common/desktoplimits.h"

#include "platform/logging.h"
#include "platform/windowmanager.h"

#include <QGuiApplication>
#include <QWidget>

namespace quellex::forms {

namespace {
QString s_stayOnTopLimit;
} // namespace

bool positionsAreKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void noteDesktopLimits(platform::WindowManager &windowManager)
{
    if (positionsAreKnown() && windowManager.canKeepOnTop())
        return;
    s_stayOnTopLimit = QStringLiteral("On this desktop, window placement and staying on top are up to the "
                                      "compositor.");
    qCWarning(lcWindow).noquote() << s_stayOnTopLimit;
}

void showStayOnTopLimit(QWidget *control)
{
    if (!s_stayOnTopLimit.isEmpty())
        control->setToolTip(s_stayOnTopLimit);
}

} // namespace quellex::forms
