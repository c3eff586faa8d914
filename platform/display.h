#pragma once

#include <string>

namespace quellex::platform {

// Why no window could be shown on this session's display, or an empty text when one can. Asked
// before the toolkit starts, which would otherwise abort with a message about its plugins.
std::string displayProblem();

} // namespace quellex::platform
