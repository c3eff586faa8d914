// WmiProcess::Terminate through a stand-in for the WMI service, on processes this test started: the
// checks that hold it to the process that was found, and what it makes of the service's answers.
#include "platform/windows/wmiprocess.h"
#include "tests/support/testprocesses.h"
#include "tests/windows/fakewbemservices.h"

#include <QTest>

using namespace quellex::platform;
using namespace quellex::test;

namespace {

constexpr int kWait = 10000;

std::wstring relativePath(pid_t pid)
{
    return L"Win32_Process.Handle=\"" + std::to_wstring(pid) + L"\"";
}

// Takes over the reference a stand-in is made with.
template<typename Interface> ComPtr<Interface> adopt(Interface *object)
{
    ComPtr<Interface> held;
    held.Attach(object);
    return held;
}

// A Win32_Process object as Windows returns it for pid: Name, ProcessId and its path.
ComPtr<IWbemClassObject> foundObject(pid_t pid, const QString &name)
{
    auto *object = new FakeWbemObject;
    object->set(L"Name", name.toStdWString());
    object->set(L"ProcessId", LONG(pid));
    object->set(L"__RELPATH", relativePath(pid));
    return adopt<IWbemClassObject>(object);
}

// Found as the process now alive under its id, but created before it: what Terminate sees once the
// found process has exited and a new one has taken its id.
class ReplacedProcess : public WmiProcess
{
public:
    using WmiProcess::WmiProcess;
    void replace() { --m_created; }
};

} // namespace

class TestWmiProcess : public QObject
{
    Q_OBJECT

private slots:
    void serviceAnswerIsMapped_data()
    {
        QTest::addColumn<bool>("hasTerminate");
        QTest::addColumn<HRESULT>("execResult");
        QTest::addColumn<int>("returnValue"); // -1: the out-parameters lack it
        QTest::addColumn<TerminateResult>("expected");
        QTest::addColumn<bool>("ended"); // by TerminateProcess, as the stand-in ends nothing

        const HRESULT ok = WBEM_S_NO_ERROR;
        QTest::newRow("0") << true << ok << 0 << TerminateResult::Success << false;
        QTest::newRow("2") << true << ok << 2 << TerminateResult::AccessDenied << false;
        QTest::newRow("3") << true << ok << 3 << TerminateResult::InsufficientPrivilege << false;
        QTest::newRow("9") << true << ok << 9 << TerminateResult::PathNotFound << false;
        QTest::newRow("21") << true << ok << 21 << TerminateResult::UnknownFailure << false;
        QTest::newRow("no ReturnValue") << true << ok << -1 << TerminateResult::Success << false;
        QTest::newRow("WBEM_E_NOT_FOUND")
            << true << HRESULT(WBEM_E_NOT_FOUND) << 0 << TerminateResult::PathNotFound << false;
        QTest::newRow("WBEM_E_ACCESS_DENIED")
            << true << HRESULT(WBEM_E_ACCESS_DENIED) << 0 << TerminateResult::AccessDenied << false;
        QTest::newRow("WBEM_E_INVALID_METHOD")
            << true << HRESULT(WBEM_E_INVALID_METHOD) << 0 << TerminateResult::Success << true;
        QTest::newRow("E_NOTIMPL") << true << E_NOTIMPL << 0 << TerminateResult::Success << true;
        QTest::newRow("class without Terminate") << false << ok << 0 << TerminateResult::Success << true;
    }

    void serviceAnswerIsMapped()
    {
        QFETCH(bool, hasTerminate);
        QFETCH(HRESULT, execResult);
        QFETCH(int, returnValue);
        QFETCH(TerminateResult, expected);
        QFETCH(bool, ended);

        TestProcesses processes(uniqueProcessName(QStringLiteral("qxWmiEnd")));
        const pid_t pid = processes.start();
        auto *service = new FakeWbemServices;
        const ComPtr<IWbemServices> services = adopt<IWbemServices>(service);
        service->processClass->methodResult = hasTerminate ? S_OK : HRESULT(WBEM_E_NOT_FOUND);
        service->execResult = execResult;
        if (returnValue < 0)
            service->returnValue.reset();
        else
            service->returnValue = returnValue;
        // The service compares names without letter case; so does the check of the process's image.
        WmiProcess process(services, *foundObject(pid, processes.imageName().toUpper()).Get());

        QCOMPARE(process.Terminate(), expected);
        QCOMPARE(service->execCalls, hasTerminate ? 1 : 0);
        if (hasTerminate) {
            QCOMPARE(QString::fromStdWString(service->execPath), QString::fromStdWString(relativePath(pid)));
            QCOMPARE(QString::fromStdWString(service->execMethod), QStringLiteral("Terminate"));
            QVERIFY(service->execInSpawned);
        }
        QCOMPARE(processes.waitForExit(pid, ended ? kWait : 0), ended);
    }

    void unknownServiceErrorIsThrown()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxWmiErr")));
        const pid_t pid = processes.start();
        auto *service = new FakeWbemServices;
        const ComPtr<IWbemServices> services = adopt<IWbemServices>(service);
        service->execResult = HRESULT(WBEM_E_FAILED);
        WmiProcess process(services, *foundObject(pid, processes.imageName()).Get());

        QVERIFY_THROWS_EXCEPTION(ProcessListError, process.Terminate());
        QVERIFY(processes.isRunning(pid));
    }

    void anotherProcessUnderTheIdIsNotEnded_data()
    {
        QTest::addColumn<QString>("name"); // empty: the process's own
        QTest::addColumn<bool>("replaced");

        QTest::newRow("other image name") << uniqueProcessName(QStringLiteral("qxOther")) + ".exe" << false;
        QTest::newRow("other creation time") << QString() << true;
    }

    void anotherProcessUnderTheIdIsNotEnded()
    {
        QFETCH(QString, name);
        QFETCH(bool, replaced);

        TestProcesses processes(uniqueProcessName(QStringLiteral("qxWmiKeep")));
        const pid_t pid = processes.start();
        auto *service = new FakeWbemServices;
        const ComPtr<IWbemServices> services = adopt<IWbemServices>(service);
        ReplacedProcess process(services,
                                *foundObject(pid, name.isEmpty() ? processes.imageName() : name).Get());
        if (replaced)
            process.replace();

        QCOMPARE(process.Terminate(), TerminateResult::PathNotFound);
        QCOMPARE(service->execCalls, 0);
        QVERIFY(processes.isRunning(pid));
    }
};

QTEST_GUILESS_MAIN(TestWmiProcess)
#include "tst_wmiprocess.moc"
