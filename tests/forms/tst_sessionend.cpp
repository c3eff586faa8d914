// The end of a session, as the program meets it: a signal while the main window runs, perhaps with
// the modal settings window open. Both windows must save as their close boxes do, once, and the main
// window must report that the program is done.
#include "forms/main/sessionend.h"
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"

#include <QSessionManager>
#include <csignal>

using namespace quellex::forms;

class TestSessionEnd : public quellex::test::WindowTest
{
    Q_OBJECT

private slots:
    void signalSavesBothWindows_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("settingsOpen");
        QTest::newRow("SIGTERM, settings window open") << SIGTERM << true;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
    }

    void signalSavesBothWindows()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, settingsOpen);
        QuellexMain &main = loadMain();
        main.show();
        main.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-typed-before-logout"));
        main.AUTO_TERMINATE_TICKBOX->click();
        QSignalSpy unloaded(&main, &QuellexMain::unloaded);
        SessionEnd sessionEnd(main);
        // Any other message, on a display that is not X11 too, is passed on and ends nothing.
        QTest::ignoreMessage(QtWarningMsg, "a warning on the way");
        qWarning("a warning on the way");
        QCOMPARE(unloaded.count(), 0);

        bool signalled = false;
        const auto signalTwice = [&] {
            if (auto *settings = qobject_cast<QuellexSettings *>(QApplication::activeModalWidget())) {
                settings->LOCK_PROCESS_NAME_TICKBOX->click();
                // A session manager's checkpoint saves both windows, and closes neither.
                emit qApp->commitDataRequest(*qApp->findChild<QSessionManager *>());
                QCOMPARE(stored(QStringLiteral("LOCK_PROCESS_NAME_TICKBOX")), QStringLiteral("1"));
                QVERIFY(stored(QStringLiteral("AboutLeft")) != QStringLiteral("<absent>") &&
                        QApplication::activeModalWidget() == settings);
            }
            // The second one arrives while the first is being handled, and must not cut the save short.
            std::raise(signalNumber);
            std::raise(signalNumber);
            signalled = true;
        };
        if (settingsOpen) {
            QTimer::singleShot(0, &main, [&] { main.QUELLEX_SETTINGS_BUTTON->click(); });
            QTimer::singleShot(100, &main, signalTwice);
        } else {
            signalTwice();
        }
        QTRY_COMPARE(unloaded.count(), 1);
        QVERIFY(signalled);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(main.isHidden());
        QCOMPARE(stored(QStringLiteral("PROCESS_NAME_TEXTBOX")), QStringLiteral("qx-typed-before-logout"));
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("LOCK_PROCESS_NAME_TICKBOX")),
                 settingsOpen ? QStringLiteral("1") : QStringLiteral("<absent>"));
        QTest::qWait(100);
        QCOMPARE(unloaded.count(), 1);
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
