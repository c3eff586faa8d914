// The X11 layer against a real X server with a real EWMH window manager. The layer gets a connection of
// its own, as it gets the toolkit's in the program; the windows it acts on belong to another client.
#include "platform/linux/x11windowmanager.h"
#include "tests/platform/x11fixture.h"

#include <QTest>

using namespace quellex::platform;
using quellex::test::X11TestClient;

class TestX11WindowManager : public quellex::test::X11Fixture
{
    Q_OBJECT

public:
    TestX11WindowManager()
        : X11Fixture(Desktop::WithWindowManager)
    {}

private slots:
    void foregroundIsTheActivatedClientWindow()
    {
        const xcb_window_t first = managedWindow("first", QRect(50, 50, 300, 200));
        const xcb_window_t second = managedWindow("second", QRect(200, 150, 300, 200));
        QVERIFY(first && second);

        // The window manager wraps each client in a frame; the handle must be the client, which is what
        // the program's own window id is.
        const xcb_window_t frame = m_client->frameOf(first);
        QVERIFY(frame != 0);
        QVERIFY(frame != first);
        QCOMPARE(m_client->clientOfFrame(frame), first);

        QVERIFY(m_client->activate(first, kWait));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(first));
        QVERIFY(m_client->activate(second, kWait));
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(second));
    }

    void foregroundLosesTopmostAndOwnWindowGoesAboveIt()
    {
        xcb_window_t own = 0, other = 0;
        QVERIFY(ownAndOther(own, other, true));

        const WindowHandle foreground = m_layer->GetForegroundWindow();
        QCOMPARE(foreground, WindowHandle(other));
        QVERIFY(setBand(foreground, HWND_NOTOPMOST));
        QTRY_VERIFY_WITH_TIMEOUT(!hasAbove(other), kWait);

        QVERIFY(setBand(own, HWND_TOPMOST));
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(own) && m_client->isStackedAbove(own, other), kWait);
        QVERIFY(!hasAbove(other));
        // Only the stacking changed: the user keeps typing into the window in front.
        QCOMPARE(m_client->activeWindow(), other);
        QCOMPARE(m_layer->GetForegroundWindow(), WindowHandle(other));

        // The next tick repeats the calls; nothing changes and nothing fails.
        QVERIFY(setBand(m_layer->GetForegroundWindow(), HWND_NOTOPMOST));
        QVERIFY(setBand(own, HWND_TOPMOST));
        QTest::qWait(300);
        QVERIFY(hasAbove(own));
        QVERIFY(!hasAbove(other));
        QVERIFY(m_client->isStackedAbove(own, other));
    }

    void topmostGoesAboveAnotherTopmostWindow()
    {
        // Another program's topmost window that nobody took out of the band: entering the band must
        // still put the window above it, not just somewhere inside the band.
        xcb_window_t own = 0, other = 0;
        QVERIFY(ownAndOther(own, other, true));

        QVERIFY(setBand(own, HWND_TOPMOST));
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(own) && m_client->isStackedAbove(own, other), kWait);
        QVERIFY(hasAbove(other));
        QCOMPARE(m_client->activeWindow(), other);
    }

    void notTopmostLeavesOrdinaryWindowAlone()
    {
        const xcb_window_t lower = managedWindow("lower", QRect(50, 50, 300, 200));
        const xcb_window_t upper = managedWindow("upper", QRect(100, 100, 300, 200));
        QVERIFY(lower && upper);
        QVERIFY(m_client->activate(upper, kWait));
        QVERIFY(m_client->isStackedAbove(upper, lower));

        QVERIFY(setBand(upper, HWND_NOTOPMOST));
        QTest::qWait(300);
        QVERIFY(!hasAbove(upper));
        QVERIFY(m_client->isStackedAbove(upper, lower));
        QCOMPARE(m_client->activeWindow(), upper);
    }

    void refusedCallsChangeNothing()
    {
        const xcb_window_t window = managedWindow("window", QRect(50, 50, 300, 200));
        QVERIFY(window);
        const xcb_window_t gone = m_client->createWindow("gone");
        m_client->destroyWindow(gone);

        QVERIFY(!setBand(0, HWND_NOTOPMOST));
        QVERIFY(!setBand(0, HWND_TOPMOST));
        QVERIFY(!setBand(-5, HWND_TOPMOST));
        // Not an X window id, though its low 32 bits are one.
        QVERIFY(!setBand((WindowHandle(1) << 32) | window, HWND_TOPMOST));
        QVERIFY(!setBand(gone, HWND_TOPMOST));
        QVERIFY(!setBand(gone, HWND_NOTOPMOST));
        // Only the two band changes without moving or resizing are supported.
        QVERIFY(!m_layer->SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
        QVERIFY(!m_layer->SetWindowPos(window, HWND_TOPMOST, 10, 10, 0, 0, SWP_NOSIZE));
        QVERIFY(!m_layer->SetWindowPos(window, HWND_TOPMOST, 0, 0, 10, 10, SWP_NOMOVE));
        QVERIFY(!setBand(m_client->root(), HWND_TOPMOST));

        QTest::qWait(300);
        QVERIFY(!hasAbove(window));
        QCOMPARE(X11TestClient::errorsOn(m_layerConnection), 0);
    }

    void windowDestroyedBetweenTheCalls()
    {
        xcb_window_t own = 0, other = 0;
        QVERIFY(ownAndOther(own, other, false));

        const WindowHandle foreground = m_layer->GetForegroundWindow();
        QCOMPARE(foreground, WindowHandle(other));
        m_client->destroyWindow(other);
        QVERIFY(!setBand(foreground, HWND_NOTOPMOST));
        QVERIFY(setBand(own, HWND_TOPMOST));
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(own), kWait);

        // Gone after the check but before the window manager read the request: dropped quietly.
        const xcb_window_t late = managedWindow("late", QRect(150, 150, 300, 200));
        QVERIFY(late);
        QVERIFY(setBand(late, HWND_TOPMOST));
        m_client->destroyWindow(late);
        QVERIFY(setBand(own, HWND_TOPMOST));
        QVERIFY(m_client->hasWindowManager());
        QCOMPARE(X11TestClient::errorsOn(m_layerConnection), 0);
    }

private:
    bool ownAndOther(xcb_window_t &own, xcb_window_t &other, bool otherTopmost)
    {
        own = managedWindow("own", QRect(50, 50, 300, 200));
        other = managedWindow("other", QRect(100, 100, 300, 200));
        return own && other && m_client->activate(other, kWait) &&
               (!otherTopmost || m_client->setTopmost(other, true, kWait)) &&
               m_client->isStackedAbove(other, own);
    }
};

QTEST_GUILESS_MAIN(TestX11WindowManager)
#include "tst_x11windowmanager.moc"
