#include "platform/windows/user32calls.h"

#include <windows.h>

namespace quellex::platform::user32 {

std::intptr_t getForegroundWindow()
{
    return reinterpret_cast<std::intptr_t>(GetForegroundWindow());
}

bool setWindowPos(std::intptr_t hWnd, bool insertAfterTopmost, int x, int y, int cx, int cy, unsigned flags)
{
    return SetWindowPos(reinterpret_cast<HWND>(hWnd), insertAfterTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, x,
                        y, cx, cy, flags) != FALSE;
}

} // namespace quellex::platform::user32
