#include "forms/main/problemtooltips.h"

#include <QWidget>

namespace quellex::forms {

void ProblemTooltips::set(QWidget *control, const QString &source, const QString &text)
{
    if (!m_problems[control].isNew(source, text))
        return;
    qCWarning(lcProcess).noquote() << text;
    refresh(control);
}

void ProblemTooltips::clear(QWidget *control, const QString &source)
{
    auto problems = m_problems.find(control);
    if (problems == m_problems.end() || !problems->forget(source))
        return;
    if (problems->isEmpty())
        m_problems.erase(problems);
    refresh(control);
}

void ProblemTooltips::refresh(QWidget *control)
{
    control->setToolTip(m_problems.value(control).texts().join(QLatin1Char('\n')));
}

} // namespace quellex::forms
