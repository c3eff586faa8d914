#pragma once

#include "process/processqueryservice.h"

#include <QStringList>

namespace quellex::test {

// A process service over a list of names instead of the machine's processes, so that windows can be
// tested with the sleep program's names without touching any real process.
class FakeProcessQueryService final : public process::ProcessQueryService
{
public:
    QStringList running;    // image names that run, one entry a process; compared without case
    QStringList checked;    // every name IsProcessRunning was asked about, in order
    QStringList terminated; // every name TerminateProcesses was asked to end, in order
    QString failure;        // when set, every call fails with this message
    int refusing = 0;       // processes of a terminated name that will not end

    bool IsProcessRunning(const QString &name) override
    {
        checked << name;
        if (!failure.isEmpty())
            throw process::ProcessQueryError(failure.toStdString());
        return running.contains(name, Qt::CaseInsensitive);
    }

    process::TerminationReport TerminateProcesses(const QString &name) override
    {
        terminated << name;
        if (!failure.isEmpty())
            throw process::ProcessQueryError(failure.toStdString());
        const int found = int(running.removeIf(
            [&](const QString &running) { return running.compare(name, Qt::CaseInsensitive) == 0; }));
        const int refused = found > 0 ? refusing : 0;
        for (int i = 0; i < refused; ++i)
            running << name;
        return {name, found, refused, refused ? QStringLiteral("access denied") : QString()};
    }
};

} // namespace quellex::test
