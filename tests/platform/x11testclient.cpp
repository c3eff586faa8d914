#include "tests/platform/x11testclient.h"

#include "platform/linux/xcbcalls.h"

#include <QDeadlineTimer>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace quellex::test {

namespace {

template<typename T> using Reply = platform::XcbReply<T>;

constexpr quint32 kSourcePager = 2;

// A property's reply, whatever its type; null when the property or the window is absent.
Reply<xcb_get_property_reply_t> getProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                                            quint32 length)
{
    xcb_generic_error_t *error = nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length), &error));
    std::free(error);
    return reply && reply->type != XCB_ATOM_NONE ? std::move(reply) : nullptr;
}

} // namespace

X11TestClient::X11TestClient()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (it.rem)
        m_root = it.data->root;
}

X11TestClient::~X11TestClient()
{
    if (isConnected())
        destroyAllWindows();
    xcb_disconnect(m_connection);
}

bool X11TestClient::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root;
}

xcb_atom_t X11TestClient::atom(const char *name)
{
    const QByteArray key(name);
    if (auto found = m_atoms.constFind(key); found != m_atoms.cend())
        return *found;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, key.size(), key.constData()), nullptr));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE)
        m_atoms.insert(key, atom);
    return atom;
}

xcb_window_t X11TestClient::createWindow(const QString &title, const QRect &geometry)
{
    const xcb_window_t window = xcb_generate_id(m_connection);
    const quint32 values[] = {0xffffff};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, geometry.x(), geometry.y(),
                      geometry.width(), geometry.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, values);
    m_windows.append(window);

    const QByteArray latin1 = title.toLatin1();
    const QByteArray utf8 = title.toUtf8();
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        latin1.size(), latin1.constData());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"), 8, utf8.size(), utf8.constData());
    static const char wmClass[] = "quellex-test\0QuellexTest";
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof(wmClass), wmClass);
    // ICCCM WM_HINTS with only the input hint set, so that the window manager will focus the window.
    const quint32 hints[9] = {1, 1, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        9, hints);
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    return window;
}

