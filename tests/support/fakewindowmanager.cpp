#include "tests/support/fakewindowmanager.h"

namespace quellex::test {

platform::WindowHandle FakeWindowManager::GetForegroundWindow()
{
    const WindowHandle window = m_queued.isEmpty() ? m_foreground : m_queued.takeFirst();
    callLog << QStringLiteral("GetForegroundWindow() = %1").arg(window);
    return window;
}

bool FakeWindowManager::SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx,
                                     int cy, unsigned uFlags)
{
    callLog << QStringLiteral("SetWindowPos(%1, %2, %3, %4, %5, %6, %7)")
                   .arg(hWnd)
                   .arg(hWndInsertAfter)
                   .arg(X)
                   .arg(Y)
                   .arg(cx)
                   .arg(cy)
                   .arg(uFlags);
    if (!isBandChange(hWnd, hWndInsertAfter, uFlags) || hWnd < 0)
        return false;
    setTopmost(hWnd, hWndInsertAfter == platform::HWND_TOPMOST);
    return true;
}

void FakeWindowManager::setTopmost(WindowHandle window, bool topmost)
{
    if (topmost)
        m_topmost.insert(window);
    else
        m_topmost.remove(window);
}

} // namespace quellex::test
