#include "tests/support/fakewindowmanager.h"

namespace quellex::test {

QString FakeWindowManager::Call::toString() const
{
    if (operation == Operation::GetForegroundWindow)
        return QStringLiteral("GetForegroundWindow() = %1").arg(hWnd);
    return QStringLiteral("SetWindowPos(%1, %2, %3, %4, %5, %6, %7)")
        .arg(hWnd)
        .arg(hWndInsertAfter)
        .arg(x)
        .arg(y)
        .arg(cx)
        .arg(cy)
        .arg(flags);
}

platform::WindowHandle FakeWindowManager::GetForegroundWindow()
{
    const WindowHandle window = m_queued.isEmpty() ? m_foreground : m_queued.takeFirst();
    Call call;
    call.operation = Operation::GetForegroundWindow;
    call.hWnd = window;
    m_calls.append(call);
    return window;
}

bool FakeWindowManager::SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx,
                                     int cy, unsigned uFlags)
{
    m_calls.append(Call{Operation::SetWindowPos, hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags});

    if (!isBandChange(hWnd, hWndInsertAfter, uFlags) || hWnd < 0)
        return false;
    setTopmost(hWnd, hWndInsertAfter == platform::HWND_TOPMOST);
    return true;
}

QStringList FakeWindowManager::callLog() const
{
    QStringList log;
    for (const Call &call : m_calls)
        log.append(call.toString());
    return log;
}

void FakeWindowManager::setTopmost(WindowHandle window, bool topmost)
{
    if (topmost)
        m_topmost.insert(window);
    else
        m_topmost.remove(window);
}

} // namespace quellex::test
