// The built program, started as a user starts it: in an X server of the test's own with a window
// manager, with a settings file seeded beforehand. It must end the processes of the stored name (and
// no others), close when the window manager asks it to, and leave its state in the file. The only
// processes it may end are this test's, under names no other process has.
#include "tests/platform/x11testclient.h"
#include "tests/support/program.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testprocesses.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <cmath>
#include <cstdlib>

using namespace quellex::test;

namespace {

bool within(const QRect &actual, const QRect &expected, int tolerance)
{
    return std::abs(actual.x() - expected.x()) <= tolerance &&
           std::abs(actual.y() - expected.y()) <= tolerance &&
           std::abs(actual.width() - expected.width()) <= tolerance &&
           std::abs(actual.height() - expected.height()) <= tolerance;
}

// A stored number, in either decimal notation; NaN when the text is not one.
double storedNumber(const IsolatedSettings &settings, const QString &key)
{
    QString text = settings.valueInFile(key).toString();
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : std::nan("");
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QFileInfo program(Program::path());
        QVERIFY2(program.isFile() && program.isExecutable(),
                 qPrintable(program.filePath() + " is not built"));
    }

    void endsStoredNameAndSavesStateWhenClosed()
    {
        IsolatedSettings settings;
        TestProcesses target(uniqueProcessName());
        // One letter longer than the target, and a name of its own: neither may be touched.
        TestProcesses longerName(target.imageName() + u'x');
        TestProcesses bystander(uniqueProcessName());
        settings.writeIni(iniFile("end-to-end.ini", {target.imageName()}));

        const pid_t first = target.start();
        const pid_t longer = longerName.start();
        const pid_t other = bystander.start();

        QElapsedTimer clock;
        clock.start();
        Program program(settings, {"QT_QPA_PLATFORM=xcb"});
        QVERIFY2(program.waitForStarted(kStartMs), qPrintable(program.errorString()));
        const auto stillRunning = [&] { return program.state() == QProcess::Running; };

        // The stored tick and name are enough: nothing is clicked.
        QTRY_VERIFY_WITH_TIMEOUT(!target.isRunning(first) || !stillRunning(), kStartMs);
        QVERIFY2(stillRunning(), qPrintable("quellex ended early: " + program.errors()));
        qInfo("process of the stored name ended %lld ms after the start", clock.elapsed());

        target.start(2);
        clock.restart();
        QTRY_COMPARE_WITH_TIMEOUT(target.runningCount(), 0, kEndMs);
        qInfo("two processes started later ended within %lld ms", clock.elapsed());
        QVERIFY(longerName.isRunning(longer));
        QVERIFY(bystander.isRunning(other));

        X11TestClient client;
        QVERIFY(client.isConnected());
        QVERIFY2(QTest::qWaitFor([&] { return client.hasWindowManager(); }, kEndMs),
                 "no EWMH window manager");
        QList<xcb_window_t> windows;
        QTRY_VERIFY_WITH_TIMEOUT(!(windows = client.windowsOf(program.processId())).isEmpty(), kStartMs);
        QCOMPARE(windows.size(), 1);
        const xcb_window_t window = windows.first();
        QCOMPARE(client.property(window, "_NET_WM_NAME"), kCaption.toUtf8());
        QCOMPARE(client.property(window, "WM_NAME"), kCaption.toUtf8());
        // A tool window, with the program's icon (width, height, then the pixels).
        QCOMPARE(client.cardinals(window, client.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM).value(0),
                 client.atom("_NET_WM_WINDOW_TYPE_UTILITY"));
        const QList<quint32> icon = client.cardinals(window, client.atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL);
        QVERIFY(icon.size() > 2 && icon.at(0) > 0 && icon.at(1) > 0);

        // The frame stands where the file put it, at the default size, title bar and borders included.
        const QRect expected(1500 / kTwipsPerPixel, 1200 / kTwipsPerPixel, 10965 / kTwipsPerPixel,
                             1845 / kTwipsPerPixel);
        QRect frame;
        QTRY_VERIFY2_WITH_TIMEOUT(within(frame = client.frameGeometry(window), expected, 1),
                                  QTest::toString(frame), kEndMs);

        client.requestClose(window);
        clock.restart();
        if (!QTest::qWaitFor([&] { return !stillRunning(); }, kEndMs)) {
            program.kill();
            program.waitForFinished(kEndMs);
            QFAIL(qPrintable("quellex did not end after its window was closed: " + program.errors()));
        }
        qInfo("quellex ended %lld ms after the close request", clock.elapsed());
        const QString errors = program.errors();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, qPrintable(errors));
        if (!errors.isEmpty())
            qInfo().noquote() << "quellex wrote on stderr:" << errors;

        QCOMPARE(QSettings(settings.iniPath(), QSettings::IniFormat).status(), QSettings::NoError);
        QCOMPARE(settings.valueInFile("PROCESS_NAME_TEXTBOX").toString(), target.imageName());
        QCOMPARE(settings.valueInFile("AUTO_TERMINATE_TICKBOX").toString(), QStringLiteral("1"));
        for (const auto &[key, value] : {std::pair("MainLeft", 1500), std::pair("MainTop", 1200),
                                         std::pair("MainWidth", 10965), std::pair("MainHeight", 1845)})
            QVERIFY2(std::abs(storedNumber(settings, key) - value) <= kTwipsPerPixel, settings.readIni());
        // Keys the main window does not own come through its rewrite of the file as they were.
        QCOMPARE(settings.valueInFile("AlwaysOnTopTimer_TICKBOX").toString(), QStringLiteral("0"));
        QCOMPARE(settings.valueInFile("SHOW_ZORVIN_DEV_TICKBOX").toString(), QStringLiteral("1"));
        QCOMPARE(settings.valueInFile("AboutLeft").toString(), QStringLiteral("2400"));
        QCOMPARE(settings.valueInFile("AboutTop").toString(), QStringLiteral("2100"));

