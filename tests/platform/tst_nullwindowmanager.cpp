// Displays without a stacking order this program can change: the layer does nothing and says so once.
#include "platform/nullwindowmanager.h"

#include <QRegularExpression>
#include <QTest>

using namespace quellex::platform;

class TestNullWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Any message not expected, a second warning included, fails the test.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }

    void namesTheDisplay_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QString>("name");
        QTest::newRow("wayland") << QByteArray("wayland") << QStringLiteral("wayland");
        QTest::newRow("empty") << QByteArray("") << QStringLiteral("unknown");
        QTest::newRow("none") << QByteArray() << QStringLiteral("unknown");
    }

    void namesTheDisplay()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QString, name);

        NullWindowManager layer(platform.isNull() ? nullptr : platform.constData());
        expectWarning(name);
        QCOMPARE(layer.GetForegroundWindow(), WindowHandle(0));
    }

    void doesNothingAndWarnsOnce()
    {
        NullWindowManager layer("offscreen"); // nothing until always-on-top is actually used

        expectWarning(QStringLiteral("offscreen"));
        for (int tick = 0; tick < 3; ++tick) {
            QCOMPARE(layer.GetForegroundWindow(), WindowHandle(0));
            QVERIFY(!layer.SetWindowPos(0, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
            QVERIFY(!layer.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
        }

        NullWindowManager other("wayland");
        expectWarning(QStringLiteral("wayland"));
        QVERIFY(!other.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
        QVERIFY(!other.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
    }

private:
    static void expectWarning(const QString &display)
    {
        QTest::ignoreMessage(
            QtWarningMsg,
            qPrintable(QStringLiteral("always-on-top is not available on the %1 display").arg(display)));
    }
};

QTEST_GUILESS_MAIN(TestNullWindowManager)
#include "tst_nullwindowmanager.moc"
