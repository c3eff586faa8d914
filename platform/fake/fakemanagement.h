#pragma once

#include "platform/management.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quellex::platform {

// The processes of the fake management service: a table that tests fill and read. Every binding a
// test makes should share one table, as every binding of a real service sees the same machine.
class FakeProcessTable
{
public:
    struct Entry
    {
        std::uint32_t pid = 0;
        std::string name;
        bool mayEnd = true; // false: Terminate is refused with access denied
    };

    // Returns the new process's pid.
    std::uint32_t add(const std::string &name, bool mayEnd = true);
    bool remove(std::uint32_t pid);
    bool contains(std::uint32_t pid) const;
    void clear();
    const std::vector<Entry> &entries() const { return m_entries; }

    // What the services over this table were asked: bindings made and query texts, oldest first.
    void recordBinding() { ++m_bindings; }
    void recordQuery(std::string_view query) { m_queries.emplace_back(query); }
    int bindings() const { return m_bindings; }
    const std::vector<std::string> &queries() const { return m_queries; }

private:
    std::vector<Entry> m_entries;
    std::vector<std::string> m_queries;
    int m_bindings = 0;
    std::uint32_t m_nextPid = 1000;
};

// The management service over a FakeProcessTable, with the real service's query language and name
// matching. A new platform starts from this: bind, ExecQuery, Terminate.
class FakeManagementService final : public ManagementService
{
public:
    explicit FakeManagementService(std::shared_ptr<FakeProcessTable> table);

    ProcessCollection ExecQuery(std::string_view query) override;

private:
    std::shared_ptr<FakeProcessTable> m_table;
};

} // namespace quellex::platform
