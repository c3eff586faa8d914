#pragma once

#include "platform/windowmanager.h"

#include <memory>

class QSize;
class QWidget;

namespace quellex::forms {

// The display the toolkit shows its windows on, and what it will not do of what the windows ask for.
// All of these need a QGuiApplication.

// The window manager of that display, over the toolkit's own connection.
std::unique_ptr<platform::WindowManager> toolkitWindowManager();

// Gives a shown top-level window's client area that size and leaves it where it stands, wherever the
// window manager or the user has put it. The toolkit's own resize of a placed window on X11 sends the
// position it last heard of too, which puts back a window moved since.
void resizeInPlace(QWidget *window, const QSize &size);

// Whether the toolkit's connection to its display has broken (the X server has gone): the toolkit
// ends the program as soon as it notices.
bool toolkitDisplayLost();

} // namespace quellex::forms
