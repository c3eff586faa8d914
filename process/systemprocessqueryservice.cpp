#include "process/systemprocessqueryservice.h"

#include "platform/processes.h"

#include <exception>

namespace quellex::process {

namespace {

// Called inside a handler: the exception being handled, as the service's error, saying what failed.
[[noreturn]] void rethrowAsQueryError(const QString &what)
{
    try {
        throw;
    } catch (const std::exception &error) {
        throw ProcessQueryError(what.toStdString() + ": " + error.what());
    }
}

} // namespace

bool SystemProcessQueryService::IsProcessRunning(const QString &name)
{
    try {
        return platform::isProcessRunning(name);
    } catch (...) {
        rethrowAsQueryError(QStringLiteral("cannot check whether \"%1\" runs").arg(name));
    }
}

TerminationReport SystemProcessQueryService::TerminateProcesses(const QString &name)
{
    TerminationReport report;
    report.name = name;
    try {
        const platform::ProcessList processes =
            platform::findProcesses(name, platform::ProcessQuery::Termination);
        report.found = int(processes.size());
        // Every process is asked, whatever the one before answered; a vanished one is no refusal.
        for (const std::unique_ptr<platform::FoundProcess> &process : processes) {
            const platform::TerminateResult result = process->Terminate();
            if (result == platform::TerminateResult::Success ||
                result == platform::TerminateResult::PathNotFound)
                continue;
            if (report.refused++ == 0)
                report.reason = QString::fromLatin1(platform::terminateResultText(result));
        }
    } catch (...) {
        rethrowAsQueryError(QStringLiteral("cannot terminate \"%1\"").arg(name));
    }
    return report;
}

} // namespace quellex::process
