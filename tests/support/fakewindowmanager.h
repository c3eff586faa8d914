#pragma once

#include "platform/windowmanager.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace quellex::test {

// A window manager with no windows of its own: it answers GetForegroundWindow from what it was told,
// keeps the topmost band as a set of handles, and records every call in order, so that a test can
// check which calls a tick made and with which arguments. It applies the same rules as a real layer:
// a handle of 0 or below, or anything but a pure stacking change, is refused with false.
class FakeWindowManager final : public platform::WindowManager
{
public:
    using WindowHandle = platform::WindowHandle;

    enum class Operation { GetForegroundWindow, SetWindowPos };

    struct Call
    {
        Operation operation = Operation::GetForegroundWindow;
        // GetForegroundWindow: the handle it returned. SetWindowPos: its arguments.
        WindowHandle hWnd = 0;
        WindowHandle hWndInsertAfter = 0;
        int x = 0;
        int y = 0;
        int cx = 0;
        int cy = 0;
        unsigned flags = 0;

        // "GetForegroundWindow() = 7" or "SetWindowPos(7, -2, 0, 0, 0, 0, 3)".
        QString toString() const;
    };

    WindowHandle GetForegroundWindow() override;
    bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                      unsigned uFlags) override;

    // The handle GetForegroundWindow returns whenever no queued answer is left; 0 at first.
    void setForegroundWindow(WindowHandle window) { m_foreground = window; }
    // Answers for the next calls of GetForegroundWindow, one a call in this order, before the
    // handle set above is returned again; appended to any not yet used.
    void queueForegroundWindows(const QList<WindowHandle> &windows) { m_queued.append(windows); }

    const QList<Call> &calls() const { return m_calls; }
    // The calls as toString() writes them, for comparisons that print well when they fail.
    QStringList callLog() const;
    void clearCalls() { m_calls.clear(); }

    // Which windows are in the topmost band after the calls so far.
    bool isTopmost(WindowHandle window) const { return m_topmost.contains(window); }
    void setTopmost(WindowHandle window, bool topmost);

private:
    QList<Call> m_calls;
    QList<WindowHandle> m_queued;
    WindowHandle m_foreground = 0;
    QSet<WindowHandle> m_topmost;
};

} // namespace quellex::test
