#pragma once

#include "platform/windowmanager.h"

#include <memory>

namespace quellex::forms {

// The display the toolkit shows its windows on, and what it will not do of what the windows ask for.
// All of these need a QGuiApplication.

// The window manager of that display, over the toolkit's own connection.
std::unique_ptr<platform::WindowManager> toolkitWindowManager();

// Whether the toolkit's connection to its display has broken (the X server has gone): the toolkit
// ends the program as soon as it notices.
bool toolkitDisplayLost();

} // namespace quellex::forms
