#include "platform/fake/fakemanagement.h"

#include "platform/imagename.h"
#include "platform/wql.h"

#include <algorithm>

namespace quellex::platform {

namespace {

class FakeProcess final : public ProcessObject
{
public:
    FakeProcess(std::shared_ptr<FakeProcessTable> table, FakeProcessTable::Entry entry)
        : m_table(std::move(table))
        , m_entry(std::move(entry))
    {}

    TerminateResult Terminate() override
    {
        if (!m_table->contains(m_entry.pid))
            return TerminateResult::PathNotFound;
        if (!m_entry.mayEnd)
            return TerminateResult::AccessDenied;
        m_table->remove(m_entry.pid);
        return TerminateResult::Success;
    }

private:
    std::shared_ptr<FakeProcessTable> m_table;
    FakeProcessTable::Entry m_entry;
};

} // namespace

std::uint32_t FakeProcessTable::add(const std::string &name, bool mayEnd)
{
    m_entries.push_back(Entry{m_nextPid, name, mayEnd});
    return m_nextPid++;
}

bool FakeProcessTable::remove(std::uint32_t pid)
{
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [pid](const Entry &e) { return e.pid == pid; });
    if (it == m_entries.end())
        return false;
    m_entries.erase(it);
    return true;
}

bool FakeProcessTable::contains(std::uint32_t pid) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [pid](const Entry &e) { return e.pid == pid; });
}

void FakeProcessTable::clear()
{
    m_entries.clear();
    m_queries.clear();
    m_bindings = 0;
}

FakeManagementService::FakeManagementService(std::shared_ptr<FakeProcessTable> table)
    : m_table(std::move(table))
{
    m_table->recordBinding();
}

ProcessCollection FakeManagementService::ExecQuery(std::string_view query)
{
    m_table->recordQuery(query);
    const ImageNameMatcher matcher(parseProcessNameQuery(query).name);
    ProcessCollection::Objects found;
    for (const FakeProcessTable::Entry &entry : m_table->entries()) {
        if (matcher.matches(entry.name))
            found.push_back(std::make_unique<FakeProcess>(m_table, entry));
    }
    return ProcessCollection(std::move(found));
}

} // namespace quellex::platform
