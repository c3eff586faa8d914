#include "platform/windows/win32windowmanager.h"

#include "platform/nullwindowmanager.h"

#include <cstring>
// After the headers: its macros HWND_TOPMOST and SWP_NOSIZE would clash with the window manager's names.
#include <windows.h>

namespace quellex::platform {

WindowHandle Win32WindowManager::GetForegroundWindow()
{
    return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
}

bool Win32WindowManager::SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx,
                                      int cy, unsigned uFlags)
{
    if (!isBandChange(hWnd, hWndInsertAfter, uFlags))
        return false;
    // The band and flag values are user32's own.
    return ::SetWindowPos(reinterpret_cast<HWND>(hWnd), reinterpret_cast<HWND>(hWndInsertAfter), X, Y, cx, cy,
                          uFlags) != FALSE;
}

std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &display)
{
    // Qt's offscreen and minimal platforms make no real windows to restack.
    if (display.platformName && std::strcmp(display.platformName, "windows") == 0)
        return std::make_unique<Win32WindowManager>();
    return std::make_unique<NullWindowManager>(display.platformName);
}

} // namespace quellex::platform
