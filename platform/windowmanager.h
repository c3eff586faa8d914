#pragma once

#include <cstdint>
#include <memory>

namespace quellex::platform {

// A top-level window of any program, as the window manager names it; 0 is none.
using WindowHandle = std::intptr_t;

inline constexpr WindowHandle HWND_TOPMOST = -1;
inline constexpr WindowHandle HWND_NOTOPMOST = -2;
inline constexpr unsigned SWP_NOSIZE = 1;
inline constexpr unsigned SWP_NOMOVE = 2;

// The two stacking calls that keep a window above the others.
class WindowManager
{
public:
    virtual ~WindowManager() = default;

    // The window that has the user's focus now, possibly another program's; 0 when none has.
    virtual WindowHandle GetForegroundWindow() = 0;

    // Only HWND_TOPMOST and HWND_NOTOPMOST with SWP_NOSIZE | SWP_NOMOVE are supported: they move
    // hWnd into or out of the topmost band and leave position and size alone. Returns false when the
    // call could not be made (no such window, say); callers may ignore it.
    virtual bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                              unsigned uFlags) = 0;

    // Whether the window manager can keep a window above the others at all. Where it cannot, the
    // stacking calls still run and change nothing.
    virtual bool canKeepOnTop() { return true; }

    // Whether the desktop honours positions: a window stands where the program puts it and the toolkit
    // knows its frame. Not so on native Wayland, nor under an X11 window manager that states no frame
    // extents (weston's): it places new windows as it likes.
    virtual bool honoursPositions() { return true; }

protected:
    // The rules above, which every layer applies before it acts: a window that is not 0 (a layer may
    // refuse more), moved into or out of the topmost band with position and size kept.
    static bool isBandChange(WindowHandle hWnd, WindowHandle hWndInsertAfter, unsigned uFlags)
    {
        constexpr unsigned keepGeometry = SWP_NOSIZE | SWP_NOMOVE;
        return hWnd != 0 && (uFlags & keepGeometry) == keepGeometry &&
               (hWndInsertAfter == HWND_TOPMOST || hWndInsertAfter == HWND_NOTOPMOST);
    }
};

// The display the program shows its windows on, as the toolkit reports it.
struct DisplayConnection
{
    const char *platformName = nullptr; // "xcb", "offscreen", "wayland", ...
    void *nativeConnection = nullptr;   // xcb_connection_t * on X11
};

// The window manager of that display, or one that does nothing (and says so once on stderr) where the
// platform layer has none for it.
std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &display);

} // namespace quellex::platform
