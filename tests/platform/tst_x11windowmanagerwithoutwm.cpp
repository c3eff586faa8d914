// The X11 layer on an X server where no window manager runs: nothing answers its requests, and it must
// neither wait for an answer nor fail. Without a window manager the test sets _NET_ACTIVE_WINDOW itself.
#include "platform/linux/x11windowmanager.h"
#include "tests/platform/x11fixture.h"

#include <QElapsedTimer>
#include <QTest>

using namespace quellex::platform;
using quellex::test::X11TestClient;

class TestX11WindowManagerWithoutWm : public quellex::test::X11Fixture
{
    Q_OBJECT

public:
    TestX11WindowManagerWithoutWm()
        : X11Fixture(Desktop::WithoutWindowManager)
    {}

private slots:
    void foregroundFollowsTheRootProperty()
    {
        const xcb_window_t window = m_client->createWindow("window");

        QVERIFY(setActiveWindow({}, XCB_ATOM_NONE));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
        QVERIFY(setActiveWindow({window}));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(window));
        QVERIFY(setActiveWindow({0}));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
        QVERIFY(setActiveWindow({}));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
        // Written by something other than a window manager, with the wrong type: not a window.
        QVERIFY(setActiveWindow({window}, XCB_ATOM_CARDINAL));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
    }

    void callsReturnAtOnce()
    {
        const xcb_window_t window = m_client->createWindow("window");
        const xcb_window_t gone = m_client->createWindow("gone");
        m_client->destroyWindow(gone);

        QElapsedTimer timer;
        timer.start();
        // A tick's worth of calls, several times over.
        for (int tick = 0; tick < 5; ++tick) {
            QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(0));
            QVERIFY(!setBand(0, HWND_NOTOPMOST));
            QVERIFY(setBand(window, HWND_TOPMOST));
            QVERIFY(setBand(window, HWND_NOTOPMOST));
            QVERIFY(!setBand(gone, HWND_TOPMOST));
        }
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(X11TestClient::errorsOn(m_layerConnection), 0);
    }
};

QTEST_GUILESS_MAIN(TestX11WindowManagerWithoutWm)
#include "tst_x11windowmanagerwithoutwm.moc"
