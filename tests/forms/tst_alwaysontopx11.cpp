// The main window keeping itself on top in a real X server under a real EWMH window manager. The
// window it pushes down belongs to another X client of the test's own, as another program's would; the
// main window talks to the window manager through the toolkit's connection, as in the program.
#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "forms/settings/quellexsettings.h"
#include "tests/platform/x11fixture.h"
#include "tests/support/fakeprocessqueryservice.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace quellex;
using namespace quellex::forms;

// From the other window being topmost in front to the main window standing above it: the next tick
// comes within a second, the window manager's restacking takes the rest.
constexpr qint64 kWithinATick = 1500;

class TestAlwaysOnTopX11 : public test::X11Fixture
{
    Q_OBJECT

public:
    TestAlwaysOnTopX11()
        : X11Fixture(Desktop::WithWindowManager, &forms::toolkitWindowManager)
    {}

private slots:
    void topmostWindowInFrontIsPushedBelowWithinATick()
    {
        QuellexMain *main = showMain();
        QVERIFY(main);
        QVERIFY(main->AlwaysOnTopTimer->isActive());
        QCOMPARE(main->AlwaysOnTopTimer->interval(), 1000);
        const xcb_window_t own = m_mainWindow;
        const xcb_window_t other = managedWindow(QStringLiteral("another program"));
        QVERIFY(other);

        QElapsedTimer sinceInFront;
        QVERIFY(bringForwardBetweenTicks(*main, other, sinceInFront));
        QSignalSpy ticks(main->AlwaysOnTopTimer, &QTimer::timeout);
        QVERIFY(hasAbove(other));
        QVERIFY(m_client->isStackedAbove(other, own));

        QVERIFY(QTest::qWaitFor([&] { return mainAbove(own, other); }, kWait));
        const qint64 took = sinceInFront.elapsed();
        qInfo("main window above the other window %lld ms after the other was brought forward", took);
        QVERIFY2(took <= kWithinATick, qPrintable(QStringLiteral("took %1 ms").arg(took)));
        QCOMPARE(ticks.count(), 1);
        // Only the stacking changed: the user keeps typing into the window in front.
        QCOMPARE(m_client->activeWindow(), other);

        // Further ticks find the same window in front and change nothing.
        QVERIFY(QTest::qWaitFor([&] { return ticks.count() >= 3; }, kWait));
        QVERIFY(mainAbove(own, other));
        QCOMPARE(m_client->activeWindow(), other);
    }

    void switchedOffLeavesTheMainWindowAbove()
    {
        QuellexMain *main = showMain();
        QVERIFY(main);
        const xcb_window_t own = m_mainWindow;
        const xcb_window_t other = managedWindow(QStringLiteral("another program"));
        QVERIFY(other);
        QVERIFY(m_client->activate(other, kWait));
        QVERIFY(QTest::qWaitFor([&] { return mainAbove(own, other); }, kWait));

        {
            QuellexSettings settingsWindow(*main);
            QVERIFY(settingsWindow.AlwaysOnTopTimer_TICKBOX->isChecked());
            settingsWindow.AlwaysOnTopTimer_TICKBOX->click();
        }
        QVERIFY(!main->AlwaysOnTopTimer->isActive());

        // The user goes back to the other program: its window comes forward, but not above the main window,
        // which stays in the topmost band although nothing keeps it there any more.
        QVERIFY(m_client->activate(other, kWait));
        QTest::qWait(2500);
        QVERIFY(mainAbove(own, other));
        QCOMPARE(m_client->activeWindow(), other);
    }

