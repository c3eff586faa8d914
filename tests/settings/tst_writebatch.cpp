// The writes of a batch reach the file together when the outermost batch ends, and a failure to
// store them is reported once.
#include "settings/settings.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace quellex::settings;

class TestWriteBatch : public QObject
{
    Q_OBJECT

private slots:
    void writtenTogetherWhenTheOutermostEnds();
    void failureIsReportedOnce();
};

void TestWriteBatch::writtenTogetherWhenTheOutermostEnds()
{
    quellex::test::IsolatedSettings store;
    store.writeIni("[Settings]\nMainLeft=1\n");
    {
        const WriteBatch outer;
        writeSingle(SettingKey::MainLeft, 2);
        {
            const WriteBatch inner;
            writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("first"));
            writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("second"));
        }
        // Reads see the batch; the file is as it was.
        QCOMPARE(readSingle(SettingKey::MainLeft), 2.f);
        QCOMPARE(readText(SettingKey::PROCESS_NAME_TEXTBOX), QStringLiteral("second"));
        QCOMPARE(store.readIni(), QByteArray("[Settings]\nMainLeft=1\n"));
    }
    QCOMPARE(store.readIni(), QByteArray("[Settings]\nMainLeft=2\nPROCESS_NAME_TEXTBOX=second\n"));
    // Outside a batch, a write is in the file at once.
    writeInteger(SettingKey::AUTO_TERMINATE_TICKBOX, 1);
    QVERIFY(store.readIni().contains("AUTO_TERMINATE_TICKBOX=1"));
}

void TestWriteBatch::failureIsReportedOnce()
{
    quellex::test::IsolatedSettings store;
    const QString blocker = QDir(store.configHome()).filePath(QStringLiteral("file"));
    QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
    const QRegularExpression message(QStringLiteral("Could not save the setting \"MainLeft\""));
    QTest::ignoreMessage(QtWarningMsg, message);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    {
        const WriteBatch batch;
        writeSingle(SettingKey::MainLeft, 3);
        writeSingle(SettingKey::MainTop, 4);
    }
    QCOMPARE(readText(SettingKey::MainLeft), QStringLiteral("1000"));
}

QTEST_GUILESS_MAIN(TestWriteBatch)
#include "tst_writebatch.moc"
