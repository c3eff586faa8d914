// The per-user settings store as an INI file, ${XDG_CONFIG_HOME:-$HOME/.config}/<application>.ini,
// one group per section, read and written through QSettings.
#include "platform/settingsbackend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QVariant>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quellex::platform {
namespace {

// Long enough for a writer on a loaded machine; a lock left by a dead process is taken over sooner.
constexpr int kLockTimeoutMs = 10000;

QString configHome()
{
    // An empty or relative XDG_CONFIG_HOME is to be ignored.
    const QString xdg = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QLatin1String("/.config");
}

QString storePath(const QString &application)
{
    return configHome() + u'/' + application + QLatin1String(".ini");
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Says a thing once for as long as the file it is about stays the same file with the same contents,
// so that loading a window, which reads many keys, reports a bad file once.
void warnOnce(const QString &path, const QString &message)
{
    static QMutex mutex;
    static QString lastReport;

    QString identity = path + u'\n' + message;
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        identity += QStringLiteral("\n%1:%2:%3:%4.%5")
                        .arg(st.st_dev)
                        .arg(st.st_ino)
                        .arg(st.st_size)
                        .arg(st.st_mtim.tv_sec)
                        .arg(st.st_mtim.tv_nsec);
    }
    const QMutexLocker locker(&mutex);
    if (identity == lastReport)
        return;
    lastReport = identity;
    qWarning().noquote() << message;
}

// The store file's bytes as they were when read, and whether they can be used.
struct StoreFile
{
    enum class State { Absent, Readable, Unusable };
    State state = State::Absent;
    QByteArray bytes;
    QString problem; // completes "Settings file <path> ..." when Unusable
};

StoreFile readStoreFile(const QString &path)
{
    StoreFile file;
    const QFileInfo info(path);
    if (!info.exists())
        return file;
    file.state = StoreFile::State::Unusable;
    if (!info.isFile()) {
        file.problem = QStringLiteral("is not a regular file");
        return file;
    }
    QFile device(path);
    if (!device.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return {}; // replaced between the two looks; absent now
        file.problem = QStringLiteral("cannot be read (%1)").arg(device.errorString());
        return file;
    }
    file.bytes = device.readAll();
    if (device.error() != QFileDevice::NoError) {
        file.problem = QStringLiteral("cannot be read (%1)").arg(device.errorString());
        return file;
    }
    // QSettings would turn invalid bytes into U+FFFD and write those back: the original text would
    // be lost without a word. NUL bytes are what a file system leaves of a file whose contents never
    // reached the disk; QSettings itself never writes one.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(file.bytes); // the decoder runs on this conversion
    if (utf8.hasError() || file.bytes.contains('\0')) {
        file.problem = QStringLiteral("is not a UTF-8 text file");
        return file;
    }
    // Editors on other systems start UTF-8 files with a byte order mark, which QSettings would take
    // for the start of a line without '='.
    if (file.bytes.startsWith("\xEF\xBB\xBF"))
        file.bytes.remove(0, 3);
    file.state = StoreFile::State::Readable;
    return file;
}

// QSettings over a private copy of the store's bytes. QSettings keeps parsed files in a process-wide
// cache that it refreshes only when a file's size or modification time has changed, so a change of
// the same length within one tick of the file system clock would go unseen; a copy under a fresh
// name never meets that cache, and the bytes checked are the bytes parsed.
class IniCopy
{
public:
    enum class Parse { Valid, Invalid, Failed };

    explicit IniCopy(const QByteArray &bytes)
        : m_dir(scratchTemplate())
    {
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("cannot create a scratch folder (%1)").arg(m_dir.errorString());
            return;
        }
        const QString path = m_dir.filePath(QStringLiteral("copy.ini"));
        QFile copy(path);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush()) {
            m_error = QStringLiteral("cannot write a scratch copy (%1)").arg(copy.errorString());
            return;
        }
        copy.close();
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }

    QString error() const { return m_error; }

    Parse parse()
    {
        if (!m_settings)
            return Parse::Failed;
        (void)m_settings->allKeys(); // parses every group, not just the one asked for
        switch (m_settings->status()) {
        case QSettings::NoError:
            return Parse::Valid;
        case QSettings::FormatError:
            return Parse::Invalid;
        case QSettings::AccessError:
            break;
        }
        m_error = QStringLiteral("cannot read the scratch copy");
        return Parse::Failed;
    }

    std::optional<QString> value(const QString &key) const
    {
        const QVariant value = m_settings->value(key);
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            return std::nullopt;
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QStringList:
            // An unquoted comma in a hand-edited value reads as a list.
            return value.toStringList().join(u',');
        case QMetaType::QByteArray:
            return textOf(value.toByteArray());
        default:
            if (value.canConvert<QString>())
                return value.toString();
            return std::nullopt; // a serialised object is no text
        }
    }

    bool setValue(const QString &key, const QString &value)
    {
        if (!m_settings)
            return false;
        m_settings->setValue(key, value);
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError) {
            m_error = QStringLiteral("cannot write the scratch copy");
            return false;
        }
        return true;
    }

    std::optional<QByteArray> contents()
    {
        QFile copy(m_settings->fileName());
        if (!copy.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("cannot read the scratch copy (%1)").arg(copy.errorString());
            return std::nullopt;
        }
        return copy.readAll();
    }

