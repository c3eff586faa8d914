// The WMI layer against Wine's or Windows' own service, with processes this test started.
#include "platform/windows/wmimanagement.h"
#include "platform/windows/wmiprocess.h"
#include "process/systemprocessqueryservice.h"
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <algorithm>
#include <windows.h>

using namespace quellex::platform;
using namespace quellex::test;

namespace {

constexpr int kWait = 10000;

std::string terminationQuery(const QString &name)
{
    return wqlQuery(name, ProcessQuery::Termination);
}

} // namespace

class TestWmiManagement : public QObject
{
    Q_OBJECT

private slots:
    void queryTextsAreFixedAndEscaped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("literal");

        QTest::newRow("plain") << "Sleep.exe" << QByteArray("Sleep.exe");
        QTest::newRow("blanks kept") << " a b " << QByteArray(" a b ");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("non-ASCII") << "Ärger.exe" << QString("Ärger.exe").toUtf8();
        QTest::newRow("quote") << "x' OR Name<>'" << QByteArray(R"(x\' OR Name<>\')");
        QTest::newRow("backslash before quote") << R"(a\' b)" << QByteArray(R"(a\\\' b)");
    }

    void queryTextsAreFixedAndEscaped()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, literal);

        QCOMPARE(QByteArray::fromStdString(wqlQuery(name, ProcessQuery::RunningCheck)),
                 "SELECT Name FROM Win32_Process WHERE Name='" + literal + "'");
        QCOMPARE(QByteArray::fromStdString(wqlQuery(name, ProcessQuery::Termination)),
                 "Select Name from Win32_Process Where Name = '" + literal + "'");
    }

    void queryYieldsEachProcessOfTheName()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxWmi")));
        std::vector<pid_t> started = processes.start(2);
        WmiManagementService service;
        const ProcessList found = service.ExecQuery(terminationQuery(processes.imageName().toUpper()));

        QCOMPARE(found.size(), 2u);
        std::vector<pid_t> pids;
        for (const auto &process : found) {
            pids.push_back(pid_t(static_cast<const WmiProcess &>(*process).pid()));
        }
        std::sort(started.begin(), started.end());
        std::sort(pids.begin(), pids.end());
        QCOMPARE(pids, started);

        // This program is never among them, even by its own name.
        const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QCOMPARE(service.ExecQuery(terminationQuery(ownName)).size(), 0u);
    }

    void terminateEndsOnlyItsProcess()
    {
        // Wine's Win32_Process has no Terminate method: there this goes through the fallback.
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxEnd")));
        const std::vector<pid_t> pids = processes.start(2);
        const ProcessList found = WmiManagementService().ExecQuery(terminationQuery(processes.imageName()));
        QCOMPARE(found.size(), 2u);
        FoundProcess &first = *found.front();
        QCOMPARE(first.Terminate(), TerminateResult::Success);
        QVERIFY(processes.waitForExit(pid_t(static_cast<WmiProcess &>(first).pid()), kWait));
        QCOMPARE(processes.runningCount(), 1);
        // Asked again, the process that is gone is reported as such.
        QCOMPARE(first.Terminate(), TerminateResult::PathNotFound);
    }

    void exitedProcessIsNotSignalled()
    {
        // Ended after the query by this test, but still held open here: its pid still opens, and must not
        // be taken for a process to end.
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxGone")));
        const pid_t pid = processes.start();
        const ProcessList found = WmiManagementService().ExecQuery(terminationQuery(processes.imageName()));
        QCOMPARE(found.size(), 1u);
        HANDLE held = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                  DWORD(pid));
        QVERIFY(held);
        QVERIFY(TerminateProcess(held, 7));
        QCOMPARE(WaitForSingleObject(held, kWait), DWORD(WAIT_OBJECT_0));
        QCOMPARE(found.front()->Terminate(), TerminateResult::PathNotFound);
        DWORD exitCode = 0;
        QVERIFY(GetExitCodeProcess(held, &exitCode));
        QCOMPARE(exitCode, DWORD(7));
        CloseHandle(held);
    }

    void objectWithoutNameIsSkipped()
    {
        // Wine lists a process it is still creating without a name; a query that does not select Name
        // gives such objects for every process.
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxNoName")));
        const std::string where =
            " FROM Win32_Process WHERE ProcessId = " + std::to_string(processes.start());
        WmiManagementService service;
        QCOMPARE(service.ExecQuery("SELECT Name, ProcessId" + where).size(), 1u);
        QCOMPARE(service.ExecQuery("SELECT ProcessId" + where).size(), 0u);
    }

    void quoteInNameSelectsNothingElse()
    {
        TestProcesses plain(uniqueProcessName(QStringLiteral("qxPlain")));
        TestProcesses quoted(uniqueProcessName(QStringLiteral("qx'")));
        plain.start();
        quoted.start();
        quellex::process::SystemProcessQueryService service;
        // Windows matches the escaped quote; Wine's query language has no escapes and rejects the query.
        for (const QString &name : {QStringLiteral("x' OR Name<>'"), quoted.imageName()}) {
            try {
                service.TerminateProcesses(name);
            } catch (const quellex::process::ProcessQueryError &) {
            }
        }
        QCOMPARE(plain.runningCount(), 1);
    }

    void rejectedQueryGivesTheServiceError()
    {
        try {
            WmiManagementService().ExecQuery("Select Name from Win32_Process Where Name = 'a' OR");
            QFAIL("no error");
        } catch (const ProcessListError &error) {
            QVERIFY2(QByteArray(error.what()).contains("HRESULT 0x8004"), error.what());
        }
    }
};

QTEST_GUILESS_MAIN(TestWmiManagement)
#include "tst_wmimanagement.moc"
