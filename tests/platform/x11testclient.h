#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <xcb/xcb.h>

namespace quellex::test {

// An X client of the test's own, on a connection of its own to $DISPLAY: it makes ordinary top-level
// windows, asks the window manager to activate them or keep them above, and reads back what the
// window manager did. Window ids are client windows (what _NET_ACTIVE_WINDOW and the client lists
// name), never the frames a reparenting window manager puts around them. The waiting functions poll
// with the event loop running, so Qt windows of the same test keep being served.
class X11TestClient
{
public:
    X11TestClient();
    ~X11TestClient();
    Q_DISABLE_COPY(X11TestClient)

    bool isConnected() const;
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(const char *name);

    // A mapped top-level window titled title; it is destroyed with the client unless destroyed before.
    xcb_window_t createWindow(const QString &title, const QRect &geometry = QRect(100, 100, 240, 160));
    // Returns once the window is gone for every client (not yet for the window manager).
    void destroyWindow(xcb_window_t window);
    // Destroys every window made here and waits up to timeoutMs until the window manager has let go of
    // them; the destructor does the same. Keep one client for a whole test case: the X server gives
    // the next connection the ids of one that closed, so the windows of a new client would share ids
    // with windows the window manager may still be forgetting.
    bool destroyAllWindows(int timeoutMs = 5000);
    bool windowExists(xcb_window_t window);
    // Whether an EWMH window manager runs and has finished starting: _NET_SUPPORTING_WM_CHECK names a
    // live window and _NET_CLIENT_LIST is published (a window mapped before that may stay unmanaged).
    bool hasWindowManager();

    // Each waits up to timeoutMs and says whether the state was reached.
    bool waitUntilManaged(xcb_window_t window, int timeoutMs = 5000);
    // Active and still active a moment later: a window manager may hand the focus to a window it has
    // just mapped after the request was served; then the request is repeated.
    bool activate(xcb_window_t window, int timeoutMs = 5000);
    bool setTopmost(xcb_window_t window, bool topmost, int timeoutMs = 5000);

    // 0 when the property is absent or names no window.
    xcb_window_t activeWindow();
    QList<xcb_window_t> clientList();
    // Bottom to top.
    QList<xcb_window_t> clientListStacking();
    // Whether upper comes after lower in _NET_CLIENT_LIST_STACKING (both must be listed).
    bool isStackedAbove(xcb_window_t upper, xcb_window_t lower);
    QList<xcb_atom_t> wmState(xcb_window_t window);
    bool hasWmState(xcb_window_t window, const char *state);
    // The 32-bit values of a property of that type; none when it is absent or of another type.
    QList<quint32> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    // A property's bytes, whatever its type; empty when it is absent.
    QByteArray property(xcb_window_t window, const char *name);
    // The managed top-level windows of process pid, found through the window tree: weston's window
    // manager keeps no client list.
    QList<xcb_window_t> windowsOf(qint64 pid);

    // The child of the root that holds window (the window itself when nothing reparented it); 0 when
    // the window is gone.
    xcb_window_t frameOf(xcb_window_t window);
    // Where the frame around window stands on the screen, border included; empty when it is gone.
    QRect frameGeometry(xcb_window_t window);
    // Asks the window manager to move window's frame there, as a pager does for a user's drag.
    void requestMove(xcb_window_t window, const QPoint &frameTopLeft);
    // Asks the window manager to stack window above its siblings, as a pager does; the focus stays.
    void requestRaise(xcb_window_t window);
    // Asks the window manager to close window, as a pager does.
    void requestClose(xcb_window_t window);
    // The client window inside a frame: frame itself or the first descendant that carries WM_STATE;
    // 0 when there is none.
    xcb_window_t clientOfFrame(xcb_window_t frame);

    void flush();

    // X errors waiting on another connection (a layer's, say), counting a broken connection as many.
    static int errorsOn(xcb_connection_t *connection);

private:
    void sendToWindowManager(xcb_window_t window, xcb_atom_t type, quint32 d0, quint32 d1, quint32 d2,
                             quint32 d3);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
    QList<xcb_window_t> m_windows;
};

} // namespace quellex::test
