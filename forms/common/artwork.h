#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quellex::forms {

// Pictures drawn in code, so they need no image files and scale to any size. They need a
// QGuiApplication (any platform, offscreen included) but no widgets and no window.

// The head shown in the picture boxes: 57 by 75 pixels on black.
QPixmap terminatorPicture();
QImage terminatorImage(int width = 57, int height = 75);

// The program's icon, square. At the design size of 100 pixels it is reduced to 256 colours
// (returned as ARGB32 for display); other sizes keep full colour.
QImage programIconImage(int size = 100);
QIcon programIcon();

constexpr int kProgramIconDesignSize = 100;

} // namespace quellex::forms
