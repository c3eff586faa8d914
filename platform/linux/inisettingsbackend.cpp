// The per-user settings store as an INI file, ${XDG_CONFIG_HOME:-$HOME/.config}/<application>.ini,
// one group per section, read and written by QSettings on the file itself. QSettings parses the file
// again whenever its size or time has changed, so another program's edit is seen by the next read
// unless it keeps the size within the same millisecond. Before QSettings sees the file, its size and
// text are checked here: QSettings would read a file of any size, and turn invalid UTF-8 into
// U+FFFD, which the next save would write back.
#include "platform/linux/uniquefd.h"
#include "platform/linux/writerlock.h"
#include "platform/logging.h"
#include "platform/settingsbackend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellex::platform {
namespace {

// The thirteen keys take a few KB even with a long name: anything larger is not this program's.
constexpr qint64 kMaxFileSize = 1024 * 1024;

// Empty when there is no home folder: some service managers start programs without HOME.
QString storePath(const QString &application)
{
    const QString file = u'/' + application + QLatin1String(".ini");
    // An empty or relative XDG_CONFIG_HOME is to be ignored.
    const QString xdg = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg) + file;
    QString home = QFile::decodeName(qgetenv("HOME"));
    if (const passwd *user = home.isEmpty() ? ::getpwuid(::getuid()) : nullptr; user && user->pw_dir)
        home = QFile::decodeName(user->pw_dir);
    if (home.isEmpty())
        return {};
    return QDir::cleanPath(home) + QLatin1String("/.config") + file;
}

// Which file, with which contents, as far as its metadata tells.
QString identity(const struct stat &st)
{
    return QStringLiteral("%1:%2:%3:%4.%5")
        .arg(st.st_dev)
        .arg(st.st_ino)
        .arg(st.st_size)
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec);
}

// Says a thing once for as long as the file it is about stays the same file with the same contents,
// so that loading a window, which reads many keys, or closing one, which saves many, reports once.
void warnOnce(const QString &path, const QString &cause, const QString &message)
{
    static SaidOnce said;
    QString report = path + u'\n' + cause;
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        report += u'\n' + identity(st);
    if (said.isNew(QString(), report))
        qCWarning(lcSettings).noquote() << message;
}

enum class FileState { Absent, Readable, Unusable };

// Whether QSettings may read the file, and if so QSettings on it; the problem completes
// "Settings file <path> ..." when not.
FileState checkFile(const QString &path, std::optional<QSettings> &settings, QString *problem)
{
    const auto unusable = [&](const QString &why) {
        *problem = why;
        return FileState::Unusable;
    };
    // Non-blocking, so that a FIFO in the file's place does not hang the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileState::Absent;
        return unusable(QStringLiteral("cannot be read (%1)").arg(qt_error_string(errno)));
    }
    QFile device;
    if (!device.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unusable(QStringLiteral("cannot be read (%1)").arg(device.errorString()));
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return unusable(QStringLiteral("is not a regular file"));
    // Never read further than the limit, whatever the size says: the file may be growing.
    const QByteArray bytes = st.st_size > kMaxFileSize ? QByteArray() : device.read(kMaxFileSize + 1);
    if (st.st_size > kMaxFileSize || bytes.size() > kMaxFileSize)
        return unusable(QStringLiteral("is larger than 1 MiB"));
    if (device.error() != QFileDevice::NoError)
        return unusable(QStringLiteral("cannot be read (%1)").arg(device.errorString()));
    // NUL bytes are what a file system leaves of a file whose contents never reached the disk.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // the decoder runs on this conversion
    if (utf8.hasError() || bytes.contains('\0'))
        return unusable(QStringLiteral("is not a UTF-8 text file"));
    // QSettings reports a format error only when it parses, and it parses a file again only once its
    // size or time has changed: the error is remembered until then.
    static QString invalidFile;
    if (identity(st) != invalidFile) {
        settings.emplace(path, QSettings::IniFormat);
        if (settings->status() != QSettings::FormatError)
            return FileState::Readable;
        settings.reset();
    }
    invalidFile = identity(st);
    return unusable(QStringLiteral("is not a valid INI file"));
}

