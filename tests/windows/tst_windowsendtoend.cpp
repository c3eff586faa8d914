// QUELLEX.exe started as a user starts it, with its settings seeded in the registry: it must end the
// processes of the stored name within a second and no others, and leave its state in the registry when
// its window is closed. The only processes it may end are this test's, under names no other has.
#include "platform/settingsbackend.h"
#include "tests/support/program.h"
#include "tests/support/testprocesses.h"

#include <QElapsedTimer>
#include <QTest>
#include <vector>
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

using quellex::platform::readSetting;
using quellex::platform::writeSettings;
using namespace quellex::test;

namespace {

const QString kApplication = QStringLiteral("ZORVIN-QUELLEX");
const QString kSection = QStringLiteral("Settings");

// The main window of process pid.
HWND waitForWindow(qint64 pid)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartMs) {
        HWND window = FindWindowW(nullptr, reinterpret_cast<const wchar_t *>(kCaption.utf16()));
        DWORD owner = 0;
        if (window && GetWindowThreadProcessId(window, &owner) && owner == pid)
            return window;
        QTest::qWait(20);
    }
    return nullptr;
}

} // namespace

class TestWindowsEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void executableCarriesIconAndVersionBlock()
    {
        const std::wstring path = Program::path().toStdWString();
        QCOMPARE(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 1u);
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        QVERIFY(!block.empty());
        QVERIFY(GetFileVersionInfoW(path.c_str(), 0, DWORD(block.size()), block.data()));
        const auto text = [&block](const wchar_t *name) {
            wchar_t *value = nullptr;
            UINT length = 0;
            const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
            if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &length))
                return QString();
            return QString::fromWCharArray(value);
        };
        QCOMPARE(text(L"FileVersion"), QStringLiteral("1.00"));
        QCOMPARE(text(L"ProductVersion"), QStringLiteral("1.00"));
        QCOMPARE(text(L"ProductName"), QStringLiteral("ZORVIN-QUELLEX"));
        QCOMPARE(text(L"InternalName"), QStringLiteral("QUELLEX"));
        QCOMPARE(text(L"OriginalFilename"), QStringLiteral("QUELLEX.exe"));
    }

    void seededAutoTerminateEndsTheNameAndCloseWritesTheRegistry()
    {
        TestProcesses targets(uniqueProcessName(QStringLiteral("qxE2e")));
        TestProcesses bystanders(uniqueProcessName(QStringLiteral("qxKeep")));
        const std::vector<pid_t> pids = targets.start(2);
        bystanders.start();
        QVERIFY(writeSettings(kApplication, kSection, {{"AUTO_TERMINATE_TICKBOX", "1"}}));
        QVERIFY(writeSettings(kApplication, kSection, {{"PROCESS_NAME_TEXTBOX", targets.imageName()}}));
        RegDeleteKeyValueW(HKEY_CURRENT_USER,
                           L"Software\\VB and VBA Program Settings\\ZORVIN-QUELLEX\\Settings", L"MainLeft");

        Program program;
        QVERIFY(program.waitForStarted(kStartMs));
        HWND window = waitForWindow(program.processId());
        QVERIFY2(window, "the main window did not appear");
        QElapsedTimer shown;
        shown.start();
        QVERIFY(targets.waitForAllExited(1000));
        qInfo("processes ended %lld ms after the window was found", shown.elapsed());
        QCOMPARE(bystanders.runningCount(), 1);

        PostMessageW(window, WM_CLOSE, 0, 0);
        QVERIFY(program.waitForFinished(kStartMs));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(readSetting(kApplication, kSection, "PROCESS_NAME_TEXTBOX"), targets.imageName());
        QCOMPARE(readSetting(kApplication, kSection, "AUTO_TERMINATE_TICKBOX"), QStringLiteral("1"));
        QVERIFY(readSetting(kApplication, kSection, "MainLeft").has_value());
        QCOMPARE(bystanders.runningCount(), 1);
    }

    // Placed by its frame and saved by its frame, the window does not climb a title bar a start. Run once
    // more under a window manager (windowsendtoend-wm), which frames the window itself.
    void startsAndClosesStoreTheSameGeometry()
    {
        HKEY desktop = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &desktop),
                 ERROR_SUCCESS);
        for (const DWORD dpi : {96, 144}) {
            RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dpi),
                           sizeof dpi);
            QVERIFY(writeSettings(kApplication, kSection, {{"MainLeft", "3000"}}));
            QVERIFY(writeSettings(kApplication, kSection, {{"MainTop", "3000"}}));
            QStringList stored;
            for (int cycle = 0; cycle < 3; ++cycle) {
                Program program;
                HWND window = waitForWindow(program.processId());
                QVERIFY(window);
                QTest::qWait(500);
                PostMessageW(window, WM_CLOSE, 0, 0);
                QVERIFY(program.waitForFinished(kStartMs));
                for (const char *key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
                    stored << readSetting(kApplication, kSection, key).value_or(QString());
            }
            qInfo() << dpi << "dpi, stored after each start and close:" << stored;
            QCOMPARE(stored.mid(4), stored.first(4) + stored.first(4));
        }
        RegDeleteValueW(desktop, L"LogPixels");
        RegCloseKey(desktop);
    }
};

QTEST_GUILESS_MAIN(TestWindowsEndToEnd)
#include "tst_windowsendtoend.moc"
