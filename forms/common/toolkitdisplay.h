#pragma once

#include "platform/windowmanager.h"

#include <memory>

namespace quellex::forms {

// The window manager of the display the toolkit shows its windows on, over the toolkit's own
// connection. Needs a QGuiApplication.
std::unique_ptr<platform::WindowManager> toolkitWindowManager();

} // namespace quellex::forms
