// Displays without a stacking order this program can change: the layer does nothing and says so once.
#include "platform/nullwindowmanager.h"

#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <unistd.h>

using namespace quellex::platform;

namespace {

// What the process writes to its stderr while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }

    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TstNullWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void namesTheDisplay_data();
    void namesTheDisplay();
    void doesNothingAndWarnsOnce();
};

void TstNullWindowManager::doesNothingAndWarnsOnce()
{
    StderrCapture capture;
    NullWindowManager layer("offscreen");
    QCOMPARE(capture.text(), QString()); // nothing until always-on-top is actually used

    StderrCapture during;
    for (int tick = 0; tick < 3; ++tick) {
        QCOMPARE(layer.GetForegroundWindow(), WindowHandle(0));
        QVERIFY(!layer.SetWindowPos(0, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
        QVERIFY(!layer.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
    }
    QCOMPARE(during.text(),
             QStringLiteral("quellex: always-on-top is not available on the offscreen display\n"));

    StderrCapture afterwards;
    NullWindowManager other("wayland");
    QVERIFY(!other.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
    QVERIFY(!other.SetWindowPos(42, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
    QCOMPARE(afterwards.text(),
             QStringLiteral("quellex: always-on-top is not available on the wayland display\n"));
}

void TstNullWindowManager::namesTheDisplay_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QString>("name");
    QTest::newRow("wayland") << QByteArray("wayland") << QStringLiteral("wayland");
    QTest::newRow("empty") << QByteArray("") << QStringLiteral("unknown");
    QTest::newRow("none") << QByteArray() << QStringLiteral("unknown");
}

void TstNullWindowManager::namesTheDisplay()
{
    QFETCH(QByteArray, platform);
    QFETCH(QString, name);

    StderrCapture capture;
    NullWindowManager layer(platform.isNull() ? nullptr : platform.constData());
    QCOMPARE(layer.GetForegroundWindow(), WindowHandle(0));
    QCOMPARE(capture.text(),
             QStringLiteral("quellex: always-on-top is not available on the %1 display\n").arg(name));
}

QTEST_GUILESS_MAIN(TstNullWindowManager)
#include "tst_nullwindowmanager.moc"
