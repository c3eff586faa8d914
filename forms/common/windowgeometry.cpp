#include "forms/common/windowgeometry.h"

#include "forms/common/toolkitdisplay.h"
#include "settings/settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace quellex::forms {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// Tall enough to grab a title bar by; the real height is the window manager's and unknown here.
constexpr int kTitleBarPixels = 20;
// Wider margins than this are no frame but a window manager's mistake.
constexpr int kMaxFrameMargin = 200;
// X11 keeps coordinates in 16 signed bits.
constexpr double kMaxCoordinate = 32767;

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

bool titleBarOnAnyScreen(const QRect &frame)
{
    const QRect titleBar(frame.left(), frame.top(), frame.width(), kTitleBarPixels);
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen *screen) { return screen->geometry().intersects(titleBar); });
}

float pixelsToTwips(int pixels, const QWidget *widget)
{
    return float(std::round(pixels * kTwipsPerInch / dotsPerInch(widget)));
}

QSize largestScreen()
{
    QSize largest(1, 1);
    for (const QScreen *screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->availableGeometry().size());
    return largest;
}

} // namespace

int twipsToPixels(float twips, const QWidget *widget)
{
    return boundedPixels(twips, widget, -kMaxCoordinate, kMaxCoordinate);
}

void placeControl(QWidget *control, const TwipsRect &design)
{
    control->setGeometry(twipsToPixels(design.left, control), twipsToPixels(design.top, control),
                         twipsToPixels(design.width, control), twipsToPixels(design.height, control));
}

WindowGeometry::WindowGeometry(QWidget &window, const FrameKeys &keys, platform::WindowManager &windowManager)
    : QObject(&window)
    , m_window(window)
    , m_keys(keys)
    , m_windowManager(windowManager)
{}

// The toolkit's frame margins in logical pixels; none where the desktop states no frame or states
// one no window could have.
QMargins WindowGeometry::frameMargins() const
{
    const QWindow *handle = m_window.windowHandle();
    const QMargins margins = handle && m_honoursPositions ? handle->frameMargins() : QMargins();
    const auto [least, most] =
        std::minmax({margins.left(), margins.top(), margins.right(), margins.bottom()});
    return least < 0 || most > kMaxFrameMargin ? QMargins() : margins;
}

TwipsRect WindowGeometry::frame() const
{
    const QWidget *window = &m_window;
    const QRect frame = window->geometry() + frameMargins();
    TwipsRect twips{pixelsToTwips(frame.x(), window), pixelsToTwips(frame.y(), window),
                    pixelsToTwips(frame.width(), window), pixelsToTwips(frame.height(), window)};
    // Where windows do not stand where they are put, a window keeps its stored position.
    if (!m_honoursPositions) {
        twips.left = float(m_storedTopLeft.x());
        twips.top = float(m_storedTopLeft.y());
    }
    return twips;
}

void WindowGeometry::savePosition()
{
    const TwipsRect twips = frame();
    settings::writeSingle(m_keys.left, twips.left);
    settings::writeSingle(m_keys.top, twips.top);
}

void WindowGeometry::save()
{
    savePosition();
    const TwipsRect twips = frame();
    settings::writeSingle(m_keys.width, twips.width);
    settings::writeSingle(m_keys.height, twips.height);
}

void WindowGeometry::load()
{
    QWidget *window = &m_window;
    const FrameKeys &keys = m_keys;
    // Every control inside, and below the lowest as much room as the design keeps above the highest.
    const QRect controls = window->childrenRect();
    const QSize need(controls.right() + 1, controls.bottom() + 1 + controls.top());
    const QSize most = largestScreen();
    const QPointF topLeft(settings::readSingle(keys.left), settings::readSingle(keys.top));
    QRect pixels(
        twipsToPixels(float(topLeft.x()), window), twipsToPixels(float(topLeft.y()), window),
        boundedPixels(settings::readSingle(keys.width), window, 1, std::max(most.width(), need.width())),
        boundedPixels(settings::readSingle(keys.height), window, 1, std::max(most.height(), need.height())));
    const auto defaultPixels = [window](settings::SettingKey key) {
        return twipsToPixels(settings::textToSingle(settings::keyInfo(key).defaultText).value_or(0), window);
    };
    if (!titleBarOnAnyScreen(pixels))
        pixels.moveTopLeft(QPoint(defaultPixels(keys.left), defaultPixels(keys.top)));
    window->setMinimumSize(need);
    m_honoursPositions = m_windowManager.honoursPositions();
    m_storedTopLeft = topLeft;
    m_frameSize = pixels.size();
    const QMargins margins = frameMargins();
    window->resize(pixels.size().shrunkBy(margins).expandedTo(need));
    // Moved before it exists, a window is placed by its frame: the window manager puts the frame's
    // corner there as it maps the window, so no move needs to follow that could undo one of the user's.
    if (m_honoursPositions)
        window->move(pixels.topLeft());
    if (margins.isNull())
        window->installEventFilter(this);
}

// The frame is only known once the desktop has framed the window: the first time there are margins,
// the client area is made the frame less the margins. Only the size: the window manager has placed the
// frame already, and by now the window may have been moved, which no later request may undo.
bool WindowGeometry::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize && type != QEvent::Paint)
        return false;
    const QMargins margins = frameMargins();
    if (!margins.isNull()) {
        m_window.removeEventFilter(this);
        resizeInPlace(&m_window, m_frameSize.shrunkBy(margins).expandedTo(m_window.minimumSize()));
    }
    return false;
}

} // namespace quellex::forms
