#pragma once

class QWidget;

namespace quellex::platform {
class WindowManager;
}

namespace quellex::forms {

// What the desktop will not do of what the windows ask for. On native Wayland a client can neither
// place its windows nor keep them above others, and some X11 window managers (weston's) offer no
// "above" state: the user is told once on stderr, and the "Always On Top" tickbox says so too.

// Finds the limits of this desktop and says them once; run at start, after the toolkit has started.
void noteDesktopLimits(platform::WindowManager &windowManager);

// Whether the toolkit can place windows and read back where they are.
bool positionsAreKnown();

// Gives control the limit as its tooltip, where there is one.
void showStayOnTopLimit(QWidget *control);

} // namespace quellex::forms
