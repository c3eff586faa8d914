// The main window keeping itself on top in a real X server where no window manager runs: nobody acts on
// the stacking requests, and the program must simply go on.
#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "tests/platform/x11fixture.h"
#include "tests/support/fakeprocessqueryservice.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace quellex;
using namespace quellex::forms;

class TestAlwaysOnTopNoWm : public test::X11Fixture
{
    Q_OBJECT

public:
    TestAlwaysOnTopNoWm()
        : X11Fixture(Desktop::WithoutWindowManager, &forms::toolkitWindowManager)
    {}

private slots:
    void keepsRunningWithoutAWindowManager()
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

    void keepsRunningWithAnActiveWindowLeftBehind()
    {
        QuellexMain &main = showMain();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kWait));

        // A window that no longer exists, then one that does but that nobody will restack.
        const xcb_window_t gone = m_client->createWindow(QStringLiteral("gone"));
        m_client->destroyWindow(gone);
        // What a window manager that has gone away may leave on the root window.
        QVERIFY(setActiveWindow({gone}));
        QCOMPARE(m_client->activeWindow(), gone);
        QCOMPARE(m_layer->GetForegroundWindow(), platform::WindowHandle(gone));
        letTicksRun(main);
        if (QTest::currentTestFailed())
            return;

        const xcb_window_t other = m_client->createWindow(QStringLiteral("another program"));
        QVERIFY(setActiveWindow({other}));
        QCOMPARE(m_client->activeWindow(), other);
        QCOMPARE(m_layer->GetForegroundWindow(), platform::WindowHandle(other));
        letTicksRun(main);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(m_client->windowExists(other));
    }

private:
    void closeWindows() override { m_main.reset(); }
    QuellexMain &showMain()
    {
        m_settings->writeIni(test::iniFile("always-on-top.ini"));
        m_main = std::make_unique<QuellexMain>(m_processes, *m_layer);
        m_main->show();
        return *m_main;
    }
    // Several ticks, after which the window is still there, shown where it was, its timer running, and
    // no X error came back to the toolkit.
    void letTicksRun(QuellexMain &main)
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
        QCOMPARE(m_xcbErrors, QStringList());
    }

    test::FakeProcessQueryService m_processes;
    std::unique_ptr<QuellexMain> m_main;
};

QTEST_MAIN(TestAlwaysOnTopNoWm)
#include "tst_alwaysontopnowm.moc"
