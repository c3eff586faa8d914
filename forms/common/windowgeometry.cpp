#include "forms/common/windowgeometry.h"

#include "forms/common/toolkitdisplay.h"
#include "settings/settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace quellex::forms {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// Tall enough to grab a title bar by; the real height is the window manager's and unknown here.
constexpr int kTitleBarPixels = 20;
constexpr int kFrameWaitMs = 2000;
constexpr int kFramePollMs = 50;
const QString kPlacerName = QStringLiteral("quellex-frame-placer");
constexpr int kMaxFrameMargins = 200;
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

platform::WindowManager &desktop()
{
    static const auto windowManager = toolkitWindowManager();
    return *windowManager;
}

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Gives the window its outer frame once the window manager has put a frame around it: until then the
// frame's size is not known. On X11 the frame is what the window manager states in
// _NET_FRAME_EXTENTS; where it states none (weston), the frame cannot be measured, and the window is
// placed and sized by its client area rather than shrunk for a guess.
class FramePlacer : public QObject
{
public:
    FramePlacer(QWidget *window, const QRect &frame, const QPointF &storedTopLeft)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(kPlacerName);
        window->installEventFilter(this);
        place(frame, storedTopLeft);
    }

    // storedTopLeft: the position asked for, in twips as stored, which stands wherever the toolkit
    // cannot tell where the window is.
    void place(const QRect &frame, const QPointF &storedTopLeft)
    {
        m_frame = frame;
        m_storedTopLeft = storedTopLeft;
        m_watching = true;
        m_extents.reset();
        m_settledAt.reset();
        if (positionsAreKnown())
            m_window->setGeometry(QRect(frame.topLeft(), clientFor({}).size()));
        else
            m_window->resize(clientFor({}).size());
        apply();
    }

    // The outer frame in pixels as it is now. Some window managers (weston's) put a new window where
    // they like: as long as it stays there, it stands where it was asked to be, so that a stored
    // position is never lost to them.
    QRect savedFrame() const
    {
        QRect now = frame();
        if (onX11() && (!m_settledAt || now.topLeft() == *m_settledAt))
            now.moveTopLeft(m_frame.topLeft());
        return now;
    }

    QPointF storedTopLeft() const { return m_storedTopLeft; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            // Without a window manager, or one that never states its frame, no frame ever comes; the
            // user's own moving and resizing is left alone from then on. A window manager states its
            // frame in a property, which no event of the window's own announces: so it is polled.
            QTimer::singleShot(kFrameWaitMs, this, [this] {
                m_watching = false;
                m_settledAt = frame().topLeft();
            });
            if (onX11()) {
                auto *poll = new QTimer(this);
                connect(poll, &QTimer::timeout, this, [this, poll] {
                    if (m_watching)
                        apply();
                    if (!m_watching)
                        poll->deleteLater();
                });
                poll->start(kFramePollMs);
            }
        }
        if (m_watching && (event->type() == QEvent::Show || event->type() == QEvent::Move ||
                           event->type() == QEvent::Resize))
            apply();
        return false;
    }

private:
    QRect frame() const
    {
        if (!onX11())
            return m_window->frameGeometry();
        const QRect client = m_window->geometry();
        const platform::FrameExtents e = m_extents.value_or(platform::FrameExtents{});
        return client.adjusted(-e.left, -e.top, e.right, e.bottom);
    }

    QRect clientFor(const QMargins &margins) const
    {
        const QSize need = controlsNeed(m_window);
        const QSize size(std::max(need.width(), m_frame.width() - margins.left() - margins.right()),
                         std::max(need.height(), m_frame.height() - margins.top() - margins.bottom()));
        return QRect(m_frame.topLeft() + QPoint(margins.left(), margins.top()), size);
    }

    void apply()
    {
        if (onX11()) {
            applyStatedFrame();
            return;
        }
        const QSize margins = m_window->frameGeometry().size() - m_window->size();
        // While the window manager builds its frame, the toolkit can see it at a passing size.
        if (margins.width() < 0 || margins.height() < 0 || margins.width() > kMaxFrameMargins ||
            margins.height() > kMaxFrameMargins)
            return;
        const QSize client = clientFor(QMargins(0, 0, margins.width(), margins.height())).size();
        if (m_window->size() != client)
            m_window->resize(client);
        if (margins.isEmpty())
            return;
        m_watching = false;
        if (positionsAreKnown() && m_window->frameGeometry().topLeft() != m_frame.topLeft())
            m_window->move(m_frame.topLeft());
    }

    void applyStatedFrame()
    {
        if (!m_window->testAttribute(Qt::WA_WState_Created))
            return;
        const auto extents = desktop().frameExtents(platform::WindowHandle(m_window->winId()));
        if (!extents || extents->left + extents->right > kMaxFrameMargins ||
            extents->top + extents->bottom > kMaxFrameMargins)
            return;
        m_extents = extents;
        m_watching = false;
        const QRect client =
            clientFor(QMargins(extents->left, extents->top, extents->right, extents->bottom));
        if (m_window->geometry() != client)
            m_window->setGeometry(client);
    }

    QPointer<QWidget> m_window;
    QRect m_frame;
    QPointF m_storedTopLeft;
    std::optional<platform::FrameExtents> m_extents;
    std::optional<QPoint> m_settledAt;
    bool m_watching = true;
    bool m_shown = false;
};

FramePlacer *placerOf(const QWidget *window)
{
    return static_cast<FramePlacer *>(window->findChild<QObject *>(kPlacerName, Qt::FindDirectChildrenOnly));
}

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
    const FramePlacer *placer = placerOf(window);
    const QRect frame = placer ? placer->savedFrame() : window->frameGeometry();
    TwipsRect twips{pixelsToTwips(frame.x(), window), pixelsToTwips(frame.y(), window),
                    pixelsToTwips(frame.width(), window), pixelsToTwips(frame.height(), window)};
    if (placer && !positionsAreKnown()) {
        twips.left = float(placer->storedTopLeft().x());
        twips.top = float(placer->storedTopLeft().y());
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
    const QPointF storedTopLeft(frame.left, frame.top);
    if (FramePlacer *placer = placerOf(window))
        placer->place(pixels, storedTopLeft);
    else
        new FramePlacer(window, pixels, storedTopLeft);
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
