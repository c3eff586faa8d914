#pragma once

#include "platform/windowmanager.h"
#include "tests/platform/x11testclient.h"
#include "tests/support/testenvironment.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace quellex::test {

// What every test against a real X server shares. An X client of the test's own makes the windows of
// "another program" and reads back what the window manager did; the layer under test talks to the
// server on a connection of its own, or on the toolkit's as in the program. Each test function gets a
// private settings store; after it, every window must be gone and no X error may have come back on the
// layer's connection.
class X11Fixture : public QObject
{
    Q_OBJECT

public:
    enum class Desktop { WithWindowManager, WithoutWindowManager };
    using LayerFactory = std::unique_ptr<platform::WindowManager> (*)();

protected:
    // Without a factory for the toolkit's layer, the layer gets a connection of its own.
    explicit X11Fixture(Desktop desktop, LayerFactory toolkitLayer = nullptr)
        : m_desktop(desktop)
        , m_toolkitLayer(toolkitLayer)
    {}
    // Lets go of the toolkit's windows after a test function, before anything is checked.
    virtual void closeWindows() {}
    // A window of the test's own X client, once the window manager has taken it on; 0 when it did not.
    xcb_window_t managedWindow(const QString &title, const QRect &geometry = QRect(80, 60, 500, 240))
    {
        const xcb_window_t window = m_client->createWindow(title, geometry);
        return m_client->waitUntilManaged(window, kWait) ? window : 0;
    }
    bool hasAbove(xcb_window_t window) { return m_client->hasWmState(window, "_NET_WM_STATE_ABOVE"); }
    // Moves window into or out of the topmost band, as a tick does, through the layer.
    bool setBand(platform::WindowHandle window, platform::WindowHandle band)
    {
        return m_layer->SetWindowPos(window, band, 0, 0, 0, 0, platform::SWP_NOSIZE | platform::SWP_NOMOVE);
    }
    // Sets _NET_ACTIVE_WINDOW on the root window in a window manager's place, with that type (deletes it
    // for XCB_ATOM_NONE); true once the change is made for every connection.
    bool setActiveWindow(const QList<quint32> &values, xcb_atom_t type = XCB_ATOM_WINDOW);

    static constexpr int kWait = 5000;
    std::unique_ptr<X11TestClient> m_client;
    std::unique_ptr<platform::WindowManager> m_layer;
    xcb_connection_t *m_layerConnection = nullptr; // the layer's own; none on the toolkit's
    QStringList m_xcbErrors; // that came back on the toolkit's connection in this test function
    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

private:
    // Qt reports each X error on its own connection as a debug message of its "qt.qpa.xcb" category,
    // which is off by default: it is switched on while a test function runs, and the category's other
    // chatter is kept out of the test log.
    static void collectXcbErrors(QtMsgType type, const QMessageLogContext &context, const QString &message);

    static inline X11Fixture *s_collecting = nullptr;
    QtMessageHandler m_previousHandler = nullptr;
    const Desktop m_desktop;
    const LayerFactory m_toolkitLayer;
};

} // namespace quellex::test
