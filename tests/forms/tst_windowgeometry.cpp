// Stored window geometry is the user's to edit and may hold anything: whatever it holds, the windows
// open bounded (never smaller than their controls, never larger than the largest screen, never off
// the coordinate range), quickly and in little memory, and the stored text stays as it was until a
// window saves its real geometry.
#include "forms/common/windowgeometry.h"
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

using namespace quellex::forms;

namespace {

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(1).toLongLong() * 4096 : 0;
}

} // namespace

class TestWindowGeometry : public quellex::test::WindowTest
{
    Q_OBJECT

private slots:
    void hostileStoredGeometryIsBounded_data()
    {
        QTest::addColumn<QByteArray>("value");
        for (const char *value : {"0", "-4000", "1e10", "1e30", "3e38", "-3e38", "NaN", "inf"})
            QTest::newRow(value) << QByteArray(value);
    }

    void hostileStoredGeometryIsBounded()
    {
        QFETCH(QByteArray, value);
        m_bed->settings.writeIni(
            quellex::test::iniFile("hostile-geometry.ini", {QString::fromLatin1(value)}));
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        QElapsedTimer clock;
        clock.start();
        QuellexMain &main = loadMain();
        main.show();
        QuellexSettings settings(main);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&settings)}) {
            const QRect geometry = window->geometry();
            // Every control inside; no larger than the screen, unless the controls need more.
            QVERIFY2(window->childrenRect().bottom() < geometry.height() &&
                         window->childrenRect().right() < geometry.width(),
                     qPrintable(window->objectName()));
            QVERIFY(geometry.width() <= std::max(screen.width(), window->minimumWidth()));
            QVERIFY(geometry.height() <= std::max(screen.height(), window->minimumHeight()));
            QVERIFY(qAbs(geometry.x()) <= 32767 && qAbs(geometry.y()) <= 32767);
            // Nor can the user drag it smaller than its controls.
            window->resize(1, 1);
            QVERIFY(window->childrenRect().bottom() < window->height() &&
                    window->childrenRect().right() < window->width());
        }
        // Nothing is written back merely for having been bounded.
        QCOMPARE(stored(QStringLiteral("MainWidth")), QString::fromLatin1(value));
        QCOMPARE(stored(QStringLiteral("AboutHeight")), QString::fromLatin1(value));
        settings.close();
        main.close();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(residentBytes() < 200 * 1024 * 1024, qPrintable(QString::number(residentBytes())));
        // The real geometry is saved, as a number.
        bool isNumber = false;
        stored(QStringLiteral("MainWidth")).toFloat(&isNumber);
        QVERIFY(isNumber);
    }
};

QTEST_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
