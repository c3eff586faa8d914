#include "settings/settings.h"
#include "tests/support/childmode.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace quellex::test {
namespace {

using namespace settings;

constexpr auto kNothingElse = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;

QString stored(const QString &key)
{
    return GetSetting(kApplication, kSection, key, QStringLiteral("<absent>"));
}

void save(const QString &key, const QString &value)
{
    SaveSetting(kApplication, kSection, key, value);
}

// The warning must come exactly once from here to the end of the test function.
void expectWarningOnce(const QString &pattern)
{
    const QRegularExpression expression(pattern);
    QTest::ignoreMessage(QtWarningMsg, expression);
    QTest::failOnWarning(expression);
}

// The child of writeSurvivesKill: saves, says so, and waits to be killed.
int saveAndHang(const QStringList &)
{
    settings::writeSingle(SettingKey::MainLeft, 1234.5f);
    settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("killed"));
    std::fputs("saved\n", stdout);
    std::fflush(stdout);
    for (;;)
        ::pause();
}

// The child of noHomeVariable: saves twice.
int saveTwice(const QStringList &)
{
    settings::writeInteger(SettingKey::AUTO_TERMINATE_TICKBOX, 1);
    settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("x"));
    return 0;
}

} // namespace

class TestIniSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_store = std::make_unique<IsolatedSettings>(); }
    void cleanup()
    {
        m_store.reset();
        QLocale::setDefault(QLocale::system());
    }

    void firstRunGivesDefaultsAndCreatesNothing()
    {
        for (int i = 0; i <= int(SettingKey::AboutHeight); ++i)
            QCOMPARE(settings::readText(SettingKey(i)),
                     QString(settings::keyInfo(SettingKey(i)).defaultText));
        QCOMPARE(readSingle(SettingKey::MainWidth), 10965.0f);
        QCOMPARE(readInteger(SettingKey::AUTO_TERMINATE_TICKBOX), 0);
        QCOMPARE(readDouble(SettingKey::SHOW_ZORVIN_DEV_TICKBOX), 1.0);
        QCOMPARE(GetSetting(kApplication, QStringLiteral("Other"), QStringLiteral("X"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QVERIFY(QDir(m_store->configHome()).isEmpty(kNothingElse));
    }

    void fileLocation()
    {
        settings::writeInteger(SettingKey::AlwaysOnTopTimer_TICKBOX, 1);
        QCOMPARE(m_store->readIni(), iniFile("always-on-top.ini"));

        // Without XDG_CONFIG_HOME, or with a relative one, the file is under $HOME/.config, made as needed.
        QTemporaryDir home;
        const QByteArray previousHome = qgetenv("HOME");
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", previousHome); });
        qputenv("HOME", QFile::encodeName(home.path()));
        for (const char *xdg : {"", "relative/config"}) {
            qputenv("XDG_CONFIG_HOME", xdg);
            save(QStringLiteral("MainTop"), QString::fromLatin1(xdg));
            QCOMPARE(stored(QStringLiteral("MainTop")), QString::fromLatin1(xdg));
        }
        QVERIFY(QFile::exists(home.filePath(QStringLiteral(".config/ZORVIN-QUELLEX.ini"))));
        QVERIFY(!QFile::exists(QStringLiteral("relative")));
    }

    // Without HOME or XDG_CONFIG_HOME the file is in the home folder the user database gives; a user
    // without one saves nothing and is told so once.
    void noHomeVariable()
    {
        if (::geteuid() != 0)
            QSKIP("needs root: saves as users who have no usable home folder");
        const auto saveAs = [](unsigned user) {
            return runChild(QStringLiteral("save"), {},
                            {.user = user, .unset = {"HOME", "XDG_CONFIG_HOME"}, .readErrors = true});
        };
        const QString nobody = saveAs(kNobody); // home: /nonexistent
        QCOMPARE(nobody.count("Could not save"), 1);
        QVERIFY2(nobody.contains("\"/nonexistent/.config/ZORVIN-QUELLEX.ini\""), qPrintable(nobody));
        const QString unknown = saveAs(1999999999);
        QCOMPARE(unknown.count("Could not save"), 1);
        QVERIFY2(unknown.contains("no home folder"), qPrintable(unknown));
    }

    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString("");
        QTest::newRow("leading and trailing blanks") << QStringLiteral("  name.exe  ");
        QTest::newRow("quotes and backslashes") << QStringLiteral("\"C:\\x\\\" 'y'\\");
        QTest::newRow("ini syntax") << QStringLiteral("a=b; c # d [Settings] e");
        QTest::newRow("commas") << QStringLiteral("one,two, three,");
        QTest::newRow("at signs") << QStringLiteral("@@ByteArray(x)");
        QTest::newRow("variant look-alike") << QStringLiteral("@Variant(\\0\\0\\0\\x7f)");
        QTest::newRow("non-ASCII") << QStringLiteral("Größe ✓ 名前 😀");
        QTest::newRow("control characters") << QStringLiteral("tab\there\nline\r\x01");
        QString longText;
        for (int i = 0; longText.size() < 6000; ++i)
            longText += QStringLiteral("%1, \"x\"=y; é\\ ").arg(i);
        QTest::newRow("a few KB") << longText;
    }

    void textRoundTrip()
    {
        QFETCH(QString, text);
        settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, text);
        QCOMPARE(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX), text);
        // The file is UTF-8 INI that QSettings reads as the same one text.
        const QVariant inFile = m_store->valueInFile(QStringLiteral("PROCESS_NAME_TEXTBOX"));
        QCOMPARE(inFile.typeId(), int(QMetaType::QString));
        QCOMPARE(inFile.toString(), text);
        if (QTest::currentDataTag() == QLatin1StringView("non-ASCII"))
            QVERIFY(m_store->readIni().contains(text.toUtf8()));

        // And what QSettings wrote, as earlier versions did, reads as the same text.
        QFile::remove(m_store->iniPath());
        {
            QSettings writer(m_store->iniPath(), QSettings::IniFormat);
            writer.setValue(QStringLiteral("Settings/PROCESS_NAME_TEXTBOX"), text);
        }
        QCOMPARE(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX), text);
    }

    void handEditedFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty value") << iniFile("hand-edited/empty-value.ini") << QString("");
        QTest::newRow("unquoted commas")
            << iniFile("hand-edited/unquoted-commas.ini") << QStringLiteral("a,b.exe");
        QTest::newRow("one at sign") << iniFile("hand-edited/one-at-sign.ini") << QStringLiteral("@x");
        QTest::newRow("CRLF and comment")
            << iniFile("hand-edited/crlf-and-comment.ini") << QStringLiteral("5");
        QTest::newRow("byte order mark") << iniFile("hand-edited/byte-order-mark.ini") << QStringLiteral("é");
        QTest::newRow("other letter case")
            << iniFile("hand-edited/other-letter-case.ini") << QStringLiteral("<absent>");
        QTest::newRow("quotes and comments")
            << iniFile("hand-edited/quotes-and-comments.ini") << QStringLiteral("a;b,c");
        QTest::newRow("escapes") << iniFile("hand-edited/escapes.ini") << QStringLiteral("AB\t");
        QTest::newRow("the last of two") << iniFile("hand-edited/the-last-of-two.ini") << QStringLiteral("2");
    }

    void handEditedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, expected);
        m_store->writeIni(contents);
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QCOMPARE(stored(QStringLiteral("K")), expected);
    }

    // Another program's edits right after a read or a write are read, and the next write keeps them.
    void everyReadAndWriteSeesTheFile()
    {
        m_store->writeIni(iniFile("one-key.ini", {"K", "1"}));
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("1"));
        m_store->writeIni(iniFile("one-key.ini", {"K", "22"}));
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("22"));

        save(QStringLiteral("K"), QStringLiteral("3"));
        m_store->writeIni(iniFile("one-key.ini", {"K", "44"}));
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("44"));

        // A save changes its one value and keeps the others.
        m_store->writeIni(iniFile("hand-written.ini"));
        save(QStringLiteral("K"), QStringLiteral("a=b"));
        save(QStringLiteral("L"), QStringLiteral("4"));
        QCOMPARE(m_store->valueInFile(QStringLiteral("X"), QStringLiteral("Other")),
                 QVariant(QStringLiteral("1")));
        QCOMPARE(m_store->valueInFile(QStringLiteral("K")), QVariant(QStringLiteral("a=b")));
        QCOMPARE(m_store->valueInFile(QStringLiteral("J")), QVariant(QStringLiteral("2")));
        QCOMPARE(m_store->valueInFile(QStringLiteral("L")), QVariant(QStringLiteral("4")));

        // A quote left open at the end does not swallow a value saved after it.
        m_store->writeIni(iniFile("open-quote.ini"));
        save(QStringLiteral("L"), QStringLiteral("5"));
        QCOMPARE(stored(QStringLiteral("L")), QStringLiteral("5"));
    }

    void numbers()
    {
        // Texts that do not convert give the key's default; a double need not be exactly 1.
        m_store->writeIni(iniFile("unconvertible-numbers.ini"));
        QCOMPARE(readSingle(SettingKey::MainLeft), 1000.0f);
        QCOMPARE(readSingle(SettingKey::MainTop), 1000.0f);
        QCOMPARE(readSingle(SettingKey::MainWidth), 10965.0f);
        QCOMPARE(readSingle(SettingKey::MainHeight), 1845.0f);
        QCOMPARE(readDouble(SettingKey::AUTO_TERMINATE_TICKBOX), 0.0);
        QCOMPARE(readInteger(SettingKey::AlwaysOnTopTimer_TICKBOX), 0);
        QCOMPARE(readDouble(SettingKey::AlwaysOnTopTimer_TICKBOX), 99999999999.0);
        QCOMPARE(readDouble(SettingKey::LOCK_PROCESS_NAME_TICKBOX), 1.0);
        QCOMPARE(readDouble(SettingKey::SHOW_ZORVIN_DEV_TICKBOX), 2.0);

        // Written with a decimal comma, read with a point, and the other way round.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        settings::writeSingle(SettingKey::MainLeft, 1000.5f);
        QCOMPARE(m_store->valueInFile(QStringLiteral("MainLeft")), QVariant(QStringLiteral("1000,5")));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(readSingle(SettingKey::MainLeft), 1000.5f);
        settings::writeSingle(SettingKey::MainTop, -0.25f);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(readSingle(SettingKey::MainTop), -0.25f);
    }

    void writeIsOnDiskAtOnce()
    {
        for (int i = 0; i < 3; ++i) {
            settings::writeInteger(SettingKey::SHOW_ZORVIN_DEV_TICKBOX, i);
            QCOMPARE(m_store->valueInFile(QStringLiteral("SHOW_ZORVIN_DEV_TICKBOX")),
                     QVariant(QString::number(i)));
        }
        // No lock or temporary file is left beside it.
        QCOMPARE(QDir(m_store->configHome()).entryList(kNothingElse),
                 QStringList{QStringLiteral("ZORVIN-QUELLEX.ini")});
    }

    // A child of this test saves two values and is killed with SIGKILL as soon as it says so: no exit
    // handler or destructor runs. Both values are in the file, beside the one that was there.
    void writeSurvivesKill()
    {
        m_store->writeIni(iniFile("one-key.ini", {"MainTop", "7"}));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), childArguments(QStringLiteral("save-and-hang")));
        QVERIFY(child.waitForStarted(30000));
        QTRY_VERIFY_WITH_TIMEOUT((child.waitForReadyRead(100), child.peek(64).contains("saved")), 60000);
        child.kill();
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QCOMPARE(settings::textToSingle(m_store->valueInFile(QStringLiteral("MainLeft")).toString()),
                 1234.5f);
        QCOMPARE(m_store->valueInFile(QStringLiteral("PROCESS_NAME_TEXTBOX")),
                 QVariant(QStringLiteral("killed")));
        QCOMPARE(m_store->valueInFile(QStringLiteral("MainTop")), QVariant(QStringLiteral("7")));
    }

    void corruptFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("binary") << iniFile("corrupt/binary.ini");
        QTest::newRow("zeroes, then text") << iniFile("corrupt/zeroes-then-text.ini");
        QTest::newRow("unclosed section") << iniFile("corrupt/unclosed-section.ini");
        QTest::newRow("not UTF-8") << iniFile("corrupt/not-utf-8.ini");
        QTest::newRow("cut in a character") << iniFile("corrupt/cut-in-a-character.ini");
    }

    // The program runs on defaults and says so once; the next save keeps the old bytes aside.
    void corruptFile()
    {
        QFETCH(QByteArray, contents);
        m_store->writeIni(contents);
        expectWarningOnce(QRegularExpression::escape(m_store->iniPath()) +
                          QStringLiteral(".*default values are used"));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(readSingle(SettingKey::MainLeft), 1000.0f);
            QCOMPARE(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX),
                     QStringLiteral("!!! PROCESS NAME TO TERMINATE !!!"));
        }
        QCOMPARE(m_store->readIni(), contents);

        const QString aside = QStringLiteral("ZORVIN-QUELLEX.ini.corrupt-");
        expectWarningOnce(QStringLiteral("moved to .*") + aside);
        settings::writeInteger(SettingKey::AlwaysOnTopTimer_TICKBOX, 1);
        const QStringList kept = QDir(m_store->configHome()).entryList({aside + u'*'});
        QCOMPARE(kept.size(), 1);
        QFile keptFile(QDir(m_store->configHome()).filePath(kept[0]));
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), contents);
        QCOMPARE(m_store->readIni(), iniFile("always-on-top.ini"));
    }

    // A folder where the file belongs, a file that cannot be read.
    void unusablePaths()
    {
        QVERIFY(QDir().mkpath(m_store->iniPath() + QStringLiteral("/inside")));
        expectWarningOnce(QStringLiteral("is not a regular file; the default"));
        QCOMPARE(stored(QStringLiteral("MainLeft")), QStringLiteral("<absent>"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("is not a regular file; it was moved")));
        save(QStringLiteral("MainLeft"), QStringLiteral("3"));
        QCOMPARE(stored(QStringLiteral("MainLeft")), QStringLiteral("3"));

        if (::geteuid() != 0) { // permissions do not bind root
            QVERIFY(QFile::setPermissions(m_store->iniPath(), QFileDevice::WriteOwner));
            expectWarningOnce(QStringLiteral("cannot be read"));
            QCOMPARE(stored(QStringLiteral("MainLeft")), QStringLiteral("<absent>"));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("moved to")));
            save(QStringLiteral("MainTop"), QStringLiteral("4"));
            QCOMPARE(stored(QStringLiteral("MainTop")), QStringLiteral("4"));
        }
    }

    void failedWriteIsReported()
    {
        const QString blocker = QDir(m_store->configHome()).filePath(QStringLiteral("file"));
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
        expectWarningOnce(QStringLiteral("Could not save the setting \"MainLeft\""));
        save(QStringLiteral("MainLeft"), QStringLiteral("3"));
        QCOMPARE(stored(QStringLiteral("MainLeft")), QStringLiteral("<absent>"));
    }

    // Nothing is written to a temporary folder: a full or missing one changes nothing.
    void noTemporaryFolderNeeded()
    {
        const QString blocker = QDir(m_store->configHome()).filePath(QStringLiteral("file"));
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        const QByteArray previousTmp = qgetenv("TMPDIR"), previousRuntime = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&] {
            qputenv("TMPDIR", previousTmp);
            qputenv("XDG_RUNTIME_DIR", previousRuntime);
        });
        qputenv("TMPDIR", QFile::encodeName(blocker + QStringLiteral("/tmp")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(blocker + QStringLiteral("/run")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));

        m_store->writeIni(iniFile("auto-terminate.ini", {"mine.exe"}));
        QCOMPARE(readInteger(SettingKey::AUTO_TERMINATE_TICKBOX), 1);
        QCOMPARE(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX), QStringLiteral("mine.exe"));
        settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, QStringLiteral("other.exe"));
        QCOMPARE(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX), QStringLiteral("other.exe"));
    }

    // A lock file that no live writer holds never delays a save, whatever process it names; a live
    // writer delays it about a second, after which the save gives up with one message.
    void locksLeftBehind()
    {
        const QString lockPath = m_store->iniPath() + QStringLiteral(".lock");
        for (const qint64 pid : {qint64(QCoreApplication::applicationPid()), qint64(1)}) {
            QFile lock(lockPath);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            // As QLockFile writes it; with this process's own pid and name, QLockFile takes it as live.
            lock.write(QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n' +
                       QSysInfo::machineHostName().toUtf8() + '\n');
            lock.close();
            QElapsedTimer timer;
            timer.start();
            save(QStringLiteral("K"), QString::number(pid));
            QVERIFY(timer.elapsed() < 500);
            QCOMPARE(stored(QStringLiteral("K")), QString::number(pid));
            QVERIFY(!QFile::exists(lockPath));
        }

        QFile held(lockPath);
        QVERIFY(held.open(QIODevice::WriteOnly));
        QCOMPARE(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
        expectWarningOnce(QStringLiteral("Could not save .*stayed locked by another writer"));
        QElapsedTimer timer;
        timer.start();
        save(QStringLiteral("K"), QStringLiteral("late"));
        QVERIFY(timer.elapsed() >= 900 && timer.elapsed() < 2000);
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("1"));
    }

    // However a live writer holds its lock, no save slips past it: a shared lock excludes too, and so does
    // a lock file replaced under the save (each replacement locked before its name is taken).
    void rivalWriterExcludesSaves()
    {
        const QByteArray lockPath = QFile::encodeName(m_store->iniPath() + QStringLiteral(".writer.lock"));
        save(QStringLiteral("K"), QStringLiteral("before"));
        expectWarningOnce(QStringLiteral("Could not save .*stayed locked by another writer"));
        const int shared = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QCOMPARE(::flock(shared, LOCK_SH), 0);
        save(QStringLiteral("K"), QStringLiteral("shared"));
        ::close(shared);

        std::atomic<bool> stop = false;
        std::atomic<int> rounds = 0;
        std::thread rival([&] {
            const QByteArray next = lockPath + ".next";
            int held = -1;
            while (!stop) {
                const int fd = ::open(next.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
                ::flock(fd, LOCK_EX);
                ::rename(next.constData(), lockPath.constData());
                ::close(std::exchange(held, fd));
                ++rounds;
            }
            ::close(held);
        });
        while (rounds == 0)
            QThread::yieldCurrentThread();
        save(QStringLiteral("K"), QStringLiteral("replaced"));
        stop = true;
        rival.join();
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("before"));
    }

    // A file beyond 1 MiB is not read: the defaults are used at once, with one message, and the next
    // save moves it aside.
    void hugeFile()
    {
        QFile file(m_store->iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(iniFile("one-key.ini", {"MainLeft", "5"}));
        QVERIFY(file.resize(100 * 1024 * 1024));
        file.close();
        expectWarningOnce(QStringLiteral("is larger than 1 MiB; the default values are used"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("larger than 1 MiB; it was moved")));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i <= int(SettingKey::AboutHeight); ++i)
            QCOMPARE(settings::readText(SettingKey(i)),
                     QString(settings::keyInfo(SettingKey(i)).defaultText));
        settings::writeInteger(SettingKey::AlwaysOnTopTimer_TICKBOX, 1);
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(m_store->readIni(), iniFile("always-on-top.ini"));
        QCOMPARE(QDir(m_store->configHome()).entryList({QStringLiteral("*.corrupt-*")}).size(), 1);

        // Nor is a value saved that would take the file past the limit, and so lose every setting.
        expectWarningOnce(QStringLiteral("would grow larger than 1 MiB"));
        settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, QString(300 * 1024, u'x'));
        QCOMPARE(readInteger(SettingKey::AlwaysOnTopTimer_TICKBOX), 1);
    }

    // A symlinked store is written at the link's target, even one that does not exist yet, in a folder
    // that does not exist yet. Where the target cannot be written, one message, and the program carries
    // on with what it has.
    void danglingSymlink()
    {
        const QString target = QDir(m_store->configHome()).filePath(QStringLiteral("kept/quellex.ini"));
        QVERIFY(QFile::link(target, m_store->iniPath()));
        save(QStringLiteral("K"), QStringLiteral("1"));
        QVERIFY(QFileInfo(m_store->iniPath()).isSymLink());
        QVERIFY(QFileInfo(target).isFile());
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("1"));
        // A damaged target goes aside, and the link stays.
        m_store->writeIni("\xff");
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("moved to .*kept/quellex.ini.corrupt")));
        save(QStringLiteral("K"), QStringLiteral("1"));
        QVERIFY(QFileInfo(m_store->iniPath()).isSymLink());
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("1"));

        QVERIFY(QFile::remove(m_store->iniPath()));
        QVERIFY(QFile::link(target + QStringLiteral("/quellex.ini"), m_store->iniPath())); // under a file
        expectWarningOnce(QStringLiteral("Could not save the setting \"K\""));
        save(QStringLiteral("K"), QStringLiteral("2"));
        save(QStringLiteral("J"), QStringLiteral("3"));
        QCOMPARE(stored(QStringLiteral("K")), QStringLiteral("<absent>"));
        QVERIFY(QFileInfo(m_store->iniPath()).isSymLink());
    }

private:
    std::unique_ptr<IsolatedSettings> m_store;
};

} // namespace quellex::test

QUELLEX_TEST_MAIN(quellex::test::TestIniSettingsStore, nullptr, {"save-and-hang", quellex::test::saveAndHang},
                  {"save", quellex::test::saveTwice})
#include "tst_inisettingsstore.moc"
