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

// Where a window goes when its stored place is out of reach: the defaults of its two position keys.
QPointF defaultTopLeft(settings::SettingKey leftKey, settings::SettingKey topKey);

} // namespace quellex::forms
