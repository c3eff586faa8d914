#pragma once

#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

namespace quellex::platform {

// The processes could not be listed, or the platform's service rejected a call.
class ProcessListError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What Terminate returns, with the values Windows' Win32_Process.Terminate uses, so that callers
// can tell a process that vanished on its own (normal) from one that refused to end.
enum class TerminateResult : int {
    Success = 0,
    AccessDenied = 2,
    InsufficientPrivilege = 3,
    UnknownFailure = 8,
    PathNotFound = 9, // gone, or no longer the process of that name
};

inline const char *terminateResultText(TerminateResult result)
{
    switch (result) {
    case TerminateResult::Success:
        return "success";
    case TerminateResult::AccessDenied:
        return "access denied";
    case TerminateResult::InsufficientPrivilege:
        return "insufficient privilege";
    case TerminateResult::UnknownFailure:
        return "unknown failure";
    case TerminateResult::PathNotFound:
        return "the process no longer exists";
    }
    return "failure";
}

// One process a search found, as it was when it was found.
class FoundProcess
{
public:
    virtual ~FoundProcess() = default;

    // Ends the process unconditionally; never throws for a process that is gone or may not be ended.
    virtual TerminateResult Terminate() = 0;
};

using ProcessList = std::vector<std::unique_ptr<FoundProcess>>;

// Which question a search answers: a platform searched through query texts has one text for each.
enum class ProcessQuery { RunningCheck, Termination };

// Every process of the image name but this program's own, in the order the platform lists them,
// searched afresh at each call: letter case ignored, ".exe" optional where executables carry none,
// blanks part of the name, and the empty name matches nothing. Throws ProcessListError when the
// processes cannot be listed.
ProcessList findProcesses(const QString &name, ProcessQuery query);

// Whether findProcesses would find a process for the running check. Where one walk reads every
// process's name (Linux), the checks of one pass of the thread's event loop share a walk, which
// is never used again once the loop goes on to its next pass; elsewhere each check asks afresh.
bool isProcessRunning(const QString &name);

} // namespace quellex::platform