// Keeps the bytes of a file that is about to be replaced: <file>.corrupt-<timestamp>.
std::optional<QString> moveAside(const QString &path, QString *error)
{
    const QString stem =
        path + QLatin1String(".corrupt-") + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss");
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = stem + u'-' + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
        *error = qt_error_string(errno);
        return std::nullopt;
    }
    return aside;
}

// Where the bytes of the file go: a symlinked store, even a dangling one, is written at its target,
// so that the link keeps working.
QString finalPath(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// QSettings has written the file through QSaveFile, which flushes it to the disk before renaming it
// over the old one; the rename is durable only once the folder has reached the disk too.
void flushFolder(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    const UniqueFd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.isValid() || (::fsync(fd.get()) != 0 && errno != EINVAL)) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Settings folder \"%1\" could not be flushed to the disk (%2); "
                              "the last setting may not survive a power loss.")
                   .arg(folder, qt_error_string(errno));
    }
}

} // namespace

std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key)
{
    const QString path = storePath(application);
    if (path.isEmpty())
        return std::nullopt;
    std::optional<QSettings> settings;
    QString problem;
    const FileState state = checkFile(path, settings, &problem);
    if (state == FileState::Unusable) {
        warnOnce(path, problem,
                 QStringLiteral("Settings file \"%1\" %2; the default values are used. The file is kept as "
                                "it is until the next setting is saved, which moves it aside.")
                     .arg(path, problem));
    }
    if (state != FileState::Readable)
        return std::nullopt;
    const QVariant value = settings->value(section + u'/' + key);
    if (value.typeId() == QMetaType::QStringList) // an unquoted comma in a hand-edited value
        return value.toStringList().join(u',');
    if (!value.isValid() || !value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

bool writeSettings(const QString &application, const QString &section, const SettingValues &values)
{
    if (values.isEmpty())
        return true;
    // A batch that fails fails as a whole, at its first key.
    const QString &key = values.first().first;
    const QString path = storePath(application);
    const auto fail = [&](const QString &why) {
        warnOnce(path, why,
                 QStringLiteral("Could not save the setting \"%1\" to \"%2\": %3.").arg(key, path, why));
        return false;
    };
    if (path.isEmpty()) {
        warnOnce(path, {},
                 QStringLiteral("Could not save the setting \"%1\": HOME is not set and the user has "
                                "no home folder.")
                     .arg(key));
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder \"%1\"").arg(folder));
    // Not <file>.lock: QSettings takes that name for a QLockFile of its own, which waits without end.
    const WriterLock lock(path + QLatin1String(".writer.lock"));
    if (!lock.locked())
        return fail(lock.error());
    const QString target = finalPath(path);
    // A writer killed inside QSettings' lock leaves <file>.lock naming its pid, and QLockFile takes
    // it as live for 30 s when a later process has that pid, as in a sandbox. No writer of this
    // program can hold it now: it goes, unless another program holds it.
    const QString settingsLock = target + QLatin1String(".lock");
    if (struct stat st{}; ::lstat(QFile::encodeName(settingsLock).constData(), &st) == 0) {
        const WriterLock leftover(settingsLock);
        if (!leftover.locked())
            return fail(leftover.error());
    }

    std::optional<QSettings> settings;
    QString problem;
    if (checkFile(target, settings, &problem) == FileState::Unusable) {
        QString error;
        const std::optional<QString> aside = moveAside(target, &error);
        if (!aside)
            return fail(QStringLiteral("the file %1 and could not be moved aside (%2)").arg(problem, error));
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Settings file \"%1\" %2; it was moved to \"%3\" and a new file was started.")
                   .arg(path, problem, *aside);
    }
    // A value that would take the file past the limit would make the next start lose every setting.
    qint64 growth = 0;
    for (const auto &[name, value] : values)
        growth += 4 * (name.size() + value.size()) + 8;
    if (QFileInfo(target).size() + growth > kMaxFileSize)
        return fail(QStringLiteral("the file would grow larger than 1 MiB"));
    if (!settings)
        settings.emplace(target, QSettings::IniFormat);
    for (const auto &[name, value] : values)
        settings->setValue(section + u'/' + name, value);
    settings->sync();
    if (settings->status() == QSettings::AccessError)
        return fail(QStringLiteral("the file \"%1\" cannot be written").arg(target));
    flushFolder(target);
    return true;
}

} // namespace quellex::platform
