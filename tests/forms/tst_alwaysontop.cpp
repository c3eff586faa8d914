// The always-on-top tick's calls, against a window manager that records them.
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"

using namespace quellex;
using namespace quellex::forms;
using platform::WindowHandle;

class TestAlwaysOnTop : public test::WindowTest
{
    Q_OBJECT

private slots:
    void nothingWhileTheMainWindowHasTheFocus()
    {
        auto &windows = m_bed->windows;
        QuellexMain &main = loadMain();
        windows.setForegroundWindow(main.hWnd());
        main.AlwaysOnTopTimer_Timer();
        QCOMPARE(windows.callLog, QStringList{QStringLiteral("GetForegroundWindow() = %1").arg(main.hWnd())});
    }

    void demotesTheSecondAnswerThenPromotesItself_data()
    {
        QTest::addColumn<WindowHandle>("first");
        QTest::addColumn<WindowHandle>("second");
        QTest::newRow("another window") << WindowHandle(0x4200001) << WindowHandle(0x4200001);
        QTest::newRow("focus moved between the two asks")
            << WindowHandle(0x4200001) << WindowHandle(0x4300007);
        QTest::newRow("no window has the focus") << WindowHandle(0) << WindowHandle(0);
    }

    void demotesTheSecondAnswerThenPromotesItself()
    {
        QFETCH(WindowHandle, first);
        QFETCH(WindowHandle, second);
        auto &windows = m_bed->windows;
        QuellexMain &main = loadMain();
        const WindowHandle own = main.hWnd();
        windows.queueForegroundWindows({first, second});
        main.AlwaysOnTopTimer_Timer();
        QCOMPARE(windows.callLog, (QStringList{
                                      QStringLiteral("GetForegroundWindow() = %1").arg(first),
                                      QStringLiteral("GetForegroundWindow() = %1").arg(second),
                                      QStringLiteral("SetWindowPos(%1, -2, 0, 0, 0, 0, 3)").arg(second),
                                      QStringLiteral("SetWindowPos(%1, -1, 0, 0, 0, 0, 3)").arg(own),
                                  }));
        QVERIFY(windows.isTopmost(own));
    }

    void settingsWindowIsLikeAnyOther()
    {
        auto &windows = m_bed->windows;
        QuellexMain &main = loadMain();
        QuellexSettings settingsWindow(main);
        const WindowHandle settingsHandle = WindowHandle(settingsWindow.winId());
        windows.setForegroundWindow(settingsHandle);
        windows.setTopmost(settingsHandle, true);
        main.AlwaysOnTopTimer_Timer();
        QVERIFY(!windows.isTopmost(settingsHandle));
        QVERIFY(windows.isTopmost(main.hWnd()));
    }

    void timerRunsOnlyWhileSwitchedOn()
    {
        m_bed->settings.writeIni(test::iniFile("always-on-top.ini"));
        auto &windows = m_bed->windows;
        windows.setForegroundWindow(0x4200001);
        QuellexMain &main = loadMain();
        QTRY_VERIFY(windows.isTopmost(main.hWnd()));
        main.AlwaysOnTopTimer->stop();
        windows.callLog.clear();
        QTest::qWait(1500);
        QVERIFY(windows.callLog.isEmpty());
        // Switching off leaves the window where the last tick put it.
        QVERIFY(windows.isTopmost(main.hWnd()));
    }
};

QTEST_MAIN(TestAlwaysOnTop)
#include "tst_alwaysontop.moc"
