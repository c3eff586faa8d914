#pragma once

#include "platform/windowmanager.h"

namespace quellex::platform {

// The window manager of a Windows desktop: the two user32 calls, passed through.
class Win32WindowManager final : public WindowManager
{
public:
    WindowHandle GetForegroundWindow() override;
    bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                      unsigned uFlags) override;
};

} // namespace quellex::platform
