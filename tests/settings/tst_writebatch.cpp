// The writes of a batch reach the file together when the outermost batch ends; a failure to store them
// is reported once.
#include "settings/settings.h"
#include "tests/support/testenvironment.h"

#include <QRegularExpression>
#include <QTest>

using namespace quellex::settings;

class TestWriteBatch : public QObject
{
    Q_OBJECT

private slots:
    void writtenWhenTheOutermostEnds()
    {
        const quellex::test::IsolatedSettings store;
        {
            const WriteBatch outer;
            writeSingle(SettingKey::MainLeft, 2);
            {
                const WriteBatch inner;
                writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("first"));
                writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("second"));
            }
            QCOMPARE(readSingle(SettingKey::MainLeft), 2.f); // reads see the batch
            QCOMPARE(store.readIni(), QByteArray());
        }
        QCOMPARE(store.readIni(), QByteArray("[Settings]\nMainLeft=2\nPROCESS_NAME_TEXTBOX=second\n"));
    }

    void failureIsReportedOnce()
    {
        const quellex::test::IsolatedSettings store;
        qputenv("XDG_CONFIG_HOME", "/dev/null/config");
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Could not save the setting \"MainLeft\"")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        const WriteBatch batch;
        writeSingle(SettingKey::MainLeft, 3);
        writeSingle(SettingKey::MainTop, 4);
    }
};

QTEST_GUILESS_MAIN(TestWriteBatch)
#include "tst_writebatch.moc"
