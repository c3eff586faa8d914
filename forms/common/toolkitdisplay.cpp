#include "forms/common/toolkitdisplay.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace quellex::forms {

std::unique_ptr<platform::WindowManager> toolkitWindowManager()
{
    const QByteArray platformName = QGuiApplication::platformName().toUtf8();
    platform::DisplayConnection display;
    display.platformName = platformName.constData();
#if QT_CONFIG(xcb)
    if (auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        display.nativeConnection = x11->connection();
#endif
    return platform::createWindowManager(display);
}

} // namespace quellex::forms
