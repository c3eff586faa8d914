#include "platform/display.h"

namespace quellex::platform {

// Every interactive Windows session has its desktop; where none is (a service), the toolkit says so.
DisplayProbe probeDisplay()
{
    return {};
}

} // namespace quellex::platform
