#include "process/managementprocessqueryservice.h"

#include "process/querytext.h"

#include <exception>

namespace quellex::process {

namespace {

constexpr std::string_view kMoniker = "winmgmts:";

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

ManagementProcessQueryService::ManagementProcessQueryService()
    : m_bind(platform::bindManagementService)
{}

ManagementProcessQueryService::ManagementProcessQueryService(Binder binder)
    : m_bind(std::move(binder))
{}

bool ManagementProcessQueryService::IsProcessRunning(const QString &name)
{
    try {
        const std::string query = runningCheckQuery(name);
        const std::unique_ptr<platform::ManagementService> service = m_bind(kMoniker);
        return service->ExecQuery(query).Count() != 0;
    } catch (...) {
        rethrowAsQueryError(QStringLiteral("cannot check whether \"%1\" runs").arg(name));
    }
}

void ManagementProcessQueryService::TerminateProcesses(const QString &name)
{
    setLastTermination({});
    TerminationReport report;
    report.name = name;
    try {
        const std::string query = terminationQuery(name);
        const std::unique_ptr<platform::ManagementService> service = m_bind(kMoniker);
        const platform::ProcessCollection processes = service->ExecQuery(query);
        report.found = int(processes.Count());
        // Every process is asked, whatever the one before answered; a vanished one is no refusal.
        for (platform::ProcessObject &process : processes) {
            const platform::TerminateResult result = process.Terminate();
            if (result == platform::TerminateResult::Success ||
                result == platform::TerminateResult::PathNotFound)
                continue;
            if (report.refused++ == 0)
                report.reason = QString::fromLatin1(platform::terminateResultText(result));
        }
    } catch (...) {
        rethrowAsQueryError(QStringLiteral("cannot terminate \"%1\"").arg(name));
    }
    setLastTermination(std::move(report));
}

} // namespace quellex::process
