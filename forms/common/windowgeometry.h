#pragma once

#include "settings/settingkeys.h"

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
float pixelsToTwips(int pixels, const QWidget *widget);

// Places a control at its design position in twips, relative to its window's client area.
void placeControl(QWidget *control, const TwipsRect &design);

// A top-level window's outer frame, title bar and borders included, as the settings store keeps it.
TwipsRect formGeometry(const QWidget *window);

// Gives the window this outer frame. Where no part of its title bar would be on any screen, so that
// the user could not reach it, it goes to fallbackTopLeft (twips) instead; its size is kept.
// The window manager's frame is only known once the window is shown: until then the size is
// remembered and given to the frame as soon as it appears.
void setFormGeometry(QWidget *window, const TwipsRect &frame, const QPointF &fallbackTopLeft);

// The four settings keys a window keeps its outer frame under.
struct FrameKeys
{
    settings::SettingKey left;
    settings::SettingKey top;
    settings::SettingKey width;
    settings::SettingKey height;
};

// Gives the window the frame stored under keys; where that place is out of reach, the window goes to
// the defaults of the two position keys.
void loadFormGeometry(QWidget *window, const FrameKeys &keys);

} // namespace quellex::forms
