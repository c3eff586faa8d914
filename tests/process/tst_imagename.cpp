#include "platform/imagename.h"

#include <QTest>

using quellex::platform::ImageNameMatcher;

class TestImageName : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QByteArray>("wanted");
        QTest::addColumn<QByteArray>("candidate");
        QTest::addColumn<bool>("expected");

        auto row = [](const char *tag, const QString &wanted, const QString &candidate, bool expected) {
            QTest::newRow(tag) << wanted.toUtf8() << candidate.toUtf8() << expected;
        };
        row("same", "sleep", "sleep", true);
        row("letter case", "Sleep", "sLEEP", true);
        row(".exe dropped", "Sleep.exe", "sleep", true);
        row(".EXE dropped", "FIREFOX.EXE", "firefox", true);
        row(".exe kept", "Sleep.exe", "SLEEP.EXE", true);
        row("only the suffix dropped", "sleep.exe", "sleep.ex", false);
        row("no suffix added", "sleep", "sleep.exe", false);
        row("longer", "sleep", "sleeper", false);
        row("just .exe", ".exe", ".EXE", true);
        row("empty matches nothing", "", "", false);
        row("empty matches nothing, really", "", "x", false);
        row("leading blank kept", " sleep", "sleep", false);
        row("trailing blank kept", "sleep ", "sleep ", true);
        row("trailing blank required", "sleep ", "sleep", false);
        row("non-ASCII case", "ÄRGER.EXE", "ärger", true);
        row("final sigma", "ΣΊΣΥΦΟΣ", "σίσυφος", true);
        row("non-ASCII differs", "ärger", "arger", false);
        row("Kelvin sign wanted", "\u212Aelvin", "KELVIN", true);
        row("Kelvin sign running", "kelvin", "\u212Aelvin", true);
        QTest::newRow("invalid UTF-8 compared as bytes")
            << QByteArray("a\xff") << QByteArray("a\xff") << true;
        QTest::newRow("invalid UTF-8 is no replacement character")
            << QStringLiteral("a\uFFFD").toUtf8() << QByteArray("a\xff") << false;
    }

    void matches()
    {
        QFETCH(QByteArray, wanted);
        QFETCH(QByteArray, candidate);
        QFETCH(bool, expected);
        const ImageNameMatcher matcher(wanted.toStdString());
        QCOMPARE(matcher.matches(candidate.toStdString()), expected);
        QCOMPARE(matcher.matchesNothing(), wanted.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestImageName)
#include "tst_imagename.moc"
