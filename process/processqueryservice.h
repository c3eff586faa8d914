#pragma once

#include <QString>
#include <stdexcept>

namespace quellex::process {

// The service could not answer (not the refusal of one process to end, which is no error).
class ProcessQueryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What one termination call found and how much of it would not end.
struct TerminationReport
{
    QString name;    // the image name as passed
    int found = 0;   // processes the query selected
    int refused = 0; // of those, still running because ending them failed (a vanished one is not counted)
    QString reason;  // why, for the first refusal: "access denied", ...
};

// Answers the two questions the windows ask about processes, by image name. Every call is answered
// afresh, but for the running checks of one pass of the event loop, which may share one look at
// the processes: nothing is kept beyond that pass.
class ProcessQueryService
{
public:
    virtual ~ProcessQueryService() = default;

    // Throws ProcessQueryError when the service cannot answer.
    virtual bool IsProcessRunning(const QString &name) = 0;
    // Asks every process of the name to end; a process that refuses is passed over, and counted.
    // Throws ProcessQueryError when the service cannot answer.
    virtual TerminationReport TerminateProcesses(const QString &name) = 0;
};

} // namespace quellex::process