        QVERIFY(longerName.isRunning(longer));
        QVERIFY(bystander.isRunning(other));
    }

    void refusesToStartWithoutDisplay_data()
    {
        QTest::addColumn<QString>("display");

        // A display number no server answers on, here or anywhere this machine can reach.
        QString unreachable;
        for (int number = 987; number < 999 && unreachable.isEmpty(); ++number) {
            const QByteArray candidate = ':' + QByteArray::number(number);
            xcb_connection_t *connection = xcb_connect(candidate.constData(), nullptr);
            if (xcb_connection_has_error(connection))
                unreachable = QString::fromLatin1(candidate);
            xcb_disconnect(connection);
        }
        QVERIFY(!unreachable.isEmpty());
        QTest::newRow("unreachable display") << unreachable;
        QTest::newRow("no DISPLAY") << QString();
    }

    void refusesToStartWithoutDisplay()
    {
        QFETCH(QString, display);
        IsolatedSettings settings;
        QElapsedTimer clock;
        clock.start();
        Program program(settings, {"QT_QPA_PLATFORM", display.isEmpty() ? "DISPLAY" : "DISPLAY=" + display});
        QVERIFY2(program.waitForStarted(kStartMs), qPrintable(program.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, kEndMs);
        qInfo("quellex gave up after %lld ms", clock.elapsed());

        const QString errors = program.errors();
        // An abort or a crash ends the process by a signal, not with an exit code.
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() != 0, qPrintable(errors));
        QVERIFY2(errors.contains(QLatin1String("xvfb-run")), qPrintable(errors));
        if (!display.isEmpty())
            QVERIFY2(errors.contains(display), qPrintable(errors));
        QVERIFY(program.readAllStandardOutput().isEmpty());
        QVERIFY2(!QFileInfo::exists(settings.iniPath()), "a program that never started wrote its settings");
    }

    // A first run, nothing stored, in a private X server that ends while the settings window is open.
    void displayGoneOnFirstRunSavesEverything()
    {
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"), QStringLiteral("-displayfd 1 -nolisten tcp -noreset").split(u' '));
        QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), kStartMs);
        IsolatedSettings settings;
        const QString display = u':' + QString::fromLatin1(xvfb.readLine().trimmed());
        const QString name = uniqueProcessName();
        Program program(settings, {"QT_QPA_PLATFORM", "DISPLAY=" + display});
        QVERIFY2(program.waitForStarted(kStartMs), qPrintable(program.errorString()));
        // The settings window opens with the focus on OK, four stops before "Lock".
        const QString commands[] = {
            QStringLiteral("search --sync --onlyvisible --pid %1 windowfocus key ctrl+a type %2")
                .arg(program.processId())
                .arg(name),
            QStringLiteral("key Tab space Tab space sleep 2 key Tab Tab Tab Tab space sleep 1")};
        for (const QString &command : commands) {
            QProcess xdotool;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), display);
            xdotool.setProcessEnvironment(environment);
            xdotool.start(QStringLiteral("xdotool"), command.split(u' '));
            QVERIFY(xdotool.waitForFinished(kStartMs) && xdotool.exitCode() == 0);
        }

        xvfb.kill();
        QVERIFY2(program.waitForFinished(kEndMs), "the program hung when its display went away");
        // A crash ends the process by a signal, not with an exit code.
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() != 0,
                 program.readAllStandardError().constData());
        QCOMPARE(settings.valueInFile("PROCESS_NAME_TEXTBOX").toString(), name);
        QCOMPARE(settings.valueInFile("AUTO_TERMINATE_TICKBOX").toString(), QStringLiteral("1"));
        QCOMPARE(settings.valueInFile("LOCK_PROCESS_NAME_TICKBOX").toString(), QStringLiteral("1"));
        QVERIFY(settings.valueInFile("MainLeft").isValid() && settings.valueInFile("AboutLeft").isValid());
    }

    // At twice the scale, what is stored is where the frame stands, and a second start stores the same.
    void scaledDesktopStoresWhereTheFrameIs()
    {
        IsolatedSettings settings;
        settings.writeIni(iniFile("main-at.ini", {"3000", "3000"}));
        X11TestClient client;
        QList<QByteArray> stored;
        for (int cycle = 0; cycle < 2; ++cycle) {
            Program program(settings, {"QT_QPA_PLATFORM=xcb", "QT_SCALE_FACTOR=2"});
            QList<xcb_window_t> windows;
            QTRY_VERIFY_WITH_TIMEOUT(!(windows = client.windowsOf(program.processId())).isEmpty(), kStartMs);
            QTest::qWait(500);
            const QPointF frame =
                QPointF(client.frameGeometry(windows.first()).topLeft()) * kTwipsPerPixel / 2;
            client.requestClose(windows.first());
            QVERIFY(program.waitForFinished(kEndMs));
            const QPointF off =
                QPointF(storedNumber(settings, "MainLeft"), storedNumber(settings, "MainTop")) - frame;
            QVERIFY2(std::abs(off.x()) <= kTwipsPerPixel && std::abs(off.y()) <= kTwipsPerPixel,
                     settings.readIni());
            stored << settings.readIni();
        }
        QCOMPARE(stored.at(1), stored.at(0));
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
