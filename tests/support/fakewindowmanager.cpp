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
    callLog << QString::asprintf("SetWindowPos(%lld, %lld, %d, %d, %d, %d, %u)", qlonglong(hWnd),
                                 qlonglong(hWndInsertAfter), X, Y, cx, cy, uFlags);
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