    void nothingWhileTheMainWindowHasTheFocus()
    {
        QuellexMain *main = showMain(false);
        QVERIFY(main);
        QVERIFY(!main->AlwaysOnTopTimer->isActive());
        const xcb_window_t own = m_mainWindow;
        const xcb_window_t other = managedWindow(QStringLiteral("another program"));
        QVERIFY(other);

        // Both windows in the topmost band, the other one higher, and the main window in front: any
        // stacking call of a tick would show, a demotion in the main window's state, a promotion in the
        // order of the two.
        QVERIFY(m_client->setTopmost(own, true, kWait));
        QVERIFY(m_client->activate(own, kWait));
        QVERIFY(m_client->setTopmost(other, true, kWait));
        // Joining the band does not lift a window above those already in it; a pager's restack request
        // does, and leaves the focus alone.
        m_client->requestRaise(other);
        QVERIFY(QTest::qWaitFor([&] { return m_client->isStackedAbove(other, own); }, kWait));
        QCOMPARE(m_client->activeWindow(), own);
        const QList<xcb_atom_t> ownState = m_client->wmState(own);
        const QList<xcb_atom_t> otherState = m_client->wmState(other);
        const QList<xcb_window_t> stacking = m_client->clientListStacking();

        QSignalSpy ticks(main->AlwaysOnTopTimer, &QTimer::timeout);
        main->AlwaysOnTopTimer->start();
        QVERIFY(QTest::qWaitFor([&] { return ticks.count() >= 3; }, 3 * kWait));
        QTest::qWait(300);
        QCOMPARE(m_client->activeWindow(), own);
        QCOMPARE(m_client->wmState(own), ownState);
        QCOMPARE(m_client->wmState(other), otherState);
        QVERIFY(hasAbove(other));
        QCOMPARE(m_client->clientListStacking(), stacking);

        // The same ticks act as soon as another window is in front.
        QVERIFY(m_client->activate(other, kWait));
        QVERIFY(QTest::qWaitFor([&] { return mainAbove(own, other); }, kWait));
    }

    void settingsWindowStaysAboveItsOwner()
    {
        QuellexMain *main = showMain();
        QVERIFY(main);
        const xcb_window_t own = m_mainWindow;

        // Modal, as the settings button shows it, without holding the test up.
        QuellexSettings settingsWindow(*main);
        settingsWindow.setModal(true);
        settingsWindow.show();
        const auto settings = xcb_window_t(settingsWindow.winId());
        QVERIFY(m_client->waitUntilManaged(settings, kWait));
        QVERIFY(main->AlwaysOnTopTimer->isActive());

        QElapsedTimer sinceInFront;
        QVERIFY(bringForwardBetweenTicks(*main, settings, sinceInFront));
        // The tick sends the settings window out of the band and the main window into it; a window the
        // main window owns goes in with it and above it, or the blocked main window would hide the one
        // window the user can work in (both open at the same place by default).
        QVERIFY(
            QTest::qWaitFor([&] { return hasAbove(own) && m_client->isStackedAbove(settings, own); }, kWait));
        // Still the window the user works in.
        QCOMPARE(m_client->activeWindow(), settings);
        QSignalSpy ticks(main->AlwaysOnTopTimer, &QTimer::timeout);
        QVERIFY(ticks.wait(kWait));
        QTest::qWait(300);
        QVERIFY(m_client->isStackedAbove(settings, own));
        settingsWindow.close();
    }

private:
    void closeWindows() override
    {
        m_main.reset();
        m_mainWindow = 0;
    }
    // The main window, kept on top or not, shown and taken on by the window manager; null when it was not.
    QuellexMain *showMain(bool alwaysOnTop = true)
    {
        if (alwaysOnTop)
            m_settings->writeIni(test::iniFile("always-on-top.ini"));
        m_main = std::make_unique<QuellexMain>(m_processes, *m_layer);
        m_main->show();
        m_mainWindow = xcb_window_t(m_main->hWnd());
        return m_client->waitUntilManaged(m_mainWindow, kWait) ? m_main.get() : nullptr;
    }
    // Activates the window and puts it in the topmost band right after a tick, so that the next tick does
    // not land halfway through; should one land there all the same, it starts over. On success,
    // sinceInFront runs from the moment the window was topmost in front, and the next tick is less than a
    // second away.
    bool bringForwardBetweenTicks(QuellexMain &main, xcb_window_t window, QElapsedTimer &sinceInFront)
    {
        QSignalSpy ticks(main.AlwaysOnTopTimer, &QTimer::timeout);
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!ticks.wait(kWait))
                return false;
            ticks.clear();
            const bool inFront =
                m_client->activate(window, kWait) && m_client->setTopmost(window, true, kWait);
            sinceInFront.start();
            if (ticks.isEmpty())
                return inFront;
        }
        qWarning("a tick landed in every attempt to bring the window forward");
        return false;
    }
    bool mainAbove(xcb_window_t own, xcb_window_t other)
    {
        return hasAbove(own) && !hasAbove(other) && m_client->isStackedAbove(own, other);
    }
    test::FakeProcessQueryService m_processes;
    std::unique_ptr<QuellexMain> m_main;
    xcb_window_t m_mainWindow = 0;
};

QTEST_MAIN(TestAlwaysOnTopX11)
#include "tst_alwaysontopx11.moc"
