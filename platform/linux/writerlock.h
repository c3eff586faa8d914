#pragma once

#include <QByteArray>
#include <QString>

namespace quellex::platform {

// Excludes other writers of the file while a save reads, edits and replaces it. The kernel drops a
// flock() when its holder dies, so a lock file left behind by a killed writer, whatever process it
// names, never blocks a save. QLockFile, which earlier versions used, takes the same flock().
class WriterLock
{
public:
    // Waits about a second for a live writer to finish.
    explicit WriterLock(const QString &path);
    ~WriterLock();
    WriterLock(const WriterLock &) = delete;
    WriterLock &operator=(const WriterLock &) = delete;

    bool locked() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    QByteArray m_path;
    int m_fd = -1;
    QString m_error;
};

} // namespace quellex::platform
