#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellex::platform {

// The one query form the management service answers: the processes of one image name,
//   SELECT <*, or property names separated by commas> FROM Win32_Process WHERE Name = '<literal>'
// with keywords, class and property names in any letter case, blanks optional around '=' and ',', and
// \\ and \' as the only escapes inside the literal.
struct ProcessNameQuery
{
    std::vector<std::string> properties; // as written; empty for *
    std::string name;                    // the literal's value, escapes resolved
};

// Throws ManagementError ("invalid query: <text>") for any other text.
ProcessNameQuery parseProcessNameQuery(std::string_view text);

} // namespace quellex::platform
