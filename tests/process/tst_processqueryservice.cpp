#include "platform/fake/fakemanagement.h"
#include "process/managementprocessqueryservice.h"
#include "process/querytext.h"
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace quellex;
using namespace quellex::platform;
using namespace quellex::process;
using quellex::test::TestProcesses;
using quellex::test::uniqueProcessName;

namespace {

constexpr int kWait = 10000;

#ifdef QUELLEX_REAL_PROCESSES
#define REQUIRE_REAL_PROCESSES()
#else
#define REQUIRE_REAL_PROCESSES() QSKIP("the platform of this build has no real processes")
#endif

// argv[2] is this copy's own image name: ends every process of it, then reports what it found.
int terminateOwnName(char **argv)
{
    ManagementProcessQueryService service;
    service.TerminateProcesses(QString::fromUtf8(argv[2]));
    std::printf("found=%d\n", service.lastTermination().found);
    return 0;
}

} // namespace

class TestProcessQueryService : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void queryTextsAreFixedAndEscaped_data();
    void queryTextsAreFixedAndEscaped();
    void everyCallBindsAndQueriesAfresh();
    void quoteInNameCannotWidenTheQuery();
    void terminationAsksEveryProcessAndReports();
    void failuresBecomeQueryErrors();
    void realProcessesAreSeenAndEndedTogether();
    void ownProcessIsSpared();

private:
    std::shared_ptr<FakeProcessTable> m_table;
    ManagementProcessQueryService::Binder m_fakeBinder;
};

void TestProcessQueryService::init()
{
    m_table = std::make_shared<FakeProcessTable>();
    m_fakeBinder = [table = m_table](std::string_view moniker) -> std::unique_ptr<ManagementService> {
        requireDefaultMoniker(moniker);
        return std::make_unique<FakeManagementService>(table);
    };
}

void TestProcessQueryService::queryTextsAreFixedAndEscaped_data()
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

void TestProcessQueryService::queryTextsAreFixedAndEscaped()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, literal);

    const QByteArray running = "SELECT Name FROM Win32_Process WHERE Name='" + literal + "'";
    const QByteArray termination = "Select Name from Win32_Process Where Name = '" + literal + "'";
    QCOMPARE(QByteArray::fromStdString(runningCheckQuery(name)), running);
    QCOMPARE(QByteArray::fromStdString(terminationQuery(name)), termination);

    ManagementProcessQueryService service(m_fakeBinder);
    service.IsProcessRunning(name);
    service.TerminateProcesses(name);
    QCOMPARE(m_table->queries(),
             (std::vector<std::string>{running.toStdString(), termination.toStdString()}));
}

void TestProcessQueryService::everyCallBindsAndQueriesAfresh()
{
    ManagementProcessQueryService service(m_fakeBinder);
    QVERIFY(!service.IsProcessRunning("a.exe"));
    m_table->add("A");
    QVERIFY(service.IsProcessRunning("a.exe"));
    service.TerminateProcesses("A.EXE");
    QVERIFY(!service.IsProcessRunning("a"));
    QCOMPARE(m_table->bindings(), 4);
    QCOMPARE(m_table->queries().size(), 4u);
}

void TestProcessQueryService::quoteInNameCannotWidenTheQuery()
{
    m_table->add("other");
    m_table->add("x");
    const std::uint32_t literal = m_table->add("x' OR Name<>'");
    ManagementProcessQueryService service(m_fakeBinder);
    QVERIFY(service.IsProcessRunning("x' OR Name<>'"));
    service.TerminateProcesses("x' OR Name<>'");
    QCOMPARE(m_table->entries().size(), 2u);
    QVERIFY(!m_table->contains(literal));
    QVERIFY(!service.IsProcessRunning(R"(other\' OR Name<>\')"));
}

void TestProcessQueryService::terminationAsksEveryProcessAndReports()
{
    const std::uint32_t first = m_table->add("q.exe");
    const std::uint32_t refusing = m_table->add("Q.EXE", false);
    const std::uint32_t last = m_table->add("q");
    m_table->add("other");
    ManagementProcessQueryService service(m_fakeBinder);

    service.TerminateProcesses("q.exe");
    QVERIFY(!m_table->contains(first));
    QVERIFY(m_table->contains(refusing));
    QVERIFY(!m_table->contains(last));
    const TerminationReport report = service.lastTermination();
    QCOMPARE(report.name, "q.exe");
    QCOMPARE(report.found, 3);
    QCOMPARE(report.refused, 1);
    QCOMPARE(report.reason, "access denied");

    service.TerminateProcesses("nothing");
    QCOMPARE(service.lastTermination().name, "nothing");
    QCOMPARE(service.lastTermination().found, 0);
    QCOMPARE(service.lastTermination().refused, 0);
}

void TestProcessQueryService::failuresBecomeQueryErrors()
{
    ManagementProcessQueryService unbound([](std::string_view) -> std::unique_ptr<ManagementService> {
        throw ManagementError("service not running");
    });
    try {
        unbound.TerminateProcesses("x.exe");
        QFAIL("no error");
    } catch (const ProcessQueryError &error) {
        QCOMPARE(error.what(), "cannot terminate \"x.exe\": service not running");
    }
    QCOMPARE(unbound.lastTermination().name, QString());
    QVERIFY_THROWS_EXCEPTION(ProcessQueryError, unbound.IsProcessRunning("x.exe"));
}

void TestProcessQueryService::realProcessesAreSeenAndEndedTogether()
{
    REQUIRE_REAL_PROCESSES();
    // Quote and backslash in the name: escaped into the query and matched as they are.
#ifdef Q_OS_WIN
    // No backslash in a Windows file name, and Wine's query language has no escapes; the image name
    // there carries its ".exe".
    TestProcesses processes(uniqueProcessName(QStringLiteral("qx")));
    const QString shouted = processes.imageName().toUpper();
#else
    TestProcesses processes(uniqueProcessName(QStringLiteral("qx'\\")));
    const QString shouted = processes.imageName().toUpper() + ".Exe";
#endif
    const QString name = processes.imageName();
    ManagementProcessQueryService service;

    QVERIFY(!service.IsProcessRunning(name));
    processes.start(3);
    QVERIFY(service.IsProcessRunning(name));
    QVERIFY(!service.IsProcessRunning(name + " "));
    QVERIFY(!service.IsProcessRunning(QString()));
    service.TerminateProcesses(QString());
    QCOMPARE(processes.runningCount(), 3);

    service.TerminateProcesses(shouted);
    QVERIFY(processes.waitForAllExited(kWait));
    QCOMPARE(service.lastTermination().found, 3);
    QCOMPARE(service.lastTermination().refused, 0);
    QVERIFY(!service.IsProcessRunning(name));
}

void TestProcessQueryService::ownProcessIsSpared()
{
    REQUIRE_REAL_PROCESSES();
    // A copy of this test under a name of its own, alongside two other processes of that name.
    QString name = uniqueProcessName(QStringLiteral("qxSelf"));
#ifdef Q_OS_WIN
    name += QStringLiteral(".exe");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(name);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
    TestProcesses others(name);
    others.start(2);

    QProcess child;
    child.setWorkingDirectory(QCoreApplication::applicationDirPath()); // where Windows finds the DLLs
    child.start(copy, {QStringLiteral("--terminate-own-name"), name});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("found=2"));
    QVERIFY(others.waitForAllExited(kWait));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--terminate-own-name") == 0)
        return terminateOwnName(argv);
    QCoreApplication app(argc, argv);
    TestProcessQueryService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processqueryservice.moc"
