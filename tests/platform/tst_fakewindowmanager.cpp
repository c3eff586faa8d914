// The fake window manager that tests of the main window's tick rely on.
#include "platform/fake/fakewindowmanager.h"

#include <QTest>

using namespace quellex::platform;

class TestFakeWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void recordsEveryCallInOrder();
    void foregroundAnswersQueuedThenFixed();
    void keepsTheTopmostBandLikeARealLayer();
};

void TestFakeWindowManager::recordsEveryCallInOrder()
{
    FakeWindowManager fake;
    fake.setForegroundWindow(7);
    WindowManager &layer = fake;

    QCOMPARE(layer.GetForegroundWindow(), WindowHandle(7));
    QVERIFY(layer.SetWindowPos(7, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
    QVERIFY(layer.SetWindowPos(3, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));

    QCOMPARE(fake.callLog(), QStringList({"GetForegroundWindow() = 7", "SetWindowPos(7, -2, 0, 0, 0, 0, 3)",
                                          "SetWindowPos(3, -1, 0, 0, 0, 0, 3)"}));
    const QList<FakeWindowManager::Call> setCalls = fake.setWindowPosCalls();
    QCOMPARE(setCalls.size(), 2);
    QCOMPARE(setCalls.at(1), (FakeWindowManager::Call{FakeWindowManager::Operation::SetWindowPos, 3,
                                                      HWND_TOPMOST, 0, 0, 0, 0, 3}));

    // Arguments are recorded as passed, even those a real layer refuses.
    QVERIFY(!layer.SetWindowPos(0, HWND_NOTOPMOST, 1, 2, 3, 4, 0));
    QCOMPARE(fake.callLog().last(), QStringLiteral("SetWindowPos(0, -2, 1, 2, 3, 4, 0)"));
    fake.clearCalls();
    QVERIFY(fake.calls().isEmpty());
}

void TestFakeWindowManager::foregroundAnswersQueuedThenFixed()
{
    FakeWindowManager fake;
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(0));
    fake.setForegroundWindow(9);
    fake.queueForegroundWindows({5, 0});
    fake.queueForegroundWindows({6});
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(5));
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(0));
    QCOMPARE(fake.queuedForegroundWindows(), 1);
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(6));
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(9));
    QCOMPARE(fake.GetForegroundWindow(), WindowHandle(9));
    QCOMPARE(fake.callLog().at(2), QStringLiteral("GetForegroundWindow() = 0"));
}

void TestFakeWindowManager::keepsTheTopmostBandLikeARealLayer()
{
    FakeWindowManager fake;
    fake.setTopmost(7, true);
    QVERIFY(fake.SetWindowPos(7, HWND_NOTOPMOST, 0, 0, 0, 0, 3));
    QVERIFY(fake.SetWindowPos(3, HWND_TOPMOST, 0, 0, 0, 0, 3));
    QVERIFY(!fake.isTopmost(7));
    QVERIFY(fake.isTopmost(3));

    QVERIFY(!fake.SetWindowPos(0, HWND_TOPMOST, 0, 0, 0, 0, 3));
    QVERIFY(!fake.SetWindowPos(-1, HWND_TOPMOST, 0, 0, 0, 0, 3));
    QVERIFY(!fake.SetWindowPos(4, 0, 0, 0, 0, 0, 3));
    QVERIFY(!fake.SetWindowPos(4, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE));
    QVERIFY(!fake.isTopmost(0));
    QVERIFY(!fake.isTopmost(4));
}

QTEST_GUILESS_MAIN(TestFakeWindowManager)
#include "tst_fakewindowmanager.moc"
