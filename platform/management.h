#pragma once

#include "platform/asciicase.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace quellex::platform {

// The service could not be bound, rejected a query, or failed a call.
class ManagementError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What Terminate returns, with the values the management service has always used, so that callers
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

// One process a query selected, as it was when the query ran.
class ProcessObject
{
public:
    virtual ~ProcessObject() = default;

    // Ends the process unconditionally; never throws for a process that is gone or may not be ended.
    virtual TerminateResult Terminate() = 0;
};

// The processes one query selected, in the order the service found them.
class ProcessCollection
{
public:
    using Objects = std::vector<std::unique_ptr<ProcessObject>>;

    class iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ProcessObject;
        using difference_type = std::ptrdiff_t;
        using pointer = ProcessObject *;
        using reference = ProcessObject &;

        iterator() = default;
        explicit iterator(Objects::const_iterator it)
            : m_it(it)
        {}
        reference operator*() const { return **m_it; }
        pointer operator->() const { return m_it->get(); }
        iterator &operator++()
        {
            ++m_it;
            return *this;
        }
        iterator operator++(int)
        {
            iterator before = *this;
            ++m_it;
            return before;
        }
        bool operator==(const iterator &other) const = default;

    private:
        Objects::const_iterator m_it;
    };

    ProcessCollection() = default;
    explicit ProcessCollection(Objects objects)
        : m_objects(std::move(objects))
    {}

    std::size_t Count() const { return m_objects.size(); }
    iterator begin() const { return iterator(m_objects.cbegin()); }
    iterator end() const { return iterator(m_objects.cend()); }

private:
    Objects m_objects;
};

// The local machine's management service: answers WQL queries over Win32_Process.
class ManagementService
{
public:
    virtual ~ManagementService() = default;

    // Throws ManagementError for a query text it does not accept ("invalid query") or when the
    // processes cannot be listed.
    virtual ProcessCollection ExecQuery(std::string_view query) = 0;
};

// Throws ManagementError unless moniker names the local machine's default namespace, the only one
// there is.
inline void requireDefaultMoniker(std::string_view moniker)
{
    if (!equalsIgnoringAsciiCase(moniker, "winmgmts:"))
        throw ManagementError("cannot bind to \"" + std::string(moniker) +
                              "\": only \"winmgmts:\" is served");
}

// Binds to the service of the platform chosen at build time. Only "winmgmts:" (any letter case) is
// accepted; anything else throws ManagementError.
std::unique_ptr<ManagementService> bindManagementService(std::string_view moniker);

} // namespace quellex::platform
