#include "forms/common/windowgeometry.h"

#include "settings/settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quellex::forms {

namespace {

constexpr float kTwipsPerInch = 1440.0f;
// Tall enough to grab a title bar by; the real height is the window manager's and unknown here.
constexpr int kTitleBarPixels = 20;
constexpr int kFrameWaitMs = 2000;
const QString kPlacerName = QStringLiteral("quellex-frame-placer");
constexpr int kMaxFrameMargins = 200;

double dotsPerInch(const QWidget *widget)
{
    return widget ? widget->logicalDpiX() : 96.0;
}

bool titleBarOnAnyScreen(const QRect &frame)
{
    const QRect titleBar(frame.left(), frame.top(), frame.width(), kTitleBarPixels);
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen *screen) { return screen->geometry().intersects(titleBar); });
}

// Gives the window its outer frame once the window manager has put a frame around it: until then
// neither the frame's size nor where the toolkit puts the window for a frame position is known.
class FramePlacer : public QObject
{
public:
    FramePlacer(QWidget *window, const QRect &frame)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(kPlacerName);
        window->installEventFilter(this);
        place(frame);
    }

    void place(const QRect &frame)
    {
        m_frame = frame;
        m_watching = true;
        m_window->move(frame.topLeft());
        apply();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || !m_watching)
            return false;
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            // Without a window manager no frame ever comes; the user's own moving and resizing is
            // left alone from then on.
            QTimer::singleShot(kFrameWaitMs, this, [this] { m_watching = false; });
        }
        if (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize)
            apply();
        return false;
    }

private:
    void apply()
    {
        const QSize margins = m_window->frameGeometry().size() - m_window->size();
        // While the window manager builds its frame, the toolkit can see it at a passing size.
        if (margins.width() < 0 || margins.height() < 0 || margins.width() > kMaxFrameMargins ||
            margins.height() > kMaxFrameMargins)
            return;
        const QSize client(std::max(1, m_frame.width() - margins.width()),
                           std::max(1, m_frame.height() - margins.height()));
        if (m_window->size() != client)
            m_window->resize(client);
        if (margins.isEmpty())
            return;
        m_watching = false;
        if (m_window->frameGeometry().topLeft() != m_frame.topLeft())
            m_window->move(m_frame.topLeft());
    }

    QPointer<QWidget> m_window;
    QRect m_frame;
    bool m_watching = true;
    bool m_shown = false;
};

} // namespace

int twipsToPixels(float twips, const QWidget *widget)
{
    return int(std::lround(double(twips) * dotsPerInch(widget) / kTwipsPerInch));
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
    const QRect frame = window->frameGeometry();
    return {pixelsToTwips(frame.x(), window), pixelsToTwips(frame.y(), window),
            pixelsToTwips(frame.width(), window), pixelsToTwips(frame.height(), window)};
}

void setFormGeometry(QWidget *window, const TwipsRect &frame, const QPointF &fallbackTopLeft)
{
    QRect pixels(twipsToPixels(frame.left, window), twipsToPixels(frame.top, window),
                 twipsToPixels(frame.width, window), twipsToPixels(frame.height, window));
    if (!titleBarOnAnyScreen(pixels))
        pixels.moveTopLeft(QPoint(twipsToPixels(float(fallbackTopLeft.x()), window),
                                  twipsToPixels(float(fallbackTopLeft.y()), window)));
    if (auto *placer = window->findChild<QObject *>(kPlacerName, Qt::FindDirectChildrenOnly))
        static_cast<FramePlacer *>(placer)->place(pixels);
    else
        new FramePlacer(window, pixels);
}

QPointF defaultTopLeft(settings::SettingKey leftKey, settings::SettingKey topKey)
{
    const auto left = settings::textToSingle(settings::keyInfo(leftKey).defaultText);
    const auto top = settings::textToSingle(settings::keyInfo(topKey).defaultText);
    return {left.value_or(0), top.value_or(0)};
}

} // namespace quellex::forms
