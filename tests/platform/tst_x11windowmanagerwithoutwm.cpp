// The X11 layer on an X server where no window manager runs: nothing answers its requests, and it must
// neither wait for an answer nor fail. Without a window manager the test sets _NET_ACTIVE_WINDOW itself.
#include "platform/linux/x11windowmanager.h"
#include "tests/platform/x11fixture.h"

#include <QElapsedTimer>
#include <QTest>

using namespace quellex::platform;
using quellex::test::X11TestClient;

namespace {

constexpr unsigned kKeepGeometry = SWP_NOSIZE | SWP_NOMOVE;

} // namespace

class TestX11WindowManagerWithoutWm : public quellex::test::X11Fixture
{
    Q_OBJECT

public:
    TestX11WindowManagerWithoutWm()
        : X11Fixture(Desktop::WithoutWindowManager)
    {}

private slots:
    void foregroundFollowsTheRootProperty();
    void callsReturnAtOnce();

private:
    void setActiveWindow(xcb_atom_t type, const QList<quint32> &values);
};

void TestX11WindowManagerWithoutWm::setActiveWindow(xcb_atom_t type, const QList<quint32> &values)
{
    const xcb_atom_t property = m_client->atom("_NET_ACTIVE_WINDOW");
    if (type == XCB_ATOM_NONE)
        xcb_delete_property(m_client->connection(), m_client->root(), property);
    else
        xcb_change_property(m_client->connection(), XCB_PROP_MODE_REPLACE, m_client->root(), property, type,
                            32, values.size(), values.constData());
    // A round trip: the change is made before the layer reads the property on its own connection.
    QCOMPARE(m_client->windowExists(m_client->root()), true);
}

void TestX11WindowManagerWithoutWm::foregroundFollowsTheRootProperty()
{
    const xcb_window_t window = m_client->createWindow("window");

    setActiveWindow(XCB_ATOM_NONE, {});
    QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
    setActiveWindow(XCB_ATOM_WINDOW, {window});
    QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(window));
    setActiveWindow(XCB_ATOM_WINDOW, {0});
    QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
    setActiveWindow(XCB_ATOM_WINDOW, {});
    QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
    // Written by something other than a window manager, with the wrong type: not a window.
    setActiveWindow(XCB_ATOM_CARDINAL, {window});
    QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));

    setActiveWindow(XCB_ATOM_NONE, {});
}

void TestX11WindowManagerWithoutWm::callsReturnAtOnce()
{
    const xcb_window_t window = m_client->createWindow("window");
    const xcb_window_t gone = m_client->createWindow("gone");
    m_client->destroyWindow(gone);

    QElapsedTimer timer;
    timer.start();
    // A tick's worth of calls, several times over.
    for (int tick = 0; tick < 5; ++tick) {
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
        QVERIFY(!m_layer->SetWindowPos(0, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(m_layer->SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(m_layer->SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(!m_layer->SetWindowPos(gone, HWND_TOPMOST, 0, 0, 0, 0, kKeepGeometry));
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(X11TestClient::errorsOn(m_layerConnection), 0);
}

QTEST_GUILESS_MAIN(TestX11WindowManagerWithoutWm)
#include "tst_x11windowmanagerwithoutwm.moc"
