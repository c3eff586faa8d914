#pragma once

#include "platform/windowmanager.h"

#include <vector>
#include <xcb/xcb.h>

namespace quellex::platform {

// The stacking calls on an X11 display with an EWMH window manager, over an xcb connection the caller
// owns and keeps open for as long as this object lives (the toolkit's own connection, typically).
// A handle is the id of a top-level client window, the one _NET_ACTIVE_WINDOW names, not the frame a
// reparenting window manager puts around it. The topmost band is the window manager's
// _NET_WM_STATE_ABOVE layer; the window manager does the restacking, so without one nothing moves.
// No call ever produces an X error on the connection, so a window that went away meanwhile reaches
// no error handler.
class X11WindowManager final : public WindowManager
{
public:
    X11WindowManager(xcb_connection_t *connection, xcb_window_t root);

    WindowHandle GetForegroundWindow() override;
    bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                      unsigned uFlags) override;
    // _NET_WM_STATE_ABOVE listed in the window manager's _NET_SUPPORTED.
    bool canKeepOnTop() override;
    // No EWMH window manager, or one that lists _NET_FRAME_EXTENTS in _NET_SUPPORTED.
    bool honoursPositions() override;

private:
    bool isUsable() const;
    std::vector<xcb_atom_t> supportedAtoms();
    // The managed windows whose WM_TRANSIENT_FOR names owner.
    std::vector<xcb_window_t> ownedWindows(xcb_window_t owner);

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_netActiveWindow = XCB_ATOM_NONE;
    xcb_atom_t m_netWmState = XCB_ATOM_NONE;
    xcb_atom_t m_netWmStateAbove = XCB_ATOM_NONE;
    xcb_atom_t m_netRestackWindow = XCB_ATOM_NONE;
    xcb_atom_t m_netClientList = XCB_ATOM_NONE;
    xcb_atom_t m_netSupported = XCB_ATOM_NONE;
    xcb_atom_t m_netFrameExtents = XCB_ATOM_NONE;
};

} // namespace quellex::platform
