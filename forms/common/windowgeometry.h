#pragma once

#include "platform/windowmanager.h"
#include "settings/settingkeys.h"

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

// The four settings keys a window keeps its outer frame under.
struct FrameKeys
{
    settings::SettingKey left;
    settings::SettingKey top;
    settings::SettingKey width;
    settings::SettingKey height;
};

// Gives the window the outer frame stored under keys, never smaller than its controls need. Where no
// part of its title bar would be on any screen, it goes to the defaults of the two position keys. The
// frame is only known once the window is shown: its size is given to the frame as soon as it appears.
// windowManager tells whether the desktop puts windows where they are asked to be; where it does not,
// the window keeps its stored position.
void loadFormGeometry(QWidget *window, const FrameKeys &keys, platform::WindowManager &windowManager);

} // namespace quellex::forms
