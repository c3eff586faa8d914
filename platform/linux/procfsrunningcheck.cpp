// Running checks over /proc. The checks that one pass of the event loop makes (the watchers' timers
// fall due together) share one walk over the processes; the pass's record of it is dropped before
// the next pass begins, so no check answers from a walk older than its own tick.
#include "platform/imagename.h"
#include "platform/linux/procfssearch.h"
#include "platform/processes.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <QThread>
#include <optional>
#include <string>
#include <vector>

namespace quellex::platform {

namespace {

// The image names one walk has read so far. The walk goes only as far as a check needs: a check ends
// at its first match, and the next one looks through what was read before it walks on.
class NameRecord
{
public:
    bool anyMatches(const ImageNameMatcher &matcher)
    {
        for (const std::string &name : m_names) {
            if (matcher.matches(name))
                return true;
        }
        while (std::optional<std::string> image = m_walk.next()) {
            m_names.push_back(std::move(*image));
            if (matcher.matches(m_names.back()))
                return true;
        }
        return false;
    }

private:
    ProcfsWalk m_walk;
    std::vector<std::string> m_names;
};

thread_local std::optional<NameRecord> t_passRecord;
thread_local QPointer<QAbstractEventDispatcher> t_watchedDispatcher;

// The record of the pass this thread's event loop is in, begun by the pass's first check; null where
// no event loop runs, as between the steps of a test, where there is no pass to share.
NameRecord *passRecord()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || QThread::currentThread()->loopLevel() == 0)
        return nullptr;
    if (t_watchedDispatcher != dispatcher) {
        t_passRecord.reset();
        t_watchedDispatcher = dispatcher;
        // Every pass starts with one of the two, whether it will wait or not, before its timers fire.
        const auto endPass = [] { t_passRecord.reset(); };
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, endPass);
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, endPass);
    }
    if (!t_passRecord)
        t_passRecord.emplace();
    return &*t_passRecord;
}

} // namespace

bool isProcessRunning(const QString &name)
{
    const ImageNameMatcher matcher(name.toStdString());
    std::optional<NameRecord> ownWalk;
    NameRecord *record = passRecord();
    if (!record)
        record = &ownWalk.emplace();
    return !matcher.matchesNothing() && record->anyMatches(matcher);
}

} // namespace quellex::platform