private:
    static QString textOf(const QByteArray &bytes)
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        return utf8.hasError() ? QString::fromLatin1(bytes) : text;
    }

    static QString scratchTemplate()
    {
        // The per-user runtime folder is in memory; syncing the copy there costs nothing.
        QString base = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
        if (base.isEmpty() || !QFileInfo(base).isDir() || !QFileInfo(base).isWritable())
            base = QDir::tempPath();
        return base + QLatin1String("/quellex-settings-XXXXXX");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    QString m_error;
};

// Keeps the bytes of a file that is about to be replaced: <file>.corrupt-<timestamp>.
std::optional<QString> moveAside(const QString &path, QString *error)
{
    const QString stem =
        path + QLatin1String(".corrupt-") + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss");
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = stem + u'-' + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
        *error = errnoText(errno);
        return std::nullopt;
    }
    return aside;
}

bool replaceFile(const QString &path, const QByteArray &contents, QString *error)
{
    // QSaveFile writes a new file, flushes it to the disk and renames it over the old one: a crash
    // at any moment leaves either the old file or the new one, complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// The rename is durable only once the folder holding it has reached the disk.
void syncFolderOf(const QString &path)
{
    QFileInfo info(path);
    const QString canonical = info.canonicalFilePath(); // a symlinked store is written at its target
    const QString folder = QFileInfo(canonical.isEmpty() ? path : canonical).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || (::fsync(fd) != 0 && errno != EINVAL)) {
        qWarning().noquote() << QStringLiteral(
                                    "Settings folder \"%1\" could not be flushed to the disk (%2); "
                                    "the last setting may not survive a power loss.")
                                    .arg(folder, errnoText(errno));
    }
    if (fd >= 0)
        ::close(fd);
}

} // namespace

std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key)
{
    if (const QString problem = settingNamesProblem(application, section, key); !problem.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Cannot read a setting: %1.").arg(problem);
        return std::nullopt;
    }
    const QString path = storePath(application);
    StoreFile current = readStoreFile(path);
    if (current.state == StoreFile::State::Absent)
        return std::nullopt;
    if (current.state == StoreFile::State::Readable) {
        IniCopy ini(current.bytes);
        switch (ini.parse()) {
        case IniCopy::Parse::Valid:
            return ini.value(section + u'/' + key);
        case IniCopy::Parse::Failed:
            warnOnce(path, QStringLiteral(
                               "Settings file \"%1\" could not be read: %2; the default values are used.")
                               .arg(path, ini.error()));
            return std::nullopt;
        case IniCopy::Parse::Invalid:
            current.problem = QStringLiteral("is not a valid INI file");
            break;
        }
    }
    warnOnce(path, QStringLiteral("Settings file \"%1\" %2; the default values are used. The file is kept "
                                  "as it is until the next setting is saved, which moves it aside.")
                       .arg(path, current.problem));
    return std::nullopt;
}

bool writeSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value)
{
    const auto fail = [&](const QString &path, const QString &why) {
        qWarning().noquote()
            << QStringLiteral("Could not save the setting \"%1\" to \"%2\": %3.").arg(key, path, why);
        return false;
    };
    if (const QString problem = settingNamesProblem(application, section, key); !problem.isEmpty())
        return fail(application, problem);

    // Threads of one process do not exclude each other through one lock file reliably.
    static QMutex writers;
    const QMutexLocker writer(&writers);

    const QString path = storePath(application);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(path, QStringLiteral("cannot create the folder \"%1\"").arg(folder));

    // The lock file QSettings itself uses, so that other QSettings writers of this file wait too.
    QLockFile lock(path + QLatin1String(".lock"));
    if (!lock.tryLock(kLockTimeoutMs)) {
        if (lock.error() == QLockFile::LockFailedError)
            return fail(path, QStringLiteral("the file stayed locked by another writer"));
        return fail(path, QStringLiteral("cannot create the lock file \"%1.lock\"").arg(path));
    }

    StoreFile current = readStoreFile(path);
    std::unique_ptr<IniCopy> ini;
    if (current.state == StoreFile::State::Readable) {
        ini = std::make_unique<IniCopy>(current.bytes);
        switch (ini->parse()) {
        case IniCopy::Parse::Valid:
            break;
        case IniCopy::Parse::Failed:
            return fail(path, ini->error());
        case IniCopy::Parse::Invalid:
            current.state = StoreFile::State::Unusable;
            current.problem = QStringLiteral("is not a valid INI file");
            break;
        }
    }
    if (current.state == StoreFile::State::Unusable) {
        QString error;
        const std::optional<QString> aside = moveAside(path, &error);
        if (!aside) {
            return fail(
                path,
                QStringLiteral("the file %1 and could not be moved aside (%2)").arg(current.problem, error));
        }
        qWarning().noquote() << QStringLiteral("Settings file \"%1\" %2; it was moved to \"%3\" and a new "
                                               "file was started.")
                                    .arg(path, current.problem, *aside);
        ini.reset();
    }
    if (!ini)
        ini = std::make_unique<IniCopy>(QByteArray());

    if (!ini->setValue(section + u'/' + key, value))
        return fail(path, ini->error());
    const std::optional<QByteArray> contents = ini->contents();
    if (!contents)
        return fail(path, ini->error());
    QString error;
    if (!replaceFile(path, *contents, &error))
        return fail(path, error);
    syncFolderOf(path);
    return true;
}

} // namespace quellex::platform
