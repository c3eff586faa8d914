#include "platform/linux/x11windowmanager.h"

#include "platform/linux/xcbcalls.h"
#include "platform/nullwindowmanager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace quellex::platform {

namespace {

constexpr uint32_t kStateRemove = 0;
constexpr uint32_t kStateAdd = 1;
// Requests are sent as a pager would send them: window managers with focus-stealing prevention
// (openbox among them) ignore restack requests that come from an ordinary application.
constexpr uint32_t kSourcePager = 2;
// X resource ids use the low 29 bits.
constexpr WindowHandle kHighestWindowId = 0x1fffffff;

} // namespace

X11WindowManager::X11WindowManager(xcb_connection_t *connection, xcb_window_t root)
    : m_connection(connection)
    , m_root(root)
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    struct Wanted
    {
        const char *name;
        xcb_atom_t *atom;
        xcb_intern_atom_cookie_t cookie;
    };
    Wanted wanted[] = {
        {"_NET_ACTIVE_WINDOW", &m_netActiveWindow, {}},  {"_NET_WM_STATE", &m_netWmState, {}},
        {"_NET_WM_STATE_ABOVE", &m_netWmStateAbove, {}}, {"_NET_RESTACK_WINDOW", &m_netRestackWindow, {}},
        {"_NET_CLIENT_LIST", &m_netClientList, {}},      {"_NET_SUPPORTED", &m_netSupported, {}},
        {"_NET_FRAME_EXTENTS", &m_netFrameExtents, {}},
    };
    for (Wanted &w : wanted)
        w.cookie = xcb_intern_atom(m_connection, 0, std::strlen(w.name), w.name);
    for (Wanted &w : wanted) {
        xcb_generic_error_t *error = nullptr;
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, w.cookie, &error));
        std::free(error);
        if (reply)
            *w.atom = reply->atom;
    }
}

WindowHandle X11WindowManager::GetForegroundWindow()
{
    if (!isUsable())
        return 0;
    const std::vector<uint32_t> active =
        xcbPropertyValues(m_connection, m_root, m_netActiveWindow, XCB_ATOM_WINDOW);
    return active.empty() ? 0 : active.front();
}

bool X11WindowManager::SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx,
                                    int cy, unsigned uFlags)
{
    // Position and size are never changed here; calls that ask for it are refused.
    (void)X, (void)Y, (void)cx, (void)cy;
    if (!isBandChange(hWnd, hWndInsertAfter, uFlags) || hWnd < 0 || hWnd > kHighestWindowId || !isUsable())
        return false;

    const auto window = static_cast<xcb_window_t>(hWnd);
    if (window == m_root || !xcbWindowExists(m_connection, window))
        return false;

    // Both requests go to the root window, which always exists, so a client window that is destroyed
    // from here on only makes the window manager drop them.
    const bool enter = hWndInsertAfter == HWND_TOPMOST;
    // The windows it owns (a modal dialog, say) go into and out of the band with it and stay above
    // it, or the owner would cover the very dialog that blocks it.
    std::vector<xcb_window_t> windows = ownedWindows(window);
    windows.insert(windows.begin(), window);
    for (const xcb_window_t each : windows) {
        xcbSendToWindowManager(m_connection, m_root, each, m_netWmState, enter ? kStateAdd : kStateRemove,
                               m_netWmStateAbove, 0, kSourcePager);
        if (enter) {
            // Entering the band alone leaves a window below others already in it. A restack request
            // raises it to the top of the band without giving it the focus, which activating it would.
            xcbSendToWindowManager(m_connection, m_root, each, m_netRestackWindow, kSourcePager,
                                   XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0);
        }
    }
    xcb_flush(m_connection);
    return true;
}

bool X11WindowManager::canKeepOnTop()
{
    const std::vector<xcb_atom_t> supported = supportedAtoms();
    return isUsable() && std::find(supported.begin(), supported.end(), m_netWmStateAbove) != supported.end();
}

bool X11WindowManager::honoursPositions()
{
    const std::vector<xcb_atom_t> supported = supportedAtoms();
    return supported.empty() ||
           std::find(supported.begin(), supported.end(), m_netFrameExtents) != supported.end();
}

std::vector<xcb_atom_t> X11WindowManager::supportedAtoms()
{
    if (!m_connection || xcb_connection_has_error(m_connection) || !m_netSupported)
        return {};
    return xcbPropertyValues(m_connection, m_root, m_netSupported, XCB_ATOM_ATOM);
}

std::vector<xcb_window_t> X11WindowManager::ownedWindows(xcb_window_t owner)
{
    const std::vector<xcb_window_t> clients =
        xcbPropertyValues(m_connection, m_root, m_netClientList, XCB_ATOM_WINDOW);
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(clients.size());
    for (const xcb_window_t client : clients)
        cookies.push_back(
            xcb_get_property(m_connection, 0, client, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1));
    std::vector<xcb_window_t> owned;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        xcb_generic_error_t *error = nullptr;
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookies[i], &error));
        std::free(error);
        if (clients[i] != owner && reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
            xcb_get_property_value_length(reply.get()) >= 4 &&
            *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get())) == owner)
            owned.push_back(clients[i]);
    }
    return owned;
}

bool X11WindowManager::isUsable() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE &&
           m_netActiveWindow && m_netWmState && m_netWmStateAbove && m_netRestackWindow;
}

std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &display)
{
    const bool isX11 = display.platformName && std::strcmp(display.platformName, "xcb") == 0;
    if (isX11 && display.nativeConnection) {
        auto *connection = static_cast<xcb_connection_t *>(display.nativeConnection);
        if (!xcb_connection_has_error(connection)) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            return std::make_unique<X11WindowManager>(connection, root);
        }
    }
    return std::make_unique<NullWindowManager>(display.platformName);
}

} // namespace quellex::platform
