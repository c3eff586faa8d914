#include "platform/linux/writerlock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellex::platform {
namespace {

// Saves happen on clicks: a writer that holds the file longer than this is not going to let go.
constexpr qint64 kLockWaitMs = 1000;

} // namespace

WriterLock::WriterLock(const QString &path)
    : m_path(QFile::encodeName(path))
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            m_error =
                QStringLiteral("cannot create the lock file \"%1\" (%2)").arg(path, qt_error_string(errno));
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The writer before may have removed the file it held after this one opened it.
            struct stat held = {};
            struct stat named = {};
            if (::fstat(fd, &held) == 0 && ::lstat(m_path.constData(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                m_fd = fd;
                return;
            }
        } else if (const int error = errno; error != EWOULDBLOCK) {
            m_error = QStringLiteral("cannot lock \"%1\" (%2)").arg(path, qt_error_string(error));
        } else if (waited.elapsed() >= kLockWaitMs) {
            m_error = QStringLiteral("the file stayed locked by another writer");
        } else {
            QThread::msleep(20);
        }
        ::close(fd);
        if (!m_error.isEmpty())
            return;
    }
}

WriterLock::~WriterLock()
{
    if (m_fd < 0)
        return;
    ::unlink(m_path.constData()); // while still held, so that no one locks a file about to go
    ::close(m_fd);
}

} // namespace quellex::platform
