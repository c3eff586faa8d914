// The main window keeping itself on top in a real X server where no window manager runs: nobody acts on
// the stacking requests, and the program must simply go on.
#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "platform/linux/x11windowmanager.h"
#include "platform/windowmanager.h"
#include "tests/forms/xcberrorlog.h"
#include "tests/platform/x11testclient.h"
#include "tests/support/fakeprocessqueryservice.h"
#include "tests/support/testenvironment.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace quellex;
using namespace quellex::forms;
using test::X11TestClient;

namespace {

constexpr int kWait = 5000;

} // namespace

class TestAlwaysOnTopNoWm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void keepsRunningWithoutAWindowManager();
    void keepsRunningWithAnActiveWindowLeftBehind();

private:
    QuellexMain &showMain();
    void setActiveWindowProperty(xcb_window_t window);
    void letTicksRun(QuellexMain &main);

    std::unique_ptr<X11TestClient> m_client;
    std::unique_ptr<platform::WindowManager> m_layer;
    std::unique_ptr<test::XcbErrorLog> m_xcbErrors;
    std::unique_ptr<test::IsolatedSettings> m_settings;
    test::FakeProcessQueryService m_processes;
    std::unique_ptr<QuellexMain> m_main;
};

void TestAlwaysOnTopNoWm::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_layer = forms::toolkitWindowManager();
    QVERIFY(dynamic_cast<platform::X11WindowManager *>(m_layer.get()));

    m_client = std::make_unique<X11TestClient>();
    QVERIFY(m_client->isConnected());
    QVERIFY2(!m_client->hasWindowManager(), "a window manager runs on this display");
}

void TestAlwaysOnTopNoWm::init()
{
    m_settings = std::make_unique<test::IsolatedSettings>();
    m_settings->writeIni(test::iniFile("always-on-top.ini"));
    m_xcbErrors = std::make_unique<test::XcbErrorLog>();
}

void TestAlwaysOnTopNoWm::cleanup()
{
    // Everything is let go of before anything is checked, so that a failure here cannot leak into the
    // next test.
    m_main.reset();
    xcb_delete_property(m_client->connection(), m_client->root(), m_client->atom("_NET_ACTIVE_WINDOW"));
    m_client->flush();
    const bool windowsGone = m_client->destroyAllWindows(kWait);
    const QStringList xcbErrors = m_xcbErrors->errors();
    m_xcbErrors.reset();
    m_settings.reset();

    QVERIFY(windowsGone);
    QCOMPARE(xcbErrors, QStringList());
}

void TestAlwaysOnTopNoWm::cleanupTestCase()
{
    m_client.reset();
    m_layer.reset();
}

QuellexMain &TestAlwaysOnTopNoWm::showMain()
{
    m_main = std::make_unique<QuellexMain>(m_processes, *m_layer);
    m_main->show();
    return *m_main;
}

// What a window manager that has gone away may leave on the root window.
void TestAlwaysOnTopNoWm::setActiveWindowProperty(xcb_window_t window)
{
    xcb_change_property(m_client->connection(), XCB_PROP_MODE_REPLACE, m_client->root(),
                        m_client->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1, &window);
    // Read back, a round trip: the toolkit's connection sees the change from here on.
    QCOMPARE(m_client->activeWindow(), window);
}

// Several ticks, after which the window is still there, shown where it was, its timer running, and
// no X error came back to the toolkit.
void TestAlwaysOnTopNoWm::letTicksRun(QuellexMain &main)
{
    const xcb_window_t own = xcb_window_t(main.hWnd());
    const QRect before = main.geometry();
    QSignalSpy ticks(main.AlwaysOnTopTimer, &QTimer::timeout);
    QTest::qWait(3500);
    QVERIFY2(ticks.count() >= 3, qPrintable(QStringLiteral("%1 ticks").arg(ticks.count())));
    QVERIFY(main.isVisible());
    QVERIFY(main.AlwaysOnTopTimer->isActive());
    QCOMPARE(main.geometry(), before);
    QVERIFY(m_client->windowExists(own));
    QVERIFY(!m_client->hasWmState(own, "_NET_WM_STATE_ABOVE"));
    QCOMPARE(m_xcbErrors->errors(), QStringList());
}

void TestAlwaysOnTopNoWm::keepsRunningWithoutAWindowManager()
{
    QuellexMain &main = showMain();
    QVERIFY(QTest::qWaitForWindowExposed(&main, kWait));
    QVERIFY(main.AlwaysOnTopTimer->isActive());
    const xcb_window_t other = m_client->createWindow(QStringLiteral("another program"));
    m_client->flush();
    letTicksRun(main);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_client->windowExists(other));
}

void TestAlwaysOnTopNoWm::keepsRunningWithAnActiveWindowLeftBehind()
{
    QuellexMain &main = showMain();
    QVERIFY(QTest::qWaitForWindowExposed(&main, kWait));

    // A window that no longer exists, then one that does but that nobody will restack.
    const xcb_window_t gone = m_client->createWindow(QStringLiteral("gone"));
    m_client->destroyWindow(gone);
    setActiveWindowProperty(gone);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_layer->GetForegroundWindow(), platform::WindowHandle(gone));
    letTicksRun(main);
    if (QTest::currentTestFailed())
        return;

    const xcb_window_t other = m_client->createWindow(QStringLiteral("another program"));
    setActiveWindowProperty(other);
    QCOMPARE(m_layer->GetForegroundWindow(), platform::WindowHandle(other));
    letTicksRun(main);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_client->windowExists(other));
}

QTEST_MAIN(TestAlwaysOnTopNoWm)
#include "tst_alwaysontopnowm.moc"
