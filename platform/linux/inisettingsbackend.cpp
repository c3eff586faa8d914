// The per-user settings store as an INI file, ${XDG_CONFIG_HOME:-$HOME/.config}/<application>.ini,
// one group per section. Every call reads the file afresh and parses it in memory: nothing is cached
// and nothing is written anywhere but beside the file.
#include "platform/linux/iniformat.h"
#include "platform/linux/writerlock.h"
#include "platform/logging.h"
#include "platform/settingsbackend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellex::platform {
namespace {

// The thirteen keys take a few KB even with a long name: anything larger is not this program's.
constexpr qint64 kMaxFileSize = 1024 * 1024;

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
// so that loading a window, which reads many keys, or closing one, which saves many, reports once.
void warnOnce(const QString &path, const QString &cause, const QString &message)
{
    static QString lastReport;
    QString identity = path + u'\n' + cause;
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
    if (identity == lastReport)
        return;
    lastReport = identity;
    qCWarning(lcSettings).noquote() << message;
}

// The store file as it was when read, and whether it can be used.
struct StoreFile
{
    enum class State { Absent, Readable, Unusable };
    State state = State::Absent;
    std::optional<IniDocument> document;
    QString problem; // completes "Settings file <path> ..." when Unusable
};

StoreFile unusable(const QString &problem)
{
    return {StoreFile::State::Unusable, std::nullopt, problem};
}

StoreFile readStoreFile(const QString &path)
{
    // Non-blocking, so that a FIFO in the file's place does not hang the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return unusable(QStringLiteral("cannot be read (%1)").arg(errnoText(errno)));
    }
    QFile device;
    if (!device.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unusable(QStringLiteral("cannot be read (%1)").arg(device.errorString()));
    }
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return unusable(QStringLiteral("is not a regular file"));
    // Never read further than the limit, whatever the size says: the file may be growing.
    const QByteArray bytes = st.st_size > kMaxFileSize ? QByteArray() : device.read(kMaxFileSize + 1);
    if (st.st_size > kMaxFileSize || bytes.size() > kMaxFileSize)
        return unusable(QStringLiteral("is larger than 1 MiB"));
    if (device.error() != QFileDevice::NoError)
        return unusable(QStringLiteral("cannot be read (%1)").arg(device.errorString()));
    // Invalid bytes would be read as U+FFFD and written back so: the original text would be lost
    // without a word. NUL bytes are what a file system leaves of a file whose contents never reached
    // the disk; the store never writes one.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // the decoder runs on this conversion
    if (utf8.hasError() || bytes.contains('\0'))
        return unusable(QStringLiteral("is not a UTF-8 text file"));
    std::optional<IniDocument> document = IniDocument::parse(bytes);
    if (!document)
        return unusable(QStringLiteral("is not a valid INI file"));
    return {StoreFile::State::Readable, std::move(document), {}};
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
        *error = errnoText(errno);
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

bool replaceFile(const QString &path, const QByteArray &contents, QString *error)
{
    // QSaveFile writes a new file beside the old one, flushes it to the disk and renames it over the
    // old one: a crash at any moment leaves either the old file or the new one, complete.
    const QString target = finalPath(path);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    // The rename is durable only once the folder holding it has reached the disk.
    const QString folder = QFileInfo(target).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || (::fsync(fd) != 0 && errno != EINVAL)) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Settings folder \"%1\" could not be flushed to the disk (%2); "
                              "the last setting may not survive a power loss.")
                   .arg(folder, errnoText(errno));
    }
    if (fd >= 0)
        ::close(fd);
    return true;
}

} // namespace

std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key)
{
    const QString path = storePath(application);
    const StoreFile current = readStoreFile(path);
    if (current.state == StoreFile::State::Readable)
        return current.document->value(section, key);
    if (current.state == StoreFile::State::Unusable) {
        warnOnce(path, current.problem,
                 QStringLiteral("Settings file \"%1\" %2; the default values are used. The file is kept as "
                                "it is until the next setting is saved, which moves it aside.")
                     .arg(path, current.problem));
    }
    return std::nullopt;
}

bool writeSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value)
{
    const QString path = storePath(application);
    const auto fail = [&](const QString &why) {
        warnOnce(path, why,
                 QStringLiteral("Could not save the setting \"%1\" to \"%2\": %3.").arg(key, path, why));
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder \"%1\"").arg(folder));
    const WriterLock lock(path + QLatin1String(".lock"));
    if (!lock.locked())
        return fail(lock.error());

    StoreFile current = readStoreFile(path);
    std::optional<QByteArray> contents;
    if (current.document) {
        contents = current.document->withValue(section, key, value);
        if (!contents)
            current =
                unusable(QStringLiteral("cannot be edited (a quote or a line is left open at its end)"));
    }
    if (current.state == StoreFile::State::Unusable) {
        QString error;
        const std::optional<QString> aside = moveAside(path, &error);
        if (!aside)
            return fail(
                QStringLiteral("the file %1 and could not be moved aside (%2)").arg(current.problem, error));
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Settings file \"%1\" %2; it was moved to \"%3\" and a new file was started.")
                   .arg(path, current.problem, *aside);
    }
    if (!contents)
        contents = IniDocument::parse({})->withValue(section, key, value);
    if (!contents || contents->size() > kMaxFileSize)
        return fail(QStringLiteral("the file would grow larger than 1 MiB"));
    QString error;
    if (!replaceFile(path, *contents, &error))
        return fail(error);
    return true;
}

} // namespace quellex::platform
