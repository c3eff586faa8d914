#pragma once

namespace quellex::platform {

// The toolkit platform the program asks for when the user has not chosen one (QT_QPA_PLATFORM),
// or nullptr to leave the choice to the toolkit. The windows need absolute positions and a stacking
// order, which X11 gives a client and Wayland does not: so where an X display answers, Xwayland in a
// Wayland session included, that is "xcb".
const char *preferredToolkitPlatform();

} // namespace quellex::platform
