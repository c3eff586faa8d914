#include "forms/common/toolkitdisplay.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#if QT_CONFIG(xcb)
#include <cmath>
#include <xcb/xcb.h>
#endif

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

void resizeInPlace(QWidget *window, const QSize &size)
{
#if QT_CONFIG(xcb)
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        const qreal scale = window->devicePixelRatioF();
        const uint32_t nativeSize[] = {uint32_t(std::lround(size.width() * scale)),
                                       uint32_t(std::lround(size.height() * scale))};
        xcb_configure_window(x11->connection(), xcb_window_t(window->winId()),
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, nativeSize);
        xcb_flush(x11->connection());
        return;
    }
#endif
    window->resize(size);
}

bool toolkitDisplayLost()
{
#if QT_CONFIG(xcb)
    // Other platforms (offscreen among them) may answer for X11 too, without a connection.
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb"))
        return xcb_connection_has_error(x11->connection()) != 0;
#endif
    return false;
}

} // namespace quellex::forms
