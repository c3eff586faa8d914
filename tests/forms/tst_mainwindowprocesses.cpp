// The main window against the machine's real processes: only processes this test started, under a
// name no other process has.
#include "forms/common/controls.h"
#include "process/systemprocessqueryservice.h"
#include "tests/forms/windowtestbed.h"
#include "tests/support/testprocesses.h"

using namespace quellex;
using namespace quellex::forms;

class TestMainWindowProcesses : public QObject
{
    Q_OBJECT

private slots:
    void autoTerminateEndsAProcessStartedLater()
    {
        test::TestProcesses processes(test::uniqueProcessName());
        QuellexMain main(m_processes, m_windows);
        main.PROCESS_NAME_TEXTBOX->setText(processes.imageName());
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kRed);

        const pid_t watched = processes.start();
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kGreen);
        QVERIFY(processes.isRunning(watched));

        main.AUTO_TERMINATE_TICKBOX->click();
        QTRY_VERIFY(!processes.isRunning(watched));
        const pid_t later = processes.start();
        QTRY_VERIFY(!processes.isRunning(later));
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kRed);
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->toolTip(), QString());
    }

    void manualTerminateEndsEveryProcessOfTheName()
    {
        test::TestProcesses processes(test::uniqueProcessName());
        const auto pids = processes.start(3);
        QuellexMain main(m_processes, m_windows);
#ifdef Q_OS_WIN
        main.PROCESS_NAME_TEXTBOX->setText(processes.imageName().toUpper()); // the name has its ".exe" there
#else
        main.PROCESS_NAME_TEXTBOX->setText(processes.imageName().toUpper() + QStringLiteral(".exe"));
#endif
        main.QUELLEX_NOW_BUTTON->click();
        QVERIFY(processes.waitForAllExited(5000));
    }

    void manualTerminateWithAnEmptyNameEndsNothing()
    {
        test::TestProcesses processes(test::uniqueProcessName());
        const pid_t pid = processes.start();
        QuellexMain main(m_processes, m_windows);
        main.PROCESS_NAME_TEXTBOX->clear();
        main.QUELLEX_NOW_BUTTON->click();
        QTest::qWait(500);
        QVERIFY(processes.isRunning(pid));
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kRed);
    }

private:
    test::IsolatedSettings m_settings;
    process::SystemProcessQueryService m_processes;
    test::FakeWindowManager m_windows;
};

QTEST_MAIN(TestMainWindowProcesses)
#include "tst_mainwindowprocesses.moc"
