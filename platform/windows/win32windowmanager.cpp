#include "platform/windows/win32windowmanager.h"

#include "platform/windows/user32calls.h"

namespace quellex::platform {

WindowHandle Win32WindowManager::GetForegroundWindow()
{
    return user32::getForegroundWindow();
}

bool Win32WindowManager::SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx,
                                      int cy, unsigned uFlags)
{
    if (!isBandChange(hWnd, hWndInsertAfter, uFlags))
        return false;
    return user32::setWindowPos(hWnd, hWndInsertAfter == HWND_TOPMOST, X, Y, cx, cy, uFlags);
}

} // namespace quellex::platform
