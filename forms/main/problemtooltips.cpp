#include "forms/main/problemtooltips.h"

#include "platform/logging.h"

#include <QStringList>
#include <QWidget>

namespace quellex::forms {

void ProblemTooltips::set(QWidget *control, const QString &source, const QString &text)
{
    QString &current = m_problems[control][source];
    if (current == text)
        return;
    current = text;
    qCWarning(lcProcess).noquote() << text;
    refresh(control);
}

void ProblemTooltips::clear(QWidget *control, const QString &source)
{
    auto problems = m_problems.find(control);
    if (problems == m_problems.end() || problems->remove(source) == 0)
        return;
    if (problems->isEmpty())
        m_problems.erase(problems);
    refresh(control);
}

QString ProblemTooltips::text(const QWidget *control) const
{
    const auto problems = m_problems.value(control);
    return QStringList(problems.begin(), problems.end()).join(QLatin1Char('\n'));
}

void ProblemTooltips::refresh(QWidget *control)
{
    control->setToolTip(text(control));
}

} // namespace quellex::forms
