#pragma once

#include <cstdint>

// The two user32 calls, behind a header without <windows.h>, whose macros HWND_TOPMOST and SWP_NOSIZE
// would clash with the window manager's names.
namespace quellex::platform::user32 {

std::intptr_t getForegroundWindow();
// insertAfterTopmost: HWND_TOPMOST when true, HWND_NOTOPMOST when false.
bool setWindowPos(std::intptr_t hWnd, bool insertAfterTopmost, int x, int y, int cx, int cy, unsigned flags);

} // namespace quellex::platform::user32
