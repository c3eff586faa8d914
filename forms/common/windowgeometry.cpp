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
// Kept on each window: its stored top left in twips, and the size in pixels its frame is to have.
const char *const kStoredTopLeft = "quellexStoredTopLeft";
const char *const kFrame = "quellexFrame";

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

// Where windows do not stand where they are put, a window keeps its stored position.
bool framesAreKnown(const QWidget *window)
{
    return !window->property(kStoredTopLeft).isValid();
}

// The toolkit's frame margins in logical pixels; none where the desktop states no frame or states
// one no window could have.
QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    const QMargins margins = handle && framesAreKnown(window) ? handle->frameMargins() : QMargins();
    const auto [least, most] =
        std::minmax({margins.left(), margins.top(), margins.right(), margins.bottom()});
    return least < 0 || most > kMaxFrameMargin ? QMargins() : margins;
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

// The frame is only known once the desktop has framed the window: the first time there are margins,
// the client area is made the frame less the margins. Only the size: the window manager has placed the
// frame already, and by now the window may have been moved, which no later request may undo.
class FrameFitter : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize && type != QEvent::Paint)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMargins margins = frameMargins(window);
        if (!margins.isNull()) {
            window->removeEventFilter(this);
            const QSize frame = window->property(kFrame).toSize();
            resizeInPlace(window, frame.shrunkBy(margins).expandedTo(window->minimumSize()));
        }
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
    if (!framesAreKnown(window)) {
        const QPointF stored = window->property(kStoredTopLeft).toPointF();
        twips.left = float(stored.x());
        twips.top = float(stored.y());
    }
    return twips;
}

void loadFormGeometry(QWidget *window, const FrameKeys &keys, platform::WindowManager &windowManager)
{
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
    const bool framesKnown = positionsAreKnown() && windowManager.placesWindowsAsAsked();
    window->setProperty(kStoredTopLeft, framesKnown ? QVariant() : QVariant(topLeft));
    window->setProperty(kFrame, pixels.size());
    const QMargins margins = frameMargins(window);
    window->resize(pixels.size().shrunkBy(margins).expandedTo(need));
    // Moved before it exists, a window is placed by its frame: the window manager puts the frame's
    // corner there as it maps the window, so no move needs to follow that could undo one of the user's.
    if (framesKnown)
        window->move(pixels.topLeft());
    static FrameFitter fitter;
    if (margins.isNull())
        window->installEventFilter(&fitter);
}

} // namespace quellex::forms
