#pragma once

#include "platform/windowmanager.h"

#include <QList>
#include <QSet>
#include <QStringList>

namespace quellex::test {

// A window manager with no windows of its own: it answers GetForegroundWindow from what it was told,
// keeps the topmost band as a set of handles, and logs every call in order, so that a test can check
// which calls a tick made and with which arguments. It applies the same rules as a real layer: a
// handle of 0 or below, or anything but a pure stacking change, is refused with false.
class FakeWindowManager final : public platform::WindowManager
{
public:
    using WindowHandle = platform::WindowHandle;

    WindowHandle GetForegroundWindow() override;
    bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                      unsigned uFlags) override;

    // The handle GetForegroundWindow returns whenever no queued answer is left; 0 at first.
    void setForegroundWindow(WindowHandle window) { m_foreground = window; }
    // Answers for the next calls of GetForegroundWindow, one a call in this order, before the
    // handle set above is returned again; appended to any not yet used.
    void queueForegroundWindows(const QList<WindowHandle> &windows) { m_queued.append(windows); }

    // The calls so far, as "GetForegroundWindow() = 7" or "SetWindowPos(7, -2, 0, 0, 0, 0, 3)".
    QStringList callLog;

    // Which windows are in the topmost band after the calls so far.
    bool isTopmost(WindowHandle window) const { return m_topmost.contains(window); }
    void setTopmost(WindowHandle window, bool topmost);

private:
    QList<WindowHandle> m_queued;
    WindowHandle m_foreground = 0;
    QSet<WindowHandle> m_topmost;
};

} // namespace quellex::test