void X11TestClient::destroyWindow(xcb_window_t window)
{
    m_windows.removeAll(window);
    xcb_destroy_window(m_connection, window);
    // A round trip, so that the window is gone for every other client before this returns.
    Reply<xcb_get_input_focus_reply_t>(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool X11TestClient::destroyAllWindows(int timeoutMs)
{
    const QList<xcb_window_t> windows = std::exchange(m_windows, {});
    for (xcb_window_t window : windows)
        destroyWindow(window);
    if (!hasWindowManager())
        return true;
    return QTest::qWaitFor(
        [&] {
            const QList<xcb_window_t> managed = clientList();
            return std::none_of(windows.cbegin(), windows.cend(),
                                [&](xcb_window_t window) { return managed.contains(window); });
        },
        timeoutMs);
}

bool X11TestClient::windowExists(xcb_window_t window)
{
    return platform::xcbWindowExists(m_connection, window);
}

bool X11TestClient::hasWindowManager()
{
    const xcb_window_t check = cardinals(m_root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).value(0);
    return check != 0 && windowExists(check) &&
           getProperty(m_connection, m_root, atom("_NET_CLIENT_LIST"), 0);
}

bool X11TestClient::waitUntilManaged(xcb_window_t window, int timeoutMs)
{
    return QTest::qWaitFor([&] { return clientList().contains(window) && frameOf(window) != 0; }, timeoutMs);
}

bool X11TestClient::activate(xcb_window_t window, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        sendToWindowManager(window, atom("_NET_ACTIVE_WINDOW"), kSourcePager, XCB_CURRENT_TIME, 0, 0);
        if (QTest::qWaitFor([&] { return activeWindow() == window; }, int(deadline.remainingTime()))) {
            QTest::qWait(150);
            if (activeWindow() == window)
                return true;
        }
    }
    return activeWindow() == window;
}

bool X11TestClient::setTopmost(xcb_window_t window, bool topmost, int timeoutMs)
{
    sendToWindowManager(window, atom("_NET_WM_STATE"), topmost ? 1 : 0, atom("_NET_WM_STATE_ABOVE"), 0,
                        kSourcePager);
    return QTest::qWaitFor([&] { return hasWmState(window, "_NET_WM_STATE_ABOVE") == topmost; }, timeoutMs);
}

xcb_window_t X11TestClient::activeWindow()
{
    return cardinals(m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW).value(0);
}

QList<xcb_window_t> X11TestClient::clientList()
{
    return cardinals(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
}

QList<xcb_window_t> X11TestClient::clientListStacking()
{
    return cardinals(m_root, atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
}

bool X11TestClient::isStackedAbove(xcb_window_t upper, xcb_window_t lower)
{
    const QList<xcb_window_t> stacking = clientListStacking();
    const qsizetype lowerIndex = stacking.indexOf(lower);
    return lowerIndex >= 0 && stacking.indexOf(upper) > lowerIndex;
}

QList<xcb_atom_t> X11TestClient::wmState(xcb_window_t window)
{
    return cardinals(window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
}

bool X11TestClient::hasWmState(xcb_window_t window, const char *state)
{
    return wmState(window).contains(atom(state));
}

xcb_window_t X11TestClient::frameOf(xcb_window_t window)
{
    for (int depth = 0; window && depth < 16; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            return 0;
        if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
    return 0;
}

QRect X11TestClient::frameGeometry(xcb_window_t window)
{
    const xcb_window_t frame = frameOf(window);
    Reply<xcb_get_geometry_reply_t> geometry(
        frame ? xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, frame), nullptr)
              : nullptr);
    if (!geometry)
        return {};
    const int border = geometry->border_width;
    return QRect(geometry->x, geometry->y, geometry->width + 2 * border, geometry->height + 2 * border);
}

void X11TestClient::requestMove(xcb_window_t window, const QPoint &frameTopLeft)
{
    constexpr quint32 kNorthWestGravity = 1;
    constexpr quint32 kXAndY = (1 << 8) | (1 << 9);
    sendToWindowManager(window, atom("_NET_MOVERESIZE_WINDOW"),
                        kNorthWestGravity | kXAndY | (kSourcePager << 12), quint32(frameTopLeft.x()),
                        quint32(frameTopLeft.y()), 0);
}

void X11TestClient::requestRaise(xcb_window_t window)
{
    sendToWindowManager(window, atom("_NET_RESTACK_WINDOW"), kSourcePager, XCB_WINDOW_NONE,
                        XCB_STACK_MODE_ABOVE, 0);
}

void X11TestClient::requestClose(xcb_window_t window)
{
    sendToWindowManager(window, atom("_NET_CLOSE_WINDOW"), XCB_CURRENT_TIME, kSourcePager, 0, 0);
}

xcb_window_t X11TestClient::clientOfFrame(xcb_window_t frame)
{
    const xcb_atom_t wmStateAtom = atom("WM_STATE");
    QList<xcb_window_t> queue{frame};
    for (qsizetype i = 0; i < queue.size() && i < 256; ++i) {
        const xcb_window_t window = queue.at(i);
        if (getProperty(m_connection, window, wmStateAtom, 0))
            return window;
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            continue;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        queue.append(QList<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get())));
    }
    return 0;
}

void X11TestClient::flush()
{
    xcb_flush(m_connection);
    // Nothing here selects events; what arrives is errors of requests on windows that went away.
    errorsOn(m_connection);
}

QList<quint32> X11TestClient::cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const std::vector<std::uint32_t> values =
        platform::xcbPropertyValues(m_connection, window, property, type);
    return QList<quint32>(values.begin(), values.end());
}

QByteArray X11TestClient::property(xcb_window_t window, const char *name)
{
    const Reply<xcb_get_property_reply_t> reply = getProperty(m_connection, window, atom(name), 1 << 20);
    if (!reply)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QList<xcb_window_t> X11TestClient::windowsOf(qint64 pid)
{
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    QList<xcb_window_t> found;
    const xcb_window_t *children = tree ? xcb_query_tree_children(tree.get()) : nullptr;
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t window = clientOfFrame(children[i]);
        if (window &&
            cardinals(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL) == QList<quint32>{quint32(pid)})
            found.append(window);
    }
    return found;
}

void X11TestClient::sendToWindowManager(xcb_window_t window, xcb_atom_t type, quint32 d0, quint32 d1,
                                        quint32 d2, quint32 d3)
{
    platform::xcbSendToWindowManager(m_connection, m_root, window, type, d0, d1, d2, d3);
    flush();
}

int X11TestClient::errorsOn(xcb_connection_t *connection)
{
    int errors = 0;
    while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
        if (event->response_type == 0)
            ++errors;
        std::free(event);
    }
    return errors + (xcb_connection_has_error(connection) ? 1000 : 0);
}

} // namespace quellex::test
