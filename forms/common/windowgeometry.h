#pragma once

#include "platform/windowmanager.h"
#include "settings/settingkeys.h"

#include <QObject>
#include <QPointF>
#include <QRect>

class QWidget;

namespace quellex::forms {

// A window's or control's place in twips: 1440 to the inch, so 15 to a pixel at 96 dots per inch.
struct TwipsRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

int twipsToPixels(float twips, const QWidget *widget);

// Places a control at its design position in twips, relative to its window's client area.
void placeControl(QWidget *control, const TwipsRect &design);

// The four settings keys a window keeps its outer frame under.
struct FrameKeys
{
    settings::SettingKey left;
    settings::SettingKey top;
    settings::SettingKey width;
    settings::SettingKey height;
};

// A top-level window's outer frame, title bar and borders included, as the settings store keeps it
// under its keys. One for each window, a child of it.
class WindowGeometry : public QObject
{
    Q_OBJECT

public:
    WindowGeometry(QWidget &window, const FrameKeys &keys, platform::WindowManager &windowManager);

    // Gives the window the stored frame, never smaller than its controls need. Where no part of its
    // title bar would be on any screen, it goes to the defaults of the two position keys. The frame
    // is only known once the window is shown: its size is given to the frame as soon as it appears.
    // Where the desktop does not honour positions, the window keeps its stored position.
    void load();
    // The frame now, in twips.
    TwipsRect frame() const;
    // Writes the frame's left and top edges.
    void savePosition();
    // Writes the whole frame.
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMargins frameMargins() const;

    QWidget &m_window;
    FrameKeys m_keys;
    platform::WindowManager &m_windowManager;
    bool m_honoursPositions = true;
    QPointF m_storedTopLeft;
    // The size in pixels the frame is to have once the desktop has framed the window.
    QSize m_frameSize;
};

} // namespace quellex::forms
