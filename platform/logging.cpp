#include "platform/logging.h"

namespace quellex {
Q_LOGGING_CATEGORY(lcProcess, "quellex.process", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "quellex.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindow, "quellex.window", QtWarningMsg)

bool SaidOnce::isNew(const QString &subject, const QString &text)
{
    const auto said = m_said.constFind(subject);
    if (said != m_said.cend() && *said == text)
        return false;
    m_said.insert(subject, text);
    return true;
}
} // namespace quellex
