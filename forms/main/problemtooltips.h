#pragma once

#include "platform/logging.h"

#include <QHash>
#include <QString>

class QWidget;

namespace quellex::forms {

// Problems that the handlers themselves pass over (the service failing, processes that would not
// end) are shown as the tooltip of the control concerned until they clear, and said once on stderr
// rather than at every tick.
class ProblemTooltips
{
public:
    // A problem of the given source (a handler, say) on the control; a new text replaces the old.
    void set(QWidget *control, const QString &source, const QString &text);
    void clear(QWidget *control, const QString &source);

private:
    void refresh(QWidget *control);

    QHash<const QWidget *, SaidOnce> m_problems;
};

} // namespace quellex::forms
