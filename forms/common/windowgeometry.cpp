#include "forms/common/windowgeometry.h"

#include "settings/settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cmath>
#if QT_CONFIG(xcb)
#include "platform/linux/xcbcalls.h"

#include <QtGui/qguiapplication_platform.h>
#include <cstring>
#endif

namespace quellex::forms {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// Tall enough to grab a title bar by; the real height is the window manager's and unknown here.
constexpr int kTitleBarPixels = 20;
// Wider margins than this are no frame but a window manager's mistake.
constexpr int kMaxFrameMargin = 200;
// X11 keeps coordinates in 16 signed bits.
constexpr double kMaxCoordinate = 32767;
// Kept on each window: its stored top left in twips, and the size in pixels its frame is to have.
const char *const kStoredTopLeft = "quellexStoredTopLeft";
const char *const kFrameSize = "quellexFrameSize";

double dotsPerInch(const QWidget *widget)
{
    return widget ? widget->logicalDpiX() : 96.0;
}

// A stored number of twips as pixels within [lowest, highest]; one that is not a number gives lowest.
int boundedPixels(float twips, const QWidget *widget, double lowest, double highest)
{
    const double pixels = double(twips) * dotsPerInch(widget) / kTwipsPerInch;
    if (std::isnan(pixels))
        return int(lowest);
    return int(std::lround(std::clamp(pixels, lowest, highest)));
}

#if QT_CONFIG(xcb)
// Whether an X11 window manager runs that does not state its frames: weston's places new windows
// where it likes, and its frame, shadow included, is not what the user sees as the window.
bool frameUnstatedOnX11()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return false;
    xcb_connection_t *connection = x11->connection();
    const auto atom = [connection](const char *name) {
        platform::XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (platform::xcbPropertyValues(connection, root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW)
            .empty())
        return false;
    const auto supported =
        platform::xcbPropertyValues(connection, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), atom("_NET_FRAME_EXTENTS")) == supported.end();
}
#endif

// Whether the desktop puts a window where it asks and says where its frame is. A native Wayland
// client can place nothing; without any window manager, the frame is the client area.
bool framesAreKnown()
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
#if QT_CONFIG(xcb)
    static const bool unstated =
        QGuiApplication::platformName() == QLatin1String("xcb") && frameUnstatedOnX11();
    return !unstated;
#else
    return true;
#endif
}

// The toolkit's frame margins in logical pixels; none where the desktop states no frame or states
// one no window could have.
QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle || !framesAreKnown())
        return {};
    const QMargins margins = handle->frameMargins();
    for (const int side : {margins.left(), margins.top(), margins.right(), margins.bottom()})
        if (side < 0 || side > kMaxFrameMargin)
            return {};
    return margins;
}

bool titleBarOnAnyScreen(const QRect &frame)
{
    const QRect titleBar(frame.left(), frame.top(), frame.width(), kTitleBarPixels);
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen *screen) { return screen->geometry().intersects(titleBar); });
}

QSize largestScreen()
{
    QSize largest(1, 1);
    for (const QScreen *screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->availableGeometry().size());
    return largest;
}

// What the controls need: every one of them fully inside, and below the lowest as much room as the
// design keeps above the highest.
QSize controlsNeed(const QWidget *window)
{
    int right = 0;
    int bottom = 0;
    int top = INT_MAX;
    for (const QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        right = std::max(right, control->geometry().right() + 1);
        bottom = std::max(bottom, control->geometry().bottom() + 1);
        top = std::min(top, control->geometry().top());
    }
    return top == INT_MAX ? QSize() : QSize(right, bottom + top);
}

// The frame's size is only known once the desktop has framed the window: the client area is made
// the frame's size less the margins the first time there are any.
class FrameFitter : public QObject
{
public:
    explicit FrameFitter(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize && type != QEvent::Paint)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMargins margins = frameMargins(window);
        if (margins.isNull())
            return false;
        window->removeEventFilter(this);
        deleteLater();
        window->resize(
            window->property(kFrameSize).toSize().shrunkBy(margins).expandedTo(window->minimumSize()));
        return false;
    }
};

} // namespace

int twipsToPixels(float twips, const QWidget *widget)
{
    return boundedPixels(twips, widget, -kMaxCoordinate, kMaxCoordinate);
}

float pixelsToTwips(int pixels, const QWidget *widget)
{
    return float(std::round(pixels * kTwipsPerInch / dotsPerInch(widget)));
}

void placeControl(QWidget *control, const TwipsRect &design)
{
    control->setGeometry(twipsToPixels(design.left, control), twipsToPixels(design.top, control),
                         twipsToPixels(design.width, control), twipsToPixels(design.height, control));
}

TwipsRect formGeometry(const QWidget *window)
{
    const QRect frame = window->geometry() + frameMargins(window);
    TwipsRect twips{pixelsToTwips(frame.x(), window), pixelsToTwips(frame.y(), window),
                    pixelsToTwips(frame.width(), window), pixelsToTwips(frame.height(), window)};
    const QVariant stored = window->property(kStoredTopLeft);
    if (!framesAreKnown() && stored.isValid()) {
        twips.left = float(stored.toPointF().x());
        twips.top = float(stored.toPointF().y());
    }
    return twips;
}

void setFormGeometry(QWidget *window, const TwipsRect &frame, const QPointF &fallbackTopLeft)
{
    const QSize need = controlsNeed(window);
    const QSize most = largestScreen();
    QRect pixels(twipsToPixels(frame.left, window), twipsToPixels(frame.top, window),
                 boundedPixels(frame.width, window, 1, std::max(most.width(), need.width())),
                 boundedPixels(frame.height, window, 1, std::max(most.height(), need.height())));
    if (!titleBarOnAnyScreen(pixels))
        pixels.moveTopLeft(QPoint(twipsToPixels(float(fallbackTopLeft.x()), window),
                                  twipsToPixels(float(fallbackTopLeft.y()), window)));
    window->setMinimumSize(need);
    window->setProperty(kStoredTopLeft, QPointF(frame.left, frame.top));
    window->setProperty(kFrameSize, pixels.size());
    // A top-level window moves by its frame.
    if (framesAreKnown())
        window->move(pixels.topLeft());
    const QMargins margins = frameMargins(window);
    window->resize(pixels.size().shrunkBy(margins).expandedTo(need));
    if (margins.isNull())
        new FrameFitter(window);
}

void loadFormGeometry(QWidget *window, const FrameKeys &keys)
{
    const auto defaultOf = [](settings::SettingKey key) {
        return settings::textToSingle(settings::keyInfo(key).defaultText).value_or(0);
    };
    setFormGeometry(window,
                    {settings::readSingle(keys.left), settings::readSingle(keys.top),
                     settings::readSingle(keys.width), settings::readSingle(keys.height)},
                    {defaultOf(keys.left), defaultOf(keys.top)});
}

} // namespace quellex::forms
