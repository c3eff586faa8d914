#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quellex::platform {

// Decides whether a process's image name is the one a query asked for. Letter case is ignored, for
// letters beyond ASCII too; a wanted name ending in ".exe" (any case) also matches the same name
// without that suffix, since executables here carry none; an empty name matches nothing; blanks are
// part of the name.
class ImageNameMatcher
{
public:
    // wanted: UTF-8, as the query gave it.
    explicit ImageNameMatcher(std::string_view wanted);

    bool matchesNothing() const { return m_forms.empty(); }

    // candidate: a file name as the system stores it, a byte string that is usually UTF-8.
    bool matches(std::string_view candidate) const;

private:
    struct Form
    {
        std::string bytes;  // as wanted
        std::string folded; // case-folded, UTF-8
        QString foldedText;
        bool ascii = true;
    };

    bool matchesFolded(std::string_view candidate) const;

    std::vector<Form> m_forms; // the name, then the name without ".exe"
};

} // namespace quellex::platform
